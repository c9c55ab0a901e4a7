#include "app/recurring.h"
#include "support/temp_database.h"

#include <gtest/gtest.h>

#include <chrono>
#include <thread>

using app::Side;
using app::Unit;
using db::DateTime;
using testing_support::StatementLog;
using testing_support::TempDatabase;

namespace {

struct ItemRow {
    int num;
    const char *style;
    const char *unit;
    std::string dayNum;
    std::string begin;
    std::string end;
    std::string mid = " ";
    std::string amount = "100";
    const char *bank = "现金银行";
};

void addItem(TempDatabase &t, Side side, const ItemRow &row)
{
    const bool expense = side == Side::Expense;
    // Replace whatever default category holds the number or the name.
    t.connection().execute(std::string("DELETE FROM ") + (expense ? "PayStyle" : "GetStyle") + " WHERE Num=" +
                           std::to_string(row.num) + " OR Style='" + row.style + "'");
    t.connection().execute(std::string("INSERT INTO ") + (expense ? "PayStyle" : "GetStyle") + " (Num,Style,nLevel,"
                           "FirstLevel,ParentStyle,FullID,IsAuto," + (expense ? "PMoney" : "GMoney") +
                           ",DayNum,SelectType,BeginDate,EndDate,MidDate,BankName) VALUES (" + std::to_string(row.num) +
                           ",'" + row.style + "',1,0,'" + (expense ? "支出类型" : "收入类型") + "','0000',TRUE," +
                           (row.amount.empty() ? "NULL" : "'" + row.amount + "'") + ",'" + row.dayNum + "','" +
                           row.unit + "','" + row.begin + "','" + row.end + "','" + row.mid + "','" + row.bank + "')");
}

const DateTime kNow{2026, 12, 7, 14, 30, 0};

std::vector<std::string> journalDates(TempDatabase &t, const std::string &category)
{
    return t.column("select 日期 from account where 帐目类型='" + category + "' order by 财务标识");
}

} // namespace

TEST(RecurringCounts, FirstRunAndCatchUpFollowTheirRules)
{
    const DateTime today = kNow.startOfDay();
    const DateTime farEnd{2030, 1, 1};
    EXPECT_EQ(app::firstRunCount(Unit::Days, 1, today, farEnd, today), 1);
    EXPECT_EQ(app::firstRunCount(Unit::Days, 1, DateTime{2026, 11, 28}, farEnd, today), 10);
    EXPECT_EQ(app::firstRunCount(Unit::Days, 7, DateTime{2026, 11, 28}, farEnd, today), 1);
    EXPECT_EQ(app::firstRunCount(Unit::Months, 1, DateTime{2026, 10, 15}, farEnd, DateTime{2026, 12, 20}), 3);
    EXPECT_EQ(app::firstRunCount(Unit::Months, 1, DateTime{2026, 10, 15}, farEnd, DateTime{2026, 12, 14}), 2);
    EXPECT_EQ(app::firstRunCount(Unit::Days, 1, DateTime{2026, 12, 8}, farEnd, today), 0);
    EXPECT_EQ(app::firstRunCount(Unit::Years, 1, DateTime{2005, 3, 1}, DateTime{2007, 3, 1}, today), 1);
    EXPECT_EQ(app::firstRunCount(Unit::Years, 2, DateTime{2020, 1, 1}, farEnd, today), 3);
    EXPECT_EQ(app::firstRunCount(Unit::None, 1, DateTime{2020, 1, 1}, farEnd, today), 0);
    // The days unit of a catch-up counts whole intervals with their fraction.
    EXPECT_EQ(app::catchUpCount(Unit::Days, 7, DateTime{2026, 11, 28}, farEnd, DateTime{2026, 11, 28}, kNow), 1);
    EXPECT_EQ(app::catchUpCount(Unit::Days, 1, DateTime{2026, 11, 1}, DateTime{2026, 11, 5},
                                DateTime{2026, 11, 5}, kNow), 0);
    EXPECT_EQ(app::catchUpCount(Unit::Months, 1, DateTime{2026, 1, 20}, farEnd, DateTime{2026, 10, 20}, kNow), 1);
    EXPECT_EQ(app::catchUpCount(Unit::Years, 1, DateTime{2005, 3, 1}, DateTime{2007, 3, 1}, DateTime{2005, 3, 1},
                                kNow), 2);
}

