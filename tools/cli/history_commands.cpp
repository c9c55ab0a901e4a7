// The command line's safety nets: undo and redo of the user's actions, the
// history they come from, and the automatic backups.
#include "db/connection.h"
#include "db/history.h"
#include "db/text.h"
#include "setup/auto_backup.h"
#include "tools/cli/cli.h"
#include "tools/cli/commands.h"
#include "tools/cli/options.h"

#include <optional>
#include <ostream>

namespace cli {

namespace {

const char *const kDone = "已做";
const char *const kUndone = "已撤销";
const char *const kUnreadable = "损坏";

int noArguments(const Options &options, Context &context)
{
    return options.positional().empty() ? kOk : usage(context, context.command + " 不需要其他参数");
}

// A count option: a whole number, or the usage message.
std::optional<int> countOption(const Options &options, const std::string &name, int fallback, std::string &problem)
{
    const std::optional<std::string> text = options.value(name);
    if (!text)
        return fallback;
    if (text->empty() || text->size() > 6 || text->find_first_not_of("0123456789") != std::string::npos) {
        problem = "--" + name + " 必须是 0 到 999999 之间的整数";
        return std::nullopt;
    }
    return std::stoi(*text);
}

int step(db::Connection &c, const Options &options, Context &context, bool back)
{
    if (const int status = noArguments(options, context); status != kOk)
        return status;
    const db::StepResult result = back ? db::undoLast(c) : db::redoNext(c);
    if (!result)
        return refuse(context, result.message);
    context.out << (back ? "撤销 " : "重做 ") << result.label << "\n";
    return kOk;
}

} // namespace

int undo(db::Connection &c, const Options &options, Context &context) { return step(c, options, context, true); }

int redo(db::Connection &c, const Options &options, Context &context) { return step(c, options, context, false); }

int history(db::Connection &c, const Options &options, Context &context)
{
    if (const int status = noArguments(options, context); status != kOk)
        return status;
    for (const db::HistoryAction &action : db::listHistory(c))
        printRow(context.out, {std::to_string(action.id), action.at, action.undone ? kUndone : kDone, action.label});
    return kOk;
}

int autoBackup(db::Connection &c, const Options &options, Context &context)
{
    if (!options.positional().empty() || options.has("force") || options.has("keep-damaged"))
        return usage(context, "--auto 不需要文件名和其他选项");
    const setup::AutoBackupResult result = setup::makeAutomaticBackup(c, context.now);
    if (!result) {
        // Told at the next start of the program as well: nobody may read
        // what a scheduled run prints.
        try {
            setup::noteBackupFailure(c, result.message);
        } catch (const db::Error &) {
        }
        context.err << "pennaro-cli: " << result.message << "\n";
        return kDatabase;
    }
    context.out << result.path << "\n";
    return kOk;
}

int backups(db::Connection &c, const Options &options, Context &context)
{
    if (const int status = noArguments(options, context); status != kOk)
        return status;
    if (options.has("keep") || options.has("days")) {
        const setup::AutoBackupSettings now = setup::readAutoBackupSettings(c);
        std::string problem;
        const std::optional<int> keep = countOption(options, "keep", now.keepLast, problem);
        const std::optional<int> days = countOption(options, "days", now.keepDays, problem);
        if (!keep || !days)
            return usage(context, problem);
        if (const db::Result saved = setup::saveAutoBackupSettings(c, {*keep, *days}); !saved)
            return refuse(context, saved.message);
    }
    for (const setup::AutoBackupFile &file : setup::automaticBackups(c.path())) {
        const setup::BackupSummary summary = setup::summarizeBackup(file);
        printRow(context.out, {db::formatMoment(file.taken), std::to_string(summary.size),
                               summary.entries ? std::to_string(*summary.entries) : kUnreadable,
                               summary.entries ? summary.lastEntry : summary.problem, file.path});
    }
    return kOk;
}

} // namespace cli
