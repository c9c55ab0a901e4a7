#include "app/recurring.h"

#include "db/connection.h"
#include "db/text.h"
#include "ledger/posting.h"

#include <sqlite3.h>

#include <algorithm>
#include <cmath>
#include <optional>

namespace app {

namespace {

constexpr const char *kMsgRunNotStarted = "固定收支项目这次没有记帐：";
constexpr const char *kMsgOtherProgramPosting = "另一个程序正在使用帐本，下次启动时再记";
constexpr const char *kMsgRunNotWritten = "固定收支项目这次没有记帐，已记的也都没有保存：";
constexpr const char *kActionLabel = "自动记帐固定收支";

bool dayBefore(int m1, int d1, int m2, int d2) { return m1 < m2 || (m1 == m2 && d1 < d2); }

// The day of a month on which an item begun on day anchorDay falls due: a
// month without that day has it on its last day, as the next dates are.
int dueDayIn(int year, int month, int anchorDay) { return std::min(anchorDay, db::daysInMonth(year, month)); }

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

std::vector<Item> readItems(db::Connection &c, const SideText &text)
{
    std::vector<Item> items;
    db::Query q = c.query(text.select);
    while (q.next())
        items.push_back({q.field("Style"), q.field("SelectType"), q.field("DayNum"), q.field("BeginDate"),
                         q.field("EndDate"), q.field("MidDate"), q.field("Num"), q.field(text.amountColumn),
                         q.field("BankName")});
    return items;
}

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
                  "', '" + s + " '," + (expense ? db::negatedNumber(m) : m) + " ,'" + (expense ? "付" : "收") + "'," +
                  n + ")");
    else
        c.execute("INSERT INTO BankAccount (Num,DTime,PayGet,NStyle,nMoney,BankName,AccNum)  VALUES (" + n + ", '" +
                  d + (expense ? "', '付','" : "', '收','") + s + "'," + (expense ? db::negatedNumber(m) : m) + ",'" +
                  a + "'," + n + ")");
}

// The oldest date an item may count from: an older one (a year typed as
// 0100) would post hundreds of thousands of entries.
constexpr int kFirstYear = 1900;

std::optional<db::DateTime> usableDate(const std::string &text)
{
    std::optional<db::DateTime> d = db::parseDate(text);
    if (d && d->year < kFirstYear)
        return std::nullopt;
    return d;
}

// What keeps an item from posting, when it is worth telling the user.
struct Plan {
    int count = 0;
    bool firstRun = true;
    db::DateTime first;
    int interval = 0;
    Unit unit = Unit::None;
    int anchorDay = 1;
    std::string problem;
};

Plan planItem(const Item &item, const db::DateTime &now)
{
    Plan plan;
    plan.unit = unitOf(item.selectType);
    const std::string last = db::trim(item.last);
    // Without a begin date or with another unit the item is simply off.
    if (item.begin.empty() || plan.unit == Unit::None)
        return plan;
    const std::optional<int> n = intervalOf(item.dayNum);
    const std::optional<db::DateTime> begin = usableDate(item.begin);
    const std::optional<db::DateTime> end = db::parseDate(item.end);
    plan.firstRun = last.empty();
    const std::optional<db::DateTime> lastPosted = plan.firstRun ? std::nullopt : usableDate(last);
    if (!n)
        plan.problem = "间隔数必须是不小于1的整数: " + item.dayNum;
    else if (!begin)
        plan.problem = "开始日期无法识别: " + item.begin;
    else if (!end)
        plan.problem = "结束日期无法识别: " + item.end;
    else if (!plan.firstRun && !lastPosted)
        plan.problem = "上次记帐日期无法识别: " + last;
    if (!plan.problem.empty())
        return plan;
    plan.interval = *n;
    plan.anchorDay = begin->day;
    plan.count = plan.firstRun
                     ? firstRunCount(plan.unit, *n, begin->startOfDay(), end->startOfDay(), now.startOfDay())
                     : catchUpCount(plan.unit, *n, *begin, *end, *lastPosted, now);
    plan.first = plan.firstRun ? begin->startOfDay() : nextDate(plan.unit, *n, *lastPosted, begin->day);
    return plan;
}

