#include "db/sql_log.h"

#include <fcntl.h>
#include <unistd.h>

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
    // The log holds every value sent, passwords among them: only its owner
    // may read it.
    const int fd = ::open(path, O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0600);
    if (fd < 0)
        return;
    const char *data = line.data();
    std::size_t left = line.size();
    while (left > 0) {
        const ssize_t n = ::write(fd, data, left);
        if (n <= 0)
            break;
        data += n;
        left -= static_cast<std::size_t>(n);
    }
    ::close(fd);
}

} // namespace db
