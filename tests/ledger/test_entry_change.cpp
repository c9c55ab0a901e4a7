#include "ledger/entry_change.h"
#include "ledger/posting.h"
#include "support/temp_database.h"

#include <gtest/gtest.h>

using testing_support::StatementLog;
using testing_support::TempDatabase;

namespace {

ledger::Entry lunch(const char *number = "12", const char *bank = "现金银行")
{
    return {number, "2007/03/05 12:30", "付", "午餐", "35.5", "午饭", "管理员", bank, ""};
}

// Every row of every table that an entry touches, as one text.
std::string snapshot(TempDatabase &t)
{
    std::string all;
    for (const char *sql :
         {"select group_concat(财务标识||日期||收负类型||'|'||帐目类型||'|'||钱额||说明||经手人||银行, ';') as v from "
          "account",
          "select group_concat(Num||PayStyle||'|'||nMoney||FromBank||AccNum, ';') as v from PayMoney",
          "select group_concat(Num||MoneyFrom||'|'||nMoney||MoneyTo||AccNum, ';') as v from GetMoney",
          "select group_concat(Num||NStyle||'|'||nMoney||PayGet||AccNum, ';') as v from CashAccount",
          "select group_concat(Num||NStyle||'|'||nMoney||PayGet||BankName||AccNum, ';') as v from BankAccount",
          "select group_concat(InvestStyle||'|'||nMoney||nState||AccNum, ';') as v from InvestMoney"})
        all += t.value(sql) + "\n";
    return all;
}

} // namespace

TEST(EntryChange, ReadsTheJournalRowForTheDialog)
{
    TempDatabase t;
    auto &c = t.connection();
    ASSERT_TRUE(ledger::postEntry(c, lunch()));
    c.execute("INSERT INTO account (财务标识) VALUES (13)");
    ledger::Entry e;
    StatementLog log;
    ASSERT_TRUE(ledger::readEntry(c, "12", e));
    EXPECT_EQ(log.statements(), (std::vector<std::string>{"select * from account where 财务标识 =12"}));
    EXPECT_EQ(e.number, "12");
    EXPECT_EQ(e.date, "2007/03/05 12:30");
    EXPECT_EQ(e.type, "付 ");
    EXPECT_EQ(e.category, "午餐 ");
    EXPECT_EQ(e.amount, "35.5");
    EXPECT_EQ(e.description, "午饭");
    EXPECT_EQ(e.handler, "管理员");
    EXPECT_EQ(e.bank, "现金银行");
    // Null fields read as empty texts.
    ASSERT_TRUE(ledger::readEntry(c, "13", e));
    EXPECT_EQ(e.date + e.type + e.category + e.amount + e.bank, "");
    EXPECT_TRUE(ledger::readEntry(c, "14", e).refusedWith(ledger::kMsgEntryMissing));
    EXPECT_TRUE(ledger::readEntry(c, "12 or 1=1", e).refusedWith(ledger::kMsgBadNumber));
}