// Posts one item's occurrences and its progress date in one transaction;
// returns the number written, or the refusal that kept it from posting.
int postItem(db::Connection &c, Side side, const Item &item, const Plan &plan, const RecurringProgress &progress,
             std::string &refusal)
{
    if (plan.count <= 0)
        return 0;
    // The amount goes into the statements unquoted: only a plain number may.
    if (!db::isPlainNumber(item.amount)) {
        refusal = "金额不是数字: " + item.amount;
        return 0;
    }
    db::Transaction transaction(c);
    db::DateTime date = plan.first;
    std::string dateText;
    for (int i = 0; i < plan.count; ++i) {
        if (i > 0)
            date = nextDate(plan.unit, plan.interval, date, plan.anchorDay);
        dateText = db::formatDateTime(date);
        postOccurrence(c, side, item, plan.firstRun, dateText);
        if (progress.posted)
            progress.posted(item.style, i + 1, plan.count);
    }
    const SideText &text = side == Side::Expense ? kExpense : kIncome;
    c.execute(std::string(text.update) + db::quote(dateText) + "'  where Num=" + item.num);
    transaction.commit();
    return plan.count;
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
        const int dueDay = dueDayIn(r.year, b.month, b.day);
        const int years = dayBefore(r.month, r.day, b.month, dueDay) ? r.year - b.year : r.year - b.year + 1;
        return years / n;
    }
    case Unit::Months: {
        const db::DateTime r = t < e ? t : e;
        const int months =
            (r.year - b.year) * 12 + r.month - b.month + (r.day >= dueDayIn(r.year, r.month, b.day) ? 1 : 0);
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
        const int dueDay = dueDayIn(r.year, l.month, b.day);
        const int years = r.year - l.year - (dayBefore(r.month, r.day, l.month, dueDay) ? 1 : 0);
        return years / n;
    }
    case Unit::Months: {
        const int months =
            (r.year - l.year) * 12 + r.month - l.month - (r.day < dueDayIn(r.year, r.month, b.day) ? 1 : 0);
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

RecurringRun postRecurring(db::Connection &c, Side side, const db::DateTime &now, const RecurringProgress &progress)
{
    RecurringRun run;
    const SideText &text = side == Side::Expense ? kExpense : kIncome;
    std::vector<Item> items;
    try {
        items = readItems(c, text);
    } catch (const db::Error &error) {
        run.failures.push_back(error.what());
        return run;
    }
    for (const Item &item : items) {
        if (progress.keepGoing && !progress.keepGoing()) {
            run.stopped = true;
            break;
        }
        const std::string label = (side == Side::Expense ? "固定支出 " : "固定收入 ") + item.style + ": ";
        if (!ledger::isWholeNumber(item.num)) {
            run.failures.push_back(label + "项目没有编号");
            continue;
        }
        const Plan plan = planItem(item, now);
        if (!plan.problem.empty()) {
            run.failures.push_back(label + plan.problem);
            continue;
        }
        std::string refusal;
        try {
            run.posted += postItem(c, side, item, plan, progress, refusal);
        } catch (const db::Error &error) {
            run.failures.push_back(label + error.what());
            continue;
        }
        if (!refusal.empty())
            run.failures.push_back(label + refusal);
    }
    return run;
}

RecurringRun postAllRecurring(db::Connection &c, const db::DateTime &now, const RecurringProgress &progress)
{
    // The whole run holds the write lock from the reading of the items to
    // the last posting: a second program starting at the same time (another
    // window, the command line) waits, then finds the items posted, instead
    // of posting them again from what it read before. Each item stays whole
    // on its own: a failing one is taken back alone.
    std::optional<db::Transaction> run;
    try {
        run.emplace(c, kActionLabel);
    } catch (const db::Error &error) {
        const bool busy = (error.code() & 0xff) == SQLITE_BUSY;
        return RecurringRun{0, {kMsgRunNotStarted + std::string(busy ? kMsgOtherProgramPosting : error.what())}, false};
    }
    RecurringRun all = postRecurring(c, Side::Expense, now, progress);
    if (!all.stopped) {
        RecurringRun incomes = postRecurring(c, Side::Income, now, progress);
        all.posted += incomes.posted;
        all.stopped = incomes.stopped;
        all.failures.insert(all.failures.end(), incomes.failures.begin(), incomes.failures.end());
    }
    // The whole run is one action of the undo history.
    run->setLabel(std::string(kActionLabel) + " " + std::to_string(all.posted) + " 笔");
    try {
        run->commit();
    } catch (const db::Error &error) {
        return RecurringRun{0, {kMsgRunNotWritten + std::string(error.what())}, all.stopped};
    }
    return all;
}

int countDue(db::Connection &c, const db::DateTime &now)
{
    int due = 0;
    for (const SideText *text : {&kExpense, &kIncome})
        for (const Item &item : readItems(c, *text))
            due += std::max(0, planItem(item, now).count);
    return due;
}

} // namespace app
