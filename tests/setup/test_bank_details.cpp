#include "setup/bank_details.h"
#include "setup/detail_rules.h"
#include "support/temp_database.h"

#include <gtest/gtest.h>

using db::DateTime;
using testing_support::StatementLog;
using testing_support::TempDatabase;

namespace {

const DateTime kNow{2026, 12, 7, 14, 30, 0};

void addAccount(TempDatabase &t, int num, const std::string &name)
{
    t.connection().execute("insert into Bank (Num,BankName,nLevel,FirstLevel,ParentBank,FullID) values (" +
                           std::to_string(num) + ",'" + name + "',1,0,'我的存款银行','0000')");
}

// name loaded into the panel and unlocked, with an opening balance.
setup::BankForm formFor(const std::string &name, const std::string &balance = "500", const std::string &source = "")
{
    setup::BankForm form;
    form.unlocked = true;
    form.loaded = name;
    form.selected = name;
    form.accountType = "存折";
    form.openBank = "城东支行";
    form.holder = "王芳";
    form.accountNumber = "6222 0001";
    form.openingBalance = balance;
    form.source = source;
    form.activeDate = DateTime{2026, 3, 2};
    return form;
}

std::string rows(TempDatabase &t, const std::string &sql)
{
    std::string out;
    for (const std::string &row : t.column(sql))
        out += (out.empty() ? "" : "\n") + row;
    return out;
}

std::string journal(TempDatabase &t)
{
    return rows(t, "select 财务标识 || '|' || 日期 || '|' || 收负类型 || '|' || 帐目类型 || '|' || 钱额 || '|' || 银行 "
                   "|| '|' || 经手人 || '|' || 说明 from account order by 财务标识");
}

std::string bankLedger(TempDatabase &t)
{
    return rows(t, "select Num || '|' || PayGet || '|' || NStyle || '|' || nMoney || '|' || BankName || '|' || AccNum "
                   "from BankAccount order by rowid");
}

std::string cashLedger(TempDatabase &t)
{
    return rows(t, "select Num || '|' || NStyle || '|' || nMoney || '|' || PayGet || '|' || AccNum from CashAccount "
                   "order by rowid");
}

std::string bankRow(TempDatabase &t, const std::string &name)
{
    return t.value("select coalesce(AccTypeID,'') || '|' || coalesce(OpenBank,'') || '|' || coalesce(CustName,'') || "
                   "'|' || coalesce(AccNumber,'') || '|' || coalesce(ActiveDate,'') || '|' || coalesce(SumMoney,'null') "
                   "|| '|' || coalesce(FromBank,'') from Bank where BankName='" + name + "'");
}

} // namespace

TEST(BankDetails, LoadReadsTheRow)
{
    TempDatabase t;
    addAccount(t, 2, "工商银行");
    t.connection().execute("update Bank set OpenBank='城东', CustName='王芳', AccNumber='6222', ActiveDate='2020/01/06 ', "
                           "SumMoney=1200.5, FromBank='现金银行' where BankName='工商银行'");
    StatementLog log;
    const auto details = setup::loadBankDetails(t.connection(), "工商银行", kNow);
    ASSERT_TRUE(details);
    EXPECT_EQ(log.statements(), std::vector<std::string>{"SELECT *  FROM BANK  where  BankName = '工商银行'"});
    EXPECT_EQ(details->accountType, "");
    EXPECT_EQ(details->openBank, "城东");
    EXPECT_EQ(details->holder, "王芳");
    EXPECT_EQ(details->accountNumber, "6222");
    EXPECT_EQ(details->openingBalance, "1200.5");
    EXPECT_EQ(details->source, "现金银行");
    EXPECT_EQ(details->activeDate, (DateTime{2020, 1, 6}));
    const auto cash = setup::loadBankDetails(t.connection(), "现金银行", kNow);
    ASSERT_TRUE(cash);
    EXPECT_EQ(cash->accountType, "现金");
    EXPECT_EQ(cash->activeText, "");
    EXPECT_EQ(cash->activeDate, kNow);
    EXPECT_FALSE(setup::loadBankDetails(t.connection(), "我的存款银行", kNow));
}

