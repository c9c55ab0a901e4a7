#include "tools/cli/import_command.h"

#include "db/connection.h"
#include "db/text.h"
#include "import/bill_file.h"
#include "import/file_table.h"
#include "import/header_row.h"
#include "import/import_run.h"
#include "import/values.h"
#include "ledger/posting.h"
#include "tools/cli/cli.h"
#include "tools/cli/commands.h"
#include "tools/cli/options.h"

#include <filesystem>
#include <set>
#include <ostream>

namespace cli {

namespace {

const char *const kDefaultHandler = "管理员";

std::string moneyText(long long cents) { return import::centsText(cents); }

// Checks a name given for an account or a default category against the book.
db::Result checkName(const Options &options, const char *option, const std::set<std::string> &known, const char *what)
{
    const auto value = options.value(option);
    if (!value || known.count(db::trim(*value)))
        return db::Result::ok();
    return db::Result::refused(std::string("没有这个") + what + ": " + *value);
}

void printPlan(std::ostream &out, const import::Plan &plan)
{
    for (const import::PlanRow &row : plan.rows)
        printRow(out, {std::to_string(row.bill.line), import::decisionName(row.decision),
                       db::formatDateTime(row.bill.time), row.type, import::centsText(row.signedCents()), row.category,
                       row.account, import::entryDescription(row.bill), row.note});
    const import::PlanTotals t = import::totalsOf(plan);
    out << "合计\t记帐 " << t.post << " 笔\t跳过 " << t.skip << " 笔\t重复 " << t.duplicate << " 笔\t缺类型 "
        << t.needsCategory << " 笔\t缺帐户 " << t.needsAccount << " 笔\t支出 " << moneyText(t.spending) << "\t收入 "
        << moneyText(t.income) << "\n";
}

int undo(db::Connection &c, const std::string &number, Context &context)
{
    if (!ledger::isWholeNumber(number))
        return usage(context, "--undo 后面要写导入的编号 (一个整数)");
    int removed = 0;
    const db::Result done = import::undoImport(c, std::stoi(number), context.now, &removed);
    if (!done)
        return refuse(context, done.message);
    context.out << "撤销了导入 " << number << "：删除 " << removed << " 笔帐\n";
    return kOk;
}

} // namespace

int importBill(db::Connection &c, const Options &options, Context &context)
{
    if (auto number = options.value("undo")) {
        if (!options.positional().empty())
            return usage(context, "撤销导入时不需要文件名");
        return undo(c, *number, context);
    }
    if (options.positional().size() != 1)
        return usage(context, "请给出一个账单文件");
    const std::string path = options.positional()[0];
    import::ReadOptions read;
    if (auto format = options.value("format")) {
        const auto choice = import::formatChoiceNamed(*format);
        if (!choice)
            return usage(context, "--format 必须是 alipay、wechat、csv、qif 或 ofx");
        read.format = *choice;
    }
    if (auto encoding = options.value("encoding")) {
        read.encoding = import::encodingNamed(*encoding);
        if (read.encoding == import::Encoding::Automatic && *encoding != "自动")
            return usage(context, "--encoding 必须是 自动、UTF-8、GBK 或 UTF-16");
    }
    if (auto name = options.value("mapping")) {
        read.mapping = import::loadMapping(c, *name);
        if (!read.mapping)
            return refuse(context, "没有叫“" + *name + "”的对帐单格式，请先用 import-mapping 保存");
        read.format = import::FormatChoice::Bank;
    }
    const import::BillRead bill = import::readBillFile(c, path, read);
    if (!bill.result)
        return refuse(context, bill.result.message + (bill.needsMapping ? "。银行对帐单请加 --mapping 名字" : ""));

    const import::BookNames names = import::loadBookNames(c);
    for (const db::Result &checked : {checkName(options, "account", names.accounts, "现金或银行帐户"),
                                      checkName(options, "default-category", names.expense, "支出类型"),
                                      checkName(options, "default-income-category", names.income, "收入类型")})
        if (!checked)
            return refuse(context, checked.message);
    import::PlanOptions planOptions;
    planOptions.defaultAccount = db::trim(options.valueOr("account", ""));
    planOptions.defaultExpenseCategory = db::trim(options.valueOr("default-category", ""));
    planOptions.defaultIncomeCategory = db::trim(options.valueOr("default-income-category", ""));
    const import::Plan plan = import::makePlan(c, bill.bill, planOptions);
    printPlan(context.out, plan);

    const bool skipUnresolved = options.has("skip-uncategorised");
    const import::PlanTotals totals = import::totalsOf(plan);
    const bool unresolved = totals.needsCategory + totals.needsAccount > 0;
    if (unresolved && !skipUnresolved)
        return refuse(context, "有 " + std::to_string(totals.needsCategory) + " 笔缺类型、" +
                                   std::to_string(totals.needsAccount) +
                                   " 笔缺帐户，什么也没有写入：请给出 --default-category、--default-income-category、"
                                   "--account，或加 --skip-uncategorised 只记其余的");
    if (options.has("dry-run"))
        return kOk;
    import::CommitOptions commit;
    commit.fileName = std::filesystem::path(path).filename().string();
    commit.handler = options.valueOr("handler", kDefaultHandler);
    commit.now = context.now;
    commit.skipUnresolved = skipUnresolved;
    const import::CommitOutcome outcome = import::commitPlan(c, plan, commit);
    if (!outcome.result)
        return refuse(context, outcome.result.message);
    if (outcome.importNumber == 0)
        context.out << "没有新的帐要记\n";
    else
        context.out << "导入编号 " << outcome.importNumber << "：记了 " << outcome.posted << " 笔帐\n";
    return kOk;
}

int listImportsCommand(db::Connection &c, const Options &options, Context &context)
{
    if (!options.positional().empty())
        return usage(context, "imports 不需要其他参数");
    for (const import::ImportRecord &r : import::listImports(c))
        printRow(context.out, {std::to_string(r.number), r.time, r.fileName, r.format, std::to_string(r.rows),
                               std::to_string(r.posted), r.undone.empty() ? "" : "已撤销 " + r.undone});
    return kOk;
}

int saveImportMapping(db::Connection &c, const Options &options, Context &context)
{
    if (options.positional().size() != 2)
        return usage(context, "请给出格式的名字和一份这种格式的对帐单文件");
    import::BankMapping m;
    m.name = options.positional()[0];
    m.dateColumn = options.valueOr("date", "");
    m.timeColumn = options.valueOr("time", "");
    m.amountColumn = options.valueOr("amount", "");
    m.debitColumn = options.valueOr("debit", "");
    m.creditColumn = options.valueOr("credit", "");
    m.counterpartyColumn = options.valueOr("counterparty", "");
    m.descriptionColumn = options.valueOr("description", "");
    m.referenceColumn = options.valueOr("reference", "");
    m.sign = import::amountSignNamed(options.valueOr("sign", ""));
    m.dateOrder = import::dateOrderNamed(options.valueOr("date-order", ""));
    m.encoding = import::encodingNamed(options.valueOr("encoding", ""));
    if (db::Result checked = import::checkMapping(m); !checked)
        return refuse(context, checked.message);
    import::Table table;
    import::Encoding encoding = m.encoding;
    if (db::Result r = import::loadTable(options.positional()[1], encoding, table); !r)
        return refuse(context, r.message);
    const auto header = import::mappedHeaderRow(table, m);
    if (!header)
        return refuse(context, "文件里没有一行同时有这些列名：请按文件里表头的写法给出列名");
    m.header = import::headerSignature(table.rows[*header]);
    const import::BillRead trial = import::readBank(table, m);
    if (!trial.result)
        return refuse(context, trial.result.message);
    if (db::Result saved = import::saveMapping(c, m); !saved)
        return refuse(context, saved.message);
    context.out << m.name << "\t" << trial.bill.rows.size() << "\n";
    return kOk;
}

} // namespace cli
