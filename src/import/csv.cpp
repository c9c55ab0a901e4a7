#include "import/csv.h"

#include "import/bill.h"

#include <algorithm>

namespace import {

namespace {
const std::string kEmpty;
}

std::string tooLong(int line)
{
    return "第 " + std::to_string(line) + " 行：文件太长，一次最多导入 " + std::to_string(kMaxRows) +
           " 笔，请分成几个文件导入";
}

const std::string &TableRow::text(std::size_t column) const
{
    return column < cells.size() ? cells[column].text : kEmpty;
}

bool TableRow::isBlank() const
{
    return std::all_of(cells.begin(), cells.end(), [](const Cell &cell) { return cleanCell(cell.text).empty(); });
}

std::string cleanCell(const std::string &text)
{
    const char *const blanks = " \t\r\n";
    const std::size_t first = text.find_first_not_of(blanks);
    if (first == std::string::npos)
        return {};
    std::size_t last = text.find_last_not_of(blanks);
    std::string out = text.substr(first, last - first + 1);
    // A full-width blank pads some exports too.
    const std::string wide = "\xE3\x80\x80";
    while (out.size() >= 3 && out.compare(0, 3, wide) == 0)
        out.erase(0, 3);
    while (out.size() >= 3 && out.compare(out.size() - 3, 3, wide) == 0)
        out.erase(out.size() - 3);
    return out;
}

char guessDelimiter(std::string_view text)
{
    const char candidates[] = {',', '\t', ';'};
    std::size_t counts[3] = {0, 0, 0};
    bool quoted = false;
    int lines = 0;
    for (std::size_t i = 0; i < text.size() && lines < 50; ++i) {
        const char c = text[i];
        if (c == '"')
            quoted = !quoted;
        else if (c == '\n' && !quoted)
            ++lines;
        else if (!quoted)
            for (int k = 0; k < 3; ++k)
                if (c == candidates[k])
                    ++counts[k];
    }
    int best = 0;
    for (int k = 1; k < 3; ++k)
        if (counts[k] > counts[best])
            best = k;
    return candidates[best];
}

db::Result parseCsv(std::string_view text, char delimiter, Table &table, int maxRows)
{
    table.rows.clear();
    table.stoppedAt = 0;
    int line = 1;
    std::size_t i = 0;
    while (i < text.size()) {
        TableRow row;
        row.line = line;
        Cell cell;
        bool quoted = false;
        int quoteLine = line;
        for (;;) {
            if (i >= text.size()) {
                if (quoted)
                    return db::Result::refused("第 " + std::to_string(quoteLine) +
                                               " 行：引号没有配对，文件可能不完整");
                row.cells.push_back(std::move(cell));
                break;
            }
            const char c = text[i++];
            if (quoted) {
                if (c == '"') {
                    if (i < text.size() && text[i] == '"') {
                        cell.text += '"';
                        ++i;
                    } else {
                        quoted = false;
                    }
                } else {
                    if (c == '\n')
                        ++line;
                    cell.text += c;
                }
            } else if (c == '"' && cleanCell(cell.text).empty()) {
                // A quote opens a quoted field only at the field's start
                // (after padding); elsewhere it is an ordinary character.
                cell.text.clear();
                quoted = true;
                quoteLine = line;
            } else if (c == delimiter) {
                row.cells.push_back(std::move(cell));
                cell = Cell();
            } else if (c == '\n') {
                ++line;
                if (!cell.text.empty() && cell.text.back() == '\r')
                    cell.text.pop_back();
                row.cells.push_back(std::move(cell));
                break;
            } else {
                cell.text += c;
            }
        }
        if (static_cast<int>(table.rows.size()) >= maxRows) {
            table.stoppedAt = row.line;
            break;
        }
        table.rows.push_back(std::move(row));
    }
    return db::Result::ok();
}

} // namespace import
