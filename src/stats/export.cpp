#include "stats/export.h"

#include "db/connection.h"
#include "db/file_paths.h"
#include "stats/day_statistic.h"
#include "stats/sheet_sink.h"
#include "stats/xlsx_driver.h"

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <functional>
#include <vector>

namespace stats {

namespace {

constexpr const char *kFailedPrefix = "Excel文件没有写入：";
constexpr const char *kLedgerFailed = "读取帐目数据库失败（";
constexpr const char *kOntoLedger = "这是帐本数据库本身，请换一个文件名。";

struct SheetWalk {
    const char *create;
    void (Statistics::*fill)();
};

const SheetWalk kJournalSheet{"CREATE TABLE AccSum (帐目类型 TEXT,钱额 TEXT,次数 TEXT,收付 TEXT,百分比 TEXT)",
                              &Statistics::journalSheet};
const SheetWalk kIncomeSheet{"CREATE TABLE GetSum (帐目类型 TEXT,钱额 TEXT,次数 TEXT,收付 TEXT,百分比 TEXT)",
                             &Statistics::incomeSheet};
const SheetWalk kExpenseSheet{"CREATE TABLE PaySum (帐目类型 TEXT,钱额 TEXT,次数 TEXT,收付 TEXT,百分比 TEXT)",
                              &Statistics::expenseSheet};
const SheetWalk kBankSheet{"CREATE TABLE BankSum (帐目类型 TEXT,钱额 TEXT,次数 TEXT,收付 TEXT,百分比 TEXT)",
                           &Statistics::bank};
const SheetWalk kCashSheet{"CREATE TABLE CashSum (帐目类型 TEXT,钱额 TEXT,次数 TEXT,收付 TEXT,百分比 TEXT)",
                           &Statistics::cash};
constexpr const char *kDaySheet = "CREATE TABLE AccSum (日期 TEXT,钱额 TEXT,次数 TEXT,收付 TEXT,百分比 TEXT)";

std::vector<SheetWalk> sheetsOf(Kind kind)
{
    switch (kind) {
    case Kind::Summary:
        return {kJournalSheet, kIncomeSheet, kExpenseSheet, kBankSheet, kCashSheet};
    case Kind::Journal:
        return {kJournalSheet};
    case Kind::Bank:
        return {kBankSheet};
    case Kind::Cash:
        return {kCashSheet};
    case Kind::Income:
        return {kIncomeSheet};
    case Kind::Expense:
        return {kExpenseSheet};
    }
    return {};
}

} // namespace

db::Result writeWorkbook(const db::Connection &ledger, const std::string &path,
                         const std::function<void(SheetConnection &)> &fill)
{
    // A workbook put in place of the books would end them.
    if (db::sameFile(path, ledger.path()))
        return db::Result::refused(kFailedPrefix + std::string(kOntoLedger));
    try {
        SheetConnection sheets(sheetConnectionText(path));
        fill(sheets);
        sheets.close();
        return db::Result::ok();
    } catch (const SheetError &error) {
        return db::Result::refused(kFailedPrefix + std::string(error.what()));
    } catch (const db::Error &error) {
        return db::Result::refused(kFailedPrefix + std::string(kLedgerFailed) + error.what() + "）。");
    }
}

std::string exportFileName(const std::string &typed)
{
    const std::filesystem::path path(typed);
    const std::string name = path.filename().string();
    if (name.empty())
        return typed; // a folder: the driver says so
    const std::size_t dot = name.rfind('.');
    if (dot == std::string::npos)
        return typed + ".xlsx";
    if (dot + 1 == name.size())
        return typed + "xlsx";
    // What follows a dot is an extension when it has a letter: "账目2026.12"
    // names a month, not a kind of file.
    const std::string after = name.substr(dot + 1);
    const bool letter = std::any_of(after.begin(), after.end(), [](unsigned char c) { return std::isalpha(c) != 0; });
    return letter ? typed : typed + ".xlsx";
}

db::Result exportStatistic(db::Connection &ledger, Kind kind, const Range &range, const std::string &path)
{
    return writeWorkbook(ledger, path, [&](SheetConnection &sheets) {
        SheetSink sink(sheets);
        Statistics statistics(ledger, range, sink, Output::Sheet);
        for (const SheetWalk &sheet : sheetsOf(kind)) {
            sheets.execute(sheet.create);
            (statistics.*sheet.fill)();
        }
    });
}

db::Result exportDayStatistic(db::Connection &ledger, const Range &range, const std::string &filter,
                              const std::string &path)
{
    return writeWorkbook(ledger, path, [&](SheetConnection &sheets) {
        sheets.execute(kDaySheet);
        SheetSink sink(sheets);
        DayStatistic(ledger, range, filter, sink, Output::Sheet).run();
    });
}

} // namespace stats
