#include "import/xlsx_reader.h"

#include <expat.h>
#include <zip.h>

#include <cstring>
#include <memory>
#include <optional>

namespace import {

namespace {

const char *const kNotWorkbook = "这个文件是压缩包，但里面没有电子表格：请选择账单文件本身";
const char *const kDamaged = "电子表格文件已损坏或不完整，读不出来";

struct ZipCloser {
    void operator()(zip_t *zip) const noexcept { zip_discard(zip); }
};
using Zip = std::unique_ptr<zip_t, ZipCloser>;

// The whole of one member of the zip, or nothing when it is missing or
// cannot be read.
std::optional<std::string> readMember(zip_t *zip, const std::string &name)
{
    zip_stat_t stat;
    zip_stat_init(&stat);
    // A member claiming more than any bill holds is a damaged or hostile file.
    constexpr zip_uint64_t kMaxMember = 512u * 1024u * 1024u;
    if (zip_stat(zip, name.c_str(), 0, &stat) != 0 || !(stat.valid & ZIP_STAT_SIZE) || stat.size > kMaxMember)
        return std::nullopt;
    zip_file_t *file = zip_fopen(zip, name.c_str(), 0);
    if (!file)
        return std::nullopt;
    std::string data(static_cast<std::size_t>(stat.size), '\0');
    const zip_int64_t got = zip_fread(file, data.data(), stat.size);
    zip_fclose(file);
    if (got < 0 || static_cast<zip_uint64_t>(got) != stat.size)
        return std::nullopt;
    return data;
}

// The local name of an element or attribute, without its namespace prefix.
const char *localName(const char *name)
{
    const char *colon = std::strrchr(name, ':');
    return colon ? colon + 1 : name;
}

const char *attribute(const char **attributes, const char *wanted)
{
    for (int i = 0; attributes[i]; i += 2)
        if (std::strcmp(localName(attributes[i]), wanted) == 0)
            return attributes[i + 1];
    return nullptr;
}

// Runs expat over a document with the given handlers; false when the XML is
// not well-formed.
template <typename Handler> bool parseXml(const std::string &xml, Handler &handler)
{
    XML_Parser parser = XML_ParserCreate("UTF-8");
    XML_SetUserData(parser, &handler);
    XML_SetElementHandler(
        parser,
        [](void *data, const char *name, const char **attributes) {
            static_cast<Handler *>(data)->start(localName(name), attributes);
        },
        [](void *data, const char *name) { static_cast<Handler *>(data)->end(localName(name)); });
    XML_SetCharacterDataHandler(parser, [](void *data, const char *text, int length) {
        static_cast<Handler *>(data)->text(text, length);
    });
    const bool ok = XML_Parse(parser, xml.data(), static_cast<int>(xml.size()), 1) != XML_STATUS_ERROR &&
                    !handler.stopped;
    XML_ParserFree(parser);
    return ok;
}

// xl/workbook.xml: the relation id of the first sheet.
struct WorkbookHandler {
    std::string firstSheet;
    bool stopped = false;
    void start(const char *name, const char **attributes)
    {
        if (firstSheet.empty() && std::strcmp(name, "sheet") == 0)
            if (const char *id = attribute(attributes, "id"))
                firstSheet = id;
    }
    void end(const char *) {}
    void text(const char *, int) {}
};

// xl/_rels/workbook.xml.rels: the target of one relation.
struct RelationsHandler {
    std::string wanted;
    std::string target;
    bool stopped = false;
    void start(const char *name, const char **attributes)
    {
        if (std::strcmp(name, "Relationship") != 0)
            return;
        const char *id = attribute(attributes, "Id");
        const char *to = attribute(attributes, "Target");
        if (id && to && wanted == id)
            target = to;
    }
    void end(const char *) {}
    void text(const char *, int) {}
};

// xl/sharedStrings.xml: every <si>, its <t> pieces joined (rich text has
// several), phonetic runs (<rPh>) left out.
struct SharedStringsHandler {
    std::vector<std::string> strings;
    bool inItem = false;
    bool inText = false;
    int phonetic = 0;
    bool stopped = false;
    void start(const char *name, const char **)
    {
        if (std::strcmp(name, "si") == 0) {
            inItem = true;
            strings.emplace_back();
        } else if (std::strcmp(name, "rPh") == 0) {
            ++phonetic;
        } else if (std::strcmp(name, "t") == 0 && inItem && phonetic == 0) {
            inText = true;
        }
    }
    void end(const char *name)
    {
        if (std::strcmp(name, "si") == 0)
            inItem = false;
        else if (std::strcmp(name, "rPh") == 0)
            --phonetic;
        else if (std::strcmp(name, "t") == 0)
            inText = false;
    }
    void text(const char *data, int length)
    {
        if (inText)
            strings.back().append(data, static_cast<std::size_t>(length));
    }
};

// The 0-based column of a cell reference such as "AB12".
int columnOf(const char *reference)
{
    int column = 0;
    for (const char *p = reference; *p >= 'A' && *p <= 'Z'; ++p)
        column = column * 26 + (*p - 'A' + 1);
    return column - 1;
}

// A worksheet: rows of cells placed by their references.
struct SheetHandler {
    const std::vector<std::string> *shared = nullptr;
    Table *table = nullptr;
    int maxRows = 0;
    std::string problem;
    bool stopped = false;

