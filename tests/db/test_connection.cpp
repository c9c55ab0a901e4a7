#include "db/backup.h"
#include "db/connection.h"
#include "db/text.h"
#include "support/temp_database.h"

#include <gtest/gtest.h>

#include <chrono>
#include <fstream>
#include <thread>

using testing_support::StatementLog;
using testing_support::TempDatabase;
using testing_support::WorkingDirectory;

TEST(Connection, ValuesReadAsText)
{
    TempDatabase t;
    auto &c = t.connection();
    c.execute("insert into account (财务标识,日期,钱额,说明) values (1,'2007/03/05 12:30',100,NULL),(2,'x',35.5,'a')");
    db::Query q = c.query("select 财务标识 as n, 日期, 钱额, 说明 from account order by 财务标识");
    ASSERT_TRUE(q.next());
    EXPECT_EQ(q.field("n"), "1");
    EXPECT_EQ(q.field("日期"), "2007/03/05 12:30");
    EXPECT_EQ(q.field("钱额"), "100");
    EXPECT_EQ(q.field("说明"), "");
    EXPECT_TRUE(q.isNull("说明"));
    EXPECT_EQ(q.field("N"), "1"); // names match without regard to case
    ASSERT_TRUE(q.next());
    EXPECT_EQ(q.field("钱额"), "35.5");
    EXPECT_FALSE(q.next());
    EXPECT_FALSE(q.next());
    EXPECT_EQ(c.scalar("select sum(钱额)+0.1+0.2-0.3 as s from account", "s"), "135.5");
    EXPECT_EQ(c.scalar("select 0.1+0.2 as s", "s"), "0.3");
    EXPECT_THROW(c.query("select 1 as a").field("b"), db::Error);
}

TEST(Connection, EmptyJournalGivesNullNextNumber)
{
    TempDatabase t;
    db::Query q = t.connection().query("select max(财务标识)+1 as num from account ");
    ASSERT_TRUE(q.next());
    EXPECT_TRUE(q.isNull("num"));
    EXPECT_EQ(q.field("num"), "");
    EXPECT_EQ(t.connection().scalar("SELECT  iif((max(Num)+1) is null ,1,max(Num)+1)\t as nMax FROM Bank ", "nMax"), "2");
}

TEST(Connection, QuotedValuesRoundTripAndRawQuotesFail)
{
    TempDatabase t;
    auto &c = t.connection();
    const std::string tricky = "O'Brien's 'lunch'";
    c.execute("insert into account (财务标识,说明) values (1,'" + db::quote(tricky) + "')");
    EXPECT_EQ(t.value("select 说明 from account"), tricky);
    EXPECT_EQ(t.value("select count(*) from account where 说明 ='" + db::quote(tricky) + "'"), "1");
    EXPECT_THROW(c.execute("insert into account (财务标识,说明) values (2,'" + tricky + "')"), db::Error);
    EXPECT_EQ(t.count("account"), 1);
}

TEST(Connection, ErrorsCarryTheEngineMessage)
{
    TempDatabase t;
    try {
        t.connection().execute("insert into nosuch values (1)");
        FAIL() << "no error";
    } catch (const db::Error &e) {
        EXPECT_STREQ(e.what(), "no such table: nosuch");
    }
    // The connection goes on working after a failure.
    EXPECT_EQ(t.value("select 1"), "1");
    // A write to books opened read-only is told in words first.
    db::Connection reading = db::Connection::openFile(t.path(), db::Connection::Check::Book,
                                                      db::Connection::Access::ReadOnly);
    try {
        reading.execute("delete from account");
        FAIL() << "no error";
    } catch (const db::Error &e) {
        EXPECT_EQ(std::string(e.what()).rfind("帐本文件不能写入", 0), 0u) << e.what();
    }
}

TEST(Connection, TransactionRollsBackUnlessCommitted)
{
    TempDatabase t;
    auto &c = t.connection();
    {
        db::Transaction tr(c);
        c.execute("insert into account (财务标识) values (1)");
    }
    EXPECT_EQ(t.count("account"), 0);
    try {
        db::Transaction tr(c);
        c.execute("insert into account (财务标识) values (1)");
        c.execute("insert into account (财务标识) values (1)"); // unique key
        tr.commit();
    } catch (const db::Error &) {
    }
    EXPECT_EQ(t.count("account"), 0);
    {
        db::Transaction outer(c);
        c.execute("insert into account (财务标识) values (1)");
        {
            db::Transaction inner(c);
            c.execute("insert into account (财务标识) values (2)");
        } // inner rolled back alone
        {
            db::Transaction inner(c);
            c.execute("insert into account (财务标识) values (3)");
            inner.commit();
        }
        outer.commit();
    }
    EXPECT_EQ(t.column("select 财务标识 from account order by 1"), (std::vector<std::string>{"1", "3"}));
}

TEST(Connection, OpeningNeverCreatesAFile)
{
    auto folder = testing_support::makeTempFolder();
    {
        WorkingDirectory cd(folder);
        EXPECT_THROW(db::Connection(db::kConnectionString), db::Error);
        EXPECT_FALSE(std::filesystem::exists(folder / "account.mdb"));
        // A file that is not a ledger database is refused, whatever it is.
        std::ofstream("account.mdb") << "";
        EXPECT_THROW(db::Connection(db::kConnectionString), db::Error);
        std::filesystem::remove("account.mdb");
        std::ofstream("account.mdb") << "not a database at all, just some text to fill a page";
        EXPECT_THROW(db::Connection(db::kConnectionString), db::Error);
    }
    std::filesystem::remove_all(folder);

    TempDatabase t;
    t.connection().execute("drop table InvestMoney");
    try {
        db::Connection::openFile(t.path());
        FAIL() << "opened without InvestMoney";
    } catch (const db::Error &e) {
        EXPECT_NE(std::string(e.what()).find("InvestMoney"), std::string::npos);
    }
}