TEST(EntryChange, CashExpenseMovedToABankAccount)
{
    TempDatabase t;
    auto &c = t.connection();
    ASSERT_TRUE(ledger::postEntry(c, lunch()));
    auto changed = lunch();
    changed.type = "付";
    changed.category = "晚餐";
    changed.bank = "工商银行";
    changed.amount = "40";
    StatementLog log;
    ASSERT_TRUE(ledger::changeEntry(c, "12", changed));
    EXPECT_EQ(log.statements(),
              (std::vector<std::string>{
                  "update account set  日期= '2007/03/05 12:30',收负类型='付',帐目类型='晚餐',钱额=40,说明='午饭',"
                  "经手人='管理员',银行='工商银行'  where 财务标识=12",
                  "delete from PayMoney where AccNum =12", "delete from GetMoney where AccNum =12",
                  "delete from CashAccount where AccNum =12", "delete from BankAccount where AccNum =12",
                  "delete from InvestMoney where AccNum =12",
                  "INSERT INTO PayMoney (Num,DTime,PayStyle,nMoney,FromBank,Operator,AccNum)  VALUES (12, "
                  "'2007/03/05 12:30', '晚餐 ',40 ,'工商银行','管理员',12)",
                  "INSERT INTO BankAccount (Num,DTime,PayGet,NStyle,nMoney,Details,Operator,BankName,AccNum)  VALUES "
                  "(12, '2007/03/05 12:30', '付 ','晚餐 ',-40 ,'午饭','管理员','工商银行',12)",
                  "select FullID as num from PayStyle where Style='晚餐'"}));
    EXPECT_EQ(t.count("CashAccount"), 0);
    EXPECT_EQ(t.value("select nMoney||BankName from BankAccount where Num=12 and AccNum=12"), "-40.0工商银行");
    // The journal row loses the blanks that posting appended.
    EXPECT_EQ(t.value("select length(收负类型)||','||length(帐目类型) from account"), "1,2");
    EXPECT_EQ(t.count("account"), 1);
}

TEST(EntryChange, RowsKeepTheEntrysOwnNumber)
{
    TempDatabase t;
    auto &c = t.connection();
    ASSERT_TRUE(ledger::postEntry(c, lunch()));
    auto changed = lunch();
    changed.number = "99";
    changed.type = " 收 ";
    changed.category = "工资";
    ASSERT_TRUE(ledger::changeEntry(c, "12", changed));
    EXPECT_EQ(t.value("select Num||','||AccNum||','||nMoney from GetMoney"), "12,12,35.5");
    EXPECT_EQ(t.value("select Num||','||AccNum||','||nMoney||','||PayGet from CashAccount"), "12,12,35.5,收");
    EXPECT_EQ(t.count("PayMoney"), 0);
    EXPECT_EQ(t.value("select count(*) from account where 财务标识=12"), "1");
}

TEST(EntryChange, InvestmentRowsAreRewrittenOnChangeAndGoOnDelete)
{
    TempDatabase t;
    auto &c = t.connection();
    ASSERT_TRUE(ledger::postEntry(c, {"1", "2007/03/05 10:00", "付", "股票", "100", "", "管理员", "工商银行", ""}));
    ASSERT_TRUE(ledger::postEntry(c, {"2", "2007/04/05 10:00", "收", "股票", "120", "", "管理员", "工商银行", "100"}));
    auto changed = ledger::Entry{"1", "2007/03/06 10:00", "付", "股票", "150", "", "管理员", "现金银行", ""};
    ASSERT_TRUE(ledger::changeEntry(c, "1", changed));
    // The started investment follows the change; the finishing entry is
    // another entry and keeps its own row.
    EXPECT_EQ(t.column("select nMoney||InvestBank||nState from InvestMoney order by AccNum"),
              (std::vector<std::string>{"150.0现金银行投资开始", "-100.0工商银行投资完成"}));
    EXPECT_EQ(t.value("select nMoney from CashAccount where AccNum=1"), "-150");

    StatementLog log;
    ASSERT_TRUE(ledger::deleteEntry(c, "2"));
    EXPECT_EQ(log.statements(),
              (std::vector<std::string>{
                  "delete from account where 财务标识 =2", "delete from PayMoney where AccNum =2",
                  "delete from GetMoney where AccNum =2", "delete from CashAccount where AccNum =2",
                  "delete from BankAccount where AccNum =2", "delete from InvestMoney where AccNum =2"}));
    EXPECT_EQ(t.column("select AccNum from InvestMoney"), (std::vector<std::string>{"1"}));
    EXPECT_EQ(t.value("select count(*) from GetMoney where AccNum=2") +
                  t.value("select count(*) from BankAccount where AccNum=2"),
              "00");
    EXPECT_EQ(t.column("select 财务标识 from account"), (std::vector<std::string>{"1"}));
}

