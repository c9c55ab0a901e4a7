// The balances of the accounts, checked against the money the test moved,
// booked here account by account from the entries it wrote.
#include "ledger/balances.h"
#include "ledger/posting.h"
#include "setup/bank_details.h"
#include "setup/tree_store.h"
#include "support/temp_database.h"

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

using testing_support::StatementLog;
using testing_support::TempDatabase;

namespace {

// One movement of money into (+) or out of (-) an account on a day.
struct Movement {
    std::string account;
    std::string day;
    long long cents;
};

class Books {
public:
    Books()
    {
        using setup::TreeKind;
        db::Connection &c = t.connection();
        // 招商银行 holds an account of its own below it.
        for (const auto &[parent, name] : std::vector<std::pair<const char *, const char *>>{
                 {"我的存款银行", "工商银行"}, {"我的存款银行", "招商银行"}, {"招商银行", "招行储蓄卡"}})
            EXPECT_TRUE(setup::addNode(c, TreeKind::Bank, parent, name));
        open("工商银行", "500", "", {2024, 1, 1, 0, 0, 0});
        moved.push_back({"工商银行", "20240101", 50000});
        open("招行储蓄卡", "300.5", "工商银行", {2024, 1, 2, 0, 0, 0});
        moved.push_back({"招行储蓄卡", "20240102", 30050});
        moved.push_back({"工商银行", "20240102", -30050});
        post("3", "2024/02/10 09:00", "收", "工资", "8000", "工商银行");
        moved.push_back({"工商银行", "20240210", 800000});
        post("4", "2024/03/10 09:00", "付", "房租", "0.1", "招商银行");
        moved.push_back({"招商银行", "20240310", -10});
        post("5", "2024/03/15 11:00", "付", "午餐", "35.5", "现金银行");
        moved.push_back({"现金银行", "20240315", -3550});
        post("6", "2024/03/15 23:59", "取", "取钱", "200", "工商银行");
        moved.push_back({"工商银行", "20240315", -20000});
        moved.push_back({"现金银行", "20240315", 20000});
        post("7", "2024/03/16 00:00", "存", "存钱", "1000", "招行储蓄卡");
        moved.push_back({"现金银行", "20240316", -100000});
        moved.push_back({"招行储蓄卡", "20240316", 100000});
        // Rows of an account the tree no longer holds still count.
        c.execute("insert into BankAccount (Num,DTime,PayGet,NStyle,nMoney,BankName,AccNum) values "
                  "(8,'2024/03/01 10:00','存','存钱',0.05,'旧帐户 ',8)");
        moved.push_back({"旧帐户", "20240301", 5});
    }

    // The money of an account (or of all, for "") up to the end of a day.
    long long cents(const std::string &account, const std::string &day) const
    {
        long long sum = 0;
        for (const Movement &m : moved)
            if ((account.empty() || m.account == account) && m.day <= day)
                sum += m.cents;
        return sum;
    }

    TempDatabase t;
    std::vector<Movement> moved;

private:
    void open(const char *name, const char *amount, const char *source, const db::DateTime &day)
    {
        setup::BankForm form;
        form.unlocked = true;
        form.loaded = form.selected = name;
        form.openingBalance = amount;
        form.source = source;
        form.activeDate = day;
        EXPECT_TRUE(setup::saveBankDetails(t.connection(), form));
    }
    void post(const char *number, const char *date, const char *type, const char *category, const char *amount,
              const char *bank)
    {
        EXPECT_TRUE(ledger::postEntry(t.connection(), {number, date, type, category, amount, "", "管理员", bank, ""}));
    }
};

std::string yuanOf(long long cents)
{
    char text[40];
    std::snprintf(text, sizeof text, "￥%s%lld.%02lld", cents < 0 ? "-" : "", (cents < 0 ? -cents : cents) / 100,
                  (cents < 0 ? -cents : cents) % 100);
    return text;
}

} // namespace

class Balances : public testing::TestWithParam<const char *> {};

