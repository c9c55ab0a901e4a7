#include "app/login.h"
#include "app/password.h"
#include "support/temp_database.h"

#include <gtest/gtest.h>

using testing_support::StatementLog;
using testing_support::TempDatabase;

struct PasswordCase {
    const char *oldPassword;
    const char *newPassword;
    const char *repeat;
    const char *message; // "" when changed
};

void PrintTo(const PasswordCase &c, std::ostream *out)
{
    *out << c.oldPassword << '|' << c.newPassword << '|' << c.repeat;
}

class PasswordChange : public ::testing::TestWithParam<PasswordCase> {};

TEST_P(PasswordChange, ChecksTheOldPasswordExactlyAndTheRepetition)
{
    TempDatabase t("Secret");
    const PasswordCase c = GetParam();
    const db::Result result = app::changePassword(t.connection(), "管理员", c.oldPassword, c.newPassword, c.repeat);
    const std::string stored = t.value("select SysPwd from SysAllUser where SysUserName='管理员'");
    if (*c.message) {
        EXPECT_TRUE(result.refusedWith(c.message)) << result.message;
        EXPECT_EQ(stored, "Secret");
    } else {
        EXPECT_TRUE(result) << result.message;
        EXPECT_EQ(stored, c.repeat);
        EXPECT_TRUE(app::checkLogin(t.connection(), "管理员", c.repeat).accepted);
        EXPECT_FALSE(app::checkLogin(t.connection(), "管理员", "Secret").accepted);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, PasswordChange,
    ::testing::Values(PasswordCase{"Secret", "new", "new", ""}, PasswordCase{"Secret", "", "", ""},
                      PasswordCase{"Secret", "it's", "it's", ""},
                      PasswordCase{"secret", "new", "new", app::kMsgOldPasswordWrong},
                      PasswordCase{"Secret ", "new", "new", app::kMsgOldPasswordWrong},
                      PasswordCase{"", "new", "new", app::kMsgOldPasswordWrong},
                      PasswordCase{"Secret", "new", "New", app::kMsgRepeatDiffers},
                      PasswordCase{"Secret", "new", "new ", app::kMsgRepeatDiffers}));

TEST(PasswordChange, SendsTheStatementsWithQuotesDoubled)
{
    TempDatabase t;
    t.connection().execute("insert into SysAllUser values ('O''Neil','a','')");
    StatementLog log;
    EXPECT_TRUE(app::changePassword(t.connection(), "O'Neil", "a", "b'c", "b'c"));
    EXPECT_EQ(log.statements(),
              (std::vector<std::string>{"SELECT SysPwd,SysUserName FROM SysAllUser where SysUserName ='O''Neil'",
                                        "update SysAllUser set SysPwd ='b''c' where  SysUserName ='O''Neil'"}));
}

TEST(PasswordChange, AUserWithoutARowIsNotReportedAsChanged)
{
    TempDatabase t;
    // No row: the stored password reads as empty, so an empty old one matches,
    // but nothing is updated.
    for (const char *name : {"", "nobody"}) {
        const db::Result result = app::changePassword(t.connection(), name, "", "x", "x");
        EXPECT_FALSE(result);
        EXPECT_NE(result.message.find("密码没有更改"), std::string::npos) << result.message;
        EXPECT_NE(result.message.find(name), std::string::npos);
    }
    EXPECT_EQ(t.value("select count(*) from SysAllUser where SysPwd='x'"), "0");
}
