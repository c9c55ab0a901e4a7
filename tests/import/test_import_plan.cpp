// From bill rows to entries: the decisions, refunds, rules and suggestions,
// account mappings, duplicates, and the import written whole or not at all.
#include "bill_files.h"
#include "db/text.h"
#include "import/bill_file.h"
#include "import/import_run.h"
#include "ledger/consistency.h"
#include "ledger/entry_change.h"
#include "ledger/posting.h"
#include "support/temp_database.h"

#include <gtest/gtest.h>

using namespace testing_support;

namespace {

const db::DateTime kNow{2024, 4, 1, 9, 0, 0};

class ImportTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        addAccount("招商银行");
        addAccount("花呗");
    }
    void addAccount(const std::string &name)
    {
        t.connection().execute("insert into Bank (Num,BankName,nLevel,FirstLevel,ParentBank,FullID) select max(Num)+1,'" +
                               name + "',1,0,'我的存款银行','0000' from Bank");
    }
    import::Bill read(const std::string &bytes, const std::string &name = "bill.csv")
    {
        const import::BillRead r = import::readBillFile(t.connection(), writeFile(t.folder() / name, bytes).string());
        EXPECT_TRUE(r.result.done) << r.result.message;
        return r.bill;
    }
    import::Plan plan(const std::string &bytes, const import::PlanOptions &options = {})
    {
        return import::makePlan(t.connection(), read(bytes), options);
    }
    import::CommitOutcome commit(const import::Plan &p, bool skipUnresolved = false)
    {
        import::CommitOptions o;
        o.fileName = "bill.csv";
        o.handler = "管理员";
        o.now = kNow;
        o.skipUnresolved = skipUnresolved;
        const import::CommitOutcome outcome = import::commitPlan(t.connection(), p, o);
        EXPECT_EQ(ledger::checkBooks(t.connection(), kNow), std::vector<std::string>{});
        return outcome;
    }
    const import::PlanRow &line(const import::Plan &p, int number)
    {
        for (const import::PlanRow &row : p.rows)
            if (row.bill.line == number)
                return row;
        throw std::logic_error("no line " + std::to_string(number));
    }
    std::size_t indexOf(const import::Plan &p, int number) { return static_cast<std::size_t>(&line(p, number) - p.rows.data()); }
    TempDatabase t;
};

// Line, decision, type, amount, category, account and a piece of the note.
std::string shown(const import::PlanRow &r)
{
    return std::to_string(r.bill.line) + " " + import::decisionName(r.decision) + " " + r.type + " " +
           import::centsText(r.signedCents()) + " " + r.category + " " + r.account + " " + r.note;
}

} // namespace

TEST_F(ImportTest, DecidesEveryRowOfAMonthOfAlipay)
{
    import::saveAccountMapping(t.connection(), "余额", "现金银行");
    import::saveAccountMapping(t.connection(), "招商银行(1234)", "招商银行");
    import::Plan p = plan(kAlipayBill);
    const std::vector<std::string> expected = {
        "9 记帐 付 28 餐饮 现金银行 按账单的分类“餐饮美食”建议",
        "10 记帐 付 35.5 交通 招商银行 按账单的分类“交通出行”建议",
        "11 跳过  500  招商银行 不计收支：余额宝-单次转入",
        "12 缺帐户 付 59.9 日用品  “花呗”还没有对应的帐户",
        "13 缺帐户 付 -20 日用品  “花呗”还没有对应的帐户",
        "14 跳过 付 56 日用品  交易关闭：钱没有付出，或已全部退回",
        "15 跳过 付 -56   原来那笔支出没有记 (交易关闭：钱没有付出，或已全部退回)，退款也不记",
        "16 缺类型 收 100  现金银行 没有规则认得它，请选择类型",
    };
    std::vector<std::string> rows;
    for (const import::PlanRow &row : p.rows)
        rows.push_back(shown(row));
    EXPECT_EQ(rows, expected);

    import::mapMethod(p, "花呗", "花呗");
    import::setCategory(p, indexOf(p, 16), "其他收入");
    EXPECT_EQ(shown(line(p, 13)), "13 记帐 付 -20 日用品 花呗 退款，记回原来的类型");
    const import::PlanTotals totals = import::totalsOf(p);
    EXPECT_EQ(totals.post, 5);
    EXPECT_EQ(totals.spending, 2800 + 3550 + 5990 - 2000);
    EXPECT_EQ(totals.income, 10000);
}

