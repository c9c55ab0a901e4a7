#pragma once

#include "stats/stat_row.h"
#include "stats/statements.h"
#include "stats/walk.h"

#include <string>

namespace db {
class Connection;
}

namespace stats {

// The statistics of the class query window, numbered as its kinds.
enum class Kind { Summary = 1, Journal = 2, Bank = 3, Cash = 4, Income = 5, Expense = 6 };

inline constexpr const char *kJournalHead = "流水帐目";
inline constexpr const char *kExpenseHead = "支出费用";
inline constexpr const char *kIncomeHead = "收入类型";
inline constexpr const char *kBankHead = "银行帐目";
inline constexpr const char *kCashHead = "现金帐目";
// The head texts of the journal and income sheets differ from the list's.
inline constexpr const char *kJournalSheetHead = " 流水帐 ";
inline constexpr const char *kIncomeSheetHead = "收入费用";

inline constexpr const char *kExpenseRoot = "支出类型";
inline constexpr const char *kIncomeRoot = "收入类型";
inline constexpr const char *kBankRoot = "我的存款银行";
inline constexpr const char *kAllDirections = "all";
// The directions of the bank and cash statistics, in their order.
inline constexpr const char *kDirections[] = {"付", "收", "存", "取"};

// The message of a walk that met a tree deeper than it goes.
std::string treeTooDeepMessage();

// One run of a statistic over a range: its statements in order, each record
// turned into a row for the sink at once, so that a failing statement (a
// db::Error) or a stop leaves the rows found before it. The section totals
// are those of this run's head rows. A roll-up goes down at most
// db::kMaxTreeDepth levels of a tree; a tree deeper than that (or a cycle
// of parent names) ends there, and message() says so.
class Statistics : public Walk {
public:
    Statistics(db::Connection &connection, const Range &range, RowSink &sink, Output output = Output::List,
               const RunOptions &options = {});

    // The statistics of the list.
    Outcome run(Kind kind);
    void summary();
    void journal();
    void income();
    void expense();
    // Bank and cash serve the list and the export alike.
    void bank();
    void cash();
    // The sheets of the export that have no list statistic of their own form.
    void journalSheet();
    void expenseSheet();
    void incomeSheet();

    const std::string &journalTotal() const { return m_journalTotal; }
    const std::string &expenseTotal() const { return m_expenseTotal; }
    const std::string &incomeTotal() const { return m_incomeTotal; }
    const std::string &bankTotal() const { return m_bankTotal; }
    const std::string &cashTotal() const { return m_cashTotal; }

private:
    struct CategorySection;
    static const CategorySection &expenseSection();
    static const CategorySection &incomeSection();
    void journalSection(sql::JournalDetail form, const char *headLabel);
    void categorySection(const CategorySection &section, Output headForm, const char *headLabel);
    void categoryRollUp(const CategorySection &section, const std::string &parent, int level, int start, int depth);
    void bankHead();
    void cashHead();
    void bankRollUp(const std::string &parent, int level, int start, int depth, const std::string &direction);
    void bankDirection(const std::string &direction);
    void cashDirection(const std::string &direction);
    // Adds the head row of a section's totals; returns its amount.
    std::string headRow(Section section, const Totals &totals, const char *label, const char *direction);
    // Whether a roll-up at level may show its records; a level past the
    // deepest the walk goes shows none and notes what is left out.
    bool withinDepth(int level, const std::vector<Record> &records);

    std::string m_journalTotal;
    std::string m_expenseTotal;
    std::string m_incomeTotal;
    std::string m_bankTotal;
    std::string m_cashTotal;
};

// Runs a statistic of the class query window into a list sink.
Outcome runStatistic(db::Connection &connection, Kind kind, const Range &range, RowSink &sink,
                     const RunOptions &options = {});

} // namespace stats
