#pragma once

#include "stats/sheet_error.h"

#include <optional>
#include <string>
#include <vector>

namespace stats {

inline constexpr const char *kSheetDriverName = "MICROSOFT EXCEL DRIVER (*.XLS)";

// The connection text that names a spreadsheet file to be made at path.
std::string sheetConnectionText(const std::string &path);

// The file a connection text names: its DBQ, and CREATE_DB where it names
// one too (the two must agree). Values may stand in double quotes or braces;
// an unquoted one runs to the ";" that opens the next "KEY=", so a path may
// hold ";". Throws SheetError when no file is named.
std::string sheetPathOf(const std::string &connectionText);

// A spreadsheet file reached through statements: CREATE TABLE makes a sheet,
// INSERT adds a row to it with each value in the column of its name (table
// and column names in any case), every value text. The sheets are held
// until close() writes them as one .xlsx workbook, each sheet's first row
// holding its column names.
//
// The file is made whole or not at all: opening reserves a temporary file
// beside the target, which proves the folder writable before any statement
// runs; close() writes the workbook there and renames it over the target,
// which keeps its owner and mode. A target the user may not write (its
// permission bits say read-only) is refused on opening.
// A connection dropped without close(), or a close() that fails, removes the
// temporary file and leaves the target as it was. Texts reach the workbook
// as valid UTF-8 (see repairedUtf8). Every statement received is logged like
// the ledger's.
class SheetConnection {
public:
    struct Sheet {
        std::string name;
        std::vector<std::string> columns;
        std::vector<std::vector<std::string>> rows; // a value for each column
    };

    explicit SheetConnection(const std::string &connectionText);
    SheetConnection(const SheetConnection &) = delete;
    SheetConnection &operator=(const SheetConnection &) = delete;
    ~SheetConnection();

    const std::string &path() const { return m_path; }
    bool isOpen() const { return m_open; }
    const std::vector<Sheet> &sheets() const { return m_sheets; }

    // Runs one CREATE TABLE or INSERT; anything else throws SheetError.
    void execute(const std::string &statement);
    // Writes the workbook and puts it in place; throws SheetError when it
    // cannot, the target then untouched.
    void close();

private:
    void create(const std::string &statement, const std::string &name, const std::vector<std::string> &columns);
    void insert(const std::string &statement, const std::string &name, const std::vector<std::string> &columns,
                const std::vector<std::string> &values);
    Sheet *find(const std::string &name);
    void writeWorkbook() const;
    void discardTemporary() noexcept;

    std::string m_path;
    std::string m_target; // the file the path leads to
    std::string m_temporary; // "" once renamed or removed
    struct Owner {
        unsigned mode;
        unsigned user;
        unsigned group;
    };
    std::optional<Owner> m_replaced; // the file the workbook replaces
    std::vector<Sheet> m_sheets;
    bool m_open = false;
};

} // namespace stats