TEST_F(ImportTest, WeChatRefundGoesBackIntoThePurchasesCategory)
{
    import::PlanOptions options;
    options.defaultAccount = "现金银行";
    options.defaultExpenseCategory = "餐饮";
    import::Plan p = plan(kWeChatBill, options);
    EXPECT_EQ(shown(line(p, 18)), "18 记帐 付 28.16 餐饮 现金银行 ");
    EXPECT_EQ(shown(line(p, 19)), "19 缺类型 收 28  现金银行 没有规则认得它，请选择类型");
    EXPECT_EQ(shown(line(p, 20)), "20 跳过  200  现金银行 不是收入或支出：转入零钱通-来自零钱");
    EXPECT_EQ(shown(line(p, 21)), "21 记帐 付 38 餐饮 现金银行 ");
    EXPECT_EQ(shown(line(p, 22)), "22 记帐 付 -38 餐饮 现金银行 退款，记回原来的类型");
    import::setCategory(p, indexOf(p, 21), "娱乐");
    EXPECT_EQ(line(p, 22).category, "娱乐");
}

TEST_F(ImportTest, RulesAreTriedCounterpartyThenGoodsThenBillCategoryLongestFirst)
{
    struct Case {
        import::RuleField field;
        const char *pattern;
        const char *type;
        const char *category;
    };
    const Case rules[] = {
        {import::RuleField::BillCategory, "餐饮美食", "付", "午餐"},  // loses to the counterparty rules
        {import::RuleField::Counterparty, "老王面馆", "付", "早餐"}, // longer: tried before the newer one
        {import::RuleField::Counterparty, "面馆", "付", "晚餐"},
        {import::RuleField::Goods, "快车", "付", "打车"},
        {import::RuleField::Counterparty, "滴滴", "收", "工资"},      // another type: not for spending
        {import::RuleField::Goods, "洗衣液", "付", "已删的类型"},     // names no category: passed over
        {import::RuleField::BillCategory, "转账", "收", "奖金"},      // "is", not "contains"
    };
    for (const Case &c : rules)
        ASSERT_TRUE(import::saveRule(t.connection(), {0, c.field, c.pattern, c.type, c.category}).done);
    const import::Plan p = plan(kAlipayBill);
    EXPECT_EQ(line(p, 9).category, "早餐");
    EXPECT_EQ(line(p, 9).categorySource, import::kFromRule);
    EXPECT_EQ(line(p, 10).category, "打车");
    EXPECT_EQ(line(p, 12).category, "日用品"); // the suggestion, since the rule's category is gone
    EXPECT_EQ(line(p, 16).category, "");
}

TEST(SuggestCategory, FindsTheCategoryABillCategoryNames)
{
    const std::vector<std::string> names = {"餐饮", "交通", "居住", "日用品", "医疗", "通讯", "娱乐"};
    const std::pair<const char *, const char *> cases[] = {
        {"餐饮美食", "餐饮"}, {"交通出行", "交通"}, {"日用百货", "日用品"}, {"医疗健康", "医疗"},
        {"充值缴费", "通讯"}, {"文化休闲", "娱乐"}, {"转账红包", ""},       {"", ""},
    };
    for (const auto &[bill, category] : cases)
        EXPECT_EQ(import::suggestCategory(bill, names), category) << bill;
}