TEST(RecurringCounts, NextDatesStayOnRealDays)
{
    EXPECT_EQ(app::nextDate(Unit::Months, 2, DateTime{2006, 12, 10}, 10), (DateTime{2007, 2, 10}));
    EXPECT_EQ(app::nextDate(Unit::Months, 1, DateTime{2007, 1, 31}, 31), (DateTime{2007, 2, 28}));
    EXPECT_EQ(app::nextDate(Unit::Months, 1, DateTime{2007, 2, 28}, 31), (DateTime{2007, 3, 31}));
    EXPECT_EQ(app::nextDate(Unit::Months, 12, DateTime{2007, 5, 3}, 3), (DateTime{2008, 5, 3}));
    EXPECT_EQ(app::nextDate(Unit::Months, 14, DateTime{2007, 12, 3}, 3), (DateTime{2009, 2, 3}));
    EXPECT_EQ(app::nextDate(Unit::Months, 25, DateTime{2007, 11, 3}, 3), (DateTime{2009, 12, 3}));
    EXPECT_EQ(app::nextDate(Unit::Years, 1, DateTime{2008, 2, 29}, 29), (DateTime{2009, 2, 28}));
    EXPECT_EQ(app::nextDate(Unit::Years, 4, DateTime{2008, 2, 29}, 29), (DateTime{2012, 2, 29}));
    EXPECT_EQ(app::nextDate(Unit::Days, 3, DateTime{2007, 2, 27, 8, 15}, 27), (DateTime{2007, 3, 2, 8, 15}));
    EXPECT_EQ(app::unitOf(" 月 "), Unit::Months);
    EXPECT_EQ(app::unitOf("周"), Unit::None);
}

TEST(Recurring, DailyItemsPostEachDayThroughTodayOnce)
{
    TempDatabase t;
    addItem(t, Side::Expense, {1, "早餐", "天", "1", "2026/12/07 ", "2027/12/31 "});
    addItem(t, Side::Expense, {2, "午餐", "天", "1", "2026/11/28 ", "2027/12/31 "});
    auto run = app::postAllRecurring(t.connection(), kNow);
    EXPECT_TRUE(run.failures.empty());
    EXPECT_EQ(run.posted, 11);
    EXPECT_EQ(journalDates(t, "早餐"), (std::vector<std::string>{"2026/12/07 00:00"}));
    EXPECT_EQ(t.value("select MidDate from PayStyle where Num=1"), "2026/12/07 00:00");
    auto lunch = journalDates(t, "午餐");
    ASSERT_EQ(lunch.size(), 10u);
    EXPECT_EQ(lunch.front(), "2026/11/28 00:00");
    EXPECT_EQ(lunch.back(), "2026/12/07 00:00");
    EXPECT_EQ(t.value("select count(distinct 财务标识) from account"), "11");
    EXPECT_EQ(t.value("select count(*) from account where 经手人='自动' and 收负类型='付'"), "11");
    // A second start the same day posts nothing new.
    EXPECT_EQ(app::postAllRecurring(t.connection(), DateTime{2026, 12, 7, 18, 0, 0}).posted, 0);
    EXPECT_EQ(t.count("account"), 11);
}

TEST(Recurring, MonthlyAndYearlySequencesAcrossStarts)
{
    TempDatabase t;
    addItem(t, Side::Expense, {1, "房租", "月", "1", "2026/10/15 ", "2030/01/01 "});
    addItem(t, Side::Expense, {2, "通讯", "月", "2", "2025/12/05 ", "2026/03/01 "});
    addItem(t, Side::Income, {3, "奖金", "年", "1", "2005/03/01 ", "2007/03/01 "});
    app::postAllRecurring(t.connection(), DateTime{2026, 12, 20, 9, 0, 0});
    EXPECT_EQ(journalDates(t, "房租"),
              (std::vector<std::string>{"2026/10/15 00:00", "2026/11/15 00:00", "2026/12/15 00:00"}));
    // December with an interval of two falls next in February; the end date
    // cut the first run short, the catch-up posts it at the next start.
    EXPECT_EQ(journalDates(t, "通讯"), (std::vector<std::string>{"2025/12/05 00:00"}));
    EXPECT_EQ(journalDates(t, "奖金"), (std::vector<std::string>{"2005/03/01 00:00"}));
    app::postAllRecurring(t.connection(), DateTime{2027, 1, 2, 9, 0, 0});
    EXPECT_EQ(journalDates(t, "奖金"),
              (std::vector<std::string>{"2005/03/01 00:00", "2006/03/01 00:00", "2007/03/01 00:00"}));
    EXPECT_EQ(journalDates(t, "房租").size(), 3u); // January's falls on the 15th
    EXPECT_EQ(journalDates(t, "通讯"), (std::vector<std::string>{"2025/12/05 00:00", "2026/02/05 00:00"}));
    app::postAllRecurring(t.connection(), DateTime{2027, 1, 15, 9, 0, 0});
    EXPECT_EQ(journalDates(t, "奖金").size(), 3u);
    EXPECT_EQ(journalDates(t, "房租").back(), "2027/01/15 00:00");
    EXPECT_EQ(journalDates(t, "通讯").size(), 2u);
}