// Every account in tree order with its own money and its branch's, the root
// carrying the total, then the name the tree lacks once it has rows.
TEST_P(Balances, RollUpAlongTheTreeAtTheEndOfTheDay)
{
    Books books;
    const std::string day = GetParam();
    const std::vector<ledger::AccountBalance> lines = ledger::accountBalances(books.t.connection(), day);
    struct Line {
        const char *name;
        int depth;
        long long own;
        long long total;
    };
    const long long card = books.cents("招行储蓄卡", day);
    const long long merchants = books.cents("招商银行", day);
    std::vector<Line> expected = {
        {"我的存款银行", 0, 0, books.cents("", day)},
        {"现金银行", 1, books.cents("现金银行", day), books.cents("现金银行", day)},
        {"工商银行", 1, books.cents("工商银行", day), books.cents("工商银行", day)},
        {"招商银行", 1, merchants, merchants + card},
        {"招行储蓄卡", 2, card, card},
    };
    // A name the tree lacks shows from its first row on.
    if (day >= "20240301")
        expected.push_back({"旧帐户（已不在帐户树中）", 1, books.cents("旧帐户", day), books.cents("旧帐户", day)});
    ASSERT_EQ(lines.size(), expected.size());
    for (std::size_t i = 0; i < lines.size(); ++i) {
        EXPECT_EQ(ledger::balanceLabel(lines[i]), expected[i].name);
        EXPECT_EQ(lines[i].depth, expected[i].depth) << expected[i].name;
        if (i > 0) {
            EXPECT_EQ(ledger::yuan(lines[i].own), yuanOf(expected[i].own)) << expected[i].name;
        }
        EXPECT_EQ(ledger::yuan(lines[i].total), yuanOf(expected[i].total)) << expected[i].name;
    }
    // An account's rows up to the day, as its ledger lists them, come to
    // its own balance.
    for (const char *account : {"现金银行", "工商银行", "招行储蓄卡", "旧帐户"}) {
        const ledger::LedgerTable rows = ledger::accountRows(books.t.connection(), account, day);
        const std::size_t amount = std::string(account) == "现金银行" ? 2 : 3;
        if (rows.rowCount() > 0) {
            EXPECT_TRUE(rows.summary[amount].ends_with("余额为：" + yuanOf(books.cents(account, day)))) << account;
        } else {
            EXPECT_EQ(books.cents(account, day), 0) << account;
        }
    }
}

INSTANTIATE_TEST_SUITE_P(LedgerBalances, Balances,
                         testing::Values("20231231", "20240101", "20240102", "20240314", "20240315", "20240316",
                                         "20991231"));

// One pass gives the total at the end of every day asked for, in the order
// asked, equal to the money moved up to each.
TEST(LedgerBalances, TotalsAtTheEndOfManyDaysInOnePass)
{
    Books books;
    const std::vector<std::string> days = {"20240315", "20231231", "20240101", "20240316", "20240315", "20991231",
                                           "20240228"};
    StatementLog log;
    const std::vector<db::Money> totals = ledger::totalsAtDayEnds(books.t.connection(), days);
    EXPECT_EQ(log.statements().size(), 2u); // the bank ledger and the cash ledger, once each
    ASSERT_EQ(totals.size(), days.size());
    for (std::size_t i = 0; i < days.size(); ++i)
        EXPECT_EQ(ledger::yuan(totals[i]), yuanOf(books.cents("", days[i]))) << days[i];
    EXPECT_TRUE(ledger::totalsAtDayEnds(books.t.connection(), {}).empty());
}

// The total of today is read again only when the books changed.
TEST(LedgerBalances, TheWatchReadsAgainOnlyAfterAChange)
{
    Books books;
    ledger::TotalWatch watch;
    db::Connection &c = books.t.connection();
    EXPECT_EQ(ledger::yuan(watch.totalAt(c, "20240316")), yuanOf(books.cents("", "20240316")));
    {
        StatementLog log;
        watch.totalAt(c, "20240316");
        EXPECT_TRUE(log.statements().empty());
    }
    ASSERT_TRUE(ledger::postEntry(c, {"9", "2024/03/16 08:00", "付", "午餐", "12.34", "", "管理员", "现金银行", ""}));
    EXPECT_EQ(ledger::yuan(watch.totalAt(c, "20240316")), yuanOf(books.cents("", "20240316") - 1234));
    // Another connection's write is seen once this one has read the books.
    db::Connection other = db::Connection::openFile(books.t.path());
    ASSERT_TRUE(ledger::postEntry(other, {"10", "2024/03/16 09:00", "付", "午餐", "1", "", "管理员", "现金银行", ""}));
    books.t.value("select count(*) from account");
    EXPECT_EQ(ledger::yuan(watch.totalAt(c, "20240316")), yuanOf(books.cents("", "20240316") - 1334));
    EXPECT_EQ(ledger::yuan(watch.totalAt(c, "20240315")), yuanOf(books.cents("", "20240315")));
}

