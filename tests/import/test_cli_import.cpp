// pennaro-cli import, imports and import-mapping.
#include "bill_files.h"
#include "support/cli_run.h"
#include "support/temp_database.h"
#include "tools/cli/cli.h"

#include <gtest/gtest.h>

using namespace testing_support;

namespace {

const db::DateTime kNow{2024, 4, 1, 9, 0, 0};

using Ran = CliRun;

class CliImportTest : public ::testing::Test {
protected:
    Ran run(std::vector<std::string> args) { return runOnBooks(t, std::move(args), kNow); }
    std::string bill(const std::string &name, const std::string &bytes) { return writeFile(t.folder() / name, bytes).string(); }
    TempDatabase t;
};

bool has(const std::string &text, const std::string &piece) { return text.find(piece) != std::string::npos; }

} // namespace

TEST_F(CliImportTest, ImportsAMonthOnceAndRefusesWhatItCannotPlace)
{
    const std::string alipay = bill("支付宝.csv", toGbk(kAlipayBill));
    Ran r = run({"import", alipay});
    EXPECT_EQ(r.status, cli::kRefused);
    EXPECT_TRUE(has(r.out, "9\t缺帐户\t2024/03/02 12:10\t付\t28\t餐饮\t\t老王面馆 牛肉面\t“余额”还没有对应的帐户\n")) << r.out;
    EXPECT_TRUE(has(r.err, "什么也没有写入")) << r.err;
    EXPECT_EQ(t.count("account"), 0);

    r = run({"import", alipay, "--account", "现金银行", "--dry-run"});
    EXPECT_EQ(r.status, cli::kRefused); // the income row still has no category
    r = run({"import", alipay, "--account", "现金银行", "--skip-uncategorised", "--dry-run"});
    EXPECT_EQ(r.status, cli::kOk);
    EXPECT_TRUE(has(r.out, "合计\t记帐 4 笔\t跳过 3 笔\t重复 0 笔\t缺类型 1 笔\t缺帐户 0 笔\t支出 103.4\t收入 0\n")) << r.out;
    EXPECT_EQ(t.count("account"), 0);

    r = run({"import", alipay, "--account", "现金银行", "--default-income-category", "其他收入"});
    EXPECT_EQ(r.status, cli::kOk) << r.err;
    EXPECT_TRUE(has(r.out, "导入编号 1：记了 5 笔帐\n")) << r.out;
    EXPECT_EQ(run({"check"}).status, cli::kOk);
    r = run({"stats", "expense", "--from", "20240301", "--to", "20240331"});
    EXPECT_TRUE(has(r.out, "\t餐饮\t28\t1\t")) << r.out;

    const std::string wechat = t.folder() / "微信.xlsx";
    writeWeChatXlsx(wechat);
    r = run({"import", wechat, "--account", "现金银行", "--default-category", "餐饮", "--default-income-category", "其他收入"});
    EXPECT_TRUE(has(r.out, "导入编号 2：记了 4 笔帐\n")) << r.out << r.err;
    EXPECT_EQ(run({"check"}).status, cli::kOk);
    r = run({"import", alipay, "--account", "现金银行", "--default-income-category", "其他收入"});
    EXPECT_EQ(r.status, cli::kOk);
    EXPECT_TRUE(has(r.out, "没有新的帐要记\n")) << r.out;
    EXPECT_EQ(t.count("account"), 9);

    EXPECT_EQ(run({"import", alipay, "--account", "没有的帐户"}).err, "没有这个现金或银行帐户: 没有的帐户\n");
    EXPECT_EQ(run({"import", alipay, "--format", "xls"}).status, cli::kUsage);
}

TEST_F(CliImportTest, ListsImportsAndTakesOneBack)
{
    const std::string alipay = bill("a.csv", kAlipayBill);
    run({"import", alipay, "--account", "现金银行", "--skip-uncategorised"});
    Ran r = run({"imports"});
    EXPECT_EQ(r.out, "1\t2024/04/01 09:00\ta.csv\t支付宝\t8\t4\t\n");
    r = run({"import", "--undo", "1"});
    EXPECT_EQ(r.status, cli::kOk);
    EXPECT_EQ(r.out, "撤销了导入 1：删除 4 笔帐\n");
    EXPECT_EQ(t.count("account"), 0);
    EXPECT_EQ(run({"imports"}).out, "1\t2024/04/01 09:00\ta.csv\t支付宝\t8\t4\t已撤销 2024/04/01 09:00\n");
    EXPECT_EQ(run({"import", "--undo", "1"}).status, cli::kRefused);
    EXPECT_EQ(run({"check"}).status, cli::kOk);
}

TEST_F(CliImportTest, BankStatementsImportThroughASavedMapping)
{
    const std::string statement = bill("招行.csv", toGbk("# 招商银行交易记录\n\n交易日期,交易时间,收入,支出,余额,交易备注\n"
                                                       "20240105,10:30:00,,35.50,9964.50,星巴克\n"
                                                       "20240110,09:00:00,8000.00,,17964.50,某公司\n"));
    Ran r = run({"import", statement, "--account", "现金银行"});
    EXPECT_EQ(r.status, cli::kRefused);
    EXPECT_TRUE(has(r.err, "银行对帐单请加 --mapping 名字")) << r.err;
    r = run({"import-mapping", "招行", statement, "--date", "交易日期", "--time", "交易时间", "--debit", "支出",
             "--credit", "收入", "--counterparty", "交易备注"});
    EXPECT_EQ(r.status, cli::kOk) << r.err;
    EXPECT_EQ(r.out, "招行\t2\n");
    // The saved mapping is found by the header, or named.
    for (const std::vector<std::string> &how : {std::vector<std::string>{}, std::vector<std::string>{"--mapping", "招行"}}) {
        std::vector<std::string> args = {"import", statement, "--account", "现金银行", "--default-category", "餐饮",
                                         "--default-income-category", "工资", "--dry-run"};
        args.insert(args.end(), how.begin(), how.end());
        r = run(args);
        EXPECT_EQ(r.status, cli::kOk) << r.err;
        EXPECT_TRUE(has(r.out, "5\t记帐\t2024/01/10 09:00\t收\t8000\t工资\t现金银行\t某公司\t\n")) << r.out;
    }
    EXPECT_EQ(run({"import", statement, "--mapping", "没有"}).status, cli::kRefused);
}
