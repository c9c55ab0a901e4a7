#include "db/sql_log.h"

#include <cstdio>
#include <cstdlib>
#include <string>

namespace db {

void logStatement(std::string_view sql)
{
    // Read each time so that tests can point it at a file of their own.
    const char *path = std::getenv("PENNARO_SQL_LOG");
    if (!path || !*path)
        return;
    std::string line;
    line.reserve(sql.size() + 1);
    for (char c : sql) {
        if (c == '\t')
            line += "\\t";
        else if (c == '\n')
            line += "\\n";
        else
            line += c;
    }
    line += '\n';
    if (std::FILE *file = std::fopen(path, "a")) {
        std::fwrite(line.data(), 1, line.size(), file);
        std::fclose(file);
    }
}

} // namespace db
