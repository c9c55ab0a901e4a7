#include "stats/scan_source.h"

#include "stats/ledger_groups.h"
#include "stats/ledger_read.h"
#include "stats/tree_table.h"

#include <functional>
#include <map>

namespace stats {

namespace {

constexpr const char *kAll = "all";

using KeyTest = std::function<bool(const LedgerGroups::Key &)>;

// "column ='value'" on a text column of the ledger: trailing blanks count on
// neither side, and NULL equals nothing.
bool matches(const TextKey &field, const std::string &value)
{
    return !field.null && field.text == TextKey::of(value).text;
}

// "( column ='filter' or 'all' ='filter' )": the literal "all" takes every row.
KeyTest directionTest(const std::string &filter)
{
    if (filter == kAll)
        return [](const LedgerGroups::Key &) { return true; };
    return [filter](const LedgerGroups::Key &key) { return matches(key.direction, filter); };
}

Totals totalsOf(const Group &group) { return Totals{group.sum.text(), std::to_string(group.rows)}; }

Group sumOf(const LedgerGroups &ledger, const KeyTest &keep)
{
    Group all;
    for (std::size_t i = 0; i < ledger.groups().size(); ++i)
        if (keep(ledger.keys()[i]))
            all.merge(ledger.groups()[i]);
    return all;
}

// The records of a roll-up: the ledger's groups joined to the derived table
// by the member's name, summed per child name (count of numbered rows), the
// first pair that meets a row naming the child; in the order of the names.
std::vector<Record> rollUpRecords(const std::vector<TreeTable::Pair> &pairs, const LedgerGroups &ledger,
                                  const KeyTest &keep)
{
    struct Branch {
        std::string label;
        long long numbered = 0;
        db::ExactSum sum;
    };
    std::map<TextKey, Branch> branches;
    for (const TreeTable::Pair &pair : pairs) {
        if (pair.member->nameKey.null)
            continue;
        for (int index : ledger.withLabel(pair.member->nameKey)) {
            if (!keep(ledger.keys()[index]))
                continue;
            const Group &group = ledger.groups()[index];
            auto [it, made] = branches.try_emplace(pair.child->nameKey);
            if (made)
                it->second.label = pair.child->name;
            it->second.numbered += group.numbered;
            it->second.sum.add(group.sum);
        }
    }
    std::vector<Record> out;
    for (const auto &[name, branch] : branches)
        out.push_back(Record{branch.label, std::to_string(branch.numbered), branch.sum.text(), {}});
    return out;
}

// Groups of one direction whose label names no node of a tree, by label.
std::vector<Record> outsideRecords(const LedgerGroups &ledger, const std::string &direction, const TreeTable &tree)
{
    std::vector<Record> out;
    for (int index : ledger.ordered()) {
        const LedgerGroups::Key &key = ledger.keys()[index];
        if (!matches(key.direction, direction) || !tree.excludes(key.label))
            continue;
        const Group &group = ledger.groups()[index];
        out.push_back(Record{group.label, std::to_string(group.numbered), group.sum.text(), {}});
    }
    return out;
}

const char *typeOf(CategoryTree tree) { return tree == CategoryTree::Expense ? "付" : "收"; }

class ScanSource : public Source {
public:
    ScanSource(db::Connection &connection, const Range &range, Progress *progress)
        : m_connection(connection), m_range(range), m_progress(progress)
    {
    }

    Totals journalHead() override { return totalsOf(sumOf(journal(), directionTest(kAll))); }
    std::vector<Record> journalDetail(sql::JournalDetail) override
    {
        std::vector<Record> out;
        const LedgerGroups &ledger = journal();
        for (int index : ledger.ordered()) {
            const Group &group = ledger.groups()[index];
            out.push_back(Record{group.label, std::to_string(group.rows), group.sum.text(), group.direction});
        }
        return out;
    }
    Totals categoryHead(CategoryTree tree, Output) override
    {
        return totalsOf(sumOf(journal(), directionTest(typeOf(tree))));
    }
    std::vector<Record> categoryRollUp(CategoryTree tree, const std::string &parent, int level, int start) override
    {
        return rollUpRecords(categoryTree(tree).pairs(parent, level, start), journal(), directionTest(typeOf(tree)));
    }
    std::vector<Record> uncategorised(CategoryTree tree) override
    {
        return outsideRecords(journal(), typeOf(tree), categoryTree(tree));
    }

