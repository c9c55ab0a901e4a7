#include "import/header_row.h"

namespace import {

namespace {
constexpr std::size_t kHeaderSearchRows = 80;

std::size_t usedWidth(const TableRow &row)
{
    std::size_t width = row.cells.size();
    while (width > 0 && cleanCell(row.cells[width - 1].text).empty())
        --width;
    return width;
}
} // namespace

std::string rowPrefix(int line) { return "第 " + std::to_string(line) + " 行："; }

std::string headerKey(const std::string &cell)
{
    static const std::pair<const char *, const char *> wide[] = {
        {"\xEF\xBC\x88", "("}, {"\xEF\xBC\x89", ")"}, {"\xEF\xBC\x8F", "/"}, {"\xE3\x80\x80", ""}};
    std::string key;
    for (char c : cleanCell(cell))
        if (c != ' ' && c != '\t')
            key += c;
    for (const auto &[from, to] : wide)
        for (std::size_t at = key.find(from); at != std::string::npos; at = key.find(from, at))
            key.replace(at, std::char_traits<char>::length(from), to);
    return key;
}

std::optional<HeaderMatch> findHeader(const Table &table, const std::vector<ColumnName> &wanted, int fieldCount,
                                      int minimum)
{
    std::optional<HeaderMatch> best;
    const std::size_t rows = std::min(table.rows.size(), kHeaderSearchRows);
    for (std::size_t r = 0; r < rows; ++r) {
        const TableRow &row = table.rows[r];
        HeaderMatch match;
        match.row = r;
        match.columns.assign(static_cast<std::size_t>(fieldCount), -1);
        match.width = usedWidth(row);
        for (std::size_t c = 0; c < row.cells.size(); ++c) {
            const std::string key = headerKey(row.cells[c].text);
            if (key.empty())
                continue;
            for (const ColumnName &column : wanted) {
                int &slot = match.columns[static_cast<std::size_t>(column.field)];
                if (slot >= 0)
                    continue;
                bool named = false;
                for (const char *name : column.names)
                    named = named || key == name;
                if (named) {
                    slot = static_cast<int>(c);
                    ++match.known;
                    break;
                }
            }
        }
        if (match.known >= minimum && (!best || match.known > best->known))
            best = match;
    }
    return best;
}

std::string headerSignature(const TableRow &row)
{
    std::string signature;
    const std::size_t width = usedWidth(row);
    for (std::size_t c = 0; c < width; ++c)
        signature += (c ? "|" : "") + headerKey(row.cells[c].text);
    return signature;
}

std::string rowShapeProblem(const TableRow &row, std::size_t headerWidth, int lastColumnRead)
{
    const std::size_t width = usedWidth(row);
    if (width > headerWidth)
        return rowPrefix(row.line) + "有 " + std::to_string(width) + " 列，比表头多 " +
               std::to_string(width - headerWidth) + " 列：账单的列对不上，请检查文件";
    if (lastColumnRead >= 0 && row.cells.size() <= static_cast<std::size_t>(lastColumnRead))
        return rowPrefix(row.line) + "只有 " + std::to_string(row.cells.size()) + " 列，表头有 " +
               std::to_string(headerWidth) + " 列：这一行不完整，文件可能被截断了";
    return {};
}

bool isTrailerLine(const TableRow &row)
{
    if (usedWidth(row) > 1)
        return false;
    const std::string first = cleanCell(row.text(0));
    return !first.empty() && !(first[0] >= '0' && first[0] <= '9');
}

} // namespace import
