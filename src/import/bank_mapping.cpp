#include "import/bank_mapping.h"

#include "db/text.h"
#include "import/csv.h"
#include "import/header_row.h"

#include <algorithm>

namespace import {

namespace {

constexpr std::size_t kSearchRows = 80;

// The column of a header row bearing a name, or -1.
int columnNamed(const TableRow &header, const std::string &name)
{
    if (name.empty())
        return -1;
    const std::string key = headerKey(name);
    for (std::size_t c = 0; c < header.cells.size(); ++c)
        if (headerKey(header.cells[c].text) == key)
            return static_cast<int>(c);
    return -1;
}

std::string cell(const TableRow &row, int column)
{
    return column < 0 ? std::string() : cleanCell(row.text(static_cast<std::size_t>(column)));
}

bool cellNumber(const TableRow &row, int column)
{
    return column >= 0 && row.isNumber(static_cast<std::size_t>(column));
}

} // namespace

const char *amountSignName(AmountSign sign)
{
    return sign == AmountSign::PositiveIsSpending ? "正数为支出" : "负数为支出";
}

AmountSign amountSignNamed(const std::string &name)
{
    return name == amountSignName(AmountSign::PositiveIsSpending) ? AmountSign::PositiveIsSpending
                                                                  : AmountSign::NegativeIsSpending;
}

const char *dateOrderName(DateOrder order)
{
    return order == DateOrder::DayFirst ? "日月年" : order == DateOrder::MonthFirst ? "月日年" : "年月日";
}

DateOrder dateOrderNamed(const std::string &name)
{
    for (DateOrder order : {DateOrder::DayFirst, DateOrder::MonthFirst})
        if (name == dateOrderName(order))
            return order;
    return DateOrder::YearFirst;
}

std::string bankMethod(const BankMapping &mapping) { return "对帐单:" + mapping.name; }

db::Result checkMapping(const BankMapping &m)
{
    if (db::trim(m.name).empty())
        return db::Result::refused("请给这种对帐单的格式起一个名字");
    if (m.dateColumn.empty())
        return db::Result::refused("请选择日期所在的列");
    if (m.amountColumn.empty() && (m.debitColumn.empty() || m.creditColumn.empty()))
        return db::Result::refused("请选择金额所在的列，或者支出和收入各自所在的列");
    return db::Result::ok();
}

std::size_t guessHeaderRow(const Table &table)
{
    std::size_t best = 0;
    std::size_t bestWidth = 0;
    const std::size_t rows = std::min(table.rows.size(), kSearchRows);
    for (std::size_t r = 0; r < rows; ++r) {
        const TableRow &row = table.rows[r];
        std::size_t width = 0;
        bool allText = true;
        for (const Cell &c : row.cells) {
            const std::string text = cleanCell(c.text);
            if (text.empty())
                continue;
            ++width;
            if (c.number || parseAmount(text) || parseBillTime(text))
                allText = false;
        }
        if (allText && width > bestWidth) {
            best = r;
            bestWidth = width;
        }
    }
    return best;
}

std::optional<std::size_t> mappedHeaderRow(const Table &table, const BankMapping &m)
{
    const std::size_t rows = std::min(table.rows.size(), kSearchRows);
    for (std::size_t r = 0; r < rows; ++r) {
        const TableRow &row = table.rows[r];
        bool all = columnNamed(row, m.dateColumn) >= 0;
        for (const std::string *name : {&m.timeColumn, &m.amountColumn, &m.debitColumn, &m.creditColumn,
                                        &m.counterpartyColumn, &m.descriptionColumn, &m.referenceColumn})
            if (!name->empty() && columnNamed(row, *name) < 0)
                all = false;
        if (all)
            return r;
    }
    return std::nullopt;
}

BillRead readBank(const Table &table, const BankMapping &m)
{
    BillRead read;
    read.bill.format = Format::Bank;
    read.bill.methodFallback = bankMethod(m);
    if (db::Result checked = checkMapping(m); !checked) {
        read.result = checked;
        return read;
    }
    const std::optional<std::size_t> headerRow = mappedHeaderRow(table, m);
    if (!headerRow) {
        read.result = db::Result::refused("文件里找不到“" + m.name + "”格式的表头 (" + m.dateColumn +
                                          " …)：这个文件的列和保存的格式不同，请重新设置");
        return read;
    }
    const TableRow &header = table.rows[*headerRow];
    const int date = columnNamed(header, m.dateColumn);
    const int time = columnNamed(header, m.timeColumn);
    const int amount = columnNamed(header, m.amountColumn);
    const int debit = columnNamed(header, m.debitColumn);
    const int credit = columnNamed(header, m.creditColumn);
    const int counterparty = columnNamed(header, m.counterpartyColumn);
    const int description = columnNamed(header, m.descriptionColumn);
    const int reference = columnNamed(header, m.referenceColumn);
    const int lastColumn = std::max({date, time, amount, debit, credit, counterparty, description, reference});
    std::size_t width = header.cells.size();
    while (width > 0 && cleanCell(header.cells[width - 1].text).empty())
        --width;
    for (std::size_t r = *headerRow + 1; r < table.rows.size(); ++r) {
        const TableRow &row = table.rows[r];
        const std::string dateText = cell(row, date);
        const std::string amountText = amount >= 0 ? cell(row, amount) : cell(row, debit) + cell(row, credit);
        if (row.isBlank() || (dateText.empty() && amountText.empty()) || dateText.rfind('#', 0) == 0)
            continue;
        if (std::string problem = rowShapeProblem(row, width, lastColumn); !problem.empty()) {
            read.result = db::Result::refused(problem);
            return read;
        }
        if (static_cast<int>(read.bill.rows.size()) >= kMaxRows) {
            read.result = db::Result::refused(rowPrefix(row.line) + "对帐单超过 " + std::to_string(kMaxRows) +
                                              " 笔，请分成几个文件导入");
            return read;
        }
        BillRow bill;
        bill.line = row.line;
        std::optional<db::DateTime> when = parseBillTime(dateText, cellNumber(row, date), m.dateOrder);
        if (when && time >= 0 && !cell(row, time).empty() && !applyTimeOfDay(cell(row, time), *when))
            when.reset();
        if (!when) {
            read.result = db::Result::refused(rowPrefix(row.line) + "日期“" + dateText + "”不是一个存在的日期 (按" +
                                              dateOrderName(m.dateOrder) + "的顺序读)");
            return read;
        }
        bill.time = *when;
        long long signedCents = 0;
        if (amount >= 0) {
            const auto value = parseAmount(cell(row, amount), cellNumber(row, amount));
            if (!value) {
                read.result = db::Result::refused(rowPrefix(row.line) + "金额“" + cell(row, amount) + "”不是一个金额");
                return read;
            }
            signedCents = m.sign == AmountSign::NegativeIsSpending ? *value : -*value;
        } else {
            const std::string out = cell(row, debit);
            const std::string in = cell(row, credit);
            const auto spent = out.empty() ? std::optional<long long>(0) : parseAmount(out, cellNumber(row, debit));
            const auto got = in.empty() ? std::optional<long long>(0) : parseAmount(in, cellNumber(row, credit));
            if (!spent || !got) {
                read.result = db::Result::refused(rowPrefix(row.line) + "金额“" + (spent ? in : out) + "”不是一个金额");
                return read;
            }
            if (*spent != 0 && *got != 0) {
                read.result = db::Result::refused(rowPrefix(row.line) + "支出和收入两列都有金额，不知道该记哪一笔");
                return read;
            }
            // Some banks write spending as a negative number even in its own column.
            signedCents = *spent != 0 ? -std::llabs(*spent) : std::llabs(*got);
        }
        bill.direction = signedCents < 0 ? Direction::Expense : signedCents > 0 ? Direction::Income : Direction::Neutral;
        bill.cents = std::llabs(signedCents);
        bill.counterparty = cell(row, counterparty);
        bill.goods = cell(row, description);
        bill.orderNumber = cell(row, reference);
        bill.method = bankMethod(m);
        read.bill.rows.push_back(std::move(bill));
    }
    if (table.stoppedAt != 0)
        read.result = db::Result::refused(tooLong(table.stoppedAt));
    return read;
}

} // namespace import
