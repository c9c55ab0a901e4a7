#include "db/init_database.h"

#include "db/connection.h"
#include "db/feature_schema.h"
#include "db/file_paths.h"
#include "db/text.h"

#include <sqlite3.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
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

// The partly written file of the named fallback, for removePartialDatabase.
char g_partialPath[4096] = {};

void writeAll(int fd, const unsigned char *data, std::size_t size, const std::string &path)
{
    while (size > 0) {
        const ssize_t n = ::write(fd, data, size);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            throw Error("无法写入 " + path + ": " + systemErrorText(errno));
        data += n;
        size -= static_cast<std::size_t>(n);
    }
}

// Puts the bytes of a complete database at path in one step, never replacing
// a file that is there: an unnamed file in the target folder is written,
// synced and then linked in. Where the file system has no unnamed files, a
// hidden file beside the target is renamed into place without replacing.
void publish(const std::string &path, const std::vector<unsigned char> &bytes)
{
    const std::filesystem::path target(path);
    const std::string folder = target.has_parent_path() ? target.parent_path().string() : std::string(".");
    int fd = ::open(folder.c_str(), O_TMPFILE | O_RDWR | O_CLOEXEC, 0600);
    std::string named;
    if (fd < 0) {
        named = (std::filesystem::path(folder) / ("." + target.filename().string() + ".partial-XXXXXX")).string();
        if (named.size() >= sizeof g_partialPath)
            throw Error("路径太长: " + path);
        std::vector<char> pattern(named.begin(), named.end());
        pattern.push_back('\0');
        fd = ::mkstemp(pattern.data());
        if (fd < 0)
            throw Error("无法创建 " + path + ": " + systemErrorText(errno));
        named = pattern.data();
        std::memcpy(g_partialPath, named.c_str(), named.size() + 1);
        ::fchmod(fd, 0600);
    }
    auto cleanUp = [&] {
        ::close(fd);
        if (!named.empty()) {
            ::unlink(named.c_str());
            g_partialPath[0] = '\0';
        }
    };
    try {
        writeAll(fd, bytes.data(), bytes.size(), path);
        if (::fsync(fd) != 0)
            throw Error("无法写入 " + path + ": " + systemErrorText(errno));
        int rc;
        if (named.empty()) {
            const std::string self = "/proc/self/fd/" + std::to_string(fd);
            rc = ::linkat(AT_FDCWD, self.c_str(), AT_FDCWD, path.c_str(), AT_SYMLINK_FOLLOW);
        } else {
            rc = ::renameat2(AT_FDCWD, named.c_str(), AT_FDCWD, path.c_str(), RENAME_NOREPLACE);
            if (rc != 0 && errno == EINVAL) { // no such rename here: link, which never replaces either
                rc = ::link(named.c_str(), path.c_str());
            }
        }
        if (rc != 0) {
            if (errno == EEXIST)
                throw Error("文件已经存在，不会覆盖: " + path);
            throw Error("无法创建 " + path + ": " + systemErrorText(errno));
        }
    } catch (...) {
        cleanUp();
        throw;
    }
    cleanUp();
    syncFolder(folder);
}

std::vector<unsigned char> imageOf(sqlite3 *handle)
{
    sqlite3_int64 size = 0;
    unsigned char *data = sqlite3_serialize(handle, "main", &size, 0);
    if (!data)
        throw Error("无法生成数据库文件");
    std::vector<unsigned char> bytes(data, data + size);
    sqlite3_free(data);
    return bytes;
}

} // namespace

void removePartialDatabase() noexcept
{
    if (g_partialPath[0])
        ::unlink(g_partialPath);
}

Connection createDatabase(const std::string &path, const InitOptions &options, const InitFill &fill)
{
    std::error_code ec;
    if (std::filesystem::exists(path, ec))
        throw Error("文件已经存在，不会覆盖: " + path);
    std::vector<unsigned char> bytes;
    {
        Connection c = Connection::createInMemory(kSchemaSql);
        c.executeScript(kFeatureSchemaSql);
        Transaction transaction(c);
        insertTree(c, kPayStyles, "PayStyle", "Style", "ParentStyle", "支出类型", ",EveryPay,IsAuto,MidDate",
                   ",FALSE,FALSE,' '");
        insertTree(c, kGetStyles, "GetStyle", "Style", "ParentStyle", "收入类型", ",EveryGet,IsAuto,MidDate",
                   ",FALSE,FALSE,' '");
        insertTree(c, kBanks, "Bank", "BankName", "ParentBank", "我的存款银行", ",AccTypeID,SumMoney", ",'现金',0");
        c.execute("INSERT INTO SysAllUser (SysUserName,SysPwd,Details) VALUES ('管理员','" +
                  quote(options.adminPassword) + "','系统管理员')");
        transaction.commit();
        if (fill)
            fill(c);
        bytes = imageOf(c.handle());
    }
    publish(path, bytes);
    return Connection::openFile(path);
}

void copyDatabase(sqlite3 *source, const std::string &path)
{
    std::error_code ec;
    if (std::filesystem::exists(path, ec))
        throw Error("文件已经存在，不会覆盖: " + path);
    publish(path, imageOf(source));
}

} // namespace db
