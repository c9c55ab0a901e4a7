#include "db/init_database.h"

#include "db/connection.h"
#include "db/text.h"

#include <sqlite3.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <vector>

namespace db {

namespace {

struct Node {
    int num;
    const char *name;
    int parent; // 0 for a child of the root
};

// Expense categories. "投资" must be number 68 at the first level: every
// category below it is an investment type.
const std::vector<Node> kPayStyles = {
    {1, "餐饮", 0},     {2, "交通", 0},     {3, "居住", 0},     {4, "日用品", 0},   {5, "医疗", 0},
    {6, "教育", 0},     {7, "娱乐", 0},     {8, "通讯", 0},     {9, "早餐", 1},     {10, "午餐", 1},
    {11, "晚餐", 1},    {12, "公交地铁", 2}, {13, "打车", 2},    {14, "房租", 3},    {15, "水电燃气", 3},
    {68, "投资", 0},    {69, "股票", 68},   {70, "基金", 68},   {71, "债券", 68},
};

// Income categories; the investment children bear the expense names, so that
// an investment started under 股票 finishes under 股票.
const std::vector<Node> kGetStyles = {
    {1, "工资", 0}, {2, "奖金", 0}, {3, "利息", 0}, {4, "其他收入", 0},
    {68, "投资", 0}, {69, "股票", 68}, {70, "基金", 68}, {71, "债券", 68},
};

const std::vector<Node> kBanks = {
    {1, "现金银行", 0},
};

std::string fullIdOf(const std::vector<Node> &nodes, const Node &node)
{
    if (node.parent == 0)
        return "0000";
    for (const Node &candidate : nodes) {
        if (candidate.num == node.parent) {
            char digits[8];
            std::snprintf(digits, sizeof digits, "%04d", candidate.num);
            return fullIdOf(nodes, candidate) + digits;
        }
    }
    return "0000";
}

int levelOf(const std::vector<Node> &nodes, const Node &node)
{
    if (node.parent == 0)
        return 1;
    for (const Node &candidate : nodes)
        if (candidate.num == node.parent)
            return levelOf(nodes, candidate) + 1;
    return 1;
}

const char *parentName(const std::vector<Node> &nodes, const Node &node, const char *root)
{
    for (const Node &candidate : nodes)
        if (candidate.num == node.parent)
            return candidate.name;
    return root;
}

void insertTree(Connection &c, const std::vector<Node> &nodes, const std::string &table, const std::string &nameColumn,
                const std::string &parentColumn, const char *root, const std::string &extraColumns,
                const std::string &extraValues)
{
    for (const Node &node : nodes) {
        c.execute("INSERT INTO " + table + " (Num," + nameColumn + ",nLevel,FirstLevel," + parentColumn + ",FullID" +
                  extraColumns + ") VALUES (" + std::to_string(node.num) + ",'" + quote(node.name) + "'," +
                  std::to_string(levelOf(nodes, node)) + "," + std::to_string(node.parent) + ",'" +
                  quote(parentName(nodes, node, root)) + "','" + fullIdOf(nodes, node) + "'" + extraValues + ")");
    }
}

// Creates the file exclusively with mode 0600, so an existing file is never
// touched and nobody else can read the family's records.
void createEmptyFile(const std::string &path)
{
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL, 0600);
    if (fd < 0) {
        if (errno == EEXIST)
            throw Error("refusing to overwrite the existing file " + path);
        throw Error("cannot create " + path + ": " + std::strerror(errno));
    }
    ::close(fd);
}

} // namespace

Connection createDatabase(const std::string &path, const InitOptions &options)
{
    createEmptyFile(path);
    try {
        sqlite3 *raw = nullptr;
        int rc = sqlite3_open_v2(path.c_str(), &raw, SQLITE_OPEN_READWRITE, nullptr);
        if (rc != SQLITE_OK) {
            std::string message = raw ? sqlite3_errmsg(raw) : "cannot open " + path;
            sqlite3_close_v2(raw);
            throw Error(message);
        }
        char *error = nullptr;
        rc = sqlite3_exec(raw, (std::string("BEGIN;") + kSchemaSql + ";COMMIT;").c_str(), nullptr, nullptr, &error);
        std::string message = error ? error : "";
        sqlite3_free(error);
        sqlite3_close_v2(raw);
        if (rc != SQLITE_OK)
            throw Error("schema: " + message);

        Connection c = Connection::openFile(path);
        Transaction transaction(c);
        insertTree(c, kPayStyles, "PayStyle", "Style", "ParentStyle", "支出类型", ",EveryPay,IsAuto,MidDate",
                   ",FALSE,FALSE,' '");
        insertTree(c, kGetStyles, "GetStyle", "Style", "ParentStyle", "收入类型", ",EveryGet,IsAuto,MidDate",
                   ",FALSE,FALSE,' '");
        insertTree(c, kBanks, "Bank", "BankName", "ParentBank", "我的存款银行", ",AccTypeID,SumMoney", ",'现金',0");
        c.execute("INSERT INTO SysAllUser (SysUserName,SysPwd,Details) VALUES ('管理员','" +
                  quote(options.adminPassword) + "','系统管理员')");
        transaction.commit();
        return c;
    } catch (...) {
        std::remove(path.c_str());
        throw;
    }
}

} // namespace db
