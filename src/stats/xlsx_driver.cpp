#include "stats/xlsx_driver.h"

#include "db/file_paths.h"
#include "db/sql_log.h"
#include "db/text.h"
#include "stats/sheet_statement.h"
#include "stats/sheet_text.h"

#include <xlsxwriter.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <filesystem>
#include <map>

namespace stats {

namespace {

namespace fs = std::filesystem;

// Column widths in characters of the default font: wide enough for the
// longest text of a column, within reason.
constexpr int kMinColumnWidth = 8;
constexpr int kMaxColumnWidth = 80;
constexpr int kColumnPadding = 2;
// The longest sheet name a workbook takes, in characters.
constexpr std::size_t kMaxSheetName = 31;
constexpr std::string_view kSheetNameForbidden = "[]:*?/\\";

std::string upperAscii(std::string_view text)
{
    std::string out(text);
    for (char &c : out)
        if (c >= 'a' && c <= 'z')
            c = static_cast<char>(c - 'a' + 'A');
    return out;
}

bool sameName(std::string_view a, std::string_view b) { return upperAscii(a) == upperAscii(b); }

// The workbook writer's failures in words a user reads; its own English
// text for what no user meets.
std::string workbookReason(lxw_error error)
{
    switch (error) {
    case LXW_ERROR_MEMORY_MALLOC_FAILED:
        return "内存不足";
    case LXW_ERROR_CREATING_XLSX_FILE:
        return "无法创建文件";
    case LXW_ERROR_CREATING_TMPFILE:
    case LXW_ERROR_READING_TMPFILE:
        return "无法使用临时文件，可能磁盘空间不足";
    case LXW_ERROR_ZIP_FILE_OPERATION:
    case LXW_ERROR_ZIP_CLOSE:
        return "写入文件出错，可能磁盘空间不足";
    default:
        return lxw_strerror(error);
    }
}

// A key of a connection text: letters, digits, blanks and underscores up to
// "=" (the "KEY=" that follows a ";").
bool keyStartsAt(std::string_view text, std::size_t at)
{
    std::size_t i = at;
    while (i < text.size() && (std::isalnum(static_cast<unsigned char>(text[i])) || text[i] == '_' || text[i] == ' '))
        ++i;
    return i > at && i < text.size() && text[i] == '=';
}

// Where a value that starts at from ends: a quoted one at the closing mark
// that the ";" of the next attribute (or the end) follows, a bare one at
// the ";" that opens the next "KEY=" (or the end).
std::size_t valueEnd(std::string_view text, std::size_t from, char close)
{
    for (std::size_t at = from;; ++at) {
        at = text.find(close, at);
        if (at == std::string_view::npos)
            return text.size();
        const std::size_t after = close == ';' ? at : at + 1;
        if (after == text.size() || (text[after] == ';' && (close != ';' || keyStartsAt(text, after + 1))))
            return at;
    }
}

std::map<std::string, std::string> attributesOf(std::string_view text)
{
    std::map<std::string, std::string> attributes;
    for (std::size_t at = 0; at < text.size();) {
        const std::size_t equals = text.find('=', at);
        if (equals == std::string_view::npos)
            break;
        const std::string key = upperAscii(db::trim(text.substr(at, equals - at)));
        const std::size_t from = equals + 1;
        const char open = from < text.size() ? text[from] : '\0';
        if (open == '"' || open == '{') {
            const std::size_t end = valueEnd(text, from + 1, open == '"' ? '"' : '}');
            attributes[key] = std::string(text.substr(from + 1, end - from - 1));
            at = end + 2; // past the closing mark and the ";"
        } else {
            const std::size_t end = valueEnd(text, from, ';');
            attributes[key] = db::trim(text.substr(from, end - from));
            at = end + 1;
        }
    }
    return attributes;
}

// A name a workbook takes for a sheet, or why not.
std::string sheetNameProblem(const std::string &name)
{
    if (db::utf8Length(name) > kMaxSheetName)
        return "工作表名长于 31 个字";
    if (name.find_first_of(kSheetNameForbidden) != std::string::npos)
        return "工作表名不能含有 [ ] : * ? / \\";
    return {};
}

int columnWidth(const SheetConnection::Sheet &sheet, std::size_t column)
{
    int widest = db::gbkLength(sheet.columns[column]);
    for (const auto &row : sheet.rows)
        widest = std::max(widest, db::gbkLength(row[column]));
    return std::clamp(widest + kColumnPadding, kMinColumnWidth, kMaxColumnWidth);
}

[[noreturn]] void writeFailed(const std::string &path, const std::string &reason)
{
    throw SheetError("写入文件 " + path + " 失败（" + reason + "）。请换一个文件夹或文件名。");
}

mode_t creationMode()
{
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return 0666 & ~mask;
}

// Whether the user may write a file: its permission bits for the user's
// class (owner, group or others) allow it, and so does the system. A file
// marked read-only stays so for the superuser too, whom the system lets
// write anything: the workbook replaces the file by renaming, which the
// file's own bits would not stop.
bool mayWrite(const std::string &path, const struct stat &info)
{
    const uid_t user = ::geteuid();
    const mode_t bit = info.st_uid == user ? S_IWUSR : info.st_gid == ::getegid() ? S_IWGRP : S_IWOTH;
    return (info.st_mode & bit) != 0 && ::access(path.c_str(), W_OK) == 0;
}

} // namespace

std::string sheetConnectionText(const std::string &path)
{
    return std::string("DRIVER={") + kSheetDriverName +
           "};DSN='';FIRSTROWHASNAMES=1;READONLY=FALSE;CREATE_DB=\"" + path + "\";DBQ=" + path;
}

std::string sheetPathOf(const std::string &connectionText)
{
    const std::map<std::string, std::string> attributes = attributesOf(connectionText);
    const auto dbq = attributes.find("DBQ");
    const auto create = attributes.find("CREATE_DB");
    if (dbq != attributes.end() && create != attributes.end() && dbq->second != create->second)
        throw SheetError("连接文本中 DBQ 与 CREATE_DB 指的不是同一个文件：" + connectionText);
    const std::string path = dbq != attributes.end() ? dbq->second : create != attributes.end() ? create->second : "";
    if (path.empty())
        throw SheetError("连接文本没有指明文件（DBQ）：" + connectionText);
    return path;
}

SheetConnection::SheetConnection(const std::string &connectionText) : m_path(sheetPathOf(connectionText))
{
    std::error_code ignored;
    if (fs::is_directory(m_path, ignored))
        throw SheetError("无法创建文件 " + m_path + "：已有同名的文件夹。请换一个文件名。");
    // Written beside the file the name leads to, so that a linked name keeps
    // its link and the linked file is replaced.
    m_target = db::resolvedPath(m_path);
    struct stat existing {};
    if (::stat(m_target.c_str(), &existing) == 0 && S_ISREG(existing.st_mode)) {
        if (!mayWrite(m_target, existing))
            throw SheetError("文件 " + m_path + " 是只读的，不能替换。请换一个文件名。");
        m_replaced = Owner{existing.st_mode & 07777, existing.st_uid, existing.st_gid};
    }
    fs::path folder = fs::path(m_target).parent_path();
    if (folder.empty())
        folder = ".";
    std::string name = (folder / ".pennaro-export-XXXXXX").string();
    const int fd = ::mkstemp(name.data());
    if (fd < 0)
        throw SheetError("无法在文件夹 " + folder.string() + " 中创建文件（" + db::systemErrorText(errno) +
                         "）。请换一个文件夹。");
    ::close(fd);
    m_temporary = name;
    m_open = true;
}

SheetConnection::~SheetConnection() { discardTemporary(); }

void SheetConnection::discardTemporary() noexcept
{
    if (!m_temporary.empty())
        ::unlink(m_temporary.c_str());
    m_temporary.clear();
}

SheetConnection::Sheet *SheetConnection::find(const std::string &name)
{
    for (Sheet &sheet : m_sheets)
        if (sameName(sheet.name, name))
            return &sheet;
    return nullptr;
}

void SheetConnection::execute(const std::string &statement)
{
    db::logStatement(statement);
    if (!m_open)
        throw SheetError("表格文件的连接已关闭：" + statement);
    // Whatever the ledger held, the workbook gets well-formed text.
    const SheetStatement parsed = parseSheetStatement(repairedUtf8(statement));
    if (const auto *c = std::get_if<CreateSheet>(&parsed))
        create(statement, c->sheet, c->columns);
    else if (const auto *i = std::get_if<InsertRow>(&parsed))
        insert(statement, i->sheet, i->columns, i->values);
}

void SheetConnection::create(const std::string &statement, const std::string &name,
                             const std::vector<std::string> &columns)
{
    if (find(name))
        rejectStatement(statement, "工作表 " + name + " 已经存在");
    if (const std::string problem = sheetNameProblem(name); !problem.empty())
        rejectStatement(statement, problem);
    for (std::size_t i = 0; i < columns.size(); ++i)
        for (std::size_t j = 0; j < i; ++j)
            if (sameName(columns[i], columns[j]))
                rejectStatement(statement, "列 " + columns[i] + " 出现了两次");
    m_sheets.push_back({name, columns, {}});
}

void SheetConnection::insert(const std::string &statement, const std::string &name,
                             const std::vector<std::string> &columns, const std::vector<std::string> &values)
{
    Sheet *sheet = find(name);
    if (!sheet)
        rejectStatement(statement, "没有工作表 " + name);
    std::vector<std::string> row(sheet->columns.size());
    std::vector<bool> given(sheet->columns.size(), false);
    for (std::size_t i = 0; i < columns.size(); ++i) {
        const auto at = std::find_if(sheet->columns.begin(), sheet->columns.end(),
                                     [&](const std::string &column) { return sameName(column, columns[i]); });
        if (at == sheet->columns.end())
            rejectStatement(statement, "工作表 " + sheet->name + " 没有列 " + columns[i]);
        const auto index = static_cast<std::size_t>(at - sheet->columns.begin());
        if (given[index])
            rejectStatement(statement, "列 " + columns[i] + " 出现了两次");
        given[index] = true;
        row[index] = values[i];
    }
    sheet->rows.push_back(std::move(row));
}

void SheetConnection::close()
{
    if (!m_open)
        return;
    m_open = false;
    try {
        writeWorkbook();
    } catch (...) {
        discardTemporary();
        throw;
    }
    // The workbook is complete on disk before it takes the target's place.
    const int fd = ::open(m_temporary.c_str(), O_RDONLY | O_CLOEXEC);
    const bool synced = fd >= 0 && ::fsync(fd) == 0;
    const int syncError = errno;
    if (fd >= 0)
        ::close(fd);
    if (!synced) {
        discardTemporary();
        writeFailed(m_path, db::systemErrorText(syncError));
    }
    // A replaced file keeps its owner (where the user may give it away) and
    // its mode; a new one gets what any new file gets. A change of owner
    // clears set-id bits, so it goes first.
    if (m_replaced) {
        [[maybe_unused]] const int owned = ::chown(m_temporary.c_str(), m_replaced->user, m_replaced->group);
        ::chmod(m_temporary.c_str(), m_replaced->mode);
    } else {
        ::chmod(m_temporary.c_str(), creationMode());
    }
    if (::rename(m_temporary.c_str(), m_target.c_str()) != 0) {
        const int error = errno;
        discardTemporary();
        writeFailed(m_path, db::systemErrorText(error));
    }
    m_temporary.clear();
}

void SheetConnection::writeWorkbook() const
{
    lxw_workbook *workbook = workbook_new(m_temporary.c_str());
    if (!workbook)
        writeFailed(m_path, "无法开始工作簿");
    // Whatever goes wrong below, the workbook is closed (and freed) once.
    lxw_error failure = LXW_NO_ERROR;
    std::string reason;
    lxw_format *head = workbook_add_format(workbook);
    format_set_bold(head);
    for (const Sheet &sheet : m_sheets) {
        lxw_worksheet *worksheet = workbook_add_worksheet(workbook, sheet.name.c_str());
        if (!worksheet) {
            reason = "工作表名 " + sheet.name + " 不可用";
            break;
        }
        for (std::size_t c = 0; c < sheet.columns.size() && failure == LXW_NO_ERROR; ++c) {
            const auto column = static_cast<lxw_col_t>(c);
            failure = worksheet_set_column(worksheet, column, column, columnWidth(sheet, c), nullptr);
            if (failure == LXW_NO_ERROR)
                failure = worksheet_write_string(worksheet, 0, column, sheet.columns[c].c_str(), head);
        }
        for (std::size_t r = 0; r < sheet.rows.size() && failure == LXW_NO_ERROR; ++r)
            for (std::size_t c = 0; c < sheet.columns.size() && failure == LXW_NO_ERROR; ++c)
                failure = worksheet_write_string(worksheet, static_cast<lxw_row_t>(r + 1), static_cast<lxw_col_t>(c),
                                                 sheet.rows[r][c].c_str(), nullptr);
        if (failure != LXW_NO_ERROR)
            break;
        worksheet_freeze_panes(worksheet, 1, 0);
    }
    if (failure != LXW_NO_ERROR)
        reason = workbookReason(failure);
    const lxw_error closed = workbook_close(workbook);
    if (!reason.empty())
        writeFailed(m_path, reason);
    if (closed != LXW_NO_ERROR)
        writeFailed(m_path, workbookReason(closed));
}

} // namespace stats
