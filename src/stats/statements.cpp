#include "stats/statements.h"

#include "db/text.h"

namespace stats::sql {

using db::quote;

namespace {

// "between 'begin' and   'end'", the range test of every statement.
std::string between(const Range &range)
{
    return "between '" + quote(range.begin) + "' and   '" + quote(range.end) + "'";
}

// The type filter of the day-by-day statements; "all" takes every row.
std::string typeFilter(const std::string &filter)
{
    return "( 收负类型 ='" + quote(filter) + "' or 'all' ='" + quote(filter) + "' )";
}

struct CategoryTree {
    const char *table;
    const char *parentTest; // spacing differs between the two tables
    const char *entryTest;
    const char *tail;
};

// The roll-up of a category tree. The entries are limited to the tree's own
// direction: the investment categories bear the same names in both trees,
// and a sale must not count as spending (nor a purchase as income).
std::string categoryRollUp(const CategoryTree &tree, const Range &range, const std::string &parent, int level,
                           int start)
{
    const std::string p = quote(parent);
    const std::string l = std::to_string(level);
    return std::string("\tselect bb.aStyle,count(aa.财务标识) as nCount,sum(钱额) as nMoney  from account aa ,(select\t"
                       "Style as aStyle,Style as bStyle,Num as aNum,fullid  from ") +
           tree.table + "  where ParentStyle ='" + p + tree.parentTest + l +
           "\tunion all select a.Style as aStyle,b.Style as bStyle ,b.Num as aNum ,b.fullid as fullid \tfrom " +
           tree.table + " a," + tree.table + " b where a.Num = val(Mid(b.fullid," + std::to_string(start) +
           ",4)) and a.nLevel=" + l + "\tand  a.ParentStyle ='" + p + "'  )bb where aa.帐目类型=bb.bStyle" +
           tree.entryTest + "(Format(aa.日期,'yyyymmdd') " + between(range) + ")" + tree.tail;
}

const CategoryTree kExpenseTree = {"PayStyle", "'  and nLevel=", " and aa.收负类型 ='付' and ", "   \tgroup by bb.aStyle  "};
const CategoryTree kIncomeTree = {"GetStyle", "' and nLevel=", "  and aa.收负类型 ='收' and ", "  \tgroup by bb.aStyle  "};

std::string uncategorised(const char *type, const char *table, const Range &range)
{
    return std::string("select 帐目类型 as aStyle,count(财务标识) as nCount,sum(钱额) as nMoney from  account   where "
                       "收负类型 ='") +
           type + "'  and (Format(日期,'yyyymmdd') " + between(range) + ")  and  帐目类型 not in (select Style   from " +
           table + ") group by 帐目类型 ";
}

std::string ledgerHead(const char *table, const Range &range)
{
    return std::string("SELECT count(1) as nCount,sum(nMoney) as nMoney FROM ") + table +
           "  where   Format(DTime,'yyyymmdd') " + between(range) + "  ";
}

std::string ledgerDirection(const char *table, const Range &range, const std::string &direction)
{
    return std::string("SELECT  count(1) as nCount,sum(nMoney) as nMoney FROM ") + table + " where PayGet='" +
           quote(direction) + "'  and (Format(DTime,'yyyymmdd') " + between(range) + "  ) ";
}

} // namespace

std::string journalHead(const Range &range)
{
    return "SELECT count(1) as nCount,sum(钱额) as nMoney  FROM account  where (Format(日期,'yyyymmdd') " +
           between(range) + ")   ";
}

std::string journalDetail(const Range &range, JournalDetail form)
{
    const std::string select = "SELECT 帐目类型,收负类型, count(1) as nCount,sum(钱额) as nMoney ";
    switch (form) {
    case JournalDetail::Summary:
        return select + " FROM account  where (Format(日期,'yyyymmdd') " + between(range) +
               ")  group by 帐目类型,收负类型 order by 收负类型 ";
    case JournalDetail::Statistic:
        return select + "FROM account where Format(日期,'yyyymmdd') " + between(range) +
               "  group by 帐目类型,收负类型  order by 收负类型  ";
    case JournalDetail::Sheet:
        break;
    }
    return select + "FROM account  where Format(日期,'yyyymmdd') " + between(range) + "   group by 帐目类型,收负类型  ";
}

std::string expenseHead(const Range &range, Output output)
{
    if (output == Output::Sheet)
        return "SELECT count(1) as nCount,sum(钱额) as nMoney FROM account where 收负类型 ='付'  and "
               "(Format(日期,'yyyymmdd') " +
               between(range) + ")    ";
    return "SELECT count(1) as nCount,sum(钱额) as nMoney FROM account  where (Format(日期,'yyyymmdd') " +
           between(range) + ")  and 收负类型 ='付'  ";
}

std::string incomeHead(const Range &range)
{
    return "SELECT count(1) as nCount,sum(钱额) as nMoney FROM account where 收负类型 ='收'  and "
           "(Format(日期,'yyyymmdd') " +
           between(range) + ")  ";
}

std::string expenseRollUp(const Range &range, const std::string &parent, int level, int start)
{
    return categoryRollUp(kExpenseTree, range, parent, level, start);
}

std::string incomeRollUp(const Range &range, const std::string &parent, int level, int start)
{
    return categoryRollUp(kIncomeTree, range, parent, level, start);
}

std::string expenseUncategorised(const Range &range) { return uncategorised("付", "PayStyle", range); }

std::string incomeUncategorised(const Range &range) { return uncategorised("收", "GetStyle", range); }

std::string bankHead(const Range &range) { return ledgerHead("BankAccount", range); }

std::string cashHead(const Range &range) { return ledgerHead("CashAccount", range); }

std::string bankRollUp(const Range &range, const std::string &parent, int level, int start,
                       const std::string &direction)
{
    const std::string p = quote(parent);
    const std::string l = std::to_string(level);
    const std::string d = quote(direction);
    return "\tselect bb.aStyle,count(aa.Num) as nCount,sum(aa.nMoney) as nMoney  from BankAccount aa ,(select\t "
           "BankName as aStyle,BankName as bStyle,Num as aNum,fullid  from Bank  where ParentBank ='" +
           p + "' and nLevel=" + l +
           "\tunion all select a.BankName as aStyle,b.BankName as bStyle ,b.Num as aNum ,b.fullid as fullid \tfrom "
           "Bank a,Bank b where a.Num = val(Mid(b.fullid," +
           std::to_string(start) + ",4)) and a.nLevel=" + l + "\tand  a.ParentBank ='" + p +
           "'  )bb where aa.BankName=bb.bStyle and (aa.PayGet ='" + d + "' or '" + d +
           "'='all' )     and (Format(aa.DTime,'yyyymmdd') " + between(range) + "  )\tgroup by bb.aStyle  ";
}

std::string bankDirection(const Range &range, const std::string &direction)
{
    return ledgerDirection("BankAccount", range, direction);
}

std::string cashDirection(const Range &range, const std::string &direction)
{
    return ledgerDirection("CashAccount", range, direction);
}

std::string banksOutsideTree(const Range &range, const std::string &direction)
{
    return "select BankName,PayGet,count(Num) as nCount,sum(nMoney) as nMoney  from  BankAccount   where   PayGet ='" +
           quote(direction) + "'  and (Format(DTime,'yyyymmdd') " + between(range) +
           "  ) and  BankName not in (select BankName   from bank) group by BankName,PayGet ";
}

std::string dayHead(const Range &range, const std::string &filter)
{
    return "\tSELECT  count(1) as nCount,sum(钱额) as nMoney FROM account  where (Format(日期,'yyyymmdd') " +
           between(range) + ")  and " + typeFilter(filter) + "  ";
}

std::string days(const Range &range, const std::string &filter)
{
    return "\tSELECT Format(日期,'yyyymmdd') as nDate, count(1) as nCount,sum(钱额) as nMoney FROM account  where "
           "(Format(日期,'yyyymmdd') " +
           between(range) + ")  and " + typeFilter(filter) + " group by Format(日期,'yyyymmdd')  ";
}

std::string dayDetail(const std::string &day, const std::string &filter)
{
    return "\tSELECT 帐目类型 as nStyle, count(1) as nCount,sum(钱额) as nMoney,收负类型 as nType FROM account  where "
           "Format(日期,'yyyymmdd')  ='" +
           quote(day) + "' and  " + typeFilter(filter) + " group by 帐目类型,收负类型  ";
}

} // namespace stats::sql
