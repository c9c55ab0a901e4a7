#include "ledger/entry_lists.h"

#include "db/connection.h"
#include "db/text.h"

namespace ledger {

std::vector<std::string> handlerNames(db::Connection &c)
{
    std::vector<std::string> names;
    db::Query q = c.query("select * from SysAllUser ");
    while (q.next())
        names.push_back(q.field("SysUserName"));
    return names;
}

std::string investmentStartsQuery(const std::string &category)
{
    return "SELECT AccNum,DTime,PayStyle,nMoney FROM PayMoney where PayStyle ='" + db::quote(category) + "' ";
}

std::vector<InvestmentStart> investmentStarts(db::Connection &c, const std::string &category)
{
    std::vector<InvestmentStart> rows;
    db::Query q = c.query(investmentStartsQuery(category));
    while (q.next())
        rows.push_back({q.field("AccNum"), q.field("PayStyle"), q.field("nMoney"), q.field("DTime")});
    return rows;
}

} // namespace ledger