    Totals bankHead() override { return totalsOf(sumOf(bank(), directionTest(kAll))); }
    Totals cashHead() override { return totalsOf(sumOf(cash(), directionTest(kAll))); }
    std::vector<Record> bankRollUp(const std::string &parent, int level, int start,
                                   const std::string &direction) override
    {
        return rollUpRecords(bankTree().pairs(parent, level, start), bank(), directionTest(direction));
    }
    Totals bankDirection(const std::string &direction) override
    {
        return totalsOf(sumOf(bank(), [&](const LedgerGroups::Key &key) { return matches(key.direction, direction); }));
    }
    Totals cashDirection(const std::string &direction) override
    {
        return totalsOf(sumOf(cash(), [&](const LedgerGroups::Key &key) { return matches(key.direction, direction); }));
    }
    std::vector<Record> banksOutsideTree(const std::string &direction) override
    {
        return outsideRecords(bank(), direction, bankTree());
    }

    Totals dayHead(const std::string &filter) override
    {
        Group all;
        for (const auto &[day, groups] : journalByDay().days())
            all.merge(dayGroup(groups, directionTest(filter)));
        return totalsOf(all);
    }
    std::vector<Record> days(const std::string &filter) override
    {
        std::vector<Record> out;
        const KeyTest keep = directionTest(filter);
        for (const auto &[day, groups] : journalByDay().days()) {
            const Group sum = dayGroup(groups, keep);
            if (sum.rows > 0)
                out.push_back(Record{day, std::to_string(sum.rows), sum.sum.text(), {}});
        }
        return out;
    }
    std::vector<Record> dayDetail(const std::string &day, const std::string &filter) override
    {
        std::vector<Record> out;
        const LedgerGroups &ledger = journalByDay();
        const auto found = ledger.days().find(day);
        if (found == ledger.days().end())
            return out;
        const KeyTest keep = directionTest(filter);
        std::map<int, const Group *> groups;
        for (const auto &[index, group] : found->second)
            if (keep(ledger.keys()[index]))
                groups[index] = &group;
        for (int index : ledger.ordered())
            if (const auto it = groups.find(index); it != groups.end())
                out.push_back(Record{it->second->label, std::to_string(it->second->rows), it->second->sum.text(),
                                     it->second->direction});
        return out;
    }

private:
    Group dayGroup(const LedgerGroups::DayGroups &groups, const KeyTest &keep) const
    {
        Group sum;
        for (const auto &[index, group] : groups)
            if (keep(m_journalByDay->keys()[index]))
                sum.merge(group);
        return sum;
    }

    const LedgerGroups &read(std::unique_ptr<LedgerGroups> &groups, const LedgerColumns &columns, bool byDay)
    {
        if (!groups)
            groups = readLedger(m_connection, m_range, columns, byDay, m_progress);
        return *groups;
    }
    const LedgerGroups &journal() { return read(m_journal, kJournalLedger, false); }
    const LedgerGroups &journalByDay() { return read(m_journalByDay, kJournalLedger, true); }
    const LedgerGroups &bank() { return read(m_bank, kBankLedger, false); }
    const LedgerGroups &cash() { return read(m_cash, kCashLedger, false); }

    const TreeTable &tree(std::unique_ptr<TreeTable> &table, const char *name, const char *nameColumn,
                          const char *parentColumn)
    {
        if (!table)
            table = std::make_unique<TreeTable>(m_connection, name, nameColumn, parentColumn);
        return *table;
    }
    const TreeTable &categoryTree(CategoryTree which)
    {
        return which == CategoryTree::Expense ? tree(m_expenseTree, "PayStyle", "Style", "ParentStyle")
                                              : tree(m_incomeTree, "GetStyle", "Style", "ParentStyle");
    }
    const TreeTable &bankTree() { return tree(m_bankTree, "Bank", "BankName", "ParentBank"); }

    db::Connection &m_connection;
    Range m_range;
    Progress *m_progress;
    std::unique_ptr<LedgerGroups> m_journal;
    std::unique_ptr<LedgerGroups> m_journalByDay;
    std::unique_ptr<LedgerGroups> m_bank;
    std::unique_ptr<LedgerGroups> m_cash;
    std::unique_ptr<TreeTable> m_expenseTree;
    std::unique_ptr<TreeTable> m_incomeTree;
    std::unique_ptr<TreeTable> m_bankTree;
};

} // namespace

std::unique_ptr<Source> makeScanSource(db::Connection &connection, const Range &range, Progress *progress)
{
    return std::make_unique<ScanSource>(connection, range, progress);
}

} // namespace stats