TEST(Connection, ConnectionStringResolvesInTheWorkingDirectory)
{
    EXPECT_EQ(db::dataSourceOf(db::kConnectionString), "account.mdb");
    EXPECT_EQ(db::dataSourceOf("a=1; data source = x.db ;b=2"), "x.db");
    EXPECT_EQ(db::dataSourceOf("Provider=x"), "");
    TempDatabase t;
    WorkingDirectory cd(t.folder());
    db::Connection c(db::kConnectionString);
    EXPECT_EQ(c.scalar("select SysUserName from SysAllUser", "SysUserName"), "管理员");
}

TEST(Connection, ChosenBookStandsForTheDataSource)
{
    TempDatabase t;
    const auto elsewhere = testing_support::makeTempFolder();
    {
        WorkingDirectory cd(elsewhere);
        db::setBookFile(t.path());
        EXPECT_EQ(db::Connection(db::kConnectionString).path(), t.path());
        EXPECT_EQ(db::bookFileOf(db::kConnectionString), t.path());
        db::setBookFile("");
        EXPECT_THROW(db::Connection(db::kConnectionString), db::Error);
    }
    std::filesystem::remove_all(elsewhere);
}

TEST(Connection, StatementLogWritesEachStatementOnOneLine)
{
    TempDatabase t;
    StatementLog log;
    t.connection().execute("select 1 as a,\n\t2 as b");
    t.connection().scalar("select max(财务标识)+1 as num from account ", "num");
    EXPECT_EQ(log.statements(),
              (std::vector<std::string>{"select 1 as a,\\n\\t2 as b", "select max(财务标识)+1 as num from account "}));
}

TEST(Connection, OneStatementATimeWhateverTheText)
{
    TempDatabase t;
    auto &c = t.connection();
    // A number that broke out of its place cannot run a statement of its own.
    EXPECT_THROW(c.execute("insert into account (财务标识) values (1);DELETE FROM SysAllUser"), db::Error);
    EXPECT_THROW(c.execute("insert into account (财务标识) values (2); -- and the rest"), db::Error);
    EXPECT_THROW(c.query("select 1; delete from SysAllUser"), db::Error);
    EXPECT_THROW(c.execute(""), db::Error);
    EXPECT_THROW(c.execute("   "), db::Error);
    EXPECT_EQ(t.count("account"), 0);
    EXPECT_EQ(t.count("SysAllUser"), 1);
    // Blanks and a closing semicolon after the statement are harmless.
    c.execute("insert into account (财务标识) values (3) ;  \n");
    EXPECT_EQ(t.count("account"), 1);
    c.executeScript("insert into account (财务标识) values (4); insert into account (财务标识) values (5)");
    EXPECT_EQ(t.count("account"), 3);
}

TEST(Connection, ASecondWriterWaitsInsteadOfFailing)
{
    TempDatabase t;
    db::Connection other = db::Connection::openFile(t.path());
    other.execute("BEGIN IMMEDIATE");
    other.execute("insert into account (财务标识) values (1)");
    std::thread release([&other] {
        std::this_thread::sleep_for(std::chrono::milliseconds(300));
        other.execute("COMMIT");
    });
    auto &c = t.connection();
    // An action that reads before it writes, as the posting of an item does.
    EXPECT_NO_THROW({
        db::Transaction transaction(c);
        const std::string next = c.scalar("select max(财务标识)+1 as num from account ", "num");
        c.execute("insert into account (财务标识) values (" + next + ")");
        transaction.commit();
    });
    release.join();
    EXPECT_EQ(t.column("select 财务标识 from account order by 1"), (std::vector<std::string>{"1", "2"}));
}

TEST(Connection, OpeningReadsTheCatalogueOnceAndTheLogIsPrivate)
{
    TempDatabase t;
    const auto folder = testing_support::makeTempFolder();
    const auto file = folder / "private.log";
    setenv("PENNARO_SQL_LOG", file.c_str(), 1);
    db::Connection c = db::Connection::openFile(t.path());
    unsetenv("PENNARO_SQL_LOG");
    std::ifstream in(file);
    std::vector<std::string> lines;
    for (std::string line; std::getline(in, line);)
        lines.push_back(line);
    EXPECT_EQ(lines.size(), 1u);
    EXPECT_EQ(std::filesystem::status(file).permissions() & std::filesystem::perms::all,
              std::filesystem::perms::owner_read | std::filesystem::perms::owner_write);
    std::filesystem::remove_all(folder);
}

TEST(Connection, BackupCopiesThePagesStepByStep)
{
    TempDatabase t;
    t.connection().execute("insert into account (财务标识,说明) "
                           "with recursive n(i) as (select 1 union all select i+1 from n where i<200) "
                           "select i, printf('%.300c', 'x') from n");
    const auto copy = t.folder() / "copy.mdb";
    std::ofstream(copy).close();
    db::Connection destination = db::Connection::openFile(copy.string(), db::Connection::Check::Nothing);
    {
        db::Backup backup(destination, t.connection());
        EXPECT_FALSE(backup.step(1));
        EXPECT_GT(backup.pageCount(), 10);
        EXPECT_EQ(backup.remaining(), backup.pageCount() - 1);
        int steps = 1;
        while (!backup.step(1))
            ++steps;
        EXPECT_EQ(steps + 1, backup.pageCount());
    }
    EXPECT_EQ(destination.scalar("select count(*) as n from account", "n"), "200");
}
