#include "ledger/posting.h"
#include "support/temp_database.h"

#include <gtest/gtest.h>

using testing_support::StatementLog;
using testing_support::TempDatabase;

namespace {
ledger::Entry lunch()
{
    return {"12", "2007/03/05 12:30", "付", "午餐", "35.5", "", "管理员", "现金银行", ""};
}
} // namespace

TEST(Posting, CashExpenseWritesTheJournalExpenseAndCashRows)
{
    TempDatabase t;
    StatementLog log;
    EXPECT_TRUE(ledger::postEntry(t.connection(), lunch()));
    EXPECT_EQ(log.statements(),
              (std::vector<std::string>{
                  "INSERT INTO account (财务标识, 日期,收负类型,帐目类型,钱额,说明,经手人,银行) \\t\\t\\tVALUES (12, "
                  "'2007/03/05 12:30', '付 ','午餐 ',35.5 ,'','管理员','现金银行')",
                  "INSERT INTO PayMoney (Num,DTime,PayStyle,nMoney,FromBank,Operator,AccNum)  VALUES (12, '2007/03/05 "
                  "12:30', '午餐 ',35.5 ,'现金银行','管理员',12)",
                  "INSERT INTO CashAccount (Num,DTime,NStyle,nMoney,PayGet,Details,Operator,AccNum)  VALUES (12, "
                  "'2007/03/05 12:30', '午餐 ',-35.5 ,'付','','管理员',12)",
                  "select FullID as num from PayStyle where Style='午餐'"}));
    EXPECT_EQ(t.value("select nMoney from CashAccount where AccNum=12"), "-35.5");
    EXPECT_EQ(t.count("BankAccount"), 0);
}

TEST(Posting, InvestmentStartAndFinish)
{
    TempDatabase t;
    auto &c = t.connection();
    EXPECT_TRUE(ledger::isInvestmentCategory(c, "股票"));
    EXPECT_FALSE(ledger::isInvestmentCategory(c, "投资"));
    EXPECT_FALSE(ledger::isInvestmentCategory(c, "午餐"));
    EXPECT_FALSE(ledger::isInvestmentCategory(c, "工资"));
    ledger::Entry buy{"1", "2007/03/05 10:00", "付", "股票", "100", "", "管理员", "工商银行", ""};
    EXPECT_TRUE(ledger::postEntry(c, buy));
    ledger::Entry sell{"2", "2007/04/05 10:00", "收", "股票", "120", "", "管理员", "工商银行", "100"};
    StatementLog log;
    EXPECT_TRUE(ledger::postEntry(c, sell));
    EXPECT_EQ(log.statements().back(),
              "INSERT INTO InvestMoney (DTime,InvestStyle,nMoney,nLastMoney,nGain,InvestBank,Operator,AccNum,nState)  "
              "VALUES ('2007/04/05 10:00', '股票 ',-100,120 ,          20.00,'工商银行','管理员',2,'投资完成')");
    EXPECT_EQ(t.value("select sum(nMoney) || '|' || sum(nGain) from InvestMoney"), "0.0|20.0");
    EXPECT_EQ(t.value("select sum(nMoney) from BankAccount"), "20");
}

