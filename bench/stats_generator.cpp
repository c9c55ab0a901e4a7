#include "stats_generator.h"

#include "db/connection.h"
#include "db/init_database.h"

#include <sqlite3.h>

#include <chrono>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <random>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include <unistd.h>

namespace bench {

namespace {

struct Node {
    int num;
    std::string name;
    int level;
    int parent;         // 0 under the root
    std::string fullId; // the path key
};

// Raised whenever the generated books change, so that an old file in the
// temporary folder is not taken for a new one.
constexpr int kGeneratorVersion = 2;

struct Household {
    std::vector<Node> expense;
    std::vector<Node> income;
};

std::string childKey(const Node &parent)
{
    char digits[8];
    std::snprintf(digits, sizeof digits, "%04d", parent.num);
    return parent.fullId + digits;
}

// widths: children per node at each level.
std::vector<Node> buildTree(const char *prefix, const std::vector<int> &widths)
{
    std::vector<Node> nodes;
    int next = 1;
    std::vector<Node> level = {Node{0, "", 0, 0, ""}};
    for (std::size_t depth = 0; depth < widths.size(); ++depth) {
        std::vector<Node> below;
        for (const Node &parent : level) {
            for (int i = 0; i < widths[depth]; ++i) {
                Node n;
                n.num = next++;
                n.name = std::string(prefix) + std::to_string(n.num);
                n.level = static_cast<int>(depth) + 1;
                n.parent = parent.num;
                n.fullId = parent.num == 0 ? "0000" : childKey(parent);
                below.push_back(n);
                nodes.push_back(n);
            }
        }
        level = below;
    }
    return nodes;
}

void insertTree(db::Connection &c, const char *table, const char *root, const std::vector<Node> &nodes)
{
    c.execute(std::string("DELETE FROM ") + table);
    for (const Node &n : nodes) {
        std::string parent = root;
        for (const Node &p : nodes)
            if (p.num == n.parent)
                parent = p.name;
        c.execute(std::string("INSERT INTO ") + table +
                  " (Num,Style,nLevel,FirstLevel,ParentStyle,FullID) VALUES (" + std::to_string(n.num) + ",'" +
                  n.name + "'," + std::to_string(n.level) + "," + std::to_string(n.parent) + ",'" + parent + "','" +
                  n.fullId + "')");
    }
}

class Statement {
public:
    Statement(sqlite3 *db, const char *sql)
    {
        if (sqlite3_prepare_v2(db, sql, -1, &m_statement, nullptr) != SQLITE_OK)
            throw std::runtime_error(sqlite3_errmsg(db));
    }
    ~Statement() { sqlite3_finalize(m_statement); }
    Statement &text(int i, const std::string &value)
    {
        sqlite3_bind_text(m_statement, i, value.c_str(), static_cast<int>(value.size()), SQLITE_TRANSIENT);
        return *this;
    }
    Statement &number(int i, double value)
    {
        sqlite3_bind_double(m_statement, i, value);
        return *this;
    }
    Statement &integer(int i, long long value)
    {
        sqlite3_bind_int64(m_statement, i, value);
        return *this;
    }
    void run()
    {
        if (sqlite3_step(m_statement) != SQLITE_DONE)
            throw std::runtime_error(sqlite3_errmsg(sqlite3_db_handle(m_statement)));
        sqlite3_reset(m_statement);
    }

private:
    sqlite3_stmt *m_statement = nullptr;
};

// Replaces the category trees of a fresh book by a household's: 60 expense
// and 20 income categories on three levels, and four banks beside the cash
// node, one of them below another.
Household createHouseholdTrees(db::Connection &c)
{
    db::Transaction transaction(c);
    Household household;
    household.expense = buildTree("支出", {6, 3, 2}); // 6 + 18 + 36 = 60
    household.income = buildTree("收入", {4, 2, 1});  // 4 + 8 + 8 = 20
    insertTree(c, "PayStyle", "支出类型", household.expense);
    insertTree(c, "GetStyle", "收入类型", household.income);
    c.execute("INSERT INTO Bank (Num,BankName,nLevel,FirstLevel,ParentBank,FullID) VALUES (2,'工商银行',1,0,'我的存款银行','0000')");
    c.execute("INSERT INTO Bank (Num,BankName,nLevel,FirstLevel,ParentBank,FullID) VALUES (3,'建设银行',1,0,'我的存款银行','0000')");
    c.execute("INSERT INTO Bank (Num,BankName,nLevel,FirstLevel,ParentBank,FullID) VALUES (4,'招商银行',1,0,'我的存款银行','0000')");
    c.execute("INSERT INTO Bank (Num,BankName,nLevel,FirstLevel,ParentBank,FullID) VALUES (5,'工行信用卡',2,2,'工商银行','00000002')");
    transaction.commit();
    return household;
}

} // namespace

void generateEntries(db::Connection &c, int count, const db::DateTime &lastDay)
{
    // Every book gets its own trees: the entries name their nodes.
    const Household household = createHouseholdTrees(c);
    sqlite3 *h = c.handle();
    Statement journal(h, "INSERT INTO account (财务标识,日期,收负类型,帐目类型,钱额,说明,经手人,银行) VALUES (?,?,?,?,?,'','管理员',?)");
    Statement expense(h, "INSERT INTO PayMoney (Num,DTime,PayStyle,nMoney,FromBank,Operator,AccNum) VALUES (?,?,?,?,?,'管理员',?)");
    Statement income(h, "INSERT INTO GetMoney (Num,DTime,MoneyFrom,nMoney,MoneyTo,Operator,AccNum) VALUES (?,?,?,?,?,'管理员',?)");
    Statement cash(h, "INSERT INTO CashAccount (Num,DTime,NStyle,nMoney,PayGet,Details,Operator,AccNum) VALUES (?,?,?,?,?,'','管理员',?)");
    Statement bank(h, "INSERT INTO BankAccount (Num,DTime,PayGet,NStyle,nMoney,Details,Operator,BankName,AccNum) VALUES (?,?,?,?,?,'','管理员',?,?)");

    std::mt19937 random(20070305);
    auto uniform = [&](double low, double high) { return std::uniform_real_distribution<double>(low, high)(random); };
    auto pick = [&](std::size_t n) { return std::uniform_int_distribution<std::size_t>(0, n - 1)(random); };
    const char *const banks[] = {"工商银行", "建设银行", "招商银行", "工行信用卡"};
    const auto last = lastDay.startOfDay().days();
    const long long days = 3650;
    const auto first = last - std::chrono::days(days - 1);

    db::Transaction transaction(c);
    for (int i = 0; i < count; ++i) {
        const long long number = i + 1;
        const auto day = first + std::chrono::days(static_cast<long long>(i) * days / count);
        const std::string when = db::formatDateTime(db::DateTime::fromDays(day, 7 + i % 14, i % 60));
        const double roll = uniform(0, 1);
        std::string type;
        std::string category;
        double amount = std::round(uniform(3, 300) * 100) / 100;
        if (roll < 0.85) {
            type = "付";
            // Mostly leaves, some inner nodes.
            const Node &n = household.expense[roll < 0.75 ? 24 + pick(36) : pick(24)];
            category = n.name;
        } else if (roll < 0.95) {
            type = "收";
            category = household.income[pick(household.income.size())].name;
            amount *= 20;
        } else if (roll < 0.975) {
            type = "存";
            category = "存钱";
        } else {
            type = "取";
            category = "取钱";
        }
        const bool inCash = (type == "付" && uniform(0, 1) < 0.6) || (type == "收" && uniform(0, 1) < 0.2);
        const std::string account = (type == "存" || type == "取" || !inCash) ? banks[pick(4)] : "现金银行";
        journal.integer(1, number).text(2, when).text(3, type + " ").text(4, category + " ").number(5, amount)
            .text(6, account).run();
        const bool out = type == "付" || type == "存";
        if (type == "付")
            expense.integer(1, number).text(2, when).text(3, category + " ").number(4, amount).text(5, account)
                .integer(6, number).run();
        if (type == "收")
            income.integer(1, number).text(2, when).text(3, category + " ").number(4, amount).text(5, account)
                .integer(6, number).run();
        if (type == "存" || type == "取" || account == "现金银行")
            cash.integer(1, number).text(2, when).text(3, category + " ").number(4, out ? -amount : amount)
                .text(5, type).integer(6, number).run();
        if (account != "现金银行")
            bank.integer(1, number).text(2, when).text(3, type + " ").text(4, category + " ")
                .number(5, (type == "付" || type == "取") ? -amount : amount).text(6, account).integer(7, number).run();
    }
    transaction.commit();
}

std::string statisticsBook(int count, const db::DateTime &lastDay)
{
    const std::size_t schema = std::hash<std::string_view>{}(db::kSchemaSql);
    char name[160];
    std::snprintf(name, sizeof name, "pennaro-bench-stats-%d-%s-v%d-%zx.mdb", count, db::formatDay(lastDay).c_str(),
                  kGeneratorVersion, schema);
    const std::filesystem::path path = std::filesystem::temp_directory_path() / name;
    if (std::filesystem::exists(path))
        return path.string();
    std::fprintf(stderr, "generating %d entries into %s\n", count, path.c_str());
    // Made under a name of its own and renamed when complete, so that an
    // interrupted run leaves no half-made book under the final name.
    const std::filesystem::path partial = path.string() + ".part" + std::to_string(::getpid());
    std::filesystem::remove(partial);
    {
        db::Connection c = db::createDatabase(partial.string());
        generateEntries(c, count, lastDay);
    }
    std::filesystem::rename(partial, path);
    return path.string();
}

} // namespace bench
