#include "tools/cli/cli.h"

#include "app/version.h"
#include "db/connection.h"
#include "tools/cli/commands.h"
#include "tools/cli/import_command.h"
#include "tools/cli/options.h"

#include <functional>
#include <map>
#include <optional>
#include <ostream>

namespace cli {

namespace {

const char *const kProgramHelp =
    "用法: pennaro-cli [--db 文件] 命令 [选项]\n"
    "在命令行上使用帐本 (默认是当前文件夹里的 account.mdb，不会新建文件)。\n"
    "\n"
    "命令:\n"
    "  add            记一笔帐\n"
    "  change N       修改编号为 N 的帐\n"
    "  delete N       删除编号为 N 的帐\n"
    "  list 帐本      列出一个帐本在日期范围内的记录\n"
    "  stats 种类     分类统计 (汇总、流水帐、银行、现金、收入、支出)\n"
    "  days           按日期统计，每天下面列出当天的类型\n"
    "  export 文件    把分类统计写成电子表格 (.xlsx)\n"
    "  export-days 文件 把按日期统计写成电子表格\n"
    "  budget         预算执行 (按月或按年)，budget set 设定预算\n"
    "  post-recurring 记入到期的固定收支项目\n"
    "  backup 文件    备份帐本 (--auto: 自动备份到帐本旁的 backups 文件夹)\n"
    "  backups        列出自动备份，设置保留的份数和天数\n"
    "  restore 文件   从备份恢复帐本\n"
    "  check          检查帐本是否完整\n"
    "  import 文件    导入支付宝、微信支付的账单，银行对帐单，QIF 或 OFX 文件\n"
    "  imports        列出导入过的账单\n"
    "  import-mapping 名字 文件 保存一种银行对帐单的各列\n"
    "  find [文字]    在所有日期的明细帐里查找记录\n"
    "  balances       每个帐户的余额\n"
    "  undo           撤销最近的一次操作\n"
    "  redo           重做刚撤销的操作\n"
    "  history        列出可以撤销和重做的操作\n"
    "\n"
    "选项可以写成 --选项 值 或 --选项=值；--db 可以写在命令行的任何地方。\n"
    "每个命令都可以加 --help (或 -h)；--version 显示版本。\n"
    "输出每行一条记录，字段之间用一个制表符分隔；\n"
    "字段末尾的空格不输出，字段里的反斜杠、制表符和换行写成 \\\\、\\t 和 \\n。\n"
    "退出状态: 0 成功, 1 输入被拒绝 (什么也没写), 2 用法错误, 3 数据库出错或输出没有写完。\n";

const std::string kVersionText = std::string("pennaro-cli ") + app::kVersion + "\n";

struct Command {
    const char *help;
    std::set<std::string> valued;
    std::set<std::string> flags;
    bool needsDatabase;
    std::function<int(db::Connection &, const Options &, Context &)> run;
    // Run instead when the command opens the database itself.
    std::function<int(const Options &, Context &)> runOnFile = {};
};

const std::map<std::string, Command> &commands()
{
    static const std::set<std::string> entryOptions = {"type",   "category", "amount",   "bank",  "date",
                                                       "handler", "note",     "invested", "number"};
    static const std::map<std::string, Command> table = {
        {"add",
         {"用法: pennaro-cli add --type 收|付|存|取 --category 类型 --amount 金额 --bank 帐户\n"
          "           [--date \"YYYY/MM/DD HH:MM\"] [--handler 经手人] [--note 说明] [--invested 原金额] [--number 编号]\n"
          "记一笔帐，与新增记录的检查和提示相同；日期默认是现在，经手人默认是管理员，编号默认是下一个。\n"
          "存和取的类型可以不写 (存钱、取钱)。成功时输出编号。\n",
          entryOptions, {}, true, addEntry}},
        {"change",
         {"用法: pennaro-cli change N [--type ...] [--category ...] [--amount ...] [--bank ...] [--date ...]\n"
          "           [--handler ...] [--note ...] [--invested 原金额]\n"
          "修改编号为 N 的帐；没有给出的项目保持原样。投资帐随之改写，收回投资时原金额默认不变。\n",
          {"type", "category", "amount", "bank", "date", "handler", "note", "invested"}, {}, true, changeEntry}},
        {"delete", {"用法: pennaro-cli delete N\n从明细帐和所有帐本中删除编号为 N 的帐。\n", {}, {}, true, deleteEntry}},
        {"list",
         {"用法: pennaro-cli list 帐本 --from YYYYMMDD --to YYYYMMDD\n"
          "帐本: journal income expense bank cash invest (或 0 到 5)。\n"
          "按时间从新到旧输出记录的各列，最后一行是合计。\n",
          {"from", "to"}, {}, true, listLedger}},
        {"stats",
         {"用法: pennaro-cli stats 种类 --from YYYYMMDD --to YYYYMMDD [--reference]\n"
          "种类: summary journal bank cash income expense。\n"
          "按分类查询窗口里的顺序 (先父后子) 输出每一行: 层次 (总计行为 0)、名称、金额、次数、收付、百分比。\n"
          "--reference 逐条执行原来的统计语句 (慢)，结果与默认的算法完全相同，用来对照。\n",
          {"from", "to"}, {"reference"}, true, statistic}},
        {"days",
         {"用法: pennaro-cli days --from YYYYMMDD --to YYYYMMDD [--type all|收|付|存|取] [--reference]\n"
          "按日期统计，每天之后是当天的类型: 层次、名称、金额、次数、收付、百分比。\n"
          "--reference 逐条执行原来的统计语句 (慢)，结果与默认的算法完全相同，用来对照。\n",
          {"from", "to", "type"}, {"reference"}, true, days}},
        {"export",
         {"用法: pennaro-cli export 文件 --kind 种类 --from YYYYMMDD --to YYYYMMDD [--force]\n"
          "把分类查询的统计写成电子表格；文件名没有扩展名时加上 .xlsx。汇总写五张表。成功时输出文件名。\n"
          "文件已存在时不替换，除非加 --force。\n",
          {"kind", "from", "to"}, {"force"}, true, exportStatistic}},
        {"export-days",
         {"用法: pennaro-cli export-days 文件 --from YYYYMMDD --to YYYYMMDD [--type all|收|付|存|取] [--force]\n"
          "把按日期统计写成电子表格；成功时输出文件名。文件已存在时不替换，除非加 --force。\n",
          {"from", "to", "type"}, {"force"}, true, exportDays}},
        {"budget",
         {"用法: pennaro-cli budget [--month YYYYMM | --year YYYY]\n"
          "       pennaro-cli budget set 类型 金额 [--yearly]\n"
          "输出一个月 (默认是本月) 或一年的预算执行: 层次、类别、预算、已支出、剩余、已用。\n"
          "第一行是合计 (只加最外层的预算)，最后一行是时间进度: 天数、已过、剩余、已过的比例。\n"
          "一个类型的支出包括它下面所有类型的支出。按月只算每月预算；按年算 12 个月的每月预算加每年预算。\n"
          "budget set 设定一个支出类型的每月预算 (加 --yearly 是每年预算)；金额写 \"\" 取消这一项。\n",
          {"month", "year"}, {"yearly"}, true, budget}},
        {"post-recurring",
         {"用法: pennaro-cli post-recurring [--now \"YYYY/MM/DD HH:MM\"]\n"
          "记入所有到期的固定支出和固定收入，每个记了帐的项目输出一行: 项目、笔数。\n",
          {"now"}, {}, true, postRecurring}},
        {"backup",
         {"用法: pennaro-cli backup 文件 [--force] [--keep-damaged]\n"
          "       pennaro-cli backup --auto\n"
          "把帐本完整地复制到文件 (先写临时文件，检查完好后才替换)。文件已存在时不替换，除非加 --force。\n"
          "帐本损坏时备份不能用来恢复: 不写文件，退出状态为 3；加上 --keep-damaged 仍然写入，退出状态也是 3。\n"
          "--auto 与程序的自动备份相同 (可以放进 cron): 写到帐本旁的 backups 文件夹，按日期和时间命名，\n"
          "检查完好后按保留规则删去旧的；成功时输出文件名，失败时退出状态为 3，下次启动程序时也会提示。\n",
          {}, {"force", "keep-damaged", "auto"}, true, backup}},
        {"backups",
         {"用法: pennaro-cli backups [--keep 份数] [--days 天数]\n"
          "从新到旧列出自动备份: 时间、大小 (字节)、笔数、最后一笔的日期、文件；读不出的备份笔数写作“损坏”。\n"
          "保留规则: 最新的若干份 (默认 10) 都保留，更早的每天保留最后一份，最多保留到若干天前 (默认 30)。\n"
          "--keep 和 --days 改变这两个数 (存在帐本里)。\n",
          {"keep", "days"}, {}, true, backups}},
        {"undo",
         {"用法: pennaro-cli undo\n撤销最近一次还没撤销的操作 (与菜单的“撤销”相同)，输出撤销的操作。\n"
          "它写过的记录后来又被改动时不撤销，什么也不写，退出状态为 1。\n",
          {}, {}, true, undo}},
        {"redo",
         {"用法: pennaro-cli redo\n重做最早一次撤销的操作 (与菜单的“重做”相同)，输出重做的操作。\n", {}, {}, true,
          redo}},
        {"history",
         {"用法: pennaro-cli history\n"
          "从新到旧列出帐本记下的操作 (最多 200 个): 编号、时间、状态 (已做或已撤销)、操作。\n",
          {}, {}, true, history}},
        {"restore",
         {"用法: pennaro-cli restore 文件\n先检查备份文件，再用它替换帐本；原来的帐本另存为带日期的副本。\n", {}, {}, false,
          nullptr, restore}},
        {"check",
         {"用法: pennaro-cli check\n"
          "检查数据库文件、每一笔帐的各帐本记录和三棵分类树，每个问题输出一行；有问题时退出状态为 1。\n"
          "也报告不是本程序建立的触发器、视图和索引 (有它们的帐本程序不会打开)。\n",
          {}, {}, false, nullptr, check}},
        {"import",
         {"用法: pennaro-cli import 文件 [--format alipay|wechat|csv|qif|ofx] [--mapping 名字] [--encoding 自动|UTF-8|GBK]\n"
          "           [--account 帐户] [--default-category 支出类型] [--default-income-category 收入类型]\n"
          "           [--handler 经手人] [--dry-run] [--skip-uncategorised]\n"
          "       pennaro-cli import --undo 编号\n"
          "导入一份账单：每行输出 行号、处理、时间、收付、金额、类型、帐户、说明、备注，最后一行是合计。\n"
          "格式按文件内容认出；银行对帐单要用 --mapping 给出保存过的格式 (见 import-mapping)。\n"
          "--account 是还没有对应帐户的付款方式记到的帐户，两个 --default 类型记没有规则认得的收支。\n"
          "有缺类型或缺帐户的行时退出状态为 1，什么也不写；--skip-uncategorised 跳过它们、记其余的。\n"
          "--dry-run 只输出，不写入。重复的行 (已经导入过的) 不再记。--undo 撤销一次导入的全部帐。\n",
          {"format", "mapping", "encoding", "account", "default-category", "default-income-category", "handler", "undo"},
          {"dry-run", "skip-uncategorised"}, true, importBill}},
        {"imports",
         {"用法: pennaro-cli imports\n列出导入过的账单，新的在前: 编号、时间、文件、格式、行数、记帐笔数、是否撤销。\n", {}, {},
          true, listImportsCommand}},
        {"import-mapping",
         {"用法: pennaro-cli import-mapping 名字 文件 --date 列名 (--amount 列名 [--sign 负数为支出|正数为支出]\n"
          "           | --debit 列名 --credit 列名) [--time 列名] [--counterparty 列名] [--description 列名]\n"
          "           [--reference 列名] [--date-order 年月日|月日年|日月年] [--encoding 自动|UTF-8|GBK]\n"
          "按文件的表头保存一种银行对帐单的格式，以后用 import --mapping 名字 导入。成功时输出名字和读到的笔数。\n",
          {"date", "time", "amount", "debit", "credit", "sign", "counterparty", "description", "reference", "date-order",
           "encoding"},
          {}, true, saveImportMapping}},
        {"find",
         {"用法: pennaro-cli find [文字] [--type 收|付|存|取|all] [--min 金额] [--max 金额] [--from YYYYMMDD] [--to YYYYMMDD]\n"
          "在所有日期的明细帐里查找记录: 文字出现在帐目类型、帐户、经手人或说明里 (英文字母不分大小写，\n"
          "% 和引号等都按字面查找)，金额和日期的范围都包括两端。按时间从新到旧输出编号、日期时间、收付、\n"
          "帐目类型、帐户、钱额、经手人、说明，最后一行是条数和金额合计。\n",
          {"type", "min", "max", "from", "to"}, {}, true, findEntries}},
        {"balances",
         {"用法: pennaro-cli balances [--at YYYYMMDD]\n"
          "每个帐户 (含现金) 在那一天结束时的余额 (默认今天): 银行帐和现金帐里到那天为止的全部记录，\n"
          "含初始金额。按帐户树的顺序输出层次 (根为 0)、帐户、含下级帐户的余额、本帐户的余额；\n"
          "根那一行是全部帐户的合计。\n",
          {"at"}, {}, true, balances}},
    };
    return table;
}

} // namespace

namespace {

bool isHelp(const std::string &word) { return word == "--help" || word == "-h"; }

// "--db FILE" or "--db=FILE" at words[at]: the file, and how many words it took.
std::optional<std::pair<std::string, std::size_t>> databaseOption(const std::vector<std::string> &words, std::size_t at)
{
    if (words[at].rfind("--db=", 0) == 0)
        return std::pair{words[at].substr(5), std::size_t{1}};
    if (words[at] == "--db" && at + 1 < words.size())
        return std::pair{words[at + 1], std::size_t{2}};
    return std::nullopt;
}

int runCommand(const std::vector<std::string> &args, Context &context)
{
    std::optional<std::string> database;
    std::size_t at = 0;
    // The options before the command word.
    while (at < args.size() && args[at].rfind("-", 0) == 0) {
        if (isHelp(args[at])) {
            context.out << kProgramHelp;
            return kOk;
        }
        if (args[at] == "--version") {
            context.out << kVersionText;
            return kOk;
        }
        const auto db = databaseOption(args, at);
        if (!db)
            return usage(context, args[at] == "--db" ? "选项 --db 后面缺少值" : "未知的选项 " + args[at]);
        if (database)
            return usage(context, "选项 --db 给了两次");
        database = db->first;
        at += db->second;
    }
    if (at >= args.size())
        return usage(context, "缺少命令");
    const auto found = commands().find(args[at]);
    if (found == commands().end())
        return usage(context, "未知的命令 " + args[at]);
    context.command = found->first;
    const Command &command = found->second;
    const std::vector<std::string> rest(args.begin() + static_cast<long>(at) + 1, args.end());
    for (const std::string &word : rest) {
        if (isHelp(word)) {
            context.out << command.help;
            return kOk;
        }
        if (word == "--version") {
            context.out << kVersionText;
            return kOk;
        }
    }
    // --db may stand anywhere on the line.
    std::set<std::string> valued = command.valued;
    valued.insert("db");
    const Options options(rest, valued, command.flags);
    if (!options.error().empty())
        return usage(context, options.error());
    if (auto db = options.value("db")) {
        if (database)
            return usage(context, "选项 --db 给了两次");
        database = *db;
    }
    if (database)
        context.databasePath = *database;
    try {
        if (!command.needsDatabase)
            return command.runOnFile(options, context);
        db::Connection connection = db::Connection::openFile(context.databasePath);
        return command.run(connection, options, context);
    } catch (const db::Error &error) {
        context.err << "pennaro-cli: " << error.what() << "\n";
        return kDatabase;
    }
}

} // namespace

int run(const std::vector<std::string> &args, std::ostream &out, std::ostream &err, const db::DateTime &now)
{
    Context context{"account.mdb", now, out, err, {}};
    const int status = runCommand(args, context);
    // What was printed must have arrived: a full disk or a closed output is
    // a failure, not a success with nothing to show.
    out.flush();
    if (!out) {
        err << "pennaro-cli: 输出没有写完（磁盘已满，或输出已关闭）。请检查输出的去处后再试。\n";
        return kDatabase;
    }
    return status;
}

} // namespace cli
