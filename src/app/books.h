#pragma once

#include <string>
#include <vector>

namespace app {

// How many books the first menu lists.
inline constexpr std::size_t kRecentBookCount = 4;

// The places the program looks for its book, in this order.
struct BookPlaces {
    std::string argument;      // the file named on the command line, "" when none
    std::string workingFolder; // the folder the program was started in
    std::string lastBook;      // the book opened last, "" when none
    std::string userBook;      // the user's own book (userBookPath)
};

enum class BookSource { Argument, WorkingFolder, LastBook, UserBook, None };

struct BookChoice {
    BookSource source = BookSource::None;
    std::string path;    // the book to open, absolute; "" with None
    std::string newBook; // with None: where a new book is offered
};

// The book named on the command line, else account.mdb in the working
// folder, else the book opened last, else the user's own book, whichever
// exists first. A file named on the command line that does not exist yet is
// where the new book of a first run is offered; otherwise the user's book is.
BookChoice chooseBook(const BookPlaces &places);

// $XDG_DATA_HOME/pennaro/account.mdb, by default ~/.local/share/pennaro/account.mdb.
std::string userBookPath();
// $XDG_CONFIG_HOME/pennaro/pennaro.conf, by default ~/.config/pennaro/pennaro.conf.
std::string userSettingsPath();

// A place for another new book: wanted when no file is there, else the
// first free of NAME-2.EXT, NAME-3.EXT, ... beside it.
std::string freeBookPath(const std::string &wanted);

// The list of books opened last, newest first, after opening path: path
// first, each book once, at most kRecentBookCount.
std::vector<std::string> withRecentBook(const std::vector<std::string> &recent, const std::string &path);

} // namespace app
