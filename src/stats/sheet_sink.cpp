#include "stats/sheet_sink.h"

#include "db/text.h"
#include "stats/percent.h"
#include "stats/xlsx_driver.h"

#include <algorithm>

namespace stats {

namespace {

constexpr const char *kColumns = " (帐目类型,钱额,次数,收付,百分比) VALUES ('";
// The journal's detail rows and the expense sheet's uncategorised rows have
// two blanks before VALUES.
constexpr const char *kColumnsWide = " (帐目类型,钱额,次数,收付,百分比)  VALUES ('";
constexpr const char *kDayColumns = "INSERT INTO AccSum (日期,钱额,次数,收付,百分比) VALUES ('";

std::string q(const std::string &text) { return db::quote(text); }

const char *sheetOf(Section section)
{
    switch (section) {
    case Section::Journal:
    case Section::Day:
        return "AccSum";
    case Section::Expense:
        return "PaySum";
    case Section::Income:
        return "GetSum";
    case Section::Bank:
        return "BankSum";
    case Section::Cash:
        return "CashSum";
    case Section::Budget:
        return "BudgetSum";
    }
    return "";
}

// label, amount and count, quoted and joined: "label','amount','count".
std::string firstThree(const std::string &label, const Row &row)
{
    return q(label) + "','" + q(row.cell(0)) + "','" + q(row.cell(1));
}

std::string dayInsert(const Row &row)
{
    switch (row.role) {
    case Role::Head:
        return kDayColumns + firstThree(row.label, row) + "','','" + kWholePercent + "')";
    case Role::Day:
        return kDayColumns + firstThree("   " + row.label, row) + "','','" + q(row.cell(3)) + "')";
    default:
        return kDayColumns + firstThree("       " + row.label, row) + "','" + q(row.cell(2)) + "', '" +
               q(row.cell(3)) + "')";
    }
}

// The income and expense sheets: a category of level n opens with n + 1
// blanks.
std::string categoryInsert(const Row &row, const std::string &into)
{
    const bool income = row.section == Section::Income;
    const std::string direction = income ? "收" : "付";
    switch (row.role) {
    case Role::Head:
        return into + kColumns + firstThree(row.label, row) + "','" + direction + "','" + kWholePercent + "')";
    case Role::Category:
        return into + kColumns + firstThree(std::string(row.level + 1, ' ') + row.label, row) + "','" + direction +
               "','" + q(row.cell(3)) + "')";
    default: // uncategorised
        if (income)
            return into + kColumns + firstThree("  " + row.label, row) + "','收','" + q(row.cell(3)) + "' )";
        return into + kColumnsWide + firstThree(" " + row.label, row) + "','付','" + q(row.cell(3)) + "')";
    }
}

// The bank sheet: a bank of level n below a direction opens with n + 2
// blanks; a bank outside the tree names no direction column.
std::string bankInsert(const Row &row, const std::string &into)
{
    switch (row.role) {
    case Role::Head:
        return into + kColumns + firstThree(row.label, row) + "','','" + kWholePercent + "')";
    case Role::Direction:
        return into + kColumns + firstThree(" " + row.label, row) + "','','" + q(row.cell(3)) + "')";
    case Role::Category:
        return into + kColumns + firstThree(std::string(row.level + 2, ' ') + row.label, row) + "','" +
               q(row.cell(2)) + "',  '" + q(row.cell(3)) + "')";
    default: // outside the tree
        return into + " (帐目类型,钱额,次数,百分比) VALUES ('" + firstThree("   " + row.label, row) + "','" +
               q(row.cell(3)) + "')";
    }
}

} // namespace

std::string insertStatement(const Row &row)
{
    const std::string into = std::string("INSERT INTO ") + sheetOf(row.section);
    switch (row.section) {
    case Section::Day:
        return dayInsert(row);
    case Section::Journal:
        if (row.isHead())
            return into + kColumns + firstThree(row.label, row) + "','','" + kWholePercent + "')";
        return into + kColumnsWide + firstThree("   " + row.label, row) + "','" + q(row.cell(2)) + "','" +
               q(row.cell(3)) + "')";
    case Section::Expense:
    case Section::Income:
        return categoryInsert(row, into);
    case Section::Bank:
        return bankInsert(row, into);
    case Section::Budget:
        // A budget inside another one opens with a blank per level.
        return into + " (类别,预算,已支出,剩余,已用) VALUES ('" +
               firstThree(std::string(std::max(row.depth - 1, 0), ' ') + row.label, row) + "','" + q(row.cell(2)) +
               "','" + q(row.cell(3)) + "')";
    case Section::Cash:
        if (row.isHead())
            return into + kColumns + firstThree(row.label, row) + "','','" + kWholePercent + "')";
        // The direction is also written in the direction column.
        return into + kColumns + firstThree(" " + row.label, row) + "','" + q(row.label) + "','" + q(row.cell(3)) +
               "')";
    }
    return {};
}

void SheetSink::addRow(const Row &row) { m_sheets.execute(insertStatement(row)); }

} // namespace stats