namespace {
// An entry posted, then changed: the investment rows it has afterwards.
struct InvestmentChange {
    const char *name;
    ledger::Entry posted;
    ledger::Entry changed;
    const char *rows; // nMoney|nLastMoney|nGain|nState of its rows; nullptr: refused
};
void PrintTo(const InvestmentChange &c, std::ostream *out) { *out << c.name; }

class ChangedInvestment : public ::testing::TestWithParam<InvestmentChange> {};

ledger::Entry entry(const char *type, const char *category, const char *amount, const char *invested = "")
{
    return {"5", "2007/03/05 10:00", type, category, amount, "", "管理员", "工商银行", invested};
}
} // namespace

TEST_P(ChangedInvestment, RowFollowsTheEntry)
{
    const InvestmentChange &p = GetParam();
    TempDatabase t;
    auto &c = t.connection();
    ASSERT_TRUE(ledger::postEntry(c, p.posted));
    const std::string before = snapshot(t);
    const db::Result result = ledger::changeEntry(c, "5", p.changed);
    if (!p.rows) {
        EXPECT_TRUE(result.refusedWith(ledger::kMsgBadInvested));
        EXPECT_EQ(snapshot(t), before);
        return;
    }
    ASSERT_TRUE(result) << result.message;
    EXPECT_EQ(t.value("select group_concat(nMoney||'|'||nLastMoney||'|'||nGain||'|'||nState||AccNum, ';') "
                      "from InvestMoney"),
              p.rows);
}

INSTANTIATE_TEST_SUITE_P(
    EntryChange, ChangedInvestment,
    ::testing::Values(
        InvestmentChange{"StartedAmount", entry("付", "股票", "1000"), entry("付", "股票", "1100"),
                         "1100.0|0.0|0.0|投资开始5"},
        InvestmentChange{"FinishedKeepsWhatWasInvested", entry("收", "股票", "1200", "1000"),
                         entry("收", "股票", "1300"), "-1000.0|1300.0|300.0|投资完成5"},
        InvestmentChange{"FinishedWithAnotherStart", entry("收", "股票", "1200", "1000"),
                         entry("收", "股票", "1300", "900"), "-900.0|1300.0|400.0|投资完成5"},
        InvestmentChange{"NoLongerAnInvestment", entry("付", "股票", "1000"), entry("付", "午餐", "1000"), ""},
        InvestmentChange{"NowAnInvestment", entry("付", "午餐", "1000"), entry("付", "基金", "800"),
                         "800.0|0.0|0.0|投资开始5"},
        InvestmentChange{"FinishedWithoutAStart", entry("收", "工资", "1000"), entry("收", "股票", "1000"), nullptr}));

namespace {
struct TypedAmount {
    const char *typed;
    const char *stored; // nullptr: refused
};
void PrintTo(const TypedAmount &a, std::ostream *out) { *out << "amount '" << a.typed << "'"; }

class ChangedAmount : public ::testing::TestWithParam<TypedAmount> {};
} // namespace

TEST_P(ChangedAmount, FullStopAndEmptyAreNormalisedOthersRefused)
{
    TempDatabase t;
    auto &c = t.connection();
    ASSERT_TRUE(ledger::postEntry(c, lunch()));
    auto changed = lunch();
    changed.amount = GetParam().typed;
    const std::string before = snapshot(t);
    const db::Result result = ledger::changeEntry(c, "12", changed);
    if (GetParam().stored) {
        ASSERT_TRUE(result);
        EXPECT_EQ(t.value("select 钱额 from account"), GetParam().stored);
        EXPECT_EQ(t.value("select nMoney from PayMoney"), GetParam().stored);
    } else {
        EXPECT_TRUE(result.refusedWith(ledger::kMsgBadAmount));
        EXPECT_EQ(snapshot(t), before);
    }
}

INSTANTIATE_TEST_SUITE_P(EntryChange, ChangedAmount,
                         ::testing::Values(TypedAmount{"12。5", "12.5"}, TypedAmount{"", "0"}, TypedAmount{"7", "7"},
                                           TypedAmount{"1。2。3", nullptr}, TypedAmount{"12,5", nullptr},
                                           TypedAmount{"3+4", nullptr}, TypedAmount{"1;delete from account", nullptr}));