TEST(Recurring, OrderSidesAndStatements)
{
    TempDatabase t;
    addItem(t, Side::Income, {1, "工资", "天", "1", "2026/12/07 ", "2027/01/01 ", " ", "8000", "工商银行"});
    addItem(t, Side::Expense, {3, "晚餐", "天", "1", "2026/12/07 ", "2027/01/01 ", " ", "30", "工商银行"});
    addItem(t, Side::Expense, {1, "早餐", "天", "1", "2026/12/07 ", "2027/01/01 ", " ", "7.5", "现金银行"});
    addItem(t, Side::Income, {2, "利息", "天", "1", "2026/12/07 ", "2027/01/01 ", " ", "12", "现金银行"});
    StatementLog log;
    app::postAllRecurring(t.connection(), kNow);
    EXPECT_EQ(t.column("select 帐目类型 from account order by 财务标识"),
              (std::vector<std::string>{"早餐 ", "晚餐 ", "工资 ", "利息 "}));
    EXPECT_EQ(t.value("select nMoney || PayGet from CashAccount where NStyle='早餐'"), "-7.5付");
    EXPECT_EQ(t.value("select nMoney || PayGet from CashAccount where NStyle='利息'"), "12.0收");
    EXPECT_EQ(t.value("select nMoney || PayGet || BankName from BankAccount where NStyle='晚餐'"), "-30.0付工商银行");
    EXPECT_EQ(t.value("select nMoney || PayGet from BankAccount where NStyle='工资'"), "8000.0收");
    EXPECT_EQ(t.value("select count(*) from PayMoney where Num is null"), "2");
    const std::vector<std::string> expected = {
        "SELECT * FROM PayStyle where IsAuto =true  order by Num",
        "select max(财务标识)+1 as num from account ",
        "INSERT INTO account (财务标识, 日期,收负类型,帐目类型,钱额,银行,经手人)  VALUES (1, '2026/12/07 00:00', "
        "'付','早餐 ',7.5 ,'现金银行','自动')",
        "insert into PayMoney(DTime,PayStyle,nMoney,FromBank,Operator,AccNum) values ('2026/12/07 00:00','早餐',7.5,"
        "'现金银行','自动',1)",
        "INSERT INTO CashAccount (Num,DTime,NStyle,nMoney,PayGet,AccNum)  VALUES (1, '2026/12/07 00:00', '早餐 ',-7.5 "
        ",'付',1)",
        "update PayStyle set MidDate ='2026/12/07 00:00'  where Num=1",
    };
    auto statements = log.statements();
    ASSERT_GT(statements.size(), expected.size());
    EXPECT_EQ(std::vector<std::string>(statements.begin(), statements.begin() + expected.size()), expected);
    const std::vector<std::string> income = {
        "select max(Num)+1 as num from GetMoney ",
        "select max(财务标识)+1 as num from account ",
        "INSERT INTO account (财务标识, 日期,收负类型,帐目类型,钱额,银行,经手人)  VALUES (3, '2026/12/07 00:00', "
        "'收','工资 ',8000 ,'工商银行','自动')",
        "insert into GetMoney(Num,DTime,MoneyFrom,nMoney,MoneyTo,Operator,AccNum) values (3,'2026/12/07 00:00','工资',"
        "8000,'工商银行','自动',3)",
        "INSERT INTO BankAccount (Num,DTime,PayGet,NStyle,nMoney,BankName,AccNum)  VALUES (3, '2026/12/07 00:00', "
        "'收','工资',8000,'工商银行',3)",
        "update GetStyle set MidDate ='2026/12/07 00:00'  where Num=1",
    };
    auto at = std::find(statements.begin(), statements.end(), "SELECT * FROM GetStyle where IsAuto =true  order by Num");
    ASSERT_NE(at, statements.end());
    EXPECT_EQ(std::vector<std::string>(at + 1, at + 1 + income.size()), income);
}

