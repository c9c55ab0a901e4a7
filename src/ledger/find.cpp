#include "ledger/find.h"

#include "db/connection.h"
#include "db/dates.h"
#include "db/text.h"

#include <algorithm>
#include <iterator>

namespace ledger {

namespace {

const char *const kCaptions[kFoundColumns] = {"编号", "日期时间", "收付", "帐目类型", "帐户", "钱额", "经手人", "说明"};
const char *const kSelect = "select 财务标识,日期,收负类型,帐目类型,银行,钱额,经手人,说明 from account where 1=1";
const char *const kOrder = " order by 日期 desc, 财务标识 desc";
const char *const kTextColumns[] = {"帐目类型", "银行", "经手人", "说明"};
const char *const kTypes[] = {"收", "付", "存", "取"};
const char *const kRecords = "条记录，合计：";

// The text as a LIKE pattern that matches it anywhere: its own '%', '_' and
// '\' stand for themselves (escaped with '\'), and quotes are doubled by
// the quoting helper.
std::string containsPattern(const std::string &text)
{
    std::string escaped;
    for (char c : text) {
        if (c == '%' || c == '_' || c == '\\')
            escaped += '\\';
        escaped += c;
    }
    return "'%" + db::quote(escaped) + "%' escape '\\'";
}

// A checked bound as the statement writes it: a plain number without '+'.
std::string boundText(const std::string &bound)
{
    const std::string text = db::trim(bound);
    return !text.empty() && text.front() == '+' ? text.substr(1) : text;
}

} // namespace

const char *foundCaption(int column) { return column >= 0 && column < kFoundColumns ? kCaptions[column] : ""; }

db::Result checkFindQuery(const FindQuery &query)
{
    if (db::utf8Length(query.text) > kMaxFindText)
        return db::Result::refused(kMsgFindTextTooLong);
    const std::string type = db::trim(query.type);
    if (!type.empty() && std::find(std::begin(kTypes), std::end(kTypes), type) == std::end(kTypes))
        return db::Result::refused(kMsgFindBadType);
    for (const std::string *bound : {&query.least, &query.most})
        if (!db::trim(*bound).empty() && !db::Money::parse(db::trim(*bound)))
            return db::Result::refused(kMsgFindBadAmount);
    for (const std::string *day : {&query.from, &query.to})
        if (!day->empty() && !db::isDayKey(*day))
            return db::Result::refused(kMsgFindBadDay);
    return db::Result::ok();
}

std::string findStatement(const FindQuery &query)
{
    std::string sql = kSelect;
    if (!query.text.empty()) {
        const std::string pattern = containsPattern(query.text);
        sql += " and (";
        for (std::size_t i = 0; i < std::size(kTextColumns); ++i)
            sql += std::string(i ? " or " : "") + kTextColumns[i] + " like " + pattern;
        sql += ")";
    }
    if (const std::string type = db::trim(query.type); !type.empty())
        sql += " and 收负类型 = '" + db::quote(type) + "'";
    if (!db::trim(query.least).empty())
        sql += " and (钱额+0) >= " + boundText(query.least);
    if (!db::trim(query.most).empty())
        sql += " and (钱额+0) <= " + boundText(query.most);
    if (!query.from.empty())
        sql += " and Format(日期,'yyyymmdd') >= '" + db::quote(query.from) + "'";
    if (!query.to.empty())
        sql += " and Format(日期,'yyyymmdd') <= '" + db::quote(query.to) + "'";
    return sql + kOrder;
}

db::Result findEntries(db::Connection &c, const FindQuery &query, FoundEntries &found)
{
    if (const db::Result checked = checkFindQuery(query); !checked)
        return checked;
    found = FoundEntries();
    db::Query q = c.query(findStatement(query));
    while (q.next()) {
        found.rows.appendRow(q);
        found.total += db::Money::leading(found.rows.cell(found.rows.rowCount() - 1, kFoundAmount));
    }
    found.rows.shrink();
    return db::Result::ok();
}

std::string foundSummary(const FoundEntries &found)
{
    return std::to_string(found.rows.rowCount()) + kRecords + yuan(found.total);
}

} // namespace ledger
