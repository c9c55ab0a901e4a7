// Bills that cannot be read: the command line refuses each with a message
// naming the row, writes nothing and does not crash.
#include "bill_files.h"
#include "support/temp_database.h"
#include "tools/cli/cli.h"

#include <gtest/gtest.h>

#include <fstream>
#include <functional>
#include <sstream>

using namespace testing_support;
namespace fs = std::filesystem;

namespace {

std::string replaced(std::string text, const std::string &from, const std::string &to)
{
    const std::size_t at = text.find(from);
    if (at == std::string::npos)
        throw std::logic_error("sample lacks " + from);
    return text.replace(at, from.size(), to);
}

std::string cutAt(const std::string &text, const std::string &marker) { return text.substr(0, text.find(marker)); }

const char *const kQif = "!Type:Bank\nD01/05/2024\nT-35.50\nP星巴克\n^\nD01/06/2024\nT-12.00\nP咖啡\n";

const char *const kOfx =
    "OFXHEADER:100\nDATA:OFXSGML\nVERSION:102\n\n<OFX><BANKMSGSRSV1><STMTTRNRS><STMTRS><BANKACCTFROM><ACCTID>1"
    "</BANKACCTFROM><BANKTRANLIST>\n<STMTTRN><TRNTYPE>DEBIT<DTPOSTED>20240230<TRNAMT>-1.00<FITID>A</STMTTRN>\n"
    "</BANKTRANLIST></STMTRS></STMTTRNRS></BANKMSGSRSV1></OFX>\n";

std::string manyRows(int count)
{
    std::string bill = cutAt(kAlipayBill, "2024-03-02");
    const std::string row = "2024-03-02 12:10:05 ,餐饮美食 ,老王面馆 ,/ ,牛肉面 ,支出 ,28.00 ,余额 ,交易成功 ,";
    bill.reserve(bill.size() + static_cast<std::size_t>(count) * (row.size() + 16));
    for (int i = 0; i < count; ++i)
        bill += row + std::to_string(1000000 + i) + "\t, , ,\n";
    return bill;
}

struct BadCase {
    const char *name;
    std::function<fs::path(const fs::path &)> write;
    std::vector<std::string> options;
    const char *message; // what stderr must hold
};

void PrintTo(const BadCase &c, std::ostream *out) { *out << c.name; }

fs::path file(const fs::path &folder, const std::string &bytes) { return writeFile(folder / "bill", bytes); }

const BadCase kCases[] = {
    {"CutOffRow", [](const fs::path &f) { return file(f, cutAt(kAlipayBill, " ,/ ,转账")); }, {},
     "第 16 行：只有 3 列，表头有 12 列"},
    {"CutOffInsideQuotes", [](const fs::path &f) { return file(f, std::string(kWeChatBill) + "2024-03-15,\"未完"); },
     {}, "第 23 行：引号没有配对"},
    {"GbkReadAsUtf8", [](const fs::path &f) { return file(f, toGbk(kAlipayBill)); }, {"--encoding", "UTF-8"},
     "第 2 行不是 UTF-8 编码的文字"},
    {"ExtraColumn",
     [](const fs::path &f) { return file(f, replaced(kAlipayBill, "M001\t, ,", "M001\t, ,多出来的, ")); }, {},
     "第 9 行：有 13 列，比表头多 1 列"},
    {"MissingColumn", [](const fs::path &f) { return file(f, replaced(kAlipayBill, ",金额,", ",钱,")); }, {},
     "第 8 行：表头里没有“金额”这一列"},
    {"YenWithoutNumber", [](const fs::path &f) { return file(f, replaced(kWeChatBill, "¥28.16", "¥-")); }, {},
     "第 18 行：金额“¥-”不是一个金额"},
    {"DayThatDoesNotExist",
     [](const fs::path &f) { return file(f, replaced(kAlipayBill, "2024-03-03 08:15:00", "2024-02-30 08:15:00")); }, {},
     "第 10 行：交易时间“2024-02-30 08:15:00”不是一个存在的日期和时间"},
    {"HourThatDoesNotExist",
     [](const fs::path &f) { return file(f, replaced(kWeChatBill, "2024-03-08 20:00:00", "2024-03-08 25:00:00")); }, {},
     "第 19 行：交易时间“2024-03-08 25:00:00”"},
    {"ZipOfSomethingElse",
     [](const fs::path &f) {
         writeZip(f / "bill.xlsx", "readme.txt", "hello");
         return f / "bill.xlsx";
     },
     {}, "这个文件是压缩包，但里面没有电子表格"},
    {"CutOffWorkbook",
     [](const fs::path &f) {
         writeWeChatXlsx(f / "whole.xlsx");
         std::ostringstream all;
         all << std::ifstream(f / "whole.xlsx", std::ios::binary).rdbuf();
         return file(f, all.str().substr(0, all.str().size() / 2));
     },
     {}, "电子表格文件已损坏或不完整"},
    {"TwoHundredThousandRows", [](const fs::path &f) { return file(f, manyRows(200000)); }, {},
     "第 100009 行：账单超过 100000 笔"},
    {"QifWithoutEnd", [](const fs::path &f) { return file(f, kQif); }, {}, "第 6 行：这一笔没有以“^”结束"},
    {"OfxCutOff", [](const fs::path &f) { return file(f, cutAt(kOfx, "</BANKTRANLIST>")); }, {}, "OFX 文件没有结尾"},
    {"OfxDayThatDoesNotExist", [](const fs::path &f) { return file(f, kOfx); }, {},
     "第 1 笔交易：日期 (DTPOSTED)“20240230”不是一个存在的日期"},
    {"EmptyFile", [](const fs::path &f) { return file(f, ""); }, {}, "文件是空的"},
    {"Folder", [](const fs::path &f) { return f; }, {}, "这不是一个文件"},
    {"NotText", [](const fs::path &f) { return file(f, std::string("\x89PNG\r\n\x1a\n\0\0\0\rIHDR", 16)); }, {},
     "既不是文字，也不是电子表格"},
    {"UnknownTable", [](const fs::path &f) { return file(f, "a,b,c\n1,2,3\n"); }, {}, "没有认出这份账单的格式"},
};

class BadBillTest : public ::testing::TestWithParam<BadCase> {
protected:
    TempDatabase t;
};

} // namespace

TEST_P(BadBillTest, IsRefusedNamingWhatIsWrongAndWritesNothing)
{
    const BadCase &c = GetParam();
    std::vector<std::string> args = {"--db", t.path(), "import", c.write(t.folder()).string(), "--account", "现金银行",
                                     "--default-category", "餐饮", "--default-income-category", "其他收入"};
    args.insert(args.end(), c.options.begin(), c.options.end());
    std::ostringstream out, err;
    EXPECT_EQ(cli::run(args, out, err, db::DateTime{2024, 4, 1, 9, 0, 0}), cli::kRefused);
    EXPECT_NE(err.str().find(c.message), std::string::npos) << err.str();
    EXPECT_EQ(t.count("account"), 0);
    EXPECT_EQ(t.value("select count(*) from sqlite_master where name='ImportLog'") == "1" ? t.count("ImportLog") : 0, 0);
}

INSTANTIATE_TEST_SUITE_P(Bills, BadBillTest, ::testing::ValuesIn(kCases),
                         [](const auto &info) { return std::string(info.param.name); });
