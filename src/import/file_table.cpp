#include "import/file_table.h"

#include "import/bill.h"
#include "import/csv.h"
#include "import/xls_reader.h"
#include "import/xlsx_reader.h"

#include <filesystem>
#include <fstream>
#include <sstream>

namespace import {

namespace {

// Header blocks and trailers come on top of the rows themselves.
constexpr int kMaxLines = kMaxRows + 1000;
// Far beyond any household's bill; a larger file is not a bill.
constexpr std::uintmax_t kMaxFileBytes = 256u * 1024u * 1024u;

const char *const kCannotOpen = "文件打不开：请确认文件存在并且可以读取";
const char *const kNotAFile = "这不是一个文件（是文件夹或设备）：请选择账单文件";

} // namespace

db::Result readFileStart(const std::string &path, std::string &bytes, std::size_t count)
{
    std::error_code ec;
    if (std::filesystem::exists(path, ec) && !std::filesystem::is_regular_file(path, ec))
        return db::Result::refused(kNotAFile);
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return db::Result::refused(kCannotOpen);
    bytes.assign(count, '\0');
    in.read(bytes.data(), static_cast<std::streamsize>(count));
    bytes.resize(static_cast<std::size_t>(in.gcount()));
    return db::Result::ok();
}

db::Result readWholeFile(const std::string &path, std::string &bytes)
{
    std::ifstream in(path, std::ios::binary | std::ios::ate);
    if (!in)
        return db::Result::refused(kCannotOpen);
    const std::streamoff size = in.tellg();
    if (size < 0)
        return db::Result::refused(kCannotOpen);
    if (static_cast<std::uintmax_t>(size) > kMaxFileBytes)
        return db::Result::refused("文件太大，不像是一份账单：请分成几个文件导入");
    in.seekg(0);
    bytes.assign(static_cast<std::size_t>(size), '\0');
    in.read(bytes.data(), size);
    if (in.gcount() != size)
        return db::Result::refused(kCannotOpen);
    return db::Result::ok();
}

FileKind fileKindOf(std::string_view start)
{
    if (start.empty())
        return FileKind::Empty;
    if (start.substr(0, 4) == std::string_view("PK\x03\x04", 4))
        return FileKind::Xlsx;
    if (start.substr(0, 8) == std::string_view("\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1", 8))
        return FileKind::Xls;
    return FileKind::Text;
}

db::Result loadTable(const std::string &path, Encoding &encoding, Table &table)
{
    std::string start;
    if (db::Result r = readFileStart(path, start); !r)
        return r;
    switch (fileKindOf(start)) {
    case FileKind::Empty:
        return db::Result::refused("文件是空的");
    case FileKind::Xlsx:
        return readXlsx(path, table, kMaxLines);
    case FileKind::Xls:
        return readXls(path, table, kMaxLines);
    case FileKind::Text:
        break;
    }
    std::string bytes;
    if (db::Result r = readWholeFile(path, bytes); !r)
        return r;
    if (encoding == Encoding::Automatic)
        encoding = detectEncoding(bytes);
    if (encoding != Encoding::Utf16 && bytes.find('\0') != std::string::npos)
        return db::Result::refused("这个文件既不是文字，也不是电子表格，不是账单");
    std::string text;
    if (db::Result r = decodeText(bytes, encoding, text); !r)
        return r;
    return parseCsv(text, guessDelimiter(text), table, kMaxLines);
}

} // namespace import
