#include "app/recurring.h"
#include "db/connection.h"
#include "db/history.h"
#include "db/sql_log.h"
#include "ledger/consistency.h"
#include "ledger/entry_change.h"
#include "ledger/posting.h"
#include "setup/bank_details.h"
#include "setup/budgets.h"
#include "setup/recurring_settings.h"
#include "setup/tree_check.h"
#include "setup/tree_store.h"
#include "setup/users.h"
#include "support/temp_database.h"

#include <gtest/gtest.h>

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <filesystem>
#include <fstream>
#include <functional>
#include <optional>
#include <sstream>

namespace fs = std::filesystem;
using setup::TreeKind;
using testing_support::StatementLog;
using testing_support::TempDatabase;

namespace {

const db::DateTime kNow{2024, 5, 6, 9, 30, 0};

ledger::Entry entry(const std::string &number, const char *category = "午餐", const char *type = "付",
                    const char *amount = "35.5")
{
    return {number, "2024/05/06 12:30", type, category, amount, "午饭", "管理员", "现金银行", ""};
}

// The books as the stock shell dumps them, rowids kept, without the rows of
// the undo history itself.
std::string books(const std::string &path)
{
    std::istringstream in(testing_support::shellDump(path, ".dump --preserve-rowids"));
    std::string kept;
    for (std::string line; std::getline(in, line);)
        if (line.find("Undo") == std::string::npos)
            kept += line + "\n";
    return kept;
}

// What `pennaro-cli check` reports of the books.
std::vector<std::string> problems(db::Connection &c)
{
    std::vector<std::string> found = ledger::checkBooks(c, kNow);
    for (std::string &problem : setup::checkTrees(c))
        found.push_back(std::move(problem));
    return found;
}

db::Result postAll(db::Connection &c, std::initializer_list<ledger::Entry> entries)
{
    for (const ledger::Entry &e : entries)
        if (db::Result posted = ledger::postEntry(c, e); !posted)
            return posted;
    return db::Result::ok();
}

setup::RecurringForm rentForm()
{
    setup::RecurringForm form;
    form.unlocked = true;
    form.loaded = form.selected = "房租";
    form.fixed = form.autoPost = true;
    form.amount = "1500";
    form.dayNum = "1";
    form.selectType = "月";
    form.bank = "现金银行";
    form.begin = form.loadedBegin = db::DateTime{2024, 6, 1};
    form.end = db::DateTime{2025, 5, 31};
    return form;
}

setup::BankForm accountForm(const std::string &name)
{
    setup::BankForm form;
    form.unlocked = true;
    form.loaded = form.selected = name;
    form.accountType = "存折";
    form.openingBalance = "500";
    form.activeDate = kNow;
    return form;
}

using Step = std::function<db::Result(db::Connection &)>;

struct ActionCase {
    const char *name;
    Step prepare; // written before the action, itself recorded
    Step act;
    std::string label;
};

const Step kNothing = [](db::Connection &) { return db::Result::ok(); };

const ActionCase kCases[] = {
    {"NewEntry", kNothing, [](db::Connection &c) { return ledger::postEntry(c, entry("12")); }, "新增 #12 午餐 35.50"},
    {"NewInvestment", kNothing, [](db::Connection &c) { return ledger::postEntry(c, entry("7", "股票", "付", "1000")); },
     "新增 #7 股票 1000.00"},
    {"ChangedEntry", [](db::Connection &c) { return ledger::postEntry(c, entry("12")); },
     [](db::Connection &c) {
         ledger::Entry e = entry("12", "晚餐");
         e.amount = "40";
         return ledger::changeEntry(c, "12", e);
     },
     "修改 #12 晚餐 40.00"},
    {"DeletedEntry", [](db::Connection &c) { return postAll(c, {entry("12"), entry("13", "股票")}); },
     [](db::Connection &c) { return ledger::deleteEntry(c, "13"); }, "删除 #13"},
    {"AddedNode", kNothing, [](db::Connection &c) { return setup::addNode(c, TreeKind::Expense, "餐饮", "夜宵"); },
     "增加支出类型 夜宵"},
    {"DeletedBranch", kNothing, [](db::Connection &c) { return setup::deleteNode(c, TreeKind::Expense, "餐饮"); },
     "删除支出类型 餐饮"},
    {"MovedBranch", kNothing, [](db::Connection &c) { return setup::moveNode(c, TreeKind::Expense, "餐饮", "居住"); },
     "移动支出类型 餐饮"},
    {"RecurringSettings", kNothing,
     [](db::Connection &c) {
         return setup::saveRecurring(c, TreeKind::Expense, rentForm(), [](const std::string &) { return true; });
     },
     "保存固定收支 房租"},
    {"BudgetPlan", [](db::Connection &c) { return setup::setBudget(c, "交通", {"300", ""}); },
     [](db::Connection &c) {
         return setup::savePlan(c, {{"餐饮", {"2000", "500"}}, {"交通", {"", ""}}});
     },
     "保存预算"},
    {"OpeningBalance", [](db::Connection &c) { return setup::addNode(c, TreeKind::Bank, "我的存款银行", "招商银行"); },
     [](db::Connection &c) { return setup::saveBankDetails(c, accountForm("招商银行")); },
     "保存银行 招商银行 初始金额 #1 500.00"},
    {"AddedUser", kNothing,
     [](db::Connection &c) {
         setup::User user{"张三", "pw'1", "会计"};
         return setup::addUser(c, user);
     },
     "增加用户 张三"},
    {"DeletedUser",
     [](db::Connection &c) {
         setup::User user{"张三", "pw", ""};
         return setup::addUser(c, user);
     },
     [](db::Connection &c) { return setup::deleteUser(c, "张三", "管理员"); }, "删除用户 张三"},
    {"RecurringPosting",
     [](db::Connection &c) {
         c.execute("update PayStyle set EveryPay=TRUE,IsAuto=TRUE,PMoney=100,DayNum=1,SelectType='天',"
                   "BeginDate='2024/05/01 ',EndDate='2024/12/31 ',MidDate=' ',BankName='现金银行' where Style='房租'");
         return db::Result::ok();
     },
     [](db::Connection &c) {
         const app::RecurringRun run = app::postAllRecurring(c, kNow);
         return run.failures.empty() && run.posted == 6 ? db::Result::ok() : db::Result::refused("posting failed");
     },
     "自动记帐固定收支 6 笔"},
    // An import wraps its postings in an action of its own; a posting it
    // takes back inside (an investment finished without its amount) leaves
    // nothing in the history.
    {"Import", [](db::Connection &c) { return ledger::postEntry(c, entry("5")); },
     [](db::Connection &c) {
         db::Transaction import(c, "导入账单 alipay.csv");
         if (!ledger::postEntry(c, entry("12")))
             return db::Result::refused("first posting");
         if (ledger::postEntry(c, entry("13", "股票", "收")))
             return db::Result::refused("the refused posting went through");
         if (!ledger::postEntry(c, entry("14", "工资", "收", "8000")))
             return db::Result::refused("last posting");
         import.commit();
         return db::Result::ok();
     },
     "导入账单 alipay.csv"},
};

void PrintTo(const ActionCase &action, std::ostream *out) { *out << action.name; }

class EachAction : public ::testing::TestWithParam<ActionCase> {};

} // namespace

