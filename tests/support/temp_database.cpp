#include "support/temp_database.h"

#include "db/history_rows.h"
#include "db/init_database.h"

#include <sys/stat.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <stdexcept>

namespace testing_support {

std::filesystem::path makeTempFolder()
{
    std::string pattern = (std::filesystem::temp_directory_path() / "pennaro-test-XXXXXX").string();
    if (!mkdtemp(pattern.data()))
        throw std::runtime_error("mkdtemp failed");
    return pattern;
}

TempDatabase::TempDatabase(const std::string &adminPassword)
    : m_folder(makeTempFolder()), m_connection(db::createDatabase((m_folder / "account.mdb").string(), {adminPassword}))
{
}

TempDatabase::~TempDatabase()
{
    std::error_code ec;
    std::filesystem::remove_all(m_folder, ec);
}

std::vector<std::string> TempDatabase::column(const std::string &sql, const std::string &name)
{
    std::vector<std::string> values;
    db::Query q = m_connection.query(sql);
    while (q.next())
        values.push_back(name.empty() ? q.field(0) : q.field(name));
    return values;
}

std::string TempDatabase::value(const std::string &sql)
{
    db::Query q = m_connection.query(sql);
    return q.next() ? q.field(0) : std::string();
}

int TempDatabase::count(const std::string &table)
{
    return std::stoi(value("select count(*) from " + table));
}

StatementLog::StatementLog() : m_file(makeTempFolder() / "sql.log")
{
    setenv("PENNARO_SQL_LOG", m_file.c_str(), 1);
}

StatementLog::~StatementLog()
{
    unsetenv("PENNARO_SQL_LOG");
    std::error_code ec;
    std::filesystem::remove_all(m_file.parent_path(), ec);
}

std::vector<std::string> StatementLog::statements() const
{
    std::vector<std::string> lines;
    std::ifstream in(m_file);
    std::string line;
    while (std::getline(in, line)) {
        if (line == "BEGIN" || line == "BEGIN IMMEDIATE" || line == "COMMIT" || line == "ROLLBACK" || line.rfind("SAVEPOINT ", 0) == 0 ||
            line.rfind("RELEASE ", 0) == 0 || line.rfind("ROLLBACK TO ", 0) == 0 ||
            line.rfind(db::history::kMark, 0) == 0)
            continue;
        lines.push_back(line);
    }
    return lines;
}

void StatementLog::clear()
{
    std::ofstream(m_file, std::ios::trunc);
}

unsigned modeOf(const std::filesystem::path &path)
{
    struct stat info {};
    ::stat(path.c_str(), &info);
    return info.st_mode & 0777;
}

std::vector<std::string> namesIn(const std::filesystem::path &folder)
{
    std::vector<std::string> names;
    for (const auto &entry : std::filesystem::directory_iterator(folder))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

std::string shellDump(const std::filesystem::path &path, const std::string &command)
{
    const std::string shell = "sqlite3 '" + path.string() + "' '" + command + "' 2>&1";
    std::string text;
    if (FILE *pipe = popen(shell.c_str(), "r")) {
        char buffer[4096];
        std::size_t got;
        while ((got = fread(buffer, 1, sizeof buffer, pipe)) > 0)
            text.append(buffer, got);
        pclose(pipe);
    }
    return text;
}

WorkingDirectory::WorkingDirectory(const std::filesystem::path &folder) : m_previous(std::filesystem::current_path())
{
    std::filesystem::current_path(folder);
}

WorkingDirectory::~WorkingDirectory()
{
    std::error_code ec;
    std::filesystem::current_path(m_previous, ec);
}

} // namespace testing_support
