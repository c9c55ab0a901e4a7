#include "ledger/ledger_load.h"

#include "db/connection.h"
#include "db/text.h"

#include <array>
#include <limits>

namespace ledger {

namespace {

const char *const kTotalLabel = "合计";
const char *const kRecordsBalance = "条记录,余额为：";
const char *const kRecords = "条记录";
const char *const kFilteredTotalLabel = "合计（已筛选）";
const char *const kTooManyRows = "这个日期范围的帐目太多，请缩小日期范围后再显示";

struct Fragments {
    const char *first;
    const char *second;
    const char *third;
};

const std::array<Fragments, kLedgerCount> kFragments = {{
    {"select 财务标识,日期,收负类型,帐目类型,钱额,经手人,说明 from account where Format(日期,'yyyymmdd') >= '",
     "' and  Format(日期,'yyyymmdd') <= '", "'  order by 日期 desc"},
    {"select Num,DTime,MoneyFrom,nMoney,MoneyTo from GetMoney where Format(DTime,'yyyymmdd') >= '",
     "' and  Format(DTime,'yyyymmdd') <= '", "' order by DTime desc"},
    {"select Num,DTime,PayStyle,nMoney from PayMoney where Format(DTime,'yyyymmdd') >= '",
     "'  and  Format(DTime,'yyyymmdd') <= '", "'  order by DTime desc"},
    {"select BankName,DTime,NStyle,nMoney,PayGet from BankAccount where Format(DTime,'yyyymmdd') >= '",
     "'  and  Format(DTime,'yyyymmdd') <= '", "'  order by DTime desc"},
    {"select Num,DTime,nMoney,PayGet,NStyle from CashAccount where Format(DTime,'yyyymmdd') >= '",
     "'  and  Format(DTime,'yyyymmdd') <= '", "'  order by DTime desc"},
    {"select AccNum,DTime,InvestStyle,nMoney,nLastMoney,nGain,InvestBank,nState from InvestMoney where "
     "Format(DTime,'yyyymmdd') >= '",
     "'  and  Format(DTime,'yyyymmdd') <= '", "'  order by DTime desc"},
}};

const std::array<std::vector<Column>, kLedgerCount> kColumns = {{
    {{"编号", 50}, {"日期时间", 150}, {"支付类型", 70}, {"帐目类型", 100}, {"钱额", 200}, {"经手人", 50}, {"说明", 150}},
    {{"收入帐编号", 100}, {"日期时间", 150}, {"收入来源", 150}, {"钱额", 200}, {"存入银行", 150}},
    {{"支出帐编号", 100}, {"日期时间", 150}, {"支出原因", 150}, {"用了多少", 200}},
    {{"银行名称", 150}, {"时间", 150}, {"类型", 150}, {"金额", 200}, {"收付否", 50}},
    {{"现金帐编号", 100}, {"日期时间", 150}, {"金额", 200}, {"收付否", 50}, {"类型", 150}},
    {{"投资编号", 80}, {"日期时间", 100}, {"类型", 150}, {"投入金额", 80}, {"投资回报", 80}, {"利润", 80},
     {"现金或银行", 100}, {"状态", 80}},
}};

} // namespace

std::string ledgerCaption(int index)
{
    static const char *const captions[] = {"  明  细  帐  ", "  收  入  帐  ", "  支  出  帐  ",
                                           "  银  行  帐  ", "  现  金  帐  ", "  投  资  帐  "};
    return index >= 0 && index < kLedgerCount ? captions[index] : "  默  认  帐  ";
}

const std::vector<Column> &ledgerColumns(int index)
{
    static const std::vector<Column> none;
    return index >= 0 && index < kLedgerCount ? kColumns[index] : none;
}

std::string loadStatement(int index, const std::string &begin, const std::string &end)
{
    if (index < 0 || index >= kLedgerCount)
        return {};
    const Fragments &f = kFragments[index];
    return std::string(f.first) + db::quote(begin) + f.second + db::quote(end) + f.third;
}

std::string yuan(const db::Money &value) { return "￥" + value.cents(); }

const std::vector<int> &summedColumns(int index)
{
    static const std::vector<int> journal = {4}, cash = {2}, invest = {3, 4, 5}, others = {3}, none;
    switch (index) {
    case 0:
        return journal;
    case 1:
    case 2:
    case 3:
        return others;
    case 4:
        return cash;
    case 5:
        return invest;
    default:
        return none;
    }
}

std::vector<std::string> summaryRow(int index, std::size_t count, const std::vector<db::Money> &sums, bool filtered)
{
    const std::vector<int> &summed = summedColumns(index);
    if (summed.empty() || sums.size() < summed.size())
        return {};
    std::vector<std::string> row(ledgerColumns(index).size());
    const std::string n = std::to_string(count);
    row[1] = filtered ? kFilteredTotalLabel : kTotalLabel;
    if (index == 5) {
        row[2] = n + kRecords;
        for (std::size_t i = 0; i < summed.size(); ++i)
            row[summed[i]] = yuan(sums[i]);
    } else {
        row[summed[0]] = n + kRecordsBalance + yuan(sums[0]);
    }
    return row;
}

std::string_view CellTable::cell(int row, int column) const
{
    if (row < 0 || row >= rowCount() || column < 0 || column >= m_columns)
        return {};
    const std::size_t at = static_cast<std::size_t>(row) * m_columns + column;
    return std::string_view(m_text.data() + m_offsets[at], m_offsets[at + 1] - m_offsets[at]);
}

std::vector<std::string> CellTable::row(int row) const
{
    std::vector<std::string> cells;
    if (row < 0 || row >= rowCount())
        return cells;
    cells.reserve(m_columns);
    for (int column = 0; column < m_columns; ++column)
        cells.emplace_back(cell(row, column));
    return cells;
}

void CellTable::appendCell(std::string_view text)
{
    // Offsets are 32 bits: four gigabytes of text is more than a list shows.
    if (text.size() > std::numeric_limits<std::uint32_t>::max() - m_text.size())
        throw db::Error(kTooManyRows);
    if (m_offsets.size() == 0)
        m_offsets.push_back(0);
    m_text.append(text.data(), text.size());
    m_offsets.push_back(static_cast<std::uint32_t>(m_text.size()));
}

void CellTable::appendRow(const std::vector<std::string_view> &cells)
{
    for (int column = 0; column < m_columns; ++column)
        appendCell(column < static_cast<int>(cells.size()) ? cells[column] : std::string_view());
}

void CellTable::appendRow(const db::Query &query)
{
    const int available = query.columnCount();
    db::Query::NumberBuffer buffer;
    for (int column = 0; column < m_columns; ++column)
        appendCell(column < available ? query.fieldView(column, buffer) : std::string_view());
}

void CellTable::shrink()
{
    m_text.shrink();
    m_offsets.shrink();
}

std::size_t CellTable::bytesHeld() const { return m_text.bytesHeld() + m_offsets.bytesHeld(); }

void CellTable::removeRow(int row)
{
    if (row < 0 || row >= rowCount())
        return;
    const std::size_t first = static_cast<std::size_t>(row) * m_columns;
    const std::size_t last = first + m_columns;
    const std::uint32_t begin = m_offsets[first];
    const std::uint32_t removed = m_offsets[last] - begin;
    m_text.erase(begin, removed);
    for (std::size_t i = last; i < m_offsets.size(); ++i)
        m_offsets[i] -= removed;
    m_offsets.erase(first, m_columns);
}

LedgerTable::LedgerTable(int index) : CellTable(static_cast<int>(ledgerColumns(index).size())), m_index(index) {}

void LedgerTable::summarize()
{
    summary.clear();
    const int rows = rowCount();
    const std::vector<int> &summed = summedColumns(m_index);
    if (rows == 0 || summed.empty())
        return;
    std::vector<db::Money> sums(summed.size());
    for (int row = 0; row < rows; ++row)
        for (std::size_t i = 0; i < summed.size(); ++i)
            sums[i] += db::Money::leading(cell(row, summed[i]));
    summary = summaryRow(m_index, static_cast<std::size_t>(rows), sums);
}

void LedgerTable::removeRow(int row)
{
    CellTable::removeRow(row);
    summarize();
}

LedgerTable loadLedger(db::Connection &c, int index, const std::string &begin, const std::string &end)
{
    if (index < 0 || index >= kLedgerCount)
        return LedgerTable(index); // a ledger that does not exist has no rows
    return loadRows(c, index, loadStatement(index, begin, end));
}

LedgerTable loadRows(db::Connection &c, int index, const std::string &statement)
{
    LedgerTable table(index);
    db::Query q = c.query(statement);
    while (q.next())
        table.appendRow(q);
    table.shrink();
    table.summarize();
    return table;
}

} // namespace ledger