TEST(Recurring, UnusableItemsPostNothingAndFailuresStayContained)
{
    TempDatabase t;
    addItem(t, Side::Expense, {1, "早餐", "天", "", "2026/12/01 ", "2027/01/01 "});
    addItem(t, Side::Expense, {2, "午餐", "天", "0", "2026/12/01 ", "2027/01/01 "});
    addItem(t, Side::Expense, {3, "晚餐", "天", "-1", "2026/12/01 ", "2027/01/01 "});
    addItem(t, Side::Expense, {4, "打车", "天", "x", "2026/12/01 ", "2027/01/01 "});
    addItem(t, Side::Expense, {5, "医疗", "天", "1", "2026/13/01 ", "2027/01/01 "});
    addItem(t, Side::Expense, {6, "教育", "天", "1", "2026/12/01 ", ""});
    addItem(t, Side::Expense, {7, "娱乐", "周", "1", "2026/12/01 ", "2027/01/01 "});
    addItem(t, Side::Expense, {8, "通讯", "天", "1", "", "2027/01/01 "});
    addItem(t, Side::Expense, {9, "日用品", "天", "1", "2026/12/01 ", "2027/01/01 ", "garbage"});
    // An amount that is not a number fails its item alone.
    addItem(t, Side::Expense, {10, "房租", "天", "1", "2026/12/01 ", "2027/01/01 ", " ", ""});
    addItem(t, Side::Expense, {11, "水电燃气", "天", "1", "2026/12/06 ", "2027/01/01 "});
    // A name that breaks a statement would have left half an occurrence
    // behind; now the whole item rolls back.
    addItem(t, Side::Income, {1, "工资", "天", "1", "2026/12/06 ", "2027/01/01 "});
    t.connection().execute("create trigger no_cash_income before insert on CashAccount when new.PayGet='收' begin "
                           "select raise(abort, 'cash refused'); end");
    addItem(t, Side::Income, {2, "奖金", "天", "1", "2026/12/06 ", "2027/01/01 ", " ", "5", "工商银行"});
    auto run = app::postAllRecurring(t.connection(), kNow);
    // Every item that cannot post is named, once, in order; an empty begin
    // date or another unit only switches the item off.
    const std::vector<std::pair<std::string, std::string>> expected = {
        {"早餐", "间隔数"}, {"午餐", "间隔数"},     {"晚餐", "间隔数"},   {"打车", "间隔数"},     {"医疗", "开始日期"},
        {"教育", "结束日期"}, {"日用品", "上次记帐日期"}, {"房租", "金额"}, {"工资", "cash refused"}};
    ASSERT_EQ(run.failures.size(), expected.size());
    for (std::size_t i = 0; i < expected.size(); ++i) {
        EXPECT_NE(run.failures[i].find(expected[i].first + ": "), std::string::npos) << run.failures[i];
        EXPECT_NE(run.failures[i].find(expected[i].second), std::string::npos) << run.failures[i];
    }
    EXPECT_EQ(t.column("select distinct 帐目类型 from account order by 1"),
              (std::vector<std::string>{"奖金 ", "水电燃气 "}));
    EXPECT_EQ(t.value("select count(*) from GetMoney where MoneyFrom='工资'"), "0");
    EXPECT_EQ(t.value("select MidDate from GetStyle where Num=1"), " ");
    EXPECT_EQ(t.value("select MidDate from PayStyle where Num=9"), "garbage");
    EXPECT_EQ(t.value("select MidDate from GetStyle where Num=2"), "2026/12/07 00:00");
}

TEST(Recurring, QuotesInNamesAreStoredAsTyped)
{
    TempDatabase t;
    addItem(t, Side::Expense, {1, "Tom''s", "天", "1", "2026/12/07 ", "2027/01/01 ", " ", "5", "Bob''s bank"});
    auto run = app::postAllRecurring(t.connection(), kNow);
    EXPECT_TRUE(run.failures.empty());
    EXPECT_EQ(t.value("select 帐目类型 || '|' || 银行 from account"), "Tom's |Bob's bank");
}