TEST(BankDetails, OpeningBalanceFromOutsideIsAnIncome)
{
    TempDatabase t;
    addAccount(t, 2, "工商银行");
    StatementLog log;
    ASSERT_TRUE(setup::saveBankDetails(t.connection(), formFor("工商银行")).done);
    EXPECT_EQ(log.statements(),
              (std::vector<std::string>{
                  "select count(*) as n from Bank where BankName = '工商银行'",
                  "select DTime from BankAccount where BankName ='工商银行'",
                  "select max(财务标识)+1 as num from account ",
                  "INSERT INTO account (财务标识, 日期,收负类型,帐目类型,钱额,银行,经手人,说明)  VALUES (1, '2026/03/02 ', "
                  "'收','初始化',500 ,'工商银行','自动','城东支行')",
                  "insert into GetMoney(Num,DTime,MoneyFrom,nMoney,MoneyTo,Operator,AccNum) values (1,'2026/03/02 ',"
                  "'初始化',500,'工商银行','自动',1)",
                  "insert into BankAccount(Num,DTime,PayGet,NStyle,nMoney,BankName,AccNum) values ('1', '2026/03/02 ', "
                  "'存','初始化',500 ,'工商银行','1')",
                  "update Bank set  AccTypeID='存折',OpenBank='城东支行',CustName='王芳',AccNumber='6222 0001',"
                  "ActiveDate='2026/03/02 ',SumMoney=500,FromBank='' where BankName='工商银行'"}));
    // The first entry of an empty journal is number 1.
    EXPECT_EQ(journal(t), "1|2026/03/02 |收|初始化|500.0|工商银行|自动|城东支行");
    EXPECT_EQ(rows(t, "select Num || '|' || MoneyFrom || '|' || nMoney || '|' || MoneyTo || '|' || Operator || '|' || "
                      "AccNum from GetMoney"),
              "1|初始化|500.0|工商银行|自动|1");
    EXPECT_EQ(bankLedger(t), "1|存|初始化|500.0|工商银行|1");
    EXPECT_EQ(t.count("CashAccount"), 0);
    EXPECT_EQ(bankRow(t, "工商银行"), "存折|城东支行|王芳|6222 0001|2026/03/02 |500.0|");

    // A second save changes the details and posts nothing new.
    setup::BankForm again = formFor("工商银行", "800");
    again.holder = "李明";
    ASSERT_TRUE(setup::saveBankDetails(t.connection(), again).done);
    EXPECT_EQ(t.count("account"), 1);
    EXPECT_EQ(t.count("BankAccount"), 1);
    EXPECT_EQ(t.count("GetMoney"), 1);
    EXPECT_EQ(bankRow(t, "工商银行"), "存折|城东支行|李明|6222 0001|2026/03/02 |800.0|");

    // The root as source counts as outside money; the number follows the journal.
    addAccount(t, 3, "建设银行");
    ASSERT_TRUE(setup::saveBankDetails(t.connection(), formFor("建设银行", "+20.5", "我的存款银行")).done);
    EXPECT_EQ(t.value("select count(*) from GetMoney where AccNum=2 and nMoney=20.5"), "1");
}

TEST(BankDetails, OpeningBalanceMovedFromAnotherAccount)
{
    TempDatabase t;
    addAccount(t, 2, "工商银行");
    addAccount(t, 3, "建设银行");
    t.connection().execute("INSERT INTO account (财务标识,日期) VALUES (41,'2026/01/01 00:00')");
    StatementLog log;
    ASSERT_TRUE(setup::saveBankDetails(t.connection(), formFor("工商银行", "500", "现金银行")).done);
    const auto statements = log.statements();
    ASSERT_EQ(statements.size(), 7u);
    EXPECT_EQ(statements[5], "insert into CashAccount(Num,DTime,NStyle,nMoney,PayGet,AccNum) values ('42', "
                             "'2026/03/02 ', '存钱',-500 ,'支','42')");
    EXPECT_EQ(t.count("GetMoney"), 0);
    EXPECT_EQ(bankLedger(t), "42|存|初始化|500.0|工商银行|42");
    EXPECT_EQ(cashLedger(t), "42|存钱|-500.0|支|42");
    EXPECT_EQ(t.value("select FromBank from Bank where BankName='工商银行'"), "现金银行");

    log.clear();
    ASSERT_TRUE(setup::saveBankDetails(t.connection(), formFor("建设银行", "70", "工商银行")).done);
    EXPECT_EQ(log.statements()[5], "insert into BankAccount(Num,DTime,PayGet,NStyle,nMoney,BankName,AccNum) values "
                                   "('43', '2026/03/02 ', '取','取钱',-70 ,'工商银行','43')");
    EXPECT_EQ(t.value("select sum(nMoney) from BankAccount where BankName='工商银行'"), "430");
}