TEST(Posting, RefusalsAndFailuresWriteNothing)
{
    TempDatabase t;
    auto &c = t.connection();
    auto e = lunch();
    e.category = "";
    EXPECT_TRUE(ledger::postEntry(c, e).refusedWith(ledger::kMsgNoCategory));
    e = lunch();
    e.bank = "";
    EXPECT_TRUE(ledger::postEntry(c, e).refusedWith(ledger::kMsgNoBank));
    e = lunch();
    e.category = "支出类型";
    EXPECT_TRUE(ledger::postEntry(c, e).refusedWith(ledger::kMsgPayRoot));
    e.category = "收入类型";
    EXPECT_TRUE(ledger::postEntry(c, e).refusedWith(ledger::kMsgGetRoot));
    e = lunch();
    e.amount = "1234567890123456";
    EXPECT_TRUE(ledger::postEntry(c, e).refusedWith(ledger::kMsgAmountTooLarge));
    // Fifteen digits are what a stored amount keeps; more would be stored
    // and shown as another amount.
    for (const char *kept : {"-000123456789012.45", "123456789012345", "0.000123456789012345", "12.3400000000000000"}) {
        e.amount = kept;
        EXPECT_TRUE(ledger::checkEntry(e)) << kept;
    }
    for (const char *changed : {"999999999999999.99", "-000123456789012345.5", "1234567890123.456"}) {
        e.amount = changed;
        EXPECT_TRUE(ledger::checkEntry(e).refusedWith(ledger::kMsgAmountTooLarge)) << changed;
    }
    e = lunch();
    for (const char *root : {"我的存款银行", "我的存款银行 "}) {
        e.bank = root;
        EXPECT_TRUE(ledger::postEntry(c, e).refusedWith(ledger::kMsgBankRoot)) << root;
    }
    e = lunch();
    e.amount = "1);drop table account;--";
    EXPECT_TRUE(ledger::postEntry(c, e).refusedWith(ledger::kMsgBadAmount));
    e = lunch();
    e.number = "";
    EXPECT_TRUE(ledger::postEntry(c, e).refusedWith(ledger::kMsgBadNumber));
    // Finishing an investment without the invested amount.
    ledger::Entry sell{"5", "2007/04/05 10:00", "收", "股票", "120", "", "管理员", "现金银行", ""};
    EXPECT_TRUE(ledger::postEntry(c, sell).refusedWith(ledger::kMsgBadInvested));
    EXPECT_EQ(t.count("account") + t.count("GetMoney") + t.count("CashAccount"), 0);
    // A number the journal already holds is refused at the journal row,
    // before any other row is written.
    EXPECT_TRUE(ledger::postEntry(c, lunch()));
    auto again = lunch();
    again.type = "存";
    again.bank = "工商银行";
    {
        StatementLog log;
        EXPECT_TRUE(ledger::postEntry(c, again).refusedWith(ledger::kMsgNumberUsed));
        ASSERT_EQ(log.statements().size(), 1u);
        EXPECT_EQ(log.statements()[0].rfind("INSERT INTO account", 0), 0u);
    }
    EXPECT_EQ(t.count("account"), 1);
    EXPECT_EQ(t.count("CashAccount"), 1);
    // Quotes in texts are stored as typed.
    auto quoted = lunch();
    quoted.number = ledger::nextEntryNumber(c);
    quoted.description = "Tom's 'treat'";
    EXPECT_TRUE(ledger::postEntry(c, quoted));
    EXPECT_EQ(t.value("select Details from CashAccount where AccNum=13"), "Tom's 'treat'");
}

TEST(Posting, DepositAndWithdrawalMoveBothLedgers)
{
    TempDatabase t;
    auto &c = t.connection();
    EXPECT_EQ(ledger::nextEntryNumber(c), "1");
    EXPECT_TRUE(ledger::postEntry(c, {"1", "2007/03/05 10:00", "存", "存钱", "100", "", "管理员", "招商银行", ""}));
    EXPECT_TRUE(ledger::postEntry(c, {"2", "2007/03/06 10:00", "取", "取钱", "30", "", "管理员", "工商银行", ""}));
    EXPECT_EQ(ledger::nextEntryNumber(c), "3");
    EXPECT_EQ(t.value("select sum(nMoney) from CashAccount"), "-70");
    EXPECT_EQ(t.column("select BankName from BankAccount order by AccNum"),
              (std::vector<std::string>{"招商银行", "工商银行"}));
    EXPECT_EQ(t.value("select PayGet from BankAccount where AccNum=1"), "存 ");
    // Cash is not a bank account to move cash into or out of.
    for (const char *type : {"存", "取 "})
        for (const char *cash : {"现金银行", "现金银行 "})
            EXPECT_TRUE(ledger::postEntry(c, {"3", "2007/03/07 10:00", type, "存钱", "5", "", "管理员", cash, ""})
                            .refusedWith(ledger::kMsgTransferNeedsBank))
                << type << cash;
    EXPECT_EQ(t.count("account"), 2);
}

