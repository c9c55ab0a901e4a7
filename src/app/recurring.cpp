#include "app/recurring.h"

#include "db/connection.h"
#include "db/text.h"
#include "ledger/posting.h"

#include <algorithm>
#include <cmath>

namespace app {

namespace {

bool dayBefore(int m1, int d1, int m2, int d2) { return m1 < m2 || (m1 == m2 && d1 < d2); }

long long wholeDays(const db::DateTime &from, const db::DateTime &to)
{
    return (to.startOfDay().days() - from.startOfDay().days()).count();
}

struct Item {
    std::string style;
    std::string selectType;
    std::string dayNum;
    std::string begin;
    std::string end;
    std::string last;
    std::string num;
    std::string amount;
    std::string bank;
};

struct SideText {
    const char *select;
    const char *amountColumn;
    const char *journalSide; // "', '付','" or "', '收','"
    const char *update;
};

const SideText kExpense = {"SELECT * FROM PayStyle where IsAuto =true  order by Num", "PMoney", "', '付','",
                           "update PayStyle set MidDate ='"};
const SideText kIncome = {"SELECT * FROM GetStyle where IsAuto =true  order by Num", "GMoney", "', '收','",
                          "update GetStyle set MidDate ='"};

// A positive whole interval count, or none.
std::optional<int> intervalOf(const std::string &text)
{
    const std::string t = db::trim(text);
    if (!ledger::isWholeNumber(t) || t.size() > 6)
        return std::nullopt;
    const int n = std::stoi(t);
    return n > 0 ? std::optional<int>(n) : std::nullopt;
}

void postOccurrence(db::Connection &c, Side side, const Item &item, bool firstRun, const std::string &date)
{
    using db::quote;
    std::string incomeNumber;
    if (side == Side::Income && firstRun)
        incomeNumber = c.scalar("select max(Num)+1 as num from GetMoney ", "num");
    const std::string n = ledger::nextEntryNumber(c);
    if (incomeNumber.empty())
        incomeNumber = n;
    const SideText &text = side == Side::Expense ? kExpense : kIncome;
    const std::string &m = item.amount;
    const std::string s = quote(item.style);
    const std::string a = quote(item.bank);
    const std::string d = quote(date);

    c.execute("INSERT INTO account (财务标识, 日期,收负类型,帐目类型,钱额,银行,经手人)  VALUES (" + n + ", '" + d +
              text.journalSide + s + " '," + m + " ,'" + a + "','自动')");
    if (side == Side::Expense)
        c.execute("insert into PayMoney(DTime,PayStyle,nMoney,FromBank,Operator,AccNum) values ('" + d + "','" + s +
                  "'," + m + ",'" + a + "','自动'," + n + ")");
    else
        c.execute("insert into GetMoney(Num,DTime,MoneyFrom,nMoney,MoneyTo,Operator,AccNum) values (" +
                  incomeNumber + ",'" + d + "','" + s + "'," + m + ",'" + a + "','自动'," + n + ")");
    const bool expense = side == Side::Expense;
    if (item.bank == ledger::kCashAccount)
        c.execute("INSERT INTO CashAccount (Num,DTime,NStyle,nMoney,PayGet,AccNum)  VALUES (" + n + ", '" + d +
                  "', '" + s + " '," + (expense ? "-" : "") + m + " ,'" + (expense ? "付" : "收") + "'," + n + ")");
    else
        c.execute("INSERT INTO BankAccount (Num,DTime,PayGet,NStyle,nMoney,BankName,AccNum)  VALUES (" + n + ", '" +
                  d + (expense ? "', '付','" : "', '收','") + s + "'," + (expense ? "-" : "") + m + ",'" + a +
                  "'," + n + ")");
}

// Posts one item; returns the number of occurrences written.
int postItem(db::Connection &c, Side side, const Item &item, const db::DateTime &now)
{
    const Unit unit = unitOf(item.selectType);
    const std::string last = db::trim(item.last);
    if (item.begin.empty() || unit == Unit::None)
        return 0;
    const std::optional<int> n = intervalOf(item.dayNum);
    const std::optional<db::DateTime> begin = db::parseDate(item.begin);
    const std::optional<db::DateTime> end = db::parseDate(item.end);
    const bool firstRun = last.empty();
    const std::optional<db::DateTime> lastPosted = firstRun ? std::nullopt : db::parseDate(last);
    if (!n || !begin || !end || (!firstRun && !lastPosted))
        return 0;

    const int count = firstRun ? firstRunCount(unit, *n, begin->startOfDay(), end->startOfDay(), now.startOfDay())
                               : catchUpCount(unit, *n, *begin, *end, *lastPosted, now);
    if (count <= 0)
        return 0;
    // The amount goes into the statements unquoted: only a plain number may.
    if (!ledger::isPlainNumber(item.amount))
        throw db::Error("amount of " + item.style + " is not a number: " + item.amount);

    db::Transaction transaction(c);
    db::DateTime date = firstRun ? begin->startOfDay() : nextDate(unit, *n, *lastPosted, begin->day);
    std::string dateText;
    for (int i = 0; i < count; ++i) {
        if (i > 0)
            date = nextDate(unit, *n, date, begin->day);
        dateText = db::formatDateTime(date);
        postOccurrence(c, side, item, firstRun, dateText);
    }
    const SideText &text = side == Side::Expense ? kExpense : kIncome;
    c.execute(std::string(text.update) + db::quote(dateText) + "'  where Num=" + item.num);
    transaction.commit();
    return count;
}

} // namespace

Unit unitOf(const std::string &selectType)
{
    const std::string t = db::trim(selectType);
    if (t == "年")
        return Unit::Years;
    if (t == "月")
        return Unit::Months;
    if (t == "天")
        return Unit::Days;
    return Unit::None;
}

int firstRunCount(Unit unit, int n, const db::DateTime &b, const db::DateTime &e, const db::DateTime &t)
{
    if (n <= 0)
        return 0;
    switch (unit) {
    case Unit::Years: {
        const bool endPassed = !(t <= e);
        const db::DateTime r = endPassed ? e : t;
        if (endPassed && e.month == b.month && e.day == b.day)
            return 1;
        const int years = dayBefore(r.month, r.day, b.month, b.day) ? r.year - b.year : r.year - b.year + 1;
        return years / n;
    }
    case Unit::Months: {
        const db::DateTime r = t < e ? t : e;
        const int months = (r.year - b.year) * 12 + r.month - b.month + (r.day >= b.day ? 1 : 0);
        return months / n;
    }
    case Unit::Days: {
        const db::DateTime r = t >= e ? e : t;
        return static_cast<int>((wholeDays(b, r) + 1) / n);
    }
    case Unit::None:
        break;
    }
    return 0;
}

int catchUpCount(Unit unit, int n, const db::DateTime &b, const db::DateTime &e, const db::DateTime &l,
                 const db::DateTime &now)
{
    if (n <= 0)
        return 0;
    const db::DateTime r = now < e ? now : e;
    switch (unit) {
    case Unit::Years: {
        const int years = r.year - l.year - (dayBefore(r.month, r.day, l.month, l.day) ? 1 : 0);
        return years / n;
    }
    case Unit::Months: {
        const int months = (r.year - l.year) * 12 + r.month - l.month - (r.day < b.day ? 1 : 0);
        return months / n;
    }
    case Unit::Days: {
        if (!(l < e))
            return 0;
        const double days = static_cast<double>(r.serial() - l.serial()) / 86400.0;
        return static_cast<int>(std::trunc(days / n));
    }
    case Unit::None:
        break;
    }
    return 0;
}

db::DateTime nextDate(Unit unit, int n, const db::DateTime &d, int anchorDay)
{
    switch (unit) {
    case Unit::Years:
        return db::DateTime{d.year + n, d.month, std::min(anchorDay, db::daysInMonth(d.year + n, d.month))};
    case Unit::Months: {
        const int total = d.year * 12 + (d.month - 1) + n;
        const int year = total / 12;
        const int month = total % 12 + 1;
        return db::DateTime{year, month, std::min(anchorDay, db::daysInMonth(year, month))};
    }
    case Unit::Days:
        return db::DateTime::fromSerial(d.serial() + 86400LL * n);
    case Unit::None:
        break;
    }
    return d;
}

RecurringRun postRecurring(db::Connection &c, Side side, const db::DateTime &now)
{
    RecurringRun run;
    const SideText &text = side == Side::Expense ? kExpense : kIncome;
    std::vector<Item> items;
    try {
        db::Query q = c.query(text.select);
        while (q.next())
            items.push_back({q.field("Style"), q.field("SelectType"), q.field("DayNum"), q.field("BeginDate"),
                             q.field("EndDate"), q.field("MidDate"), q.field("Num"), q.field(text.amountColumn),
                             q.field("BankName")});
    } catch (const db::Error &error) {
        run.failures.push_back(error.what());
        return run;
    }
    for (const Item &item : items) {
        try {
            if (!ledger::isWholeNumber(item.num))
                throw db::Error("item without a number: " + item.style);
            run.posted += postItem(c, side, item, now);
        } catch (const db::Error &error) {
            run.failures.push_back(item.style + ": " + error.what());
        }
    }
    return run;
}

RecurringRun postAllRecurring(db::Connection &c, const db::DateTime &now)
{
    RecurringRun all = postRecurring(c, Side::Expense, now);
    RecurringRun incomes = postRecurring(c, Side::Income, now);
    all.posted += incomes.posted;
    all.failures.insert(all.failures.end(), incomes.failures.begin(), incomes.failures.end());
    return all;
}

} // namespace app
