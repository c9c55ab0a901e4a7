#include "ledger/ledger_load.h"
#include "ledger/posting.h"
#include "support/temp_database.h"

#include <sqlite3.h>

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

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
    EXPECT_EQ(journal.row(0), (std::vector<std::string>{"3", "2007/03/31 23:59", "收 ", "工资 ", "100", "管理员", ""}));
    EXPECT_EQ(journal.cell(1, 0), "2");
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
    EXPECT_EQ(cash.row(0), (std::vector<std::string>{"2", "2007/03/06 10:00", "30", "取", "取钱 "}));
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
    EXPECT_EQ(invest.row(0),
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

namespace {

// The cells of one row of the cash ledger, texts as they are stored.
std::vector<std::string> cashRow(int number, const char *date, const char *amount, const char *style)
{
    return {std::to_string(number), date, amount, "取", style};
}

ledger::LedgerTable tableOf(int index, const std::vector<std::vector<std::string>> &rows)
{
    ledger::LedgerTable table(index);
    for (const std::vector<std::string> &row : rows)
        table.appendRow(std::vector<std::string_view>(row.begin(), row.end()));
    table.summarize();
    return table;
}

// Values of every shape a REAL column can hold, amounts above all.
std::vector<double> oddNumbers()
{
    std::vector<double> values = {0.0, -0.0, 35.5, -35.5, 100, 0.1 + 0.2, 0.05, -0.05, 1.25, 2.675, 0.001,
                                  1e-7, 123456789.123456789, 999999999999.99, 1e12 + 0.5, 1e15 - 0.5, 1e15,
                                  1e16, 9.99e300, 1.5e-300, 4.9e-324, 1.7976931348623157e308, HUGE_VAL, -HUGE_VAL,
                                  9007199254740993.0, 0.30000000000000004, 1.0 / 3, -2.0 / 3};
    std::uint64_t state = 12345;
    auto next = [&] {
        state = state * 6364136223846793005ULL + 1442695040888963407ULL;
        return state;
    };
    for (int i = 0; i < 2000; ++i) {
        const long long cents = static_cast<long long>(next() % 100000000000ULL) - 50000000000LL;
        values.push_back(static_cast<double>(cents) / 100.0);
        values.push_back(std::nextafter(static_cast<double>(cents) / 100.0, HUGE_VAL));
        std::uint64_t bits = next();
        double any;
        std::memcpy(&any, &bits, sizeof any);
        if (!std::isnan(any))
            values.push_back(any);
    }
    return values;
}

} // namespace

TEST(LedgerLoad, CellsHoldTheEngineTextOfEveryValue)
{
    TempDatabase t;
    const std::vector<double> numbers = oddNumbers();
    {
        db::Transaction transaction(t.connection());
        sqlite3_stmt *insert = nullptr;
        ASSERT_EQ(sqlite3_prepare_v2(t.connection().handle(),
                                     "insert into CashAccount (Num,DTime,nMoney,PayGet,NStyle) values (?,?,?,?,?)", -1,
                                     &insert, nullptr),
                  SQLITE_OK);
        for (std::size_t i = 0; i < numbers.size(); ++i) {
            char date[32];
            std::snprintf(date, sizeof date, "2007/03/%02zu %02zu:%02zu", 1 + i / 1440 % 28, i / 60 % 24, i % 60);
            sqlite3_bind_int64(insert, 1, i % 2 ? static_cast<long long>(i) : 9223372036854775807LL - i);
            sqlite3_bind_text(insert, 2, date, -1, SQLITE_TRANSIENT);
            sqlite3_bind_double(insert, 3, numbers[i]);
            if (i % 3 == 0)
                sqlite3_bind_null(insert, 4);
            else
                sqlite3_bind_text(insert, 4, i % 3 == 1 ? "存" : "", -1, SQLITE_STATIC);
            sqlite3_bind_text(insert, 5, i % 5 ? "现金 " : "取钱", -1, SQLITE_STATIC);
            ASSERT_EQ(sqlite3_step(insert), SQLITE_DONE);
            sqlite3_reset(insert);
        }
        sqlite3_finalize(insert);
        transaction.commit();
    }
    const ledger::LedgerTable cash = ledger::loadLedger(t.connection(), 4, "20070301", "20070331");
    ASSERT_EQ(cash.rowCount(), static_cast<int>(numbers.size()));
    // What a field reads as, row by row in the order of the load.
    db::Query q = t.connection().query("select Num,DTime,nMoney,PayGet,NStyle from CashAccount order by DTime desc");
    for (int row = 0; q.next(); ++row) {
        for (int column = 0; column < 5; ++column)
            ASSERT_EQ(cash.cell(row, column), q.field(column)) << "row " << row << " column " << column;
    }
}

TEST(LedgerLoad, RemovingRowsKeepsTheOtherCells)
{
    const std::vector<std::vector<std::string>> rows = {
        cashRow(1, "2007/03/05 10:00", "-10", "早餐 "), cashRow(2, "2007/03/04 10:00", "", ""),
        cashRow(3, "2007/03/03 10:00", "-35.5", "一个很长的类型名称 "), cashRow(4, "2007/03/02 10:00", "100", "存"),
        cashRow(5, "2007/03/01 10:00", "abc", "x")};
    ledger::LedgerTable table = tableOf(4, rows);
    ASSERT_EQ(table.rowCount(), 5);
    EXPECT_EQ(table.summary[2], "5条记录,余额为：￥54.50");
    const ledger::LedgerTable copy = table;
    table.removeRow(2);
    EXPECT_EQ(table.rowCount(), 4);
    EXPECT_EQ(table.row(0), rows[0]);
    EXPECT_EQ(table.row(1), rows[1]);
    EXPECT_EQ(table.row(2), rows[3]);
    EXPECT_EQ(table.row(3), rows[4]);
    EXPECT_EQ(table.summary[2], "4条记录,余额为：￥90.00");
    table.removeRow(3);
    table.removeRow(-1);
    table.removeRow(3);
    EXPECT_EQ(table.rowCount(), 3);
    EXPECT_EQ(table.row(2), rows[3]);
    table.removeRow(0);
    EXPECT_EQ(table.row(0), rows[1]);
    EXPECT_EQ(table.row(1), rows[3]);
    EXPECT_EQ(table.cell(1, 4), "存");
    EXPECT_EQ(table.cell(2, 0), "");
    EXPECT_EQ(table.cell(0, 5), "");
    EXPECT_EQ(table.summary[2], "2条记录,余额为：￥100.00");
    // The copy taken before is untouched.
    ASSERT_EQ(copy.rowCount(), 5);
    for (int row = 0; row < 5; ++row)
        EXPECT_EQ(copy.row(row), rows[row]);
}

TEST(LedgerLoad, AMillionCellsStayInPlaceAsTheTableGrows)
{
    // Far past the size from which the cells move to a mapping of their own.
    ledger::LedgerTable table(0);
    auto cellText = [](int row, int column) {
        return column == 6 && row % 7 == 0 ? std::string() : std::to_string(row) + "/" + std::string(column + row % 5, 'x');
    };
    constexpr int kRows = 150000;
    for (int row = 0; row < kRows; ++row) {
        std::vector<std::string> cells;
        for (int column = 0; column < 7; ++column)
            cells.push_back(cellText(row, column));
        table.appendRow(std::vector<std::string_view>(cells.begin(), cells.end()));
    }
    table.shrink();
    ASSERT_EQ(table.rowCount(), kRows);
    EXPECT_GE(table.bytesHeld(), std::size_t{kRows} * 7 * 4);
    table.removeRow(1);
    ledger::LedgerTable moved = std::move(table);
    ASSERT_EQ(moved.rowCount(), kRows - 1);
    for (int row = 0; row < kRows - 1; ++row) {
        const int original = row == 0 ? 0 : row + 1;
        for (int column = 0; column < 7; ++column)
            ASSERT_EQ(moved.cell(row, column), cellText(original, column)) << row << " " << column;
    }
    const ledger::LedgerTable copy = moved;
    moved.removeRow(0);
    ASSERT_EQ(copy.rowCount(), kRows - 1);
    EXPECT_EQ(copy.cell(0, 3), cellText(0, 3));
    EXPECT_EQ(copy.cell(kRows - 2, 6), cellText(kRows - 1, 6));
    EXPECT_EQ(moved.cell(0, 3), cellText(2, 3));
    EXPECT_EQ(table.rowCount(), 0); // NOLINT: a moved-from table reads as empty
    table.appendRow({"1", "2007/03/01 10:00"});
    EXPECT_EQ(table.rowCount(), 1);
    EXPECT_EQ(table.cell(0, 1), "2007/03/01 10:00");
}