TEST(RecurringCounts, MonthEndsCountOnTheMonthsLastDay)
{
    const DateTime farEnd{2030, 1, 1};
    const DateTime b{2007, 1, 31};
    // Begun on the 31st: February's occurrence (the 28th) is due on the 28th.
    EXPECT_EQ(app::firstRunCount(Unit::Months, 1, b, farEnd, DateTime{2007, 2, 27}), 1);
    EXPECT_EQ(app::firstRunCount(Unit::Months, 1, b, farEnd, DateTime{2007, 2, 28}), 2);
    EXPECT_EQ(app::catchUpCount(Unit::Months, 1, b, farEnd, b, DateTime{2007, 2, 27, 9, 0, 0}), 0);
    EXPECT_EQ(app::catchUpCount(Unit::Months, 1, b, farEnd, b, DateTime{2007, 2, 28, 9, 0, 0}), 1);
    // After a short month the next one falls on the 31st again.
    const DateTime feb{2007, 2, 28};
    EXPECT_EQ(app::catchUpCount(Unit::Months, 1, b, farEnd, feb, DateTime{2007, 3, 30, 9, 0, 0}), 0);
    EXPECT_EQ(app::catchUpCount(Unit::Months, 1, b, farEnd, feb, DateTime{2007, 3, 31, 9, 0, 0}), 1);
    EXPECT_EQ(app::catchUpCount(Unit::Months, 1, b, farEnd, feb, DateTime{2007, 4, 30, 9, 0, 0}), 2);
    // A yearly item of 29 February falls on the 28th in other years, and on
    // the 29th again in a leap year.
    const DateTime leap{2008, 2, 29};
    EXPECT_EQ(app::firstRunCount(Unit::Years, 1, leap, farEnd, DateTime{2009, 2, 27}), 1);
    EXPECT_EQ(app::firstRunCount(Unit::Years, 1, leap, farEnd, DateTime{2009, 2, 28}), 2);
    EXPECT_EQ(app::catchUpCount(Unit::Years, 1, leap, farEnd, DateTime{2011, 2, 28}, DateTime{2012, 2, 28, 9, 0, 0}),
              0);
    EXPECT_EQ(app::catchUpCount(Unit::Years, 1, leap, farEnd, DateTime{2011, 2, 28}, DateTime{2012, 2, 29, 9, 0, 0}),
              1);
    // The first run of a monthly item started today posts today's occurrence.
    EXPECT_EQ(app::firstRunCount(Unit::Months, 1, DateTime{2026, 12, 7}, farEnd, DateTime{2026, 12, 7}), 1);
    EXPECT_EQ(app::firstRunCount(Unit::Months, 3, DateTime{2026, 12, 7}, farEnd, DateTime{2026, 12, 7}), 0);
    EXPECT_EQ(app::firstRunCount(Unit::Years, 1, DateTime{2026, 12, 7}, farEnd, DateTime{2026, 12, 7}), 1);
}

TEST(Recurring, MonthEndItemPostsEachMonthOnTime)
{
    TempDatabase t;
    addItem(t, Side::Expense, {1, "房租", "月", "1", "2007/01/31 ", "2030/01/01 "});
    app::postAllRecurring(t.connection(), DateTime{2007, 2, 28, 9, 0, 0});
    EXPECT_EQ(journalDates(t, "房租"), (std::vector<std::string>{"2007/01/31 00:00", "2007/02/28 00:00"}));
    app::postAllRecurring(t.connection(), DateTime{2007, 3, 30, 9, 0, 0});
    EXPECT_EQ(journalDates(t, "房租").size(), 2u);
    app::postAllRecurring(t.connection(), DateTime{2007, 3, 31, 9, 0, 0});
    EXPECT_EQ(journalDates(t, "房租").back(), "2007/03/31 00:00");
}