TEST(Posting, NegativeAmountsMakeOneSignAndValidStatements)
{
    TempDatabase t;
    auto &c = t.connection();
    StatementLog log;
    // A negative expense in cash: minus a minus goes into the cash ledger.
    auto refund = lunch();
    refund.amount = "-5";
    refund.description = "退款\nDELETE FROM SysAllUser";
    ASSERT_TRUE(ledger::postEntry(c, refund));
    EXPECT_EQ(log.statements()[2], "INSERT INTO CashAccount (Num,DTime,NStyle,nMoney,PayGet,Details,Operator,AccNum)  "
                                   "VALUES (12, '2007/03/05 12:30', '午餐 ',5 ,'付','退款\\nDELETE FROM SysAllUser',"
                                   "'管理员',12)");
    EXPECT_EQ(t.value("select nMoney from CashAccount"), "5");
    EXPECT_EQ(t.value("select 钱额 from account"), "-5");
    EXPECT_EQ(t.count("SysAllUser"), 1);
    // The same from a bank, and a negative withdrawal.
    ledger::Entry bank{"13", "2007/03/05 12:30", "付", "午餐", "-7.5", "", "管理员", "工商银行", ""};
    ASSERT_TRUE(ledger::postEntry(c, bank));
    EXPECT_EQ(t.value("select nMoney from BankAccount where AccNum=13"), "7.5");
    ledger::Entry out{"14", "2007/03/05 12:30", "取", "取钱", "-3", "", "管理员", "工商银行", ""};
    ASSERT_TRUE(ledger::postEntry(c, out));
    EXPECT_EQ(t.value("select nMoney from CashAccount where AccNum=14"), "-3");
    EXPECT_EQ(t.value("select nMoney from BankAccount where AccNum=14"), "3");
    // An investment finished with a negative invested amount.
    ledger::Entry sell{"15", "2007/04/05 10:00", "收", "股票", "120", "", "管理员", "工商银行", "-100"};
    ASSERT_TRUE(ledger::postEntry(c, sell));
    EXPECT_EQ(t.value("select nMoney || '|' || nGain from InvestMoney"), "100.0|220.0");
    // Positive amounts keep the statement text as it always was.
    log.clear();
    auto plain = lunch();
    plain.number = "16";
    ASSERT_TRUE(ledger::postEntry(c, plain));
    EXPECT_NE(log.statements()[2].find("'午餐 ',-35.5 ,'付'"), std::string::npos);
}

// Texts that would change a statement if they went in unquoted.
class UnquotedPlaces : public testing::TestWithParam<const char *> {};

TEST_P(UnquotedPlaces, NumbersAreCheckedBeforeAnythingIsWritten)
{
    TempDatabase t;
    auto &c = t.connection();
    auto number = lunch();
    number.number = GetParam();
    EXPECT_TRUE(ledger::postEntry(c, number).refusedWith(ledger::kMsgBadNumber)) << GetParam();
    auto amount = lunch();
    amount.amount = GetParam();
    EXPECT_TRUE(ledger::postEntry(c, amount).refusedWith(ledger::kMsgBadAmount)) << GetParam();
    ledger::Entry sell{"20", "2007/04/05 10:00", "收", "股票", "120", "", "管理员", "工商银行", GetParam()};
    EXPECT_TRUE(ledger::postEntry(c, sell).refusedWith(ledger::kMsgBadInvested)) << GetParam();
    EXPECT_EQ(t.count("account") + t.count("GetMoney") + t.count("BankAccount"), 0);
    EXPECT_EQ(t.count("SysAllUser"), 1);
}

INSTANTIATE_TEST_SUITE_P(Shapes, UnquotedPlaces,
                         testing::Values("1);DELETE FROM SysAllUser;--", "1 or 1=1", "5+5", "12.5x", "0x10", "1e3",
                                         "", " 12", "--5", "1,2"));

TEST(Posting, EntryNumbersAreWholeNumbers)
{
    TempDatabase t;
    for (const char *bad : {"12.5", "-1", "+3", "1e2", "١٢"}) {
        auto e = lunch();
        e.number = bad;
        EXPECT_TRUE(ledger::postEntry(t.connection(), e).refusedWith(ledger::kMsgBadNumber)) << bad;
    }
    EXPECT_EQ(t.count("account"), 0);
}

