#include "db/history.h"

#include "db/connection.h"
#include "db/history_rows.h"
#include "db/text.h"

#include <map>

namespace db {

namespace {

using history::kMark;
using history::RowChange;

std::string withLabel(const char *pattern, const std::string &label)
{
    std::string text = pattern;
    text.replace(text.find("%1"), 2, label);
    return text;
}

StepResult refusedStep(std::string message, std::string label = {})
{
    StepResult result;
    result.done = false;
    result.message = std::move(message);
    result.label = std::move(label);
    return result;
}

// The stored rows of one action; nothing when a stored image does not read.
std::optional<std::vector<RowChange>> changesOf(Connection &c, const std::string &action)
{
    std::vector<RowChange> changes;
    Query q = c.query(std::string(kMark) +
                      "SELECT TableName,RowId,Before IS NULL AS NoBefore,Before,After IS NULL AS NoAfter,After "
                      "FROM UndoChange WHERE Action=" + action + " ORDER BY rowid");
    while (q.next()) {
        RowChange change{q.field("TableName"), q.value(1).integer, std::nullopt, std::nullopt};
        for (const auto &[absent, image, target] :
             {std::tuple{"NoBefore", "Before", &change.before}, std::tuple{"NoAfter", "After", &change.after}}) {
            if (q.field(absent) == "1")
                continue;
            *target = parseRowLiterals(q.field(image));
            if (!*target)
                return std::nullopt;
        }
        changes.push_back(std::move(change));
    }
    return changes;
}

// The statement that turns a row that is `from` into `to`; "" when there is
// nothing to do.
std::string statementFor(const RowChange &change, const std::optional<Row> &from, const std::optional<Row> &to,
                         const history::TableRows &table)
{
    const std::string name = history::quotedName(change.table);
    const std::string where = " WHERE rowid=" + std::to_string(change.rowid);
    if (!to)
        return "DELETE FROM " + name + where;
    if (!from) {
        std::string columns = table.rowidAliased ? "" : "rowid";
        std::string values = table.rowidAliased ? "" : std::to_string(change.rowid);
        for (std::size_t i = 0; i < to->size(); ++i) {
            const bool first = table.rowidAliased && i == 0;
            columns += (first ? "" : ",") + history::quotedName(table.columns[i]);
            values += (first ? "" : ",") + literal((*to)[i]);
        }
        return "INSERT INTO " + name + " (" + columns + ") VALUES (" + values + ")";
    }
    std::string set;
    for (std::size_t i = 0; i < to->size(); ++i)
        if (!((*from)[i] == (*to)[i]))
            set += (set.empty() ? "" : ",") + history::quotedName(table.columns[i]) + "=" + literal((*to)[i]);
    return set.empty() ? std::string() : "UPDATE " + name + " SET " + set + where;
}

// The rows of the changes as they are now, by table.
std::map<std::string, history::TableRows> currentRows(Connection &c, const std::vector<RowChange> &changes)
{
    std::map<std::string, std::vector<long long>> rowids;
    for (const RowChange &change : changes)
        rowids[change.table].push_back(change.rowid);
    std::map<std::string, history::TableRows> tables;
    for (const auto &[table, ids] : rowids)
        tables[table] = history::readRows(c, table, ids);
    return tables;
}

// Whether every row of the changes is what `expected` picks of it, in a
// table that still has the columns it was recorded with.
bool rowsAre(const std::map<std::string, history::TableRows> &tables, const std::vector<RowChange> &changes,
             bool after)
{
    for (const RowChange &change : changes) {
        const history::TableRows &table = tables.at(change.table);
        const std::optional<Row> &expected = after ? change.after : change.before;
        const auto found = table.rows.find(change.rowid);
        if (expected.has_value() != (found != table.rows.end()))
            return false;
        if (expected && (expected->size() > table.columns.size() || !(found->second == *expected)))
            return false;
    }
    return true;
}

// Undo (back) or redo (forward) of one action, in one transaction.
StepResult step(Connection &c, bool back)
{
    const char *const nothing = back ? kMsgNothingToUndo : kMsgNothingToRedo;
    if (!history::tablesExist(c))
        return refusedStep(nothing);
    Transaction transaction(c);
    std::string action;
    std::string label;
    {
        Query q = c.query(std::string(kMark) +
                          (back ? "SELECT Id,Label FROM UndoAction WHERE Undone=0 ORDER BY Id DESC LIMIT 1"
                                : "SELECT Id,Label FROM UndoAction WHERE Undone<>0 ORDER BY Id LIMIT 1"));
        if (!q.next())
            return refusedStep(nothing);
        action = q.field("Id");
        label = q.field("Label");
    }
    const std::optional<std::vector<RowChange>> changes = changesOf(c, action);
    if (!changes)
        return refusedStep(withLabel(kMsgHistoryDamaged, label), label);
    const char *const conflict = back ? kMsgUndoConflict : kMsgRedoConflict;
    const std::map<std::string, history::TableRows> tables = currentRows(c, *changes);
    if (!rowsAre(tables, *changes, back))
        return refusedStep(withLabel(conflict, label), label);

    // Rows leave first and return last, so that a unique value a leaving row
    // holds is free before a returning row takes it. A unique value that
    // another row took since (an entry number given again by another
    // program) is a change since as well: nothing is written.
    try {
        for (int pass = 0; pass < 3; ++pass) {
            for (const RowChange &change : *changes) {
                const std::optional<Row> &from = back ? change.after : change.before;
                const std::optional<Row> &to = back ? change.before : change.after;
                const int order = !to ? 0 : from ? 1 : 2;
                if (order != pass)
                    continue;
                const std::string statement = statementFor(change, from, to, tables.at(change.table));
                if (!statement.empty())
                    c.execute(statement);
            }
        }
    } catch (const Error &error) {
        if (!error.isUniqueViolation())
            throw;
        return refusedStep(withLabel(conflict, label), label);
    }
    // A value the engine read back otherwise than it was kept would leave a
    // row that is neither state: then nothing is written.
    if (!rowsAre(currentRows(c, *changes), *changes, !back))
        return refusedStep(withLabel(kMsgHistoryDamaged, label), label);
    c.execute(std::string(kMark) + "UPDATE UndoAction SET Undone=" + (back ? "1" : "0") + " WHERE Id=" + action);
    transaction.commit();
    StepResult done;
    done.label = label;
    return done;
}

} // namespace

std::vector<HistoryAction> listHistory(Connection &c)
{
    std::vector<HistoryAction> actions;
    if (!history::tablesExist(c))
        return actions;
    Query q = c.query(std::string(kMark) + "SELECT Id,Label,At,Undone FROM UndoAction ORDER BY Id DESC");
    while (q.next())
        actions.push_back({q.value(0).integer, q.field("Label"), q.field("At"), q.field("Undone") != "0"});
    return actions;
}

NextSteps nextSteps(Connection &c)
{
    NextSteps next;
    if (!history::tablesExist(c))
        return next;
    Query q = c.query(std::string(kMark) +
                      "SELECT Label,Undone FROM UndoAction WHERE Id=(SELECT max(Id) FROM UndoAction WHERE Undone=0) "
                      "OR Id=(SELECT min(Id) FROM UndoAction WHERE Undone<>0)");
    while (q.next())
        (q.field("Undone") == "0" ? next.undo : next.redo) = q.field("Label");
    return next;
}

StepResult undoLast(Connection &c) { return step(c, true); }

StepResult redoNext(Connection &c) { return step(c, false); }

void clearHistory(Connection &c)
{
    if (!history::tablesExist(c))
        return;
    Transaction transaction(c);
    c.execute(std::string(kMark) + "DELETE FROM UndoChange");
    c.execute(std::string(kMark) + "DELETE FROM UndoAction");
    transaction.commit();
}

} // namespace db