// Every kind of action is taken back to the books as they were, done again
// to the books it made, and taken back again after a restart.
TEST_P(EachAction, IsUndoneAndRedoneAfterARestartToo)
{
    const ActionCase &action = GetParam();
    TempDatabase t;
    ASSERT_TRUE(action.prepare(t.connection()));
    const std::string before = books(t.path());
    ASSERT_TRUE(problems(t.connection()).empty());

    const db::Result done = action.act(t.connection());
    ASSERT_TRUE(done) << done.message;
    const std::string after = books(t.path());
    ASSERT_NE(after, before);
    EXPECT_EQ(db::nextSteps(t.connection()).undo, action.label);

    const db::StepResult undone = db::undoLast(t.connection());
    ASSERT_TRUE(undone) << undone.message;
    EXPECT_EQ(undone.label, action.label);
    EXPECT_EQ(books(t.path()), before);
    EXPECT_EQ(problems(t.connection()), std::vector<std::string>());
    EXPECT_EQ(db::nextSteps(t.connection()).redo, action.label);

    const db::StepResult redone = db::redoNext(t.connection());
    ASSERT_TRUE(redone) << redone.message;
    EXPECT_EQ(books(t.path()), after);

    // The program closes and starts again.
    t.connection() = db::Connection();
    t.connection() = db::Connection::openFile(t.path());
    ASSERT_TRUE(db::undoLast(t.connection()));
    EXPECT_EQ(books(t.path()), before);
}