TEST(EntryChange, RefusalsWriteNothing)
{
    TempDatabase t;
    auto &c = t.connection();
    ASSERT_TRUE(ledger::postEntry(c, lunch()));
    const std::string before = snapshot(t);
    auto e = lunch();
    e.category = "";
    EXPECT_TRUE(ledger::changeEntry(c, "12", e).refusedWith(ledger::kMsgNoCategory));
    e = lunch();
    e.bank = "";
    EXPECT_TRUE(ledger::changeEntry(c, "12", e).refusedWith(ledger::kMsgNoBank));
    e.bank = "我的存款银行 ";
    EXPECT_TRUE(ledger::changeEntry(c, "12", e).refusedWith(ledger::kMsgBankRoot));
    e = lunch();
    e.type = "存";
    e.category = "存钱";
    EXPECT_TRUE(ledger::changeEntry(c, "12", e).refusedWith(ledger::kMsgTransferNeedsBank));
    EXPECT_TRUE(ledger::changeEntry(c, "12 or 1=1", lunch()).refusedWith(ledger::kMsgBadNumber));
    EXPECT_TRUE(ledger::deleteEntry(c, "").refusedWith(ledger::kMsgBadNumber));
    {
        // An entry removed meanwhile is not written back.
        StatementLog log;
        EXPECT_TRUE(ledger::changeEntry(c, "13", lunch("13")).refusedWith(ledger::kMsgEntryMissing));
        ASSERT_EQ(log.statements().size(), 1u);
        EXPECT_EQ(log.statements()[0].rfind("update account set  日期=", 0), 0u);
        log.clear();
        EXPECT_TRUE(ledger::deleteEntry(c, "13").refusedWith(ledger::kMsgEntryMissing));
        EXPECT_EQ(log.statements().size(), 1u);
    }
    EXPECT_EQ(snapshot(t), before);
    // The root of a tree is refused only when posting.
    e = lunch();
    e.category = "支出类型";
    EXPECT_TRUE(ledger::changeEntry(c, "12", e));
    EXPECT_EQ(t.value("select 帐目类型 from account"), "支出类型");
}

TEST(EntryChange, AFailureLeavesTheEntryAsItWas)
{
    TempDatabase t;
    auto &c = t.connection();
    ASSERT_TRUE(ledger::postEntry(c, lunch()));
    ASSERT_TRUE(ledger::postEntry(c, {"13", "2007/03/06 10:00", "付", "股票", "100", "", "管理员", "现金银行", ""}));
    const std::string before = snapshot(t);
    // The bank row, the last statement of the change, fails.
    c.executeScript(
        "CREATE TRIGGER refuse_bank BEFORE INSERT ON BankAccount BEGIN SELECT RAISE(ABORT, 'bank refused'); END");
    EXPECT_THROW(ledger::changeEntry(c, "12", lunch("12", "工商银行")), db::Error);
    EXPECT_EQ(snapshot(t), before);
    // The investment row, the last deletion, fails.
    c.executeScript("CREATE TRIGGER refuse_invest BEFORE DELETE ON InvestMoney BEGIN SELECT RAISE(ABORT, 'kept'); END");
    EXPECT_THROW(ledger::deleteEntry(c, "13"), db::Error);
    EXPECT_EQ(snapshot(t), before);
    // The connection goes on working.
    EXPECT_TRUE(ledger::deleteEntry(c, "12"));
    EXPECT_EQ(t.count("account"), 1);
}

TEST(EntryChange, FixedTexts)
{
    EXPECT_EQ(ledger::deleteQuestion("12"), "如果删除了该记录，其相关帐目都将删除，确实要删除编号为:12的记录吗? :");
    EXPECT_EQ(ledger::normalizedAmount("。5"), ".5");
}