namespace {
// Where the money of an entry goes: the cash and bank rows it writes.
struct Movement {
    const char *type;
    const char *category;
    const char *bank;
    const char *cash;   // CashAccount.nMoney, "" for no row
    const char *banked; // BankAccount.nMoney, "" for no row
    const char *bankName;
};

void PrintTo(const Movement &m, std::ostream *out) { *out << m.type << ' ' << m.category << " '" << m.bank << "'"; }

class MoneyMovement : public ::testing::TestWithParam<Movement> {};
} // namespace

TEST_P(MoneyMovement, GoesToTheRightLedgerWithItsSign)
{
    const Movement &m = GetParam();
    TempDatabase t;
    ASSERT_TRUE(ledger::postEntry(t.connection(), {"7", "2007/03/05 10:00", m.type, m.category, "40", "", "管理员",
                                                   m.bank, ""}));
    EXPECT_EQ(t.value("select nMoney from CashAccount where AccNum=7 and Num=7"), m.cash);
    EXPECT_EQ(t.value("select nMoney from BankAccount where AccNum=7 and Num=7"), m.banked);
    EXPECT_EQ(t.value("select BankName from BankAccount where AccNum=7"), m.bankName);
}

INSTANTIATE_TEST_SUITE_P(
    Posting, MoneyMovement,
    ::testing::Values(Movement{"付", "午餐", "现金银行", "-40", "", ""},
                      Movement{"付", "午餐", "工商银行", "", "-40", "工商银行"},
                      Movement{"收", "工资", "现金银行", "40", "", ""},
                      Movement{"收", "工资", "工商银行", "", "40", "工商银行"},
                      // Only the exact name is the cash account.
                      Movement{"付", "午餐", "现金银行 ", "", "-40", "现金银行 "},
                      Movement{"收", "工资", "现金", "", "40", "现金"},
                      // Deposits and withdrawals move both ledgers.
                      Movement{"存", "存钱", "建设银行", "-40", "40", "建设银行"},
                      Movement{"取", "取钱", "建设银行", "40", "-40", "建设银行"}));

namespace {
struct PathKey {
    const char *fullId;
    bool investment;
};
void PrintTo(const PathKey &k, std::ostream *out) { *out << "FullID '" << k.fullId << "'"; }

class InvestmentKey : public ::testing::TestWithParam<PathKey> {};
} // namespace

TEST_P(InvestmentKey, OnlyCharactersFiveToEightCount)
{
    TempDatabase t;
    t.connection().execute("INSERT INTO PayStyle (Num,Style,nLevel,FirstLevel,ParentStyle,FullID) VALUES "
                           "(500,'测试',2,1,'餐饮','" + std::string(GetParam().fullId) + "')");
    EXPECT_EQ(ledger::isInvestmentCategory(t.connection(), "测试"), GetParam().investment);
}

INSTANTIATE_TEST_SUITE_P(Posting, InvestmentKey,
                         ::testing::Values(PathKey{"0000", false},         // first level, even number 68
                                           PathKey{"00000068", true},      // directly below 68
                                           PathKey{"000000680069", true},  // deeper below 68
                                           PathKey{"0000006800690070", true},
                                           PathKey{"000000010068", false}, // a 68 further down the path
                                           PathKey{"0068", false},         // too short
                                           PathKey{"0000006", false}));

TEST(Posting, GainIsWrittenInFifteenCharacters)
{
    const std::pair<const char *, const char *> cases[] = {
        {"120", "          20.00"}, {"80", "         -20.00"}, {"100.456", "           0.46"}};
    for (const auto &[received, gain] : cases) {
        const ledger::Entry sell{"2", "2007/04/05 10:00", "收", "股票", received, "", "管理员", "工商银行", "100"};
        const std::string statement = ledger::investFinishStatement(sell);
        EXPECT_NE(statement.find(std::string(" ,") + gain + ",'工商银行'"), std::string::npos) << statement;
    }
}