INSTANTIATE_TEST_SUITE_P(Kinds, EachAction, ::testing::ValuesIn(kCases),
                         [](const auto &info) { return std::string(info.param.name); });

// Undo and redo send ordinary statements, which the log shows; the
// history's bookkeeping is marked as such.
TEST(History, TheLogShowsWhatUndoAndRedoSend)
{
    TempDatabase t;
    auto &c = t.connection();
    ASSERT_TRUE(ledger::postEntry(c, entry("12")));
    StatementLog log;
    ASSERT_TRUE(db::undoLast(c));
    EXPECT_EQ(log.statements(), (std::vector<std::string>{"DELETE FROM \"CashAccount\" WHERE rowid=1",
                                                          "DELETE FROM \"PayMoney\" WHERE rowid=1",
                                                          "DELETE FROM \"account\" WHERE rowid=1"}));
    log.clear();
    ASSERT_TRUE(db::redoNext(c));
    const std::vector<std::string> redo = log.statements();
    ASSERT_EQ(redo.size(), 3u);
    EXPECT_EQ(redo[2], "INSERT INTO \"account\" (rowid,\"财务标识\",\"日期\",\"收负类型\",\"帐目类型\",\"钱额\",\"说明\","
                       "\"经手人\",\"银行\") VALUES (1,12,'2024/05/06 12:30','付 ','午餐 ',35.5,'午饭','管理员','现金银行')");
}

// An action whose rows were changed since (by another program here) is not
// taken back: nothing is written and it stays the next to undo.
TEST(History, ARowChangedSinceRefusesUndoAndRedo)
{
    TempDatabase t;
    auto &c = t.connection();
    ASSERT_TRUE(postAll(c, {entry("12"), entry("13")}));
    db::Connection other = db::Connection::openFile(t.path());
    other.execute("update account set 说明='改过' where 财务标识=13");
    const std::string before = books(t.path());
    StatementLog log;
    const db::StepResult refused = db::undoLast(c);
    EXPECT_FALSE(refused);
    EXPECT_EQ(refused.message,
              "不能撤销“新增 #13 午餐 35.50”：它写过的记录后来又被改动了（也许是另一个程序）。帐本没有改动。");
    EXPECT_TRUE(log.statements().empty());
    EXPECT_EQ(books(t.path()), before);
    EXPECT_EQ(db::nextSteps(c).undo, "新增 #13 午餐 35.50");

    // A row put where an undone one stood keeps it from coming back.
    other.execute("delete from account where 财务标识=13");
    ASSERT_TRUE(ledger::postEntry(c, entry("14")));
    ASSERT_TRUE(db::undoLast(c));
    other.execute("INSERT INTO account (财务标识, 日期) VALUES (99,'2024/05/07 08:00')");
    const std::string taken = books(t.path());
    EXPECT_FALSE(db::redoNext(c));
    EXPECT_EQ(books(t.path()), taken);

    // So does another row that took the undone entry's number.
    other.execute("delete from account where 财务标识=99");
    other.execute("INSERT INTO account (rowid, 财务标识, 日期) VALUES (1000, 14, '2024/05/07 08:00')");
    const std::string numbered = books(t.path());
    const db::StepResult again = db::redoNext(c);
    EXPECT_EQ(again.message.rfind("不能重做“新增 #14 ", 0), 0u) << again.message;
    EXPECT_EQ(books(t.path()), numbered);
}

// The books keep the newest actions only, and a new action ends what could
// be redone.
TEST(History, KeepsTheNewestActionsAndANewOneEndsRedo)
{
    TempDatabase t;
    auto &c = t.connection();
    c.execute("PRAGMA synchronous=OFF");
    for (int n = 1; n <= db::kKeptActions + 5; ++n)
        ASSERT_TRUE(ledger::postEntry(c, entry(std::to_string(n))));
    const std::vector<db::HistoryAction> kept = db::listHistory(c);
    ASSERT_EQ(kept.size(), std::size_t(db::kKeptActions));
    EXPECT_EQ(kept.front().label, "新增 #205 午餐 35.50");
    EXPECT_EQ(kept.back().label, "新增 #6 午餐 35.50");
    EXPECT_EQ(t.value("select count(distinct Action) from UndoChange"), std::to_string(db::kKeptActions));

    ASSERT_TRUE(db::undoLast(c));
    ASSERT_TRUE(db::undoLast(c));
    EXPECT_EQ(db::nextSteps(c).redo, "新增 #204 午餐 35.50");
    ASSERT_TRUE(ledger::postEntry(c, entry("300")));
    EXPECT_FALSE(db::nextSteps(c).redo);
    EXPECT_TRUE(db::redoNext(c).refusedWith(db::kMsgNothingToRedo));
    EXPECT_EQ(db::listHistory(c).size(), std::size_t(db::kKeptActions - 1));
}

