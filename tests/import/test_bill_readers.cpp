// Every reader against bills written from the formats' public descriptions:
// the format told from the content, the rows read, one row in full.
#include "bill_files.h"
#include "import/bill_file.h"
#include "support/temp_database.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <functional>

using namespace testing_support;
namespace fs = std::filesystem;

namespace {

std::string signature(const import::BillRow &r)
{
    char time[32];
    std::snprintf(time, sizeof time, "%04d/%02d/%02d %02d:%02d:%02d", r.time.year, r.time.month, r.time.day,
                  r.time.hour, r.time.minute, r.time.second);
    const char *way = r.direction == import::Direction::Expense ? "支" : r.direction == import::Direction::Income ? "收" : "中";
    return std::to_string(r.line) + "|" + time + "|" + way + "|" + std::to_string(r.cents) + "|" + r.counterparty + "|" +
           r.goods + "|" + r.billCategory + "|" + r.method + "|" + r.orderNumber + "|" + r.merchantOrder +
           (r.refund ? "|退款" : "");
}

const char *const kAlipayOld =
    "支付宝交易记录明细查询\n"
    "账号:[zhang@example.com]\n"
    "起始日期:[2016-05-01 00:00:00]    终止日期:[2016-05-31 23:59:59]\n"
    "---------------------------------交易记录明细列表------------------------------------\n"
    "交易号                  ,商户订单号               ,交易创建时间              ,付款时间                ,最近修改时间              ,"
    "交易来源地     ,类型              ,交易对方            ,商品名称                ,金额（元）   ,收/支     ,交易状态    ,"
    "服务费（元）   ,成功退款（元）  ,备注                  ,资金状态     ,\n"
    "2016050121001001     ,T200P1001 ,2016-05-01 10:00:00 ,2016-05-01 10:00:05 ,2016-05-01 10:00:05 ,其他（包括阿里巴巴和外部商家）,"
    "即时到账交易     ,某书店 ,图书 ,45.60 ,支出 ,交易成功 ,0.00 ,0.00 , ,已支出 ,\n"
    "2016050221001002     ,          ,2016-05-02 11:00:00 ,                    ,2016-05-02 11:00:00 ,支付宝网站 ,"
    "即时到账交易     ,余额宝 ,转入 ,100.00 , ,交易成功 ,0.00 ,0.00 , ,资金转移 ,\n"
    "2016050321001003     ,          ,2016-05-03 12:00:00 ,2016-05-03 12:00:00 ,2016-05-03 12:00:00 ,支付宝网站 ,"
    "即时到账交易     ,某公司 ,报销 ,300.00 , ,交易成功 ,0.00 ,0.00 , ,已收入 ,\n"
    "------------------------------------------------------------------------------------\n"
    "共3笔记录\n";

// Columns in another order, as some exports have them: found by name.
const char *const kAlipayReordered =
    "收/支 ,交易对方 ,对方账号 ,商品说明 ,收/付款方式 ,金额 ,交易状态 ,交易分类 ,交易订单号 ,商家订单号 ,交易时间 ,\n"
    "支出 ,某药房 , ,感冒药 ,招商银行(1234) ,19.80 ,交易成功 ,医疗健康 ,2021061401 ,ABC1 ,2021-06-14 14:00:38 ,\n";

const char *const kMerchantsBank =
    "# 招商银行交易记录\n"
    "# 账号: [6225********1234]\n"
    "# 起始日期: [20240101]   终止日期: [20240131]\n"
    "\n"
    "交易日期,交易时间,收入,支出,余额,交易类型,交易备注\n"
    "20240105,10:30:00,,35.50,9964.50,消费,星巴克\n"
    "20240110,09:00:00,8000.00,,17964.50,代发工资,某公司\n"
    "\n"
    "# 合计收入: 8000.00\n";

const char *const kCreditCard =
    "记账日期,交易描述,对方,金额\n"
    "05/01/2024,网上支付,\"京东商城\",\"1,234.00\"\n"
    "28/01/2024,还款,,\"-1,000.00\"\n";

const char *const kQifUs =
    "!Type:Bank\n"
    "D01/05/2024\nT-35.50\nP星巴克\nM拿铁\nL餐饮\nN101\n^\n"
    "D1/10'24\nT8,000.00\nP某公司\nL工资\n^\n"
    "D01/12/2024\nT-500.00\nL[储蓄卡]\n^\n";

const char *const kQifDayFirst =
    "!Type:CCard\n"
    "D25/12/2023\nU-88.00\nP圣诞晚餐\n^\n"
    "D05/01/2024\nU-12.00\nP咖啡\n^\n";

const char *const kOfxSgml =
    "OFXHEADER:100\nDATA:OFXSGML\nVERSION:102\nSECURITY:NONE\nENCODING:UTF-8\nCHARSET:NONE\nCOMPRESSION:NONE\n"
    "OLDFILEUID:NONE\nNEWFILEUID:NONE\n\n"
    "<OFX><SIGNONMSGSRSV1><SONRS><STATUS><CODE>0<SEVERITY>INFO</STATUS><DTSERVER>20240201<LANGUAGE>CHI</SONRS>"
    "</SIGNONMSGSRSV1><BANKMSGSRSV1><STMTTRNRS><TRNUID>1<STATUS><CODE>0<SEVERITY>INFO</STATUS><STMTRS><CURDEF>CNY"
    "<BANKACCTFROM><BANKID>308<ACCTID>6225001234<ACCTTYPE>CHECKING</BANKACCTFROM>"
    "<BANKTRANLIST><DTSTART>20240101<DTEND>20240131\n"
    "<STMTTRN><TRNTYPE>DEBIT<DTPOSTED>20240105103000[+8:CST]<TRNAMT>-35.50<FITID>F0001<NAME>星巴克<MEMO>拿铁</STMTTRN>\n"
    "<STMTTRN><TRNTYPE>CREDIT<DTPOSTED>20240110<TRNAMT>8000.00<FITID>F0002<NAME>某公司</STMTTRN>\n"
    "</BANKTRANLIST><LEDGERBAL><BALAMT>100<DTASOF>20240131</LEDGERBAL></STMTRS></STMTTRNRS></BANKMSGSRSV1></OFX>\n";

const char *const kOfxXml =
    "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
    "<?OFX OFXHEADER=\"200\" VERSION=\"211\" SECURITY=\"NONE\" OLDFILEUID=\"NONE\" NEWFILEUID=\"NONE\"?>\n"
    "<OFX><SIGNONMSGSRSV1><SONRS><STATUS><CODE>0</CODE><SEVERITY>INFO</SEVERITY></STATUS><DTSERVER>20240201</DTSERVER>"
    "<LANGUAGE>CHI</LANGUAGE></SONRS></SIGNONMSGSRSV1><CREDITCARDMSGSRSV1><CCSTMTTRNRS><TRNUID>1</TRNUID><STATUS>"
    "<CODE>0</CODE><SEVERITY>INFO</SEVERITY></STATUS><CCSTMTRS><CURDEF>CNY</CURDEF><CCACCTFROM><ACCTID>4392</ACCTID>"
    "</CCACCTFROM><BANKTRANLIST><DTSTART>20240101</DTSTART><DTEND>20240131</DTEND>\n"
    "<STMTTRN><TRNTYPE>DEBIT</TRNTYPE><DTPOSTED>20240106</DTPOSTED><TRNAMT>-1234.56</TRNAMT><FITID>X1</FITID>"
    "<NAME>京东商城</NAME><MEMO>显示器</MEMO></STMTTRN>\n"
    "</BANKTRANLIST></CCSTMTRS></CCSTMTTRNRS></CREDITCARDMSGSRSV1></OFX>\n";

import::BankMapping merchantsMapping()
{
    import::BankMapping m;
    m.name = "招商银行";
    m.dateColumn = "交易日期";
    m.timeColumn = "交易时间";
    m.debitColumn = "支出";
    m.creditColumn = "收入";
    m.counterpartyColumn = "交易备注";
    m.descriptionColumn = "交易类型";
    return m;
}

import::BankMapping creditCardMapping()
{
    import::BankMapping m;
    m.name = "信用卡";
    m.dateColumn = "记账日期";
    m.amountColumn = "金额";
    m.sign = import::AmountSign::PositiveIsSpending;
    m.dateOrder = import::DateOrder::DayFirst;
    m.counterpartyColumn = "对方";
    m.descriptionColumn = "交易描述";
    return m;
}

struct ReaderCase {
    const char *name;
    std::function<fs::path(const fs::path &folder)> write;
    std::function<import::ReadOptions()> options;
    import::Format format;
    std::size_t rows;
    std::size_t row;          // which row is compared in full
    const char *expected;     // signature() of that row
};

import::ReadOptions automatic() { return {}; }
import::ReadOptions withMapping(import::BankMapping m)
{
    import::ReadOptions o;
    o.format = import::FormatChoice::Bank;
    o.mapping = std::move(m);
    return o;
}

fs::path text(const fs::path &folder, const char *name, const std::string &bytes) { return writeFile(folder / name, bytes); }

const ReaderCase kCases[] = {
    {"AlipayUtf8WithMark", [](const fs::path &f) { return text(f, "a.csv", "\xEF\xBB\xBF" + std::string(kAlipayBill)); },
     automatic, import::Format::Alipay, 8, 1,
     "10|2024/03/03 08:15:00|支|3550|滴滴出行|快车|交通出行|招商银行(1234)|20240303001|M002"},
    {"AlipayGbk", [](const fs::path &f) { return text(f, "b.txt", toGbk(kAlipayBill)); }, automatic,
     import::Format::Alipay, 8, 4, "13|2024/03/07 10:00:00|中|2000|某超市|退款-洗衣液|退款|花呗|20240306001_R1|M003|退款"},
    {"AlipayOldColumnsGbk", [](const fs::path &f) { return text(f, "c.csv", toGbk(kAlipayOld)); }, automatic,
     import::Format::Alipay, 3, 1, "7|2016/05/02 11:00:00|中|10000|余额宝|转入|即时到账交易||2016050221001002|"},
    {"AlipayOldFundStateGivesDirection", [](const fs::path &f) { return text(f, "d.csv", toGbk(kAlipayOld)); },
     automatic, import::Format::Alipay, 3, 2, "8|2016/05/03 12:00:00|收|30000|某公司|报销|即时到账交易||2016050321001003|"},
    {"AlipayColumnsByName", [](const fs::path &f) { return text(f, "e.csv", kAlipayReordered); }, automatic,
     import::Format::Alipay, 1, 0, "2|2021/06/14 14:00:38|支|1980|某药房|感冒药|医疗健康|招商银行(1234)|2021061401|ABC1"},
    {"WeChatCsv", [](const fs::path &f) { return text(f, "w.csv", kWeChatBill); }, automatic, import::Format::WeChat, 5,
     0, "18|2024/03/04 12:45:27|支|2816|云膳过桥米线|总共消费:28.16|商户消费|零钱|4200001|M101"},
    {"WeChatRefund", [](const fs::path &f) { return text(f, "w2.csv", kWeChatBill); }, automatic,
     import::Format::WeChat, 5, 4, "22|2024/03/14 10:00:00|收|3800|某影院|电影票|某影院-退款|零钱|4200005|M104|退款"},
    {"WeChatXlsx",
     [](const fs::path &f) {
         writeWeChatXlsx(f / "w.xlsx");
         return f / "w.xlsx";
     },
     automatic, import::Format::WeChat, 5, 2, "20|2024/03/11 09:00:00|中|20000|||转入零钱通-来自零钱|零钱|1000003|"},
    {"WeChatXlsxTimeAsNumber",
     [](const fs::path &f) {
         // 45357.5 is 2024-03-06 12:00 counted in days as spreadsheets do.
         writeXlsx(f / "n.xlsx", {{std::string("交易时间"), std::string("交易类型"), std::string("交易对方"),
                                   std::string("商品"), std::string("收/支"), std::string("金额(元)"),
                                   std::string("支付方式"), std::string("当前状态"), std::string("交易单号")},
                                  {45357.5, std::string("商户消费"), std::string("便利店"), std::string("/"),
                                   std::string("支出"), 12.3, std::string("零钱"), std::string("支付成功"),
                                   std::string("77")}});
         return f / "n.xlsx";
     },
     automatic, import::Format::WeChat, 1, 0, "2|2024/03/06 12:00:00|支|1230|便利店||商户消费|零钱|77|"},
    {"MerchantsBankGbk", [](const fs::path &f) { return text(f, "m.csv", toGbk(kMerchantsBank)); },
     [] { return withMapping(merchantsMapping()); }, import::Format::Bank, 2, 0,
     "6|2024/01/05 10:30:00|支|3550|星巴克|消费||对帐单:招商银行||"},
    {"CreditCardDayFirst", [](const fs::path &f) { return text(f, "k.csv", kCreditCard); },
     [] { return withMapping(creditCardMapping()); }, import::Format::Bank, 2, 1,
     "3|2024/01/28 00:00:00|收|100000||还款||对帐单:信用卡||"},
    {"CreditCardThousands", [](const fs::path &f) { return text(f, "k2.csv", kCreditCard); },
     [] { return withMapping(creditCardMapping()); }, import::Format::Bank, 2, 0,
     "2|2024/01/05 00:00:00|支|123400|京东商城|网上支付||对帐单:信用卡||"},
    {"BankXls",
     [](const fs::path &f) {
         writeXls(f / "s.xls", {{std::string("交易日期"), std::string("摘要"), std::string("对方户名"), std::string("金额")},
                                {std::string("2024/01/05"), std::string("消费"), std::string("星巴克"), -35.5},
                                {std::string("2024/01/10"), std::string("工资"), std::string("某公司"), 8000.0}});
         return f / "s.xls";
     },
     [] {
         import::BankMapping m;
         m.name = "工行";
         m.dateColumn = "交易日期";
         m.amountColumn = "金额";
         m.counterpartyColumn = "对方户名";
         m.descriptionColumn = "摘要";
         return withMapping(m);
     },
     import::Format::Bank, 2, 0, "2|2024/01/05 00:00:00|支|3550|星巴克|消费||对帐单:工行||"},
    {"QifMonthFirst", [](const fs::path &f) { return text(f, "q.qif", kQifUs); }, automatic, import::Format::Qif, 3, 1,
     "9|2024/01/10 00:00:00|收|800000|某公司||工资|QIF||"},
    {"QifTransferMovesNothing", [](const fs::path &f) { return text(f, "q2.qif", kQifUs); }, automatic,
     import::Format::Qif, 3, 2, "14|2024/01/12 00:00:00|中|50000|||[储蓄卡]|QIF||"},
    {"QifDayFirst", [](const fs::path &f) { return text(f, "q3.qif", kQifDayFirst); }, automatic, import::Format::Qif,
     2, 0, "2|2023/12/25 00:00:00|支|8800|圣诞晚餐|||QIF||"},
    {"OfxSgml", [](const fs::path &f) { return text(f, "o.ofx", kOfxSgml); }, automatic, import::Format::Ofx, 2, 0,
     "1|2024/01/05 10:30:00|支|3550|星巴克|拿铁||OFX:308  6225001234|F0001|"},
    {"OfxXml", [](const fs::path &f) { return text(f, "o2.ofx", kOfxXml); }, automatic, import::Format::Ofx, 1, 0,
     "1|2024/01/06 00:00:00|支|123456|京东商城|显示器||OFX:4392|X1|"},
};

void PrintTo(const ReaderCase &c, std::ostream *out) { *out << c.name; }

class ReaderTest : public ::testing::TestWithParam<ReaderCase> {
protected:
    TempDatabase t;
};

} // namespace

TEST_P(ReaderTest, ReadsTheBill)
{
    const ReaderCase &c = GetParam();
    const import::BillRead read = import::readBillFile(t.connection(), c.write(t.folder()).string(), c.options());
    ASSERT_TRUE(read.result.done) << read.result.message;
    EXPECT_EQ(read.bill.format, c.format);
    ASSERT_EQ(read.bill.rows.size(), c.rows);
    EXPECT_EQ(signature(read.bill.rows[c.row]), c.expected);
}

INSTANTIATE_TEST_SUITE_P(Bills, ReaderTest, ::testing::ValuesIn(kCases),
                         [](const auto &info) { return std::string(info.param.name); });