TEST(BankDetails, CashAccountPostsOnceIntoAnEmptyCashLedger)
{
    TempDatabase t;
    StatementLog log;
    ASSERT_TRUE(setup::saveBankDetails(t.connection(), formFor("现金银行", "200")).done);
    EXPECT_EQ(log.statements()[1], "select DTime from CashAccount  ");
    EXPECT_EQ(log.statements()[5], "insert into CashAccount(Num,DTime,NStyle,nMoney,PayGet,AccNum) values ('1', "
                                   "'2026/03/02 ', '初始化',200 ,'收','1')");
    EXPECT_EQ(journal(t), "1|2026/03/02 |收|初始化|200.0|现金银行|自动|城东支行");
    EXPECT_EQ(t.count("GetMoney"), 1);
    EXPECT_EQ(cashLedger(t), "1|初始化|200.0|收|1");
    EXPECT_EQ(t.count("BankAccount"), 0);

    // Any cash movement now refuses the whole save, details included.
    const std::string before = bankRow(t, "现金银行");
    setup::BankForm again = formFor("现金银行", "300");
    again.holder = "李明";
    EXPECT_TRUE(setup::saveBankDetails(t.connection(), again).refusedWith(setup::kMsgCashUsed));
    EXPECT_EQ(bankRow(t, "现金银行"), before);
    EXPECT_EQ(t.count("account"), 1);
}

TEST(BankDetails, NoPostingWithoutABalanceAboveZero)
{
    TempDatabase t;
    addAccount(t, 2, "工商银行");
    for (const char *balance : {"0", "-50", "0.00", ""}) {
        ASSERT_TRUE(setup::saveBankDetails(t.connection(), formFor("工商银行", balance)).done) << balance;
        EXPECT_EQ(t.count("account"), 0) << balance;
    }
    // An empty balance is stored as no value and loads back empty.
    EXPECT_EQ(bankRow(t, "工商银行"), "存折|城东支行|王芳|6222 0001|2026/03/02 |null|");
    EXPECT_EQ(setup::loadBankDetails(t.connection(), "工商银行", kNow)->openingBalance, "");
    // An account with an earlier movement keeps its balance unposted.
    t.connection().execute("insert into BankAccount (Num,DTime,BankName,nMoney) values (9,'2026/01/01 00:00','工商银行',5)");
    ASSERT_TRUE(setup::saveBankDetails(t.connection(), formFor("工商银行", "500")).done);
    EXPECT_EQ(t.count("account"), 0);
    EXPECT_EQ(t.value("select SumMoney from Bank where BankName='工商银行'"), "500");
}

struct BankRefusal {
    const char *name;
    std::function<void(setup::BankForm &)> spoil;
    const char *message;
};

void PrintTo(const BankRefusal &r, std::ostream *os) { *os << r.name; }

class BankRefusals : public testing::TestWithParam<BankRefusal> {};

TEST_P(BankRefusals, NothingIsWritten)
{
    TempDatabase t;
    addAccount(t, 2, "工商银行");
    const std::string before = bankRow(t, "工商银行");
    setup::BankForm form = formFor("工商银行");
    GetParam().spoil(form);
    const db::Result result = setup::saveBankDetails(t.connection(), form);
    EXPECT_TRUE(result.refusedWith(GetParam().message)) << result.message;
    EXPECT_EQ(bankRow(t, "工商银行"), before);
    EXPECT_EQ(t.count("account") + t.count("BankAccount") + t.count("GetMoney"), 0);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, BankRefusals,
    testing::Values(
        BankRefusal{"Locked", [](auto &f) { f.unlocked = false; }, setup::kMsgPressModify},
        BankRefusal{"Root", [](auto &f) { f.loaded = f.selected = "我的存款银行"; }, setup::kMsgChooseBank},
        BankRefusal{"NothingSelected", [](auto &f) { f.selected.clear(); }, setup::kMsgChooseBank},
        BankRefusal{"OtherAccountSelected", [](auto &f) { f.selected = "现金银行"; }, setup::kMsgLoadFirst},
        BankRefusal{"NothingLoaded", [](auto &f) { f.loaded.clear(); }, setup::kMsgLoadFirst},
        BankRefusal{"BalanceText", [](auto &f) { f.openingBalance = "五百"; }, setup::kMsgOpeningNotNumber},
        BankRefusal{"BalanceStatement", [](auto &f) { f.openingBalance = "1 ,FromBank='x'"; },
                    setup::kMsgOpeningNotNumber},
        BankRefusal{"SourceIsTheAccount", [](auto &f) { f.source = "工商银行"; }, setup::kMsgSourceIsAccount},
        BankRefusal{"DateTooEarly", [](auto &f) { f.activeDate = DateTime{1899, 1, 1}; }, setup::kMsgDateTooEarly}),
    [](const testing::TestParamInfo<BankRefusal> &info) { return std::string(info.param.name); });

TEST(BankDetails, AFailurePartWayLeavesNothing)
{
    TempDatabase t;
    addAccount(t, 2, "工商银行");
    const std::string before = bankRow(t, "工商银行");
    t.connection().execute("drop table GetMoney");
    EXPECT_THROW(setup::saveBankDetails(t.connection(), formFor("工商银行")), db::Error);
    EXPECT_EQ(t.count("account"), 0);
    EXPECT_EQ(t.count("BankAccount"), 0);
    EXPECT_EQ(bankRow(t, "工商银行"), before);
}