TEST(Recurring, NegativeAmountsAndAmountsThatAreNotNumbers)
{
    TempDatabase t;
    addItem(t, Side::Expense, {1, "早餐", "天", "1", "2026/12/07 ", "2027/01/01 ", " ", "-5"});
    addItem(t, Side::Expense, {2, "午餐", "天", "1", "2026/12/07 ", "2027/01/01 ", " ", "-5", "工商银行"});
    addItem(t, Side::Expense, {3, "晚餐", "天", "1", "2026/12/07 ", "2027/01/01 ", " ", "5+5"});
    const auto run = app::postAllRecurring(t.connection(), kNow);
    // A refund from cash: minus a minus comes back into the ledgers.
    EXPECT_EQ(t.value("select nMoney from CashAccount where NStyle='早餐'"), "5");
    EXPECT_EQ(t.value("select nMoney from BankAccount where NStyle='午餐'"), "5");
    EXPECT_EQ(t.value("select MidDate from PayStyle where Num=1"), "2026/12/07 00:00");
    // An amount the engine would compute is not a number: refused, unposted.
    ASSERT_EQ(run.failures.size(), 1u);
    EXPECT_NE(run.failures[0].find("晚餐"), std::string::npos);
    EXPECT_EQ(t.value("select count(*) from account where 帐目类型='晚餐'"), "0");
    EXPECT_EQ(t.value("select MidDate from PayStyle where Num=3"), " ");
}

TEST(Recurring, AncientDatesAndStopping)
{
    TempDatabase t;
    addItem(t, Side::Expense, {1, "早餐", "天", "1", "0100/01/01 ", "2030/01/01 "});
    addItem(t, Side::Expense, {2, "午餐", "天", "1", "2026/12/01 ", "2030/01/01 ", "1899/12/31 00:00"});
    addItem(t, Side::Expense, {3, "晚餐", "天", "1", "2026/12/01 ", "2030/01/01 "});
    addItem(t, Side::Income, {4, "工资", "天", "1", "2026/12/01 ", "2030/01/01 "});
    EXPECT_EQ(app::countDue(t.connection(), kNow), 14);
    // Stopping after the first item that posts leaves the rest for later;
    // the item in progress is never cut short.
    int items = 0;
    std::vector<int> progress;
    app::RecurringProgress watch;
    watch.keepGoing = [&] { return items++ < 3; };
    watch.posted = [&](const std::string &, int done, int) { progress.push_back(done); };
    const auto run = app::postAllRecurring(t.connection(), kNow, watch);
    EXPECT_TRUE(run.stopped);
    EXPECT_EQ(run.posted, 7);
    EXPECT_EQ(progress, (std::vector<int>{1, 2, 3, 4, 5, 6, 7}));
    ASSERT_EQ(run.failures.size(), 2u);
    EXPECT_NE(run.failures[0].find("开始日期"), std::string::npos);
    EXPECT_NE(run.failures[1].find("上次记帐日期"), std::string::npos);
    EXPECT_EQ(t.count("account"), 7);
    EXPECT_EQ(app::postAllRecurring(t.connection(), kNow).posted, 7); // the income, next time
}

TEST(Recurring, TwoProgramsStartingTogetherPostEachOccurrenceOnce)
{
    TempDatabase t;
    addItem(t, Side::Expense, {1, "早餐", "天", "1", "2026/11/28 ", "2030/01/01 "});
    addItem(t, Side::Expense, {2, "午餐", "天", "1", "2026/11/28 ", "2030/01/01 "});
    addItem(t, Side::Income, {3, "工资", "月", "1", "2026/10/07 ", "2030/01/01 "});
    // The second program starts while the first is posting its first item,
    // and has time to read the items before the first one is done.
    db::Connection second = db::Connection::openFile(t.path());
    app::RecurringRun secondRun;
    std::thread secondProgram;
    app::RecurringProgress firstProgress;
    firstProgress.posted = [&](const std::string &, int done, int) {
        if (done == 1 && !secondProgram.joinable()) {
            secondProgram = std::thread([&] { secondRun = app::postAllRecurring(second, kNow); });
            std::this_thread::sleep_for(std::chrono::milliseconds(300));
        }
    };
    const app::RecurringRun firstRun = app::postAllRecurring(t.connection(), kNow, firstProgress);
    secondProgram.join();
    EXPECT_EQ(firstRun.posted, 23);
    EXPECT_TRUE(firstRun.failures.empty());
    EXPECT_EQ(secondRun.posted, 0);
    EXPECT_TRUE(secondRun.failures.empty()) << secondRun.failures.front();
    EXPECT_EQ(journalDates(t, "早餐").size(), 10u);
    EXPECT_EQ(journalDates(t, "工资").size(), 3u);
    EXPECT_EQ(t.value("select count(*) from account"), "23");
}
