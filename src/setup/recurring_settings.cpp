#include "setup/recurring_settings.h"

#include "db/connection.h"
#include "db/text.h"
#include "setup/detail_rules.h"

#include <algorithm>
#include <iterator>

namespace setup {

using db::quote;

namespace {

struct SideText {
    const char *select;      // the load query up to the name
    const char *fixedColumn; // EveryGet / EveryPay
    const char *amountColumn;
    const char *update;      // the save statement up to the fixed flag
    const char *amountPart;  // ",GMoney=" / ",PMoney="
    const char *reset;       // the progress reset up to the name
    const char *ask;
    const char *fixedCaption;
};

const SideText kIncome = {"SELECT *  FROM GetStyle  where  Style = '", "EveryGet", "GMoney",
                          "update GetStyle set  EveryGet= ", ",GMoney=", "update GetStyle set  MidDate=' ' where Style='",
                          kAskRestartIncome, "固定收入"};
const SideText kExpense = {"SELECT *  FROM PayStyle  where  Style = '", "EveryPay", "PMoney",
                           "update PayStyle set  EveryPay= ", ",PMoney=", "update PayStyle set  MidDate=' ' where Style='",
                           kAskRestartExpense, "固定支出"};

const SideText &sideOf(TreeKind kind) { return kind == TreeKind::Income ? kIncome : kExpense; }

// The interval count as the recurring posting reads it: a whole number of
// at least 1 and at most six digits.
bool isIntervalText(const std::string &text)
{
    if (text.empty() || text.size() > 6)
        return false;
    bool nonZero = false;
    for (char ch : text) {
        if (ch < '0' || ch > '9')
            return false;
        nonZero = nonZero || ch != '0';
    }
    return nonZero;
}

bool rowExists(db::Connection &c, TreeKind kind, const std::string &name)
{
    const TreeSpec &spec = treeSpec(kind);
    return c.scalar(std::string("select count(*) as n from ") + spec.table + " where " + spec.nameColumn + " = '" +
                        quote(name) + "'",
                    "n") != "0";
}

} // namespace

const char *fixedCaption(TreeKind kind) { return sideOf(kind).fixedCaption; }

std::optional<RecurringItem> loadRecurring(db::Connection &c, TreeKind kind, const std::string &name,
                                           const db::DateTime &now)
{
    const SideText &side = sideOf(kind);
    db::Query q = c.query(side.select + quote(name) + "'");
    std::optional<RecurringItem> item;
    while (q.next()) {
        RecurringItem row;
        row.dayNum = q.field("DayNum");
        row.selectType = q.field("SelectType");
        row.endText = q.field("EndDate");
        row.beginText = q.field("BeginDate");
        row.midText = q.field("MidDate");
        row.amount = q.field(side.amountColumn);
        row.style = q.field("Style");
        row.fixed = checkBoxValue(q.field(side.fixedColumn));
        row.autoPost = checkBoxValue(q.field("IsAuto"));
        row.bankName = q.field("BankName");
        row.begin = dateOrNow(row.beginText, now);
        row.end = dateOrNow(row.endText, now);
        row.mid = dateOrNow(row.midText, now);
        item = std::move(row);
    }
    return item;
}

db::Result saveRecurring(db::Connection &c, TreeKind kind, const RecurringForm &form, const Question &ask)
{
    const SideText &side = sideOf(kind);
    if (!form.unlocked)
        return db::Result::refused(kMsgPressModify);
    const std::string &name = form.selected;
    if (name.empty() || name != form.loaded)
        return db::Result::refused(kMsgLoadFirst);
    if (name == treeSpec(kind).rootText)
        return db::Result::refused(kMsgChooseCategory);
    if (!rowExists(c, kind, name))
        return db::Result::refused(kMsgNoSuchNode + name);

    const std::string beginText = db::formatTreeDate(form.begin);
    const std::string endText = db::formatTreeDate(form.end);
    // The question comes where the user expects it, but its answer is only
    // written together with the rest, once every check below has passed.
    // Only an item that has posted (a blank progress text means it has not)
    // can post again from the new date; a new one simply starts there.
    bool restart = false;
    if (!db::trim(form.loadedMid).empty() && beginText != db::formatTreeDate(form.loadedBegin)) {
        if (!ask || !ask(side.ask))
            return db::Result::refused("");
        restart = true;
    }
    if (form.fixed != form.autoPost)
        return db::Result::refused(kMsgAutoNeedsFixedIncome);
    const std::string amount = db::trim(form.amount);
    const std::string count = db::trim(form.dayNum);
    const std::string unit = db::trim(form.selectType);
    if (amount.empty())
        return db::Result::refused(kMsgAmountEmpty);
    // Both numbers go into the statement unquoted, and the posting at
    // start-up would skip an item whose numbers it cannot read.
    if (!isAmountText(amount))
        return db::Result::refused(kMsgAmountNotNumber);
    if (count.empty())
        return db::Result::refused(kMsgIntervalEmpty);
    if (!isIntervalText(count))
        return db::Result::refused(kMsgIntervalNotWhole);
    if (unit.empty())
        return db::Result::refused(kMsgUnitEmpty);
    if (std::find(std::begin(kRecurringUnits), std::end(kRecurringUnits), unit) == std::end(kRecurringUnits))
        return db::Result::refused(kMsgUnitUnknown);
    if (form.bank.empty())
        return db::Result::refused(kMsgBankEmpty);
    if (form.begin.year < kFirstYear || form.end.year < kFirstYear)
        return db::Result::refused(kMsgDateTooEarly);

    db::Transaction transaction(c, "保存固定收支 " + name);
    if (restart)
        c.execute(side.reset + quote(name) + "'");
    c.execute(side.update + std::string(form.fixed ? "TRUE" : "FALSE") + ",IsAuto=" +
              (form.autoPost ? "TRUE" : "FALSE") + side.amountPart + amount + ",DayNum=" + count + ",SelectType='" +
              quote(unit) + "',BeginDate='" + beginText + "',BankName='" + quote(form.bank) + "',EndDate='" +
              endText + "'  where Style='" + quote(name) + "'");
    transaction.commit();
    return db::Result::ok();
}

} // namespace setup
