#include "import/import_run.h"

#include "db/connection.h"
#include "db/feature_schema.h"
#include "db/text.h"
#include "import/values.h"
#include "ledger/entry_change.h"
#include "ledger/posting.h"

#include <set>
#include <unordered_set>

namespace import {

namespace {

std::string quoted(const std::string &text) { return "'" + db::quote(text) + "'"; }

std::string rowLabel(const PlanRow &row) { return "第 " + std::to_string(row.bill.line) + " 行："; }

// The rules that accepted suggestions make: this bill category means this
// category from now on.
std::vector<Rule> suggestionRules(const Plan &plan)
{
    std::vector<Rule> rules;
    std::set<std::pair<std::string, std::string>> made;
    for (const PlanRow &row : plan.rows) {
        if (row.decision != Decision::Post || row.categorySource != kFromSuggestion)
            continue;
        if (!made.insert({row.type, row.bill.billCategory}).second)
            continue;
        Rule rule;
        rule.field = RuleField::BillCategory;
        rule.pattern = row.bill.billCategory;
        rule.type = row.type;
        rule.category = row.category;
        rules.push_back(rule);
    }
    return rules;
}

// The keys that stand for entries of the books now, read inside the
// import's transaction: another import may have written rows of the same
// bill since the plan was made.
std::unordered_set<std::string> keysInBooks(db::Connection &c)
{
    std::unordered_set<std::string> keys;
    db::Query q = c.query("select r.RowKey as k from ImportRow r join account a on a.财务标识 = r.AccNum "
                          "where substr(a.日期,1,10) = substr(r.DTime,1,10)");
    while (q.next())
        keys.insert(q.field("k"));
    return keys;
}

} // namespace

std::string entryDescription(const BillRow &row)
{
    if (row.goods.empty() || row.goods == row.counterparty)
        return row.counterparty;
    if (row.counterparty.empty())
        return row.goods;
    return row.counterparty + " " + row.goods;
}

CommitOutcome commitPlan(db::Connection &c, const Plan &plan, const CommitOptions &options)
{
    CommitOutcome outcome;
    for (const PlanRow &row : plan.rows)
        if (!options.skipUnresolved &&
            (row.decision == Decision::NeedsCategory || row.decision == Decision::NeedsAccount)) {
            outcome.result = db::Result::refused(rowLabel(row) + row.note + "。请先补上，或者跳过这一行");
            return outcome;
        }
    db::ensureFeatureTables(c);
    // The whole import is one action of the undo history.
    db::Transaction transaction(c, "导入账单 " + options.fileName.substr(options.fileName.find_last_of('/') + 1));
    outcome.importNumber = std::stoi(c.scalar("select coalesce(max(Num),0)+1 as n from ImportLog", "n"));
    const std::string number = std::to_string(outcome.importNumber);
    int total = 0;
    for (const PlanRow &row : plan.rows)
        total += row.decision == Decision::Post;
    int done = 0;
    const std::unordered_set<std::string> inBooks = keysInBooks(c);
    // The transaction holds the write lock: the numbers after the largest
    // are the import's own, one after another.
    long long next = std::stoll(ledger::nextEntryNumber(c));
    for (const PlanRow &row : plan.rows) {
        if (row.decision != Decision::Post)
            continue;
        if (inBooks.count(row.key)) {
            ++outcome.duplicates;
            continue;
        }
        ledger::Entry e;
        e.number = std::to_string(next++);
        e.date = db::formatDateTime(row.bill.time);
        e.type = row.type;
        e.category = row.category;
        e.amount = centsText(row.signedCents());
        e.description = entryDescription(row.bill);
        e.handler = options.handler;
        e.bank = row.account;
        const db::Result posted = ledger::postEntry(c, e);
        if (!posted) {
            outcome.result = db::Result::refused(rowLabel(row) + posted.message);
            return outcome;
        }
        c.execute("insert into ImportRow (ImportNum, RowKey, AccNum, DTime, Refer) values (" + number + "," +
                  quoted(row.key) + "," + e.number + "," + quoted(e.date) + "," + quoted(row.bill.merchantOrder) + ")");
        ++outcome.posted;
        ++done;
        if (options.progress && !options.progress(done, total)) {
            outcome.result = db::Result::refused(kMsgImportStopped);
            return outcome;
        }
    }
    for (const Rule &rule : plan.newRules)
        if (db::Result saved = saveRule(c, rule); !saved) {
            outcome.result = saved;
            return outcome;
        }
    for (const Rule &rule : suggestionRules(plan))
        saveRule(c, rule);
    for (const auto &[method, account] : plan.newAccounts)
        saveAccountMapping(c, method, account);
    // A bill with nothing new leaves no import to take back.
    if (outcome.posted == 0) {
        outcome.importNumber = 0;
        transaction.commit();
        return outcome;
    }
    c.execute("insert into ImportLog (Num, FileName, Format, DTime, Operator, RowCount, Posted, Undone) values (" +
              number + "," + quoted(options.fileName) + "," + quoted(formatName(plan.format)) + "," +
              quoted(db::formatDateTime(options.now)) + "," + quoted(options.handler) + "," +
              std::to_string(plan.rows.size()) + "," + std::to_string(outcome.posted) + ",'')");
    transaction.commit();
    return outcome;
}

std::vector<ImportRecord> listImports(db::Connection &c)
{
    db::ensureFeatureTables(c);
    std::vector<ImportRecord> records;
    db::Query q = c.query("select Num, FileName, Format, DTime, Operator, RowCount, Posted, Undone from ImportLog "
                          "order by Num desc");
    while (q.next()) {
        ImportRecord r;
        r.number = std::stoi(q.field("Num"));
        r.fileName = q.field("FileName");
        r.format = q.field("Format");
        r.time = q.field("DTime");
        r.handler = q.field("Operator");
        r.rows = static_cast<int>(db::leadingNumber(q.field("RowCount")));
        r.posted = static_cast<int>(db::leadingNumber(q.field("Posted")));
        r.undone = q.field("Undone");
        records.push_back(std::move(r));
    }
    return records;
}

db::Result undoImport(db::Connection &c, int number, const db::DateTime &now, int *removed)
{
    db::ensureFeatureTables(c);
    const std::string n = std::to_string(number);
    db::Transaction transaction(c, "撤销导入 #" + n);
    const std::string undone = c.scalar("select coalesce(Undone,'') || '|' as u from ImportLog where Num=" + n, "u");
    if (undone.empty())
        return db::Result::refused("没有编号为 " + n + " 的导入");
    if (undone != "|")
        return db::Result::refused("编号为 " + n + " 的导入已经撤销过了");
    std::vector<std::string> entries;
    {
        // Only entries that are still the ones written: a number freed by a
        // deletion and taken by a later entry has another date.
        db::Query q = c.query("select r.AccNum as n from ImportRow r join account a on a.财务标识 = r.AccNum "
                              "where r.ImportNum=" + n + " and substr(a.日期,1,10) = substr(r.DTime,1,10)");
        while (q.next())
            entries.push_back(q.field("n"));
    }
    for (const std::string &entry : entries)
        if (db::Result deleted = ledger::deleteEntry(c, entry); !deleted)
            return deleted;
    c.execute("delete from ImportRow where ImportNum=" + n);
    c.execute("update ImportLog set Undone=" + quoted(db::formatDateTime(now)) + " where Num=" + n);
    transaction.commit();
    if (removed)
        *removed = static_cast<int>(entries.size());
    return db::Result::ok();
}

} // namespace import
