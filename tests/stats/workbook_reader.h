#pragma once

#include <cstdio>
#include <map>
#include <stdexcept>
#include <string>
#include <vector>

namespace stats_test {

// A workbook as a spreadsheet reader sees it, read back with openpyxl.
struct Workbook {
    struct Sheet {
        std::string name;
        std::vector<std::vector<std::string>> rows; // the first row holds the column names
        std::map<std::string, double> widths;       // by column letter, where set
        bool allText = true;                        // every filled cell holds a string
        // The row whose first cell, blanks trimmed, is label; null if none.
        const std::vector<std::string> *find(const std::string &label) const
        {
            for (const auto &row : rows) {
                const std::string &first = row.empty() ? std::string() : row[0];
                const auto from = first.find_first_not_of(' ');
                const auto to = first.find_last_not_of(' ');
                if (from != std::string::npos && first.substr(from, to - from + 1) == label)
                    return &row;
            }
            return nullptr;
        }
    };
    std::vector<Sheet> sheets;
    std::string error; // the reader's complaint when the file does not open

    std::vector<std::string> names() const
    {
        std::vector<std::string> out;
        for (const Sheet &s : sheets)
            out.push_back(s.name);
        return out;
    }
    const Sheet *sheet(const std::string &name) const
    {
        for (const Sheet &s : sheets)
            if (s.name == name)
                return &s;
        return nullptr;
    }
};

namespace detail {

inline std::string fromHex(const std::string &hex)
{
    std::string out;
    for (std::size_t i = 0; i + 1 < hex.size(); i += 2)
        out += static_cast<char>(std::stoi(hex.substr(i, 2), nullptr, 16));
    return out;
}

inline std::vector<std::string> split(const std::string &line, char by)
{
    std::vector<std::string> parts;
    std::size_t from = 0;
    while (true) {
        const std::size_t at = line.find(by, from);
        parts.push_back(line.substr(from, at == std::string::npos ? std::string::npos : at - from));
        if (at == std::string::npos)
            return parts;
        from = at + 1;
    }
}

// Prints each sheet, its column widths and its rows, every text as hex of
// its UTF-8 bytes, so that blanks and any character come through intact.
constexpr const char *kScript = R"(
import sys, openpyxl
h = lambda s: ('' if s is None else str(s)).encode('utf-8').hex()
try:
    wb = openpyxl.load_workbook(sys.argv[1])
except Exception as e:
    print('E', h(repr(e))); sys.exit(0)
for ws in wb.worksheets:
    print('S', h(ws.title))
    for letter, d in ws.column_dimensions.items():
        if d.width:
            print('W', letter, d.width)
    for row in ws.iter_rows():
        if any(c.value is not None and c.data_type != 's' for c in row):
            print('N')
        print('R', ','.join(h(c.value) for c in row))
)";

} // namespace detail

inline Workbook readWorkbook(const std::string &path)
{
    std::string command = "/usr/bin/python3 -c \"$PENNARO_READER\" '";
    for (char c : path)
        command += c == '\'' ? std::string("'\\''") : std::string(1, c);
    command += "'";
    setenv("PENNARO_READER", detail::kScript, 1);
    FILE *pipe = popen(command.c_str(), "r");
    if (!pipe)
        throw std::runtime_error("cannot run python3");
    std::string output;
    char buffer[4096];
    while (std::size_t n = std::fread(buffer, 1, sizeof buffer, pipe))
        output.append(buffer, n);
    pclose(pipe);

    Workbook book;
    for (const std::string &line : detail::split(output, '\n')) {
        if (line.size() < 1)
            continue;
        const std::string rest = line.size() > 2 ? line.substr(2) : std::string();
        switch (line[0]) {
        case 'E':
            book.error = detail::fromHex(rest);
            break;
        case 'S':
            book.sheets.push_back({detail::fromHex(rest), {}, {}, true});
            break;
        case 'W': {
            const auto parts = detail::split(rest, ' ');
            book.sheets.back().widths[parts.at(0)] = std::stod(parts.at(1));
            break;
        }
        case 'N':
            book.sheets.back().allText = false;
            break;
        case 'R': {
            std::vector<std::string> row;
            for (const std::string &cell : detail::split(rest, ','))
                row.push_back(detail::fromHex(cell));
            book.sheets.back().rows.push_back(std::move(row));
            break;
        }
        }
    }
    if (book.sheets.empty() && book.error.empty())
        book.error = "no sheets read";
    return book;
}

} // namespace stats_test
