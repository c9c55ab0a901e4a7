#include "ledger/ledger_load.h"
#include "ledger/posting.h"
#include "support/temp_database.h"

#include <gtest/gtest.h>

using testing_support::StatementLog;
using testing_support::TempDatabase;

namespace {

void post(TempDatabase &t, const char *number, const char *date, const char *type, const char *category,
          const char *amount, const char *bank, const char *invested = "")
{
    ledger::Entry e{number, date, type, category, amount, "", "管理员", bank, invested};
    ASSERT_TRUE(ledger::postEntry(t.connection(), e));
}

} // namespace

TEST(LedgerLoad, StatementsOfEveryLedger)
{
    TempDatabase t;
    StatementLog log;
    for (int k = 0; k < ledger::kLedgerCount; ++k)
        ledger::loadLedger(t.connection(), k, "20070301", "20070331");
    EXPECT_EQ(log.statements(),
              (std::vector<std::string>{
                  "select 财务标识,日期,收负类型,帐目类型,钱额,经手人,说明 from account where Format(日期,'yyyymmdd') "
                  ">= '20070301' and  Format(日期,'yyyymmdd') <= '20070331'  order by 日期 desc",
                  "select Num,DTime,MoneyFrom,nMoney,MoneyTo from GetMoney where Format(DTime,'yyyymmdd') >= "
                  "'20070301' and  Format(DTime,'yyyymmdd') <= '20070331' order by DTime desc",
                  "select Num,DTime,PayStyle,nMoney from PayMoney where Format(DTime,'yyyymmdd') >= '20070301'  and  "
                  "Format(DTime,'yyyymmdd') <= '20070331'  order by DTime desc",
                  "select BankName,DTime,NStyle,nMoney,PayGet from BankAccount where Format(DTime,'yyyymmdd') >= "
                  "'20070301'  and  Format(DTime,'yyyymmdd') <= '20070331'  order by DTime desc",
                  "select Num,DTime,nMoney,PayGet,NStyle from CashAccount where Format(DTime,'yyyymmdd') >= "
                  "'20070301'  and  Format(DTime,'yyyymmdd') <= '20070331'  order by DTime desc",
                  "select AccNum,DTime,InvestStyle,nMoney,nLastMoney,nGain,InvestBank,nState from InvestMoney where "
                  "Format(DTime,'yyyymmdd') >= '20070301'  and  Format(DTime,'yyyymmdd') <= '20070331'  order by "
                  "DTime desc"}));
    EXPECT_EQ(ledger::ledgerCaption(0), "  明  细  帐  ");
    EXPECT_EQ(ledger::ledgerCaption(5), "  投  资  帐  ");
    EXPECT_EQ(ledger::ledgerCaption(6), "  默  认  帐  ");
    EXPECT_EQ(ledger::ledgerColumns(5).size(), 8u);
    EXPECT_TRUE(ledger::ledgerColumns(6).empty());
    log.clear();
    EXPECT_EQ(ledger::loadLedger(t.connection(), 6, "20070301", "20070331").rowCount(), 0);
    EXPECT_TRUE(log.statements().empty());
    EXPECT_STREQ(ledger::ledgerColumns(3)[4].caption, "收付否");
}

TEST(LedgerLoad, RowsNewestFirstWithSummary)
{
    TempDatabase t;
    post(t, "1", "2007/02/28 23:59", "付", "午餐", "10", "现金银行");
    post(t, "2", "2007/03/01 00:00", "付", "午餐", "35.5", "现金银行");
    post(t, "3", "2007/03/31 23:59", "收", "工资", "100", "工商银行");
    post(t, "4", "2007/04/01 00:00", "付", "午餐", "7", "现金银行");
    auto journal = ledger::loadLedger(t.connection(), 0, "20070301", "20070331");
    ASSERT_EQ(journal.rowCount(), 2);
    EXPECT_EQ(journal.rows[0], (std::vector<std::string>{"3", "2007/03/31 23:59", "收 ", "工资 ", "100", "管理员", ""}));
    EXPECT_EQ(journal.rows[1][0], "2");
    EXPECT_EQ(journal.summary, (std::vector<std::string>{"", "合计", "", "", "2条记录,余额为：￥135.50", "", ""}));
    auto income = ledger::loadLedger(t.connection(), 1, "20070301", "20070331");
    EXPECT_EQ(income.summary[3], "1条记录,余额为：￥100.00");
    auto bank = ledger::loadLedger(t.connection(), 3, "20070301", "20070331");
    EXPECT_EQ(bank.summary, (std::vector<std::string>{"", "合计", "", "1条记录,余额为：￥100.00", ""}));
    // An empty range, or one that ends before it starts, has no summary row.
    EXPECT_EQ(ledger::loadLedger(t.connection(), 0, "20080101", "20081231").rowCount(), 0);
    EXPECT_TRUE(ledger::loadLedger(t.connection(), 0, "20070331", "20070301").summary.empty());
}

TEST(LedgerLoad, CashBalanceOfDepositAndWithdrawal)
{
    TempDatabase t;
    post(t, "1", "2007/03/05 10:00", "存", "存钱", "100", "工商银行");
    post(t, "2", "2007/03/06 10:00", "取", "取钱", "30", "工商银行");
    auto cash = ledger::loadLedger(t.connection(), 4, "20070301", "20070331");
    ASSERT_EQ(cash.rowCount(), 2);
    EXPECT_EQ(cash.rows[0], (std::vector<std::string>{"2", "2007/03/06 10:00", "30", "取", "取钱 "}));
    EXPECT_EQ(cash.summary, (std::vector<std::string>{"", "合计", "2条记录,余额为：￥-70.00", "", ""}));
    auto bank = ledger::loadLedger(t.connection(), 3, "20070301", "20070331");
    EXPECT_EQ(bank.summary[3], "2条记录,余额为：￥70.00");
}

TEST(LedgerLoad, InvestmentTotals)
{
    TempDatabase t;
    post(t, "1", "2007/03/05 10:00", "付", "股票", "100", "工商银行");
    post(t, "2", "2007/03/20 10:00", "收", "股票", "120", "工商银行", "100");
    auto invest = ledger::loadLedger(t.connection(), 5, "20070301", "20070331");
    ASSERT_EQ(invest.rowCount(), 2);
    EXPECT_EQ(invest.rows[0],
              (std::vector<std::string>{"2", "2007/03/20 10:00", "股票 ", "-100", "120", "20", "工商银行", "投资完成"}));
    EXPECT_EQ(invest.summary,
              (std::vector<std::string>{"", "合计", "2条记录", "￥0.00", "￥120.00", "￥20.00", "", ""}));
}

TEST(LedgerLoad, RemovingARowRecountsTheSummary)
{
    TempDatabase t;
    post(t, "1", "2007/03/01 08:00", "付", "午餐", "10", "现金银行");
    post(t, "2", "2007/03/02 08:00", "付", "午餐", "35.5", "现金银行");
    auto cash = ledger::loadLedger(t.connection(), 4, "20070301", "20070331");
    ASSERT_EQ(cash.rowCount(), 2);
    EXPECT_EQ(cash.summary[2], "2条记录,余额为：￥-45.50");
    cash.removeRow(0); // the newest, -35.5
    EXPECT_EQ(cash.summary[2], "1条记录,余额为：￥-10.00");
    cash.removeRow(5);
    EXPECT_EQ(cash.rowCount(), 1);
    cash.removeRow(0);
    EXPECT_TRUE(cash.summary.empty());
}