namespace {

// Takes back the newest action in a child process that logs its statements
// into `log`. With a size for the log, the child is killed (SIGXFSZ) the
// moment it writes the log past it: after one statement has run, before the
// next one is sent. Returns whether it was killed so.
bool undoInChild(const std::string &path, const fs::path &log, std::optional<std::uintmax_t> killAtLogSize)
{
    const pid_t child = ::fork();
    if (child == 0) {
        ::setenv("PENNARO_SQL_LOG", log.c_str(), 1);
        if (killAtLogSize) {
            const rlimit noCore{0, 0};
            ::setrlimit(RLIMIT_CORE, &noCore);
            const rlimit size{*killAtLogSize, *killAtLogSize};
            ::setrlimit(RLIMIT_FSIZE, &size);
        }
        try {
            db::Connection c = db::Connection::openFile(path);
            // Pages reach the file before the commit: a kill leaves a
            // journal that must be played back.
            c.execute("PRAGMA cache_size=2");
            db::undoLast(c);
        } catch (...) {
        }
        // Something to write after the COMMIT, where the last kill falls.
        db::logStatement("-- done");
        ::_exit(0);
    }
    int status = 0;
    ::waitpid(child, &status, 0);
    return WIFSIGNALED(status) && WTERMSIG(status) == SIGXFSZ;
}

std::string readText(const fs::path &path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

} // namespace

// An undo is one transaction: killed after any of its statements, the books
// afterwards hold the action, whole, until its COMMIT went through, and its
// undoing, whole, after that; the history agrees.
TEST(History, AKillDuringAnUndoLeavesEitherStateWhole)
{
    TempDatabase t;
    auto &c = t.connection();
    {
        db::Transaction import(c, "导入账单 many.csv");
        for (int n = 1; n <= 40; ++n)
            ASSERT_TRUE(ledger::postEntry(c, entry(std::to_string(n))));
        import.commit();
    }
    const std::string done = books(t.path());
    const std::string work = (t.folder() / "work.mdb").string();
    const fs::path log = t.folder() / "statements.log";
    auto freshCopy = [&] {
        fs::remove(work + "-journal");
        fs::copy_file(t.path(), work, fs::copy_options::overwrite_existing);
    };

    // Where in the log each statement of the undo ends.
    freshCopy();
    ASSERT_FALSE(undoInChild(work, log, std::nullopt));
    const std::string undone = books(work);
    ASSERT_NE(undone, done);
    const std::string text = readText(log);
    std::vector<std::uintmax_t> ends;
    for (std::size_t at = text.find("BEGIN IMMEDIATE\n"); at < text.size(); at = text.find('\n', at) + 1)
        ends.push_back(text.find('\n', at) + 1);
    ASSERT_GT(ends.size(), 100u);
    ASSERT_EQ(text.substr(text.size() - 15), "COMMIT\n-- done\n");
    ends.pop_back();

    // A log far larger than the books: only its writes reach the limit.
    constexpr std::uintmax_t kLogStart = 64u << 20;
    const std::size_t count = ends.size();
    for (std::size_t killAfter : {std::size_t{1}, std::size_t{2}, count / 4, count / 2, count - 1, count}) {
        SCOPED_TRACE(killAfter);
        freshCopy();
        fs::resize_file(log, kLogStart);
        ASSERT_TRUE(undoInChild(work, log, kLogStart + ends[killAfter - 1]));
        if (killAfter >= count / 4 && killAfter < count)
            EXPECT_GT(fs::file_size(work + "-journal"), 0u);
        const std::string state = books(work);
        EXPECT_EQ(state, killAfter < count ? done : undone);
        db::Connection reopened = db::Connection::openFile(work);
        EXPECT_EQ(db::listHistory(reopened).front().undone, killAfter == count);
        EXPECT_TRUE(problems(reopened).empty());
    }
}
