#include "ledger/consistency.h"

#include "db/connection.h"
#include "db/text.h"
#include "ledger/posting.h"

#include <cmath>
#include <map>

namespace ledger {

namespace {

const char *const kOpening = "初始化";

// The journal with, for each entry, what the ledgers hold under its number.
const char *const kEntryRows =
    "select a.财务标识 as n, a.收负类型 as t, a.帐目类型 as c, a.钱额 as m, a.银行 as b, "
    "(select count(*) from PayMoney p where p.AccNum = a.财务标识) as pay, "
    "(select count(*) from GetMoney g where g.AccNum = a.财务标识) as got, "
    "(select count(*) from CashAccount x where x.AccNum = a.财务标识) as cash, "
    "(select total(nMoney) from CashAccount x where x.AccNum = a.财务标识) as cashsum, "
    "(select count(*) from BankAccount k where k.AccNum = a.财务标识) as bank, "
    "(select total(nMoney) from BankAccount k where k.AccNum = a.财务标识) as banksum, "
    "(select count(*) from InvestMoney i where i.AccNum = a.财务标识) as inv "
    "from account a order by a.财务标识";

bool same(double a, double b) { return std::fabs(a - b) < 0.005; }

struct EntryRows {
    std::string number;
    std::string type;
    std::string category;
    double amount = 0;
    std::string bank;
    int pay = 0, got = 0, cash = 0, bankRows = 0, invest = 0;
    double cashSum = 0, bankSum = 0;
};

// What is wrong with one entry's rows, or "" when nothing is.
std::string problemOf(const EntryRows &e, bool investment)
{
    const bool inCash = e.bank == kCashAccount;
    auto movement = [&](double expected) -> std::string {
        if (inCash && !(e.cash == 1 && e.bankRows == 0 && same(e.cashSum, expected)))
            return "现金帐应有一行金额 " + db::numberToText(expected);
        if (!inCash && !(e.bankRows == 1 && e.cash == 0 && same(e.bankSum, expected)))
            return "银行帐应有一行金额 " + db::numberToText(expected);
        return {};
    };
    std::string problem;
    if (e.type == "付") {
        if (e.pay != 1)
            return "支出帐应有一行，实有 " + std::to_string(e.pay) + " 行";
        problem = movement(-e.amount);
        if (problem.empty() && investment && e.invest < 1)
            problem = "投资帐缺少投资开始的一行";
    } else if (e.type == "收" && db::trim(e.category) == kOpening) {
        // An opening balance: the income and the deposit, or the deposit and
        // the source's withdrawal.
        const double net = e.cashSum + e.bankSum;
        const int rows = e.cash + e.bankRows;
        if (!((e.got == 1 && rows == 1 && same(net, e.amount)) || (e.got == 0 && rows == 2 && same(net, 0))))
            problem = "初始化的收入帐、现金帐和银行帐行不完整";
    } else if (e.type == "收") {
        if (e.got != 1)
            return "收入帐应有一行，实有 " + std::to_string(e.got) + " 行";
        problem = movement(e.amount);
        if (problem.empty() && investment && e.invest < 1)
            problem = "投资帐缺少投资完成的一行";
    } else if (e.type == "存" || e.type == "取") {
        const double cashWay = e.type == "存" ? -e.amount : e.amount;
        if (!(e.cash == 1 && e.bankRows == 1 && same(e.cashSum, cashWay) && same(e.bankSum, -cashWay)))
            problem = "现金帐和银行帐应各有一行，金额相反";
    } else {
        problem = "类型无法识别";
    }
    return problem;
}

} // namespace

std::vector<std::string> checkBooks(db::Connection &c, const db::DateTime &today)
{
    std::vector<std::string> problems;
    {
        db::Query q = c.query("pragma integrity_check");
        while (q.next())
            if (q.field(0) != "ok")
                problems.push_back("数据库文件损坏: " + q.field(0));
    }

    std::map<std::string, bool> investmentCategories;
    std::vector<EntryRows> entries;
    {
        db::Query q = c.query(kEntryRows);
        while (q.next()) {
            EntryRows e;
            e.number = q.field("n");
            e.type = db::trim(q.field("t"));
            e.category = q.field("c");
            e.amount = db::leadingNumber(q.field("m"));
            e.bank = q.field("b");
            e.pay = std::stoi(q.field("pay"));
            e.got = std::stoi(q.field("got"));
            e.cash = std::stoi(q.field("cash"));
            e.cashSum = db::leadingNumber(q.field("cashsum"));
            e.bankRows = std::stoi(q.field("bank"));
            e.bankSum = db::leadingNumber(q.field("banksum"));
            e.invest = std::stoi(q.field("inv"));
            entries.push_back(std::move(e));
        }
    }
    for (const EntryRows &e : entries) {
        const std::string category = db::trim(e.category);
        auto it = investmentCategories.find(category);
        if (it == investmentCategories.end())
            it = investmentCategories.emplace(category, isInvestmentCategory(c, category)).first;
        const std::string problem = problemOf(e, it->second);
        if (!problem.empty())
            problems.push_back("编号 " + e.number + "（" + e.type + "）: " + problem);
    }

    for (const char *table : {"GetMoney", "PayMoney", "CashAccount", "BankAccount", "InvestMoney"}) {
        db::Query q = c.query(std::string("select AccNum from ") + table +
                              " where AccNum is null or AccNum not in (select 财务标识 from account)");
        while (q.next())
            problems.push_back(std::string(table) + " 中编号 " + (q.isNull("AccNum") ? "(空)" : q.field(0)) +
                               " 的行没有对应的明细帐记录");
    }

    for (const char *table : {"PayStyle", "GetStyle"}) {
        db::Query q = c.query(std::string("select Style, MidDate from ") + table + " order by Num");
        while (q.next()) {
            const std::string last = db::trim(q.field("MidDate"));
            if (last.empty())
                continue;
            const std::optional<db::DateTime> posted = db::parseDate(last);
            if (!posted)
                problems.push_back("固定收支项目 " + q.field("Style") + " 的上次记帐日期无法识别: " + last);
            else if (posted->startOfDay() > today.startOfDay())
                problems.push_back("固定收支项目 " + q.field("Style") + " 已经记帐到今天以后: " + last);
        }
    }
    return problems;
}

} // namespace ledger
