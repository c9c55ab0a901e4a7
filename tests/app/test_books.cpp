#include "app/books.h"
#include "support/temp_database.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>

namespace fs = std::filesystem;

namespace {

// Which of the places hold a file, and what is chosen.
struct ChoiceCase {
    const char *name;
    const char *argument; // relative to the working folder, or absolute below the root
    bool argumentExists;
    bool workingBook;
    bool lastBook;
    bool userBook;
    app::BookSource source;
    const char *chosen;  // below the root folder, "" when none
    const char *offered; // where a new book is offered with None
};

const ChoiceCase kChoiceCases[] = {
    {"ArgumentFirst", "books/2027.mdb", true, true, true, true, app::BookSource::Argument, "work/books/2027.mdb", ""},
    {"ArgumentAbsolute", "/other/b.mdb", true, true, true, true, app::BookSource::Argument, "other/b.mdb", ""},
    {"MissingArgumentOffersItsPlace", "new.mdb", false, true, true, true, app::BookSource::None, "", "work/new.mdb"},
    {"WorkingFolder", "", false, true, true, true, app::BookSource::WorkingFolder, "work/account.mdb", ""},
    {"LastBook", "", false, false, true, true, app::BookSource::LastBook, "last/old.mdb", ""},
    {"UserBook", "", false, false, false, true, app::BookSource::UserBook, "data/pennaro/account.mdb", ""},
    {"NoneOffersTheUserBook", "", false, false, false, false, app::BookSource::None, "", "data/pennaro/account.mdb"},
};

void PrintTo(const ChoiceCase &c, std::ostream *out) { *out << c.name; }

class BookChoice : public testing::TestWithParam<ChoiceCase> {};

void touch(const fs::path &file)
{
    fs::create_directories(file.parent_path());
    std::ofstream(file) << "x";
}

} // namespace

TEST_P(BookChoice, FirstPlaceThatHoldsABook)
{
    const ChoiceCase &c = GetParam();
    const fs::path root = testing_support::makeTempFolder();
    const fs::path work = root / "work";
    fs::create_directories(work);
    std::string argument = c.argument;
    if (!argument.empty() && argument[0] == '/')
        argument = (root / argument.substr(1)).string();
    if (c.argumentExists)
        touch(work / argument);
    if (c.workingBook)
        touch(work / "account.mdb");
    if (c.lastBook)
        touch(root / "last/old.mdb");
    if (c.userBook)
        touch(root / "data/pennaro/account.mdb");

    const app::BookChoice choice = app::chooseBook(
        {argument, work.string(), (root / "last/old.mdb").string(), (root / "data/pennaro/account.mdb").string()});
    EXPECT_EQ(choice.source, c.source);
    EXPECT_EQ(choice.path, *c.chosen ? (root / c.chosen).string() : "");
    EXPECT_EQ(choice.newBook, *c.offered ? (root / c.offered).string() : "");
    fs::remove_all(root);
}

INSTANTIATE_TEST_SUITE_P(Places, BookChoice, testing::ValuesIn(kChoiceCases),
                         [](const testing::TestParamInfo<ChoiceCase> &info) { return info.param.name; });

TEST(Books, RecentListKeepsFourNewestFirstEachOnce)
{
    using List = std::vector<std::string>;
    EXPECT_EQ(app::withRecentBook({}, "/a"), (List{"/a"}));
    EXPECT_EQ(app::withRecentBook({"/a", "/b", "/c", "/d"}, "/e"), (List{"/e", "/a", "/b", "/c"}));
    EXPECT_EQ(app::withRecentBook({"/a", "/b", "/c", "/d"}, "/c"), (List{"/c", "/a", "/b", "/d"}));
    EXPECT_EQ(app::withRecentBook({"/a", "", "/a", "/b"}, "/b"), (List{"/b", "/a"}));
}

TEST(Books, FreePlaceForAnotherNewBook)
{
    const fs::path root = testing_support::makeTempFolder();
    const std::string wanted = (root / "account.mdb").string();
    EXPECT_EQ(app::freeBookPath(wanted), wanted);
    touch(wanted);
    touch(root / "account-2.mdb");
    EXPECT_EQ(app::freeBookPath(wanted), (root / "account-3.mdb").string());
    fs::remove_all(root);
}

TEST(Books, UserFoldersFollowXdgVariables)
{
    const char *data = std::getenv("XDG_DATA_HOME");
    const char *config = std::getenv("XDG_CONFIG_HOME");
    const char *home = std::getenv("HOME");
    const std::string saved[] = {data ? data : "", config ? config : "", home ? home : ""};
    setenv("HOME", "/home/u", 1);
    setenv("XDG_DATA_HOME", "/x/data", 1);
    setenv("XDG_CONFIG_HOME", "/x/config", 1);
    EXPECT_EQ(app::userBookPath(), "/x/data/pennaro/account.mdb");
    EXPECT_EQ(app::userSettingsPath(), "/x/config/pennaro/pennaro.conf");
    // Unset, empty or relative: the defaults under home.
    unsetenv("XDG_DATA_HOME");
    setenv("XDG_CONFIG_HOME", "relative", 1);
    EXPECT_EQ(app::userBookPath(), "/home/u/.local/share/pennaro/account.mdb");
    EXPECT_EQ(app::userSettingsPath(), "/home/u/.config/pennaro/pennaro.conf");
    setenv("XDG_DATA_HOME", "", 1);
    EXPECT_EQ(app::userBookPath(), "/home/u/.local/share/pennaro/account.mdb");
    const char *names[] = {"XDG_DATA_HOME", "XDG_CONFIG_HOME", "HOME"};
    for (int i = 0; i < 3; ++i) {
        if (saved[i].empty())
            unsetenv(names[i]);
        else
            setenv(names[i], saved[i].c_str(), 1);
    }
}
