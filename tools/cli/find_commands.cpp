// The commands that find entries and read the accounts' balances.
#include "db/connection.h"
#include "ledger/balances.h"
#include "ledger/find.h"
#include "tools/cli/cli.h"
#include "tools/cli/commands.h"
#include "tools/cli/options.h"

#include <ostream>

namespace cli {

int findEntries(db::Connection &c, const Options &options, Context &context)
{
    if (options.positional().size() > 1)
        return usage(context, "只能给出一段要查找的文字 (含空格时请加引号)");
    ledger::FindQuery query;
    if (!options.positional().empty())
        query.text = options.positional()[0];
    query.type = options.valueOr("type", "");
    if (query.type == "all")
        query.type.clear();
    query.least = options.valueOr("min", "");
    query.most = options.valueOr("max", "");
    query.from = options.valueOr("from", "");
    query.to = options.valueOr("to", "");
    // A value the search cannot use is a mistake on the command line.
    if (const db::Result checked = ledger::checkFindQuery(query); !checked)
        return usage(context, checked.message);
    ledger::FoundEntries found;
    if (const db::Result result = ledger::findEntries(c, query, found); !result)
        return refuse(context, result.message);
    for (int row = 0; row < found.rows.rowCount(); ++row)
        printRow(context.out, found.rows.row(row));
    context.out << ledger::foundSummary(found) << "\n";
    return kOk;
}

int balances(db::Connection &c, const Options &options, Context &context)
{
    if (!options.positional().empty())
        return usage(context, "balances 不带其他参数");
    const std::string day = options.valueOr("at", db::formatDay(context.now));
    if (!isDayText(day))
        return usage(context, "--at 必须是 YYYYMMDD 形式的日期");
    for (const ledger::AccountBalance &b : ledger::accountBalances(c, day))
        printRow(context.out, {std::to_string(b.depth), ledger::balanceLabel(b), ledger::yuan(b.total),
                               b.depth > 0 ? ledger::yuan(b.own) : std::string()});
    return kOk;
}

} // namespace cli
