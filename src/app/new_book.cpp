#include "app/new_book.h"

#include "db/connection.h"
#include "db/file_paths.h"
#include "db/init_database.h"
#include "ledger/demo_entries.h"

#include <filesystem>

namespace app {

db::Result createBook(const NewBook &book, const db::DateTime &now)
{
    if (book.path.empty())
        return db::Result::refused(kMsgNoBookPlace);
    if (book.password != book.passwordAgain)
        return db::Result::refused(kMsgPasswordsDiffer);
    std::error_code ec;
    if (std::filesystem::exists(std::filesystem::symlink_status(book.path, ec))) {
        std::string message = kMsgBookExists;
        return db::Result::refused(message.replace(message.find("%1"), 2, book.path));
    }
    if (const std::string failure = db::createFoldersFor(book.path); !failure.empty())
        throw db::Error("无法创建文件夹 " + failure);
    db::InitFill fill;
    if (book.demo)
        fill = [&now](db::Connection &c) { ledger::addDemoEntries(c, now); };
    db::createDatabase(book.path, {book.password}, fill);
    return db::Result::ok();
}

} // namespace app