TEST_F(ImportTest, OverlappingBillsAndRepeatedImportsAddNothingTwice)
{
    import::PlanOptions options;
    options.defaultAccount = "现金银行";
    options.defaultIncomeCategory = "其他收入";
    const std::string all = kAlipayBill;
    const std::string header = all.substr(0, all.find("2024-03-02"));
    const std::string early = all.substr(0, all.find("2024-03-06"));            // rows 9 to 11
    const std::string late = header + all.substr(all.find("2024-03-03"));       // rows 10 to 16
    EXPECT_EQ(commit(plan(early, options)).posted, 2);
    const import::Plan second = plan(late, options);
    EXPECT_EQ(line(second, 9).decision, import::Decision::Duplicate); // the ride, now the bill's first row
    EXPECT_EQ(line(second, 9).note, "已经导入过 (编号 2)");
    EXPECT_EQ(commit(second).posted, 3);
    EXPECT_EQ(commit(plan(all, options)).importNumber, 0);
    EXPECT_EQ(t.count("account"), 5);
    // A plan made before another import wrote the same rows adds nothing.
    t.connection().execute("delete from ImportRow where AccNum=5");
    const import::Plan stale = plan(all, options);
    t.connection().execute("insert into ImportRow (ImportNum, RowKey, AccNum, DTime) select 2, '" +
                           db::quote(line(stale, 16).key) + "', 5, 日期 from account where 财务标识=5");
    const import::CommitOutcome staleOutcome = commit(stale);
    EXPECT_EQ(staleOutcome.posted, 0);
    EXPECT_EQ(staleOutcome.duplicates, 1);

    // Statements without the bank's own numbers: date, amount and
    // counterparty find the rows again, and two alike rows are two.
    const std::string statement = "日期,金额,对方\n2024-03-02,-10.00,食堂\n2024-03-02,-10.00,食堂\n2024-03-03,-5.00,食堂\n";
    import::BankMapping m;
    m.name = "单位卡";
    m.dateColumn = "日期";
    m.amountColumn = "金额";
    m.counterpartyColumn = "对方";
    m.header = "日期|金额|对方";
    ASSERT_TRUE(import::saveMapping(t.connection(), m).done);
    options.defaultExpenseCategory = "午餐";
    EXPECT_EQ(commit(plan(statement, options)).posted, 3);
    EXPECT_EQ(commit(plan(statement + "2024-03-04,-7.00,食堂\n", options)).posted, 1);
}

TEST_F(ImportTest, EntriesTypedByHandOnTheSameDayWithTheSameAmountArePointedOut)
{
    ASSERT_TRUE(ledger::postEntry(t.connection(), {"1", "2024/03/02 19:00", "付", "午餐", "28", "", "管理员", "现金银行", ""}).done);
    import::PlanOptions options;
    options.defaultAccount = "现金银行";
    const import::Plan p = plan(kAlipayBill, options);
    EXPECT_EQ(line(p, 9).decision, import::Decision::Post);
    EXPECT_EQ(line(p, 9).note, "同一天已有同样金额的帐 (编号 1)，可能已经手工记过");
    EXPECT_EQ(line(p, 10).note.find("同一天"), std::string::npos);
}

TEST_F(ImportTest, AnImportIsWrittenWholeOrNotAtAll)
{
    import::PlanOptions options;
    options.defaultAccount = "现金银行";
    import::Plan p = plan(kAlipayBill, options);
    const import::CommitOutcome refused = commit(p);
    EXPECT_EQ(refused.result.message, "第 16 行：没有规则认得它，请选择类型。请先补上，或者跳过这一行");
    EXPECT_EQ(t.count("account"), 0);

    import::CommitOptions stopping;
    stopping.handler = "管理员";
    stopping.skipUnresolved = true;
    stopping.progress = [](int done, int) { return done < 2; };
    EXPECT_EQ(import::commitPlan(t.connection(), p, stopping).result.message, import::kMsgImportStopped);
    EXPECT_EQ(t.count("account"), 0);
    EXPECT_EQ(t.count("ImportRow"), 0);

    // Texts of the bill go into the statements through the quoting helper.
    import::Plan quoted = plan(db::quote("") + std::string(kAlipayBill).replace(std::string(kAlipayBill).find("老王面馆"), 12, "O'Brien's"), options);
    const import::CommitOutcome done = commit(quoted, true);
    EXPECT_EQ(done.posted, 4);
    EXPECT_EQ(t.value("select 说明 from account where 财务标识=1"), "O'Brien's 牛肉面");
    EXPECT_EQ(t.value("select 经手人 || '|' || 日期 from account where 财务标识=1"), "管理员|2024/03/02 12:10");
    EXPECT_EQ(t.value("select FileName || '|' || RowCount || '|' || Posted from ImportLog"), "bill.csv|8|4");
}

