#include "setup/users.h"
#include "support/temp_database.h"

#include <gtest/gtest.h>

using testing_support::StatementLog;
using testing_support::TempDatabase;

namespace {
void addRow(TempDatabase &t, const char *name, const char *password, const char *details)
{
    t.connection().execute(std::string("insert into SysAllUser values ('") + name + "','" + password + "','" +
                           details + "')");
}
} // namespace

TEST(Users, ListLeavesOutTheAdministratorAndFindShowsOneUser)
{
    TempDatabase t("secret");
    addRow(t, "张三", "pw1", "会计");
    addRow(t, "李四", "", "");
    StatementLog log;
    const std::vector<setup::User> users = setup::listUsers(t.connection());
    ASSERT_EQ(users.size(), 2u);
    EXPECT_EQ(users[0].name, "张三");
    EXPECT_EQ(users[0].details, "会计");
    EXPECT_EQ(users[1].name, "李四");
    const setup::User found = setup::findUser(t.connection(), "张三");
    EXPECT_EQ(found.password, "pw1");
    EXPECT_EQ(setup::findUser(t.connection(), "王五").name, "");
    EXPECT_EQ(log.statements(), (std::vector<std::string>{
                                    "select * from SysAllUser where SysUserName <>  '管理员' ",
                                    "select * from SysAllUser where SysUserName = '张三' ",
                                    "select * from SysAllUser where SysUserName = '王五' "}));
}

TEST(Users, AddTrimsTheNameOnlyAndRefusesEmptyOrExistingNames)
{
    TempDatabase t;
    StatementLog log;
    setup::User user{"  O'Brien \t", " p'w ", " 说明 "};
    EXPECT_TRUE(setup::addUser(t.connection(), user));
    EXPECT_EQ(user.name, "O'Brien");
    EXPECT_EQ(log.statements(),
              (std::vector<std::string>{"select * from SysAllUser where SysUserName ='O''Brien' ",
                                        "INSERT INTO SysAllUser(SysUserName,SysPwd,Details)  VALUES ( "
                                        "'O''Brien',' p''w ',' 说明 ')"}));
    EXPECT_EQ(t.value("select SysPwd || '|' || Details from SysAllUser where SysUserName='O''Brien'"),
              " p'w | 说明 ");

    setup::User blank{"   ", "x", "y"};
    EXPECT_TRUE(setup::addUser(t.connection(), blank).refusedWith(setup::kMsgNameEmpty));
    // An existing name, the administrator's too, changes nothing and says nothing.
    for (const char *name : {"O'Brien", " 管理员"}) {
        setup::User again{name, "other", "other"};
        const db::Result result = setup::addUser(t.connection(), again);
        EXPECT_FALSE(result);
        EXPECT_EQ(result.message, "");
    }
    EXPECT_EQ(t.count("SysAllUser"), 2);
    EXPECT_EQ(t.value("select SysPwd from SysAllUser where SysUserName='O''Brien'"), " p'w ");
    EXPECT_EQ(t.value("select SysPwd from SysAllUser where SysUserName='管理员'"), "");
}

struct DeleteCase {
    const char *name;
    const char *message; // "" when the user is deleted
};

void PrintTo(const DeleteCase &c, std::ostream *out) { *out << '"' << c.name << '"'; }

class UserDeletion : public ::testing::TestWithParam<DeleteCase> {};

TEST_P(UserDeletion, RefusesTheAdministratorNoNameAndTheLoggedInUser)
{
    TempDatabase t;
    addRow(t, "张三", "", "");
    addRow(t, "李四", "", "");
    const DeleteCase c = GetParam();
    const db::Result result = setup::deleteUser(t.connection(), c.name, "李四");
    if (*c.message) {
        EXPECT_TRUE(result.refusedWith(c.message)) << result.message;
        EXPECT_EQ(t.count("SysAllUser"), 3);
    } else {
        EXPECT_TRUE(result);
        EXPECT_EQ(t.count("SysAllUser"), 2);
        EXPECT_EQ(t.value("select count(*) from SysAllUser where SysUserName='张三'"), "0");
    }
}

INSTANTIATE_TEST_SUITE_P(Cases, UserDeletion,
                         ::testing::Values(DeleteCase{"张三", ""}, DeleteCase{" 张三 ", ""},
                                           DeleteCase{"管理员", setup::kMsgAdministratorKept},
                                           DeleteCase{"  管理员 ", setup::kMsgAdministratorKept},
                                           DeleteCase{"", setup::kMsgChooseUser},
                                           DeleteCase{"  ", setup::kMsgChooseUser},
                                           DeleteCase{"李四", setup::kMsgUserLoggedIn},
                                           DeleteCase{" 李四", setup::kMsgUserLoggedIn}));

TEST(Users, DeletingKeepsTheHandlerOfEntriesAndSendsThePartStatement)
{
    TempDatabase t;
    addRow(t, "O''Hara", "", "");
    t.connection().execute("insert into account values (1,'2007/03/05 12:30','付','午餐',5,'','O''Hara','现金银行')");
    StatementLog log;
    EXPECT_TRUE(setup::deleteUser(t.connection(), "O'Hara", "管理员"));
    EXPECT_EQ(log.statements(),
              (std::vector<std::string>{"delete from SysAllUser where SysUserName = 'O''Hara' "}));
    EXPECT_EQ(t.value("select 经手人 from account"), "O'Hara");
}
