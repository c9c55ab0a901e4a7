#include "db/connection.h"
#include "db/schema_objects.h"
#include "support/temp_database.h"

#include <gtest/gtest.h>

using Check = db::Connection::Check;
using testing_support::TempDatabase;

namespace {

struct Planted {
    const char *name;
    // Statements that change the books as someone else's tool would.
    const char *sql;
    // The name the refusal must give, or "" when the books stay acceptable.
    const char *named;
};

void PrintTo(const Planted &p, std::ostream *out) { *out << p.name; }

// Runs statements on books with the schema trusted, as another program would.
void plant(const std::string &path, const std::string &sql)
{
    db::Connection other = db::Connection::openFile(path, Check::Nothing);
    other.execute("PRAGMA trusted_schema=ON");
    other.executeScript(sql);
}

} // namespace

class ForeignSchema : public ::testing::TestWithParam<Planted> {};

TEST_P(ForeignSchema, BooksAreRefusedAtOpenNamingWhatTheyCarry)
{
    TempDatabase t;
    plant(t.path(), GetParam().sql);
    const std::string named = GetParam().named;
    if (named.empty()) {
        EXPECT_NO_THROW(db::Connection::openFile(t.path()));
        return;
    }
    try {
        db::Connection::openFile(t.path());
        FAIL() << "opened";
    } catch (const db::UntrustedBookError &e) {
        EXPECT_NE(std::string(e.what()).find("“" + named + "”"), std::string::npos) << e.what();
        EXPECT_EQ(db::connectFailedText(e), e.what());
    }
    // The check command still looks at them, and lists the object.
    db::Connection looked = db::Connection::openFile(t.path(), Check::LedgerTables);
    const std::vector<db::SchemaObject> foreign = db::foreignSchemaObjects(looked);
    ASSERT_EQ(foreign.size(), 1u);
    EXPECT_EQ(foreign.front().name, named);
}

INSTANTIATE_TEST_SUITE_P(
    Books, ForeignSchema,
    ::testing::Values(
        Planted{"Trigger",
                "CREATE TRIGGER steal AFTER INSERT ON account BEGIN UPDATE SysAllUser SET SysPwd='x'; END", "steal"},
        Planted{"View", "CREATE VIEW everything AS SELECT * FROM account", "everything"},
        Planted{"IndexOnFormat", "CREATE INDEX by_day ON account (Format(日期,'yyyymmdd'))", "by_day"},
        Planted{"OwnIndexNameOnAnExpression",
                "DROP INDEX account_date; CREATE INDEX account_date ON account (Format(日期,'yyyymmdd'))",
                "account_date"},
        Planted{"PartialIndex", "CREATE INDEX big ON account (钱额) WHERE 钱额 > 1000", "big"},
        Planted{"PlainIndex", "CREATE INDEX by_note ON account (说明, 经手人 DESC)", ""},
        Planted{"UniqueKey", "CREATE TABLE notes (n TEXT UNIQUE)", "" /* an index the engine makes */}),
    [](const auto &info) { return std::string(info.param.name); });

TEST(ForeignSchema, NoFunctionOfTheProgramRunsFromTheSchemaAndLongListsStayShort)
{
    TempDatabase t;
    plant(t.path(), "CREATE TRIGGER stamp AFTER INSERT ON account BEGIN "
                    "UPDATE SysAllUser SET SysPwd=Format(new.日期,'yyyymmdd'); END");
    // Whether or not the catalogue was read on opening.
    for (Check check : {Check::LedgerTables, Check::Nothing}) {
        db::Connection looked = db::Connection::openFile(t.path(), check);
        EXPECT_THROW(looked.execute("insert into account (财务标识,日期) values (1,'2024/05/06 07:08')"), db::Error);
        EXPECT_EQ(looked.scalar("select SysPwd from SysAllUser", "SysPwd"), "");
    }

    EXPECT_EQ(db::connectFailedText(db::Error("x")), db::kConnectFailedMessage);
    std::vector<db::SchemaObject> many(50, db::SchemaObject{"trigger", std::string(500, 'x')});
    const std::string text = db::describeObjects(many);
    EXPECT_LT(text.size(), 400u);
    EXPECT_NE(text.find("50"), std::string::npos) << text;
}
