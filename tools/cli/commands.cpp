#include "tools/cli/commands.h"

#include "app/recurring.h"
#include "db/connection.h"
#include "db/schema_objects.h"
#include "db/text.h"
#include "ledger/consistency.h"
#include "ledger/entry_change.h"
#include "ledger/ledger_load.h"
#include "ledger/posting.h"
#include "setup/backup.h"
#include "setup/database_host.h"
#include "setup/tree_check.h"
#include "setup/tree_store.h"
#include "stats/day_statistic.h"
#include "stats/export.h"
#include "stats/statistics.h"
#include "tools/cli/cli.h"
#include "tools/cli/options.h"

#include <filesystem>
#include <memory>
#include <ostream>

namespace cli {

namespace {

const char *const kDefaultHandler = "管理员";
const char *const kDeposit = "存钱";
const char *const kWithdrawal = "取钱";

const std::pair<const char *, int> kLedgerNames[] = {{"journal", 0}, {"income", 1}, {"expense", 2},
                                                     {"bank", 3},    {"cash", 4},   {"invest", 5}};

// The date of an entry as the statements write it, or "" when it does not read.
std::string entryDate(const std::string &text)
{
    const std::optional<db::DateTime> d = db::parseDate(text);
    return d ? db::formatDateTime(*d) : std::string();
}

// The values given on the command line, over those of a preset entry.
db::Result applyOptions(db::Connection &c, const Options &options, ledger::Entry &e)
{
    using setup::TreeKind;
    // Type and category without the blank that posting stores after them, as
    // the entry dialog shows them.
    e.type = db::trim(options.valueOr("type", e.type));
    e.category = db::trim(e.category);
    const std::string type = e.type;
    if (type != "收" && type != "付" && type != "存" && type != "取")
        return db::Result::refused("类型必须是 收、付、存 或 取: " + e.type);
    if (auto category = options.value("category"))
        e.category = db::trim(*category);
    if (type == "存" || type == "取") {
        // The only category of a deposit or a withdrawal.
        const std::string only = type == "存" ? kDeposit : kWithdrawal;
        if (options.value("category") && e.category != only)
            return db::Result::refused("“" + type + "”的类型只能是" + only);
        e.category = only;
    } else if (!e.category.empty() && e.category != ledger::kPayRoot && e.category != ledger::kGetRoot) {
        const TreeKind kind = type == "收" ? TreeKind::Income : TreeKind::Expense;
        if (db::trim(e.category) == setup::treeSpec(kind).rootText || !setup::nameInUse(c, kind, e.category))
            return db::Result::refused(std::string(type == "收" ? "没有这个收入类型: " : "没有这个支出类型: ") +
                                       e.category);
    }
    if (auto amount = options.value("amount"))
        e.amount = *amount;
    if (auto bank = options.value("bank"))
        e.bank = db::trim(*bank);
    if (!e.bank.empty() && (e.bank == setup::treeSpec(TreeKind::Bank).rootText ||
                            !setup::nameInUse(c, TreeKind::Bank, e.bank)))
        return db::Result::refused("没有这个现金或银行帐户: " + e.bank);
    if (auto date = options.value("date")) {
        e.date = entryDate(*date);
        if (e.date.empty())
            return db::Result::refused("日期无法识别，请写成 YYYY/MM/DD HH:MM: " + *date);
    }
    if (auto handler = options.value("handler"))
        e.handler = *handler;
    if (auto note = options.value("note"))
        e.description = *note;
    if (auto invested = options.value("invested"))
        e.invested = *invested;
    return db::Result::ok();
}

// The entry number of the command line: one word, a whole number.
std::optional<std::string> entryNumberArgument(const Options &options)
{
    if (options.positional().size() != 1 || !ledger::isWholeNumber(options.positional()[0]))
        return std::nullopt;
    return options.positional()[0];
}

std::optional<int> ledgerIndexOf(const std::string &name)
{
    for (const auto &[word, index] : kLedgerNames)
        if (name == word || name == std::to_string(index))
            return index;
    return std::nullopt;
}

} // namespace

std::string printable(const std::string &text)
{
    std::size_t end = text.size();
    while (end > 0 && text[end - 1] == ' ')
        --end;
    std::string out;
    out.reserve(end);
    for (std::size_t i = 0; i < end; ++i) {
        switch (text[i]) {
        case '\\':
            out += "\\\\";
            break;
        case '\t':
            out += "\\t";
            break;
        case '\n':
            out += "\\n";
            break;
        case '\r':
            out += "\\r";
            break;
        default:
            out += text[i];
        }
    }
    return out;
}

void printRow(std::ostream &out, const std::vector<std::string> &cells)
{
    for (std::size_t i = 0; i < cells.size(); ++i)
        out << (i ? "\t" : "") << printable(cells[i]);
    out << "\n";
}

namespace {

const std::pair<const char *, stats::Kind> kKindNames[] = {
    {"summary", stats::Kind::Summary}, {"journal", stats::Kind::Journal}, {"bank", stats::Kind::Bank},
    {"cash", stats::Kind::Cash},       {"income", stats::Kind::Income},   {"expense", stats::Kind::Expense}};

std::optional<stats::Kind> kindNamed(const std::string &name)
{
    for (const auto &[word, value] : kKindNames)
        if (name == word)
            return value;
    return std::nullopt;
}

bool isDayFilter(const std::string &type)
{
    return type == "all" || type == "收" || type == "付" || type == "存" || type == "取";
}

// --reference runs the statements one by one instead of reading each ledger
// once: the same rows, for comparing.
stats::RunOptions runOptions(const Options &options)
{
    stats::RunOptions run;
    run.computation = options.has("reference") ? stats::Computation::Reference : stats::Computation::Fast;
    return run;
}

// A statistic that left rows out says so beside its rows.
int finished(const stats::Outcome &outcome, Context &context)
{
    if (!outcome.message.empty())
        context.err << "pennaro-cli: " << outcome.message << "\n";
    return kOk;
}

// The range of --from and --to, or the usage message.
std::optional<stats::Range> rangeOf(const Options &options, std::string &problem)
{
    const std::string from = options.valueOr("from", "");
    const std::string to = options.valueOr("to", "");
    if (!isDayText(from) || !isDayText(to)) {
        problem = "--from 和 --to 必须是 YYYYMMDD 形式的日期";
        return std::nullopt;
    }
    return stats::Range{from, to};
}

// An existing file is replaced only when --force asks for it: the window
// asks first, the command line cannot. Refused with the message, or "".
std::string replacementRefused(const Options &options, const std::string &path)
{
    std::error_code ignored;
    if (options.has("force") || std::filesystem::symlink_status(path, ignored).type() == std::filesystem::file_type::not_found)
        return {};
    return "文件 " + path + " 已存在，没有替换。要替换它请加 --force";
}

// The working connection of a restore: the file named on the command line.
class FileHost : public setup::DatabaseHost {
public:
    explicit FileHost(std::string path) : m_path(std::move(path)) {}
    db::Connection *connection() const override { return m_connection.get(); }
    std::string databasePath() const override { return m_path; }
    void closeConnection() override { m_connection.reset(); }
    bool openConnection() override
    {
        try {
            m_connection = std::make_unique<db::Connection>(db::Connection::openFile(m_path));
            return true;
        } catch (const db::Error &) {
            return false;
        }
    }
    void reloadLedger() override {}

private:
    std::string m_path;
    std::unique_ptr<db::Connection> m_connection;
};

} // namespace

void PrintingSink::addRow(const stats::Row &row)
{
    m_out << row.depth << "\t" << printable(row.label);
    for (std::size_t i = 0; i < 4; ++i)
        m_out << "\t" << printable(row.cell(i));
    m_out << "\n";
}

int refuse(Context &context, const std::string &message)
{
    context.err << message << "\n";
    return kRefused;
}

int usage(Context &context, const std::string &message)
{
    const std::string help = context.command.empty() ? "pennaro-cli --help" : "pennaro-cli " + context.command + " --help";
    context.err << "pennaro-cli: " << message << "（用法见 " << help << "）\n";
    return kUsage;
}

bool isDayText(const std::string &text) { return db::isDayKey(text); }

int addEntry(db::Connection &c, const Options &options, Context &context)
{
    if (!options.positional().empty())
        return usage(context, "add 不需要其他参数: " + options.positional()[0]);
    for (const char *required : {"type", "amount", "bank"})
        if (!options.has(required))
            return usage(context, std::string("缺少 --") + required);
    ledger::Entry e;
    e.date = db::formatDateTime(context.now);
    e.handler = kDefaultHandler;
    if (db::Result applied = applyOptions(c, options, e); !applied)
        return refuse(context, applied.message);
    e.number = options.valueOr("number", ledger::nextEntryNumber(c));
    const db::Result posted = ledger::postEntry(c, e);
    if (!posted)
        return refuse(context, posted.message);
    context.out << e.number << "\n";
    return kOk;
}

int changeEntry(db::Connection &c, const Options &options, Context &context)
{
    const std::optional<std::string> number = entryNumberArgument(options);
    if (!number)
        return usage(context, "请给出要修改的编号 (一个整数)");
    ledger::Entry e;
    if (db::Result read = ledger::readEntry(c, *number, e); !read)
        return refuse(context, read.message);
    e.date = entryDate(e.date);
    if (e.date.empty())
        e.date = db::formatDateTime(context.now);
    if (db::Result applied = applyOptions(c, options, e); !applied)
        return refuse(context, applied.message);
    const db::Result changed = ledger::changeEntry(c, *number, e);
    if (!changed)
        return refuse(context, changed.message);
    return kOk;
}

int deleteEntry(db::Connection &c, const Options &options, Context &context)
{
    const std::optional<std::string> number = entryNumberArgument(options);
    if (!number)
        return usage(context, "请给出要删除的编号 (一个整数)");
    ledger::Entry e;
    if (db::Result read = ledger::readEntry(c, *number, e); !read)
        return refuse(context, read.message);
    const db::Result deleted = ledger::deleteEntry(c, *number);
    if (!deleted)
        return refuse(context, deleted.message);
    return kOk;
}

int listLedger(db::Connection &c, const Options &options, Context &context)
{
    if (options.positional().size() != 1)
        return usage(context, "请给出一个帐本: journal income expense bank cash invest");
    const std::optional<int> index = ledgerIndexOf(options.positional()[0]);
    if (!index)
        return usage(context, "未知的帐本 " + options.positional()[0]);
    const std::string from = options.valueOr("from", "");
    const std::string to = options.valueOr("to", "");
    if (!isDayText(from) || !isDayText(to))
        return usage(context, "--from 和 --to 必须是 YYYYMMDD 形式的日期");
    const ledger::LedgerTable table = ledger::loadLedger(c, *index, from, to);
    for (int row = 0; row < table.rowCount(); ++row)
        printRow(context.out, table.row(row));
    if (!table.summary.empty())
        printRow(context.out, table.summary);
    return kOk;
}

int statistic(db::Connection &c, const Options &options, Context &context)
{
    if (options.positional().size() != 1)
        return usage(context, "请给出统计的种类: summary journal bank cash income expense");
    const std::optional<stats::Kind> kind = kindNamed(options.positional()[0]);
    if (!kind)
        return usage(context, "未知的统计种类 " + options.positional()[0]);
    std::string problem;
    const std::optional<stats::Range> range = rangeOf(options, problem);
    if (!range)
        return usage(context, problem);
    PrintingSink sink(context.out);
    const stats::Outcome outcome = stats::runStatistic(c, *kind, *range, sink, runOptions(options));
    return finished(outcome, context);
}

int days(db::Connection &c, const Options &options, Context &context)
{
    if (!options.positional().empty())
        return usage(context, "days 不需要其他参数");
    std::string problem;
    const std::optional<stats::Range> range = rangeOf(options, problem);
    if (!range)
        return usage(context, problem);
    const std::string type = options.valueOr("type", "all");
    if (!isDayFilter(type))
        return usage(context, "--type 必须是 all、收、付、存 或 取");
    PrintingSink sink(context.out);
    const stats::Outcome outcome = stats::runDayStatistic(c, *range, type, sink, runOptions(options));
    return finished(outcome, context);
}

int exportStatistic(db::Connection &c, const Options &options, Context &context)
{
    if (options.positional().size() != 1)
        return usage(context, "请给出要写入的文件名");
    const std::optional<stats::Kind> kind = kindNamed(options.valueOr("kind", ""));
    if (!kind)
        return usage(context, "--kind 必须是 summary journal bank cash income expense 之一");
    std::string problem;
    const std::optional<stats::Range> range = rangeOf(options, problem);
    if (!range)
        return usage(context, problem);
    const std::string path = stats::exportFileName(options.positional()[0]);
    if (const std::string refused = replacementRefused(options, path); !refused.empty())
        return refuse(context, refused);
    const db::Result done = stats::exportStatistic(c, *kind, *range, path);
    if (!done)
        return refuse(context, done.message);
    context.out << path << "\n";
    return kOk;
}

int exportDays(db::Connection &c, const Options &options, Context &context)
{
    if (options.positional().size() != 1)
        return usage(context, "请给出要写入的文件名");
    std::string problem;
    const std::optional<stats::Range> range = rangeOf(options, problem);
    if (!range)
        return usage(context, problem);
    const std::string type = options.valueOr("type", "all");
    if (!isDayFilter(type))
        return usage(context, "--type 必须是 all、收、付、存 或 取");
    const std::string path = stats::exportFileName(options.positional()[0]);
    if (const std::string refused = replacementRefused(options, path); !refused.empty())
        return refuse(context, refused);
    const db::Result done = stats::exportDayStatistic(c, *range, type, path);
    if (!done)
        return refuse(context, done.message);
    context.out << path << "\n";
    return kOk;
}

int postRecurring(db::Connection &c, const Options &options, Context &context)
{
    if (!options.positional().empty())
        return usage(context, "post-recurring 不需要其他参数");
    db::DateTime now = context.now;
    if (auto text = options.value("now")) {
        const std::optional<db::DateTime> parsed = db::parseDate(*text);
        if (!parsed)
            return usage(context, "--now 无法识别，请写成 YYYY/MM/DD HH:MM: " + *text);
        now = *parsed;
    }
    std::vector<std::pair<std::string, int>> posted;
    app::RecurringProgress progress;
    progress.posted = [&](const std::string &item, int done, int) {
        if (done == 1)
            posted.emplace_back(item, 0);
        posted.back().second = done;
    };
    const app::RecurringRun run = app::postAllRecurring(c, now, progress);
    for (const auto &[item, count] : posted)
        context.out << item << "\t" << count << "\n";
    for (const std::string &failure : run.failures)
        context.err << failure << "\n";
    return run.failures.empty() ? kOk : kRefused;
}

int backup(db::Connection &c, const Options &options, Context &context)
{
    if (options.has("auto"))
        return autoBackup(c, options, context);
    if (options.positional().size() != 1)
        return usage(context, "请给出备份文件的名字");
    if (const std::string refused = replacementRefused(options, options.positional()[0]); !refused.empty())
        return refuse(context, refused);
    // Damaged books are a failure of the books, whether or not the copy is
    // kept: the caller must not take the file for a backup.
    const bool keep = options.has("keep-damaged");
    const setup::BackupResult done =
        setup::backupDatabase(c, options.positional()[0], [keep](const std::string &) { return keep; });
    if (done.damaged) {
        context.err << "pennaro-cli: " << db::trim(done.message) << "\n";
        return kDatabase;
    }
    return done ? kOk : refuse(context, db::trim(done.message));
}

int restore(const Options &options, Context &context)
{
    if (options.positional().size() != 1)
        return usage(context, "请给出备份文件的名字");
    FileHost host(context.databasePath);
    std::error_code ec;
    if (!host.openConnection() && !std::filesystem::is_regular_file(context.databasePath, ec)) {
        // A missing database is not made here: it fails as for every other command.
        db::Connection::openFile(context.databasePath);
    }
    // Damaged books that no longer open are what a restore is for: they are
    // kept beside the restored file like any replaced database.
    const db::Result done = setup::restoreDatabase(host, options.positional()[0], context.now);
    return done ? kOk : refuse(context, db::trim(done.message));
}

int check(const Options &options, Context &context)
{
    if (!options.positional().empty())
        return usage(context, "check 不需要其他参数");
    // Books the program refuses to open are looked at all the same: nothing
    // here writes, so nothing of their triggers runs.
    db::Connection c = db::Connection::openFile(context.databasePath, db::Connection::Check::LedgerTables);
    const std::vector<db::SchemaObject> foreign = db::foreignSchemaObjects(c);
    for (const db::SchemaObject &object : foreign)
        context.out << "数据库中有不是本程序建立的" << db::describeObjects({object}) << "，程序不会打开这样的帐本\n";
    std::vector<std::string> problems;
    try {
        problems = ledger::checkBooks(c, context.now);
        for (std::string &problem : setup::checkTrees(c))
            problems.push_back(std::move(problem));
    } catch (const db::Error &error) {
        // An index on a function of the program cannot even be read here.
        if (foreign.empty())
            throw;
        context.out << "其余的检查没有做: " << error.what() << "\n";
        return kRefused;
    }
    for (const std::string &problem : problems)
        context.out << problem << "\n";
    return problems.empty() && foreign.empty() ? kOk : kRefused;
}

} // namespace cli