TEST_F(ImportTest, TakingAnImportBackRemovesItsEntriesOnly)
{
    import::PlanOptions options;
    options.defaultAccount = "现金银行";
    options.defaultIncomeCategory = "其他收入";
    const import::CommitOutcome first = commit(plan(kAlipayBill, options));
    ASSERT_EQ(first.posted, 5);
    // One entry deleted by hand; its number then taken by an entry typed later.
    ASSERT_TRUE(ledger::deleteEntry(t.connection(), "5").done);
    ASSERT_TRUE(ledger::postEntry(t.connection(), {"5", "2024/03/20 08:00", "付", "早餐", "6", "", "管理员", "现金银行", ""}).done);
    int removed = 0;
    ASSERT_TRUE(import::undoImport(t.connection(), first.importNumber, kNow, &removed).done);
    EXPECT_EQ(removed, 4);
    EXPECT_EQ(t.column("select 财务标识 from account"), std::vector<std::string>{"5"});
    EXPECT_EQ(t.count("ImportRow"), 0);
    EXPECT_EQ(ledger::checkBooks(t.connection(), kNow), std::vector<std::string>{});
    EXPECT_EQ(import::listImports(t.connection()).front().undone, "2024/04/01 09:00");
    EXPECT_EQ(import::undoImport(t.connection(), first.importNumber, kNow).message, "编号为 1 的导入已经撤销过了");
    EXPECT_EQ(import::undoImport(t.connection(), 9, kNow).message, "没有编号为 9 的导入");
    EXPECT_EQ(commit(plan(kAlipayBill, options)).posted, 5);
}

TEST_F(ImportTest, CorrectionsSuggestionsAndMethodsAreKeptForTheNextBill)
{
    import::PlanOptions options;
    options.defaultIncomeCategory = "其他收入";
    import::Plan p = plan(kAlipayBill, options);
    import::mapMethod(p, "余额", "现金银行");
    import::mapMethod(p, "招商银行(1234)", "招商银行");
    import::mapMethod(p, "花呗", "花呗");
    import::setCategory(p, indexOf(p, 12), "居住");
    import::addRule(p, import::ruleFromCorrection(line(p, 12).bill, "付", "居住"));
    EXPECT_EQ(line(p, 13).category, "居住"); // the refund follows its purchase
    ASSERT_EQ(commit(p).posted, 5);

    // A later month: the rule, the accepted suggestions and the methods hold.
    std::string next = kAlipayBill;
    for (std::size_t at; (at = next.find("2024-03-")) != std::string::npos;)
        next.replace(at, 8, "2024-04-");
    for (std::size_t at; (at = next.find("202403")) != std::string::npos;)
        next.replace(at, 6, "202404");
    const import::Plan later = plan(next);
    EXPECT_EQ(shown(line(later, 9)), "9 记帐 付 28 餐饮 现金银行 ");
    EXPECT_EQ(line(later, 9).categorySource, import::kFromRule);
    EXPECT_EQ(shown(line(later, 12)), "12 记帐 付 59.9 居住 花呗 ");
    EXPECT_EQ(line(later, 10).account, "招商银行");
}
