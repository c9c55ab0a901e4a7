#include "app/new_book.h"
#include "db/connection.h"
#include "support/temp_database.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <fstream>

namespace fs = std::filesystem;

namespace {

const db::DateTime kNow{2026, 12, 8, 9, 30};

struct NewBookCase {
    const char *name;
    const char *place; // below the test folder; "" for none
    const char *password;
    const char *again;
    bool demo;
    const char *refusal; // the message, or nullptr when the book is made
};

void PrintTo(const NewBookCase &c, std::ostream *out) { *out << c.name; }

class NewBook : public testing::TestWithParam<NewBookCase> {};

unsigned modeOf(const fs::path &path)
{
    struct stat info {};
    ::stat(path.c_str(), &info);
    return info.st_mode & 0777;
}

} // namespace

TEST_P(NewBook, MadeOrRefused)
{
    const NewBookCase &c = GetParam();
    const fs::path root = testing_support::makeTempFolder();
    const fs::path taken = root / "taken.mdb";
    std::ofstream(taken) << "someone's file";
    const std::string place = *c.place ? (root / c.place).string() : "";

    const db::Result result = app::createBook({place, c.password, c.again, c.demo}, kNow);
    if (c.refusal) {
        std::string expected = c.refusal;
        if (const auto at = expected.find("%1"); at != std::string::npos)
            expected.replace(at, 2, place);
        EXPECT_TRUE(result.refusedWith(expected)) << result.message;
        // Nothing was made beside the file that was there.
        EXPECT_EQ(std::distance(fs::directory_iterator(root), fs::directory_iterator()), 1);
    } else {
        ASSERT_TRUE(result) << result.message;
        EXPECT_EQ(modeOf(place), 0600u);
        EXPECT_EQ(modeOf(fs::path(place).parent_path()), 0700u);
        db::Connection book = db::Connection::openFile(place);
        EXPECT_EQ(book.scalar("select SysPwd from SysAllUser where SysUserName='管理员'", "SysPwd"), c.password);
        const int entries = std::stoi(book.scalar("select count(*) as n from account", "n"));
        EXPECT_EQ(entries > 0, c.demo);
        if (c.demo) {
            EXPECT_EQ(book.scalar("select max(日期) as d from account", "d").substr(0, 10), "2026/12/08");
        }
    }
    std::ifstream in(taken);
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), {}), "someone's file");
    fs::remove_all(root);
}

INSTANTIATE_TEST_SUITE_P(
    Books, NewBook,
    testing::Values(NewBookCase{"CategoriesOnly", "data/pennaro/account.mdb", "pw", "pw", false, nullptr},
                    NewBookCase{"WithDemoEntries", "家/帐本.mdb", "", "", true, nullptr},
                    NewBookCase{"PasswordsDiffer", "a.mdb", "pw", "pW", false, app::kMsgPasswordsDiffer},
                    NewBookCase{"NoPlace", "", "", "", false, app::kMsgNoBookPlace},
                    NewBookCase{"NeverOverAFile", "taken.mdb", "", "", false, app::kMsgBookExists}),
    [](const testing::TestParamInfo<NewBookCase> &info) { return info.param.name; });