    std::string type;
    int column = 0;
    int nextColumn = 0;
    int nextRow = 1;
    std::string value;
    bool inValue = false;
    bool inCell = false;

    void start(const char *name, const char **attributes)
    {
        if (stopped)
            return;
        if (std::strcmp(name, "row") == 0) {
            TableRow row;
            const char *r = attribute(attributes, "r");
            row.line = r ? std::atoi(r) : nextRow;
            if (row.line < nextRow)
                row.line = nextRow;
            nextRow = row.line + 1;
            nextColumn = 0;
            if (static_cast<int>(table->rows.size()) >= maxRows) {
                table->stoppedAt = row.line;
                stopped = true;
                return;
            }
            table->rows.push_back(std::move(row));
        } else if (std::strcmp(name, "c") == 0 && !table->rows.empty()) {
            const char *r = attribute(attributes, "r");
            const char *t = attribute(attributes, "t");
            column = r ? columnOf(r) : nextColumn;
            if (column < 0 || column > 16383)
                column = nextColumn;
            nextColumn = column + 1;
            type = t ? t : "n";
            value.clear();
            inCell = true;
        } else if (inCell && (std::strcmp(name, "v") == 0 || std::strcmp(name, "t") == 0)) {
            inValue = true;
        }
    }
    void end(const char *name)
    {
        if (stopped)
            return;
        if (std::strcmp(name, "v") == 0 || std::strcmp(name, "t") == 0) {
            inValue = false;
        } else if (std::strcmp(name, "c") == 0 && inCell) {
            inCell = false;
            Cell cell;
            if (type == "s") {
                const long index = std::strtol(value.c_str(), nullptr, 10);
                if (index < 0 || static_cast<std::size_t>(index) >= shared->size()) {
                    problem = std::string("第 ") + std::to_string(table->rows.back().line) +
                              " 行：表格里的文字找不到，文件已损坏";
                    stopped = true;
                    return;
                }
                cell.text = (*shared)[static_cast<std::size_t>(index)];
            } else {
                cell.text = value;
                cell.number = type == "n" && !value.empty();
            }
            auto &cells = table->rows.back().cells;
            if (cells.size() <= static_cast<std::size_t>(column))
                cells.resize(static_cast<std::size_t>(column) + 1);
            cells[static_cast<std::size_t>(column)] = std::move(cell);
        }
    }
    void text(const char *data, int length)
    {
        if (inValue)
            value.append(data, static_cast<std::size_t>(length));
    }
};

// The member name of a relation target, which is relative to xl/ unless it
// starts with a slash.
std::string memberOf(const std::string &target)
{
    if (!target.empty() && target[0] == '/')
        return target.substr(1);
    return "xl/" + target;
}

} // namespace

db::Result readXlsx(const std::string &path, Table &table, int maxRows)
{
    table.rows.clear();
    table.stoppedAt = 0;
    int error = 0;
    Zip zip(zip_open(path.c_str(), ZIP_RDONLY | ZIP_CHECKCONS, &error));
    if (!zip)
        return db::Result::refused(kDamaged);
    const std::optional<std::string> workbook = readMember(zip.get(), "xl/workbook.xml");
    if (!workbook)
        return db::Result::refused(zip_name_locate(zip.get(), "xl/workbook.xml", 0) < 0 ? kNotWorkbook : kDamaged);
    WorkbookHandler book;
    if (!parseXml(*workbook, book))
        return db::Result::refused(kDamaged);
    std::string sheetMember = "xl/worksheets/sheet1.xml";
    if (const auto relations = readMember(zip.get(), "xl/_rels/workbook.xml.rels")) {
        RelationsHandler rels;
        rels.wanted = book.firstSheet;
        if (parseXml(*relations, rels) && !rels.target.empty())
            sheetMember = memberOf(rels.target);
    }
    SharedStringsHandler strings;
    if (zip_name_locate(zip.get(), "xl/sharedStrings.xml", 0) >= 0) {
        const auto xml = readMember(zip.get(), "xl/sharedStrings.xml");
        if (!xml || !parseXml(*xml, strings))
            return db::Result::refused(kDamaged);
    }
    const std::optional<std::string> sheet = readMember(zip.get(), sheetMember);
    if (!sheet)
        return db::Result::refused(kNotWorkbook);
    SheetHandler handler;
    handler.shared = &strings.strings;
    handler.table = &table;
    handler.maxRows = maxRows;
    if (!parseXml(*sheet, handler) && table.stoppedAt == 0) {
        if (!handler.problem.empty())
            return db::Result::refused(handler.problem);
        return db::Result::refused(kDamaged);
    }
    return db::Result::ok();
}

} // namespace import
