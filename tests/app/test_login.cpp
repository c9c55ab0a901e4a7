#include "app/login.h"
#include "support/temp_database.h"

#include <gtest/gtest.h>

#include <algorithm>

using testing_support::StatementLog;
using testing_support::TempDatabase;

TEST(Login, PasswordComparisonIsExact)
{
    TempDatabase t("Secret");
    auto &c = t.connection();
    EXPECT_TRUE(app::checkLogin(c, "管理员", "Secret").accepted);
    EXPECT_FALSE(app::checkLogin(c, "管理员", "secret").accepted);
    EXPECT_FALSE(app::checkLogin(c, "管理员", "Secret ").accepted);
    EXPECT_FALSE(app::checkLogin(c, "管理员", "").accepted);
}

TEST(Login, EmptyPasswordAndUnknownUsers)
{
    TempDatabase t;
    auto &c = t.connection();
    auto ok = app::checkLogin(c, "管理员", "");
    EXPECT_TRUE(ok.accepted);
    EXPECT_EQ(ok.userName, "管理员");
    EXPECT_FALSE(app::checkLogin(c, "管理员", " ").accepted);
    // A name that is not a user is refused even with an empty password.
    EXPECT_FALSE(app::checkLogin(c, "陌生人", "").accepted);
    EXPECT_FALSE(app::checkLogin(c, "", "").accepted);
    // A quote in the typed name is a plain character, not part of the statement.
    EXPECT_FALSE(app::checkLogin(c, "x' or '1'='1", "").accepted);
    // A trailing blank on the name still finds the user; the stored name is kept.
    auto blank = app::checkLogin(c, "管理员 ", "");
    EXPECT_TRUE(blank.accepted);
    EXPECT_EQ(blank.userName, "管理员");
}

TEST(Login, StatementsAndUserList)
{
    TempDatabase t;
    auto &c = t.connection();
    c.execute("insert into SysAllUser (SysUserName,SysPwd) values ('bob','1'),('alice','2')");
    StatementLog log;
    auto names = app::loginUserNames(c);
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, (std::vector<std::string>{"alice", "bob", "管理员"}));
    app::checkLogin(c, "bob", "1");
    EXPECT_EQ(log.statements(), (std::vector<std::string>{"SELECT SysUserName FROM SysAllUser  ",
                                                         "SELECT SysPwd,SysUserName FROM SysAllUser  where SysUserName ='bob'"}));
}
