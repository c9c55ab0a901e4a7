#include "setup/detail_rules.h"
#include "setup/recurring_settings.h"
#include "support/temp_database.h"

#include <gtest/gtest.h>

using db::DateTime;
using setup::TreeKind;
using testing_support::StatementLog;
using testing_support::TempDatabase;

namespace {

const DateTime kNow{2026, 12, 7, 14, 30, 0};

// 房租 loaded into the panel and unlocked, every field valid.
setup::RecurringForm validForm(const std::string &name = "房租")
{
    setup::RecurringForm form;
    form.unlocked = true;
    form.loaded = name;
    form.selected = name;
    form.fixed = true;
    form.autoPost = true;
    form.amount = "1500";
    form.dayNum = "1";
    form.selectType = "月";
    form.bank = "工商银行";
    form.begin = DateTime{2026, 1, 5};
    form.end = DateTime{2027, 12, 31};
    form.loadedBegin = form.begin;
    return form;
}

std::string rowOf(TempDatabase &t, const std::string &table, const std::string &name)
{
    return t.value("select coalesce(EveryPay,'') || '|' || coalesce(IsAuto,'') || '|' || coalesce(PMoney,'') || '|' || "
                   "coalesce(DayNum,'') || '|' || coalesce(SelectType,'') || '|' || coalesce(BeginDate,'') || '|' || "
                   "coalesce(EndDate,'') || '|' || coalesce(MidDate,'') || '|' || coalesce(BankName,'') from " +
                   table + " where Style='" + name + "'");
}

// A question that records what was asked and answers as told.
struct Answers {
    bool yes = true;
    std::vector<std::string> asked;
    setup::Question question()
    {
        return [this](const std::string &text) {
            asked.push_back(text);
            return yes;
        };
    }
};

} // namespace

TEST(RecurringSettings, LoadReadsTheRowAndFallsBackToNow)
{
    TempDatabase t;
    auto &c = t.connection();
    c.execute("update GetStyle set EveryGet=TRUE, IsAuto=NULL, GMoney=15.5, DayNum=3, SelectType='月', "
              "BeginDate='2026/01/05 ', EndDate='', MidDate='2026/11/05 00:00', BankName='建设银行' where Style='利息'");
    StatementLog log;
    const auto item = setup::loadRecurring(c, TreeKind::Income, "利息", kNow);
    ASSERT_TRUE(item);
    EXPECT_EQ(log.statements(), std::vector<std::string>{"SELECT *  FROM GetStyle  where  Style = '利息'"});
    EXPECT_TRUE(item->fixed);
    EXPECT_TRUE(item->autoPost); // a null flag reads as set
    EXPECT_EQ(item->amount, "15.5");
    EXPECT_EQ(item->dayNum, "3");
    EXPECT_EQ(item->selectType, "月");
    EXPECT_EQ(item->bankName, "建设银行");
    EXPECT_EQ(item->begin, (DateTime{2026, 1, 5}));
    EXPECT_EQ(item->endText, "");
    EXPECT_EQ(item->end, kNow);
    EXPECT_EQ(item->midText, "2026/11/05 00:00");
    EXPECT_EQ(item->mid, (DateTime{2026, 11, 5}));

    // The defaults of a new tree: flags false, progress a single space.
    const auto plain = setup::loadRecurring(c, TreeKind::Expense, "房租", kNow);
    ASSERT_TRUE(plain);
    EXPECT_FALSE(plain->fixed);
    EXPECT_FALSE(plain->autoPost);
    EXPECT_EQ(plain->midText, " ");
    EXPECT_EQ(plain->begin, kNow);
    log.clear();
    EXPECT_FALSE(setup::loadRecurring(c, TreeKind::Expense, "O'Neil", kNow));
    EXPECT_EQ(log.statements(), std::vector<std::string>{"SELECT *  FROM PayStyle  where  Style = 'O''Neil'"});
}

TEST(RecurringSettings, SaveWritesTheUpdateOfItsSide)
{
    TempDatabase t;
    auto &c = t.connection();
    c.execute("update PayStyle set MidDate=NULL where Style='房租'");
    StatementLog log;
    Answers answers;
    setup::RecurringForm form = validForm();
    form.begin = DateTime{2026, 2, 1}; // changed, but the item never posted: no question
    form.bank = "O'Hara银行";
    ASSERT_TRUE(setup::saveRecurring(c, TreeKind::Expense, form, answers.question()).done);
    EXPECT_TRUE(answers.asked.empty());
    EXPECT_EQ(log.statements(),
              (std::vector<std::string>{
                  "select count(*) as n from PayStyle where Style = '房租'",
                  "update PayStyle set  EveryPay= TRUE,IsAuto=TRUE,PMoney=1500,DayNum=1,SelectType='月',"
                  "BeginDate='2026/02/01 ',BankName='O''Hara银行',EndDate='2027/12/31 '  where Style='房租'"}));
    EXPECT_EQ(rowOf(t, "PayStyle", "房租"), "1|1|1500.0|1|月|2026/02/01 |2027/12/31 ||O'Hara银行");

    // Both boxes clear is accepted too; blanks around the numbers are dropped.
    log.clear();
    setup::RecurringForm income = validForm("工资");
    income.fixed = false;
    income.autoPost = false;
    income.amount = " 8000.25 ";
    income.dayNum = "2 ";
    ASSERT_TRUE(setup::saveRecurring(c, TreeKind::Income, income, answers.question()).done);
    EXPECT_EQ(log.statements().back(),
              "update GetStyle set  EveryGet= FALSE,IsAuto=FALSE,GMoney=8000.25,DayNum=2,SelectType='月',"
              "BeginDate='2026/01/05 ',BankName='工商银行',EndDate='2027/12/31 '  where Style='工资'");
}

// Each case spoils one value of a valid form; the save is refused with the
// message and writes nothing.
struct Refusal {
    const char *name;
    std::function<void(setup::RecurringForm &)> spoil;
    const char *message;
};

class RecurringRefusals : public testing::TestWithParam<Refusal> {};

TEST_P(RecurringRefusals, NothingIsWritten)
{
    TempDatabase t;
    auto &c = t.connection();
    c.execute("update PayStyle set MidDate='2026/11/05 00:00' where Style='房租'");
    const std::string before = rowOf(t, "PayStyle", "房租");
    setup::RecurringForm form = validForm();
    // A changed start date on an item that posted: the question is answered
    // Yes before the later checks refuse, and still nothing is written.
    form.loadedMid = "2026/11/05 00:00";
    form.loadedBegin = DateTime{2025, 1, 1};
    GetParam().spoil(form);
    Answers answers;
    const db::Result result = setup::saveRecurring(c, TreeKind::Expense, form, answers.question());
    EXPECT_TRUE(result.refusedWith(GetParam().message)) << result.message;
    EXPECT_EQ(rowOf(t, "PayStyle", "房租"), before);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, RecurringRefusals,
    testing::Values(
        Refusal{"Locked", [](auto &f) { f.unlocked = false; }, setup::kMsgPressModify},
        Refusal{"NothingLoaded", [](auto &f) { f.loaded.clear(); }, setup::kMsgLoadFirst},
        Refusal{"OtherNodeSelected", [](auto &f) { f.selected = "水电燃气"; }, setup::kMsgLoadFirst},
        Refusal{"NothingSelected", [](auto &f) { f.selected.clear(); }, setup::kMsgLoadFirst},
        Refusal{"Root", [](auto &f) { f.loaded = f.selected = "支出类型"; }, setup::kMsgChooseCategory},
        Refusal{"RowGone", [](auto &f) { f.loaded = f.selected = "没有"; }, "找不到这一项: 没有"},
        Refusal{"AutoWithoutFixed", [](auto &f) { f.fixed = false; }, setup::kMsgAutoNeedsFixedIncome},
        Refusal{"FixedWithoutAuto", [](auto &f) { f.autoPost = false; }, setup::kMsgAutoNeedsFixedIncome},
        Refusal{"AmountEmpty", [](auto &f) { f.amount = "  "; }, setup::kMsgAmountEmpty},
        Refusal{"AmountText", [](auto &f) { f.amount = "12元"; }, setup::kMsgAmountNotNumber},
        Refusal{"AmountExponent", [](auto &f) { f.amount = "1e5"; }, setup::kMsgAmountNotNumber},
        Refusal{"AmountStatement", [](auto &f) { f.amount = "1,IsAuto=FALSE"; }, setup::kMsgAmountNotNumber},
        Refusal{"AmountTooLong", [](auto &f) { f.amount = "1234567890123"; }, setup::kMsgAmountNotNumber},
        Refusal{"AmountTooFine", [](auto &f) { f.amount = "1.00001"; }, setup::kMsgAmountNotNumber},
        Refusal{"IntervalEmpty", [](auto &f) { f.dayNum = ""; }, setup::kMsgIntervalEmpty},
        Refusal{"IntervalZero", [](auto &f) { f.dayNum = "00"; }, setup::kMsgIntervalNotWhole},
        Refusal{"IntervalFraction", [](auto &f) { f.dayNum = "1.5"; }, setup::kMsgIntervalNotWhole},
        Refusal{"IntervalNegative", [](auto &f) { f.dayNum = "-1"; }, setup::kMsgIntervalNotWhole},
        Refusal{"IntervalTooLong", [](auto &f) { f.dayNum = "1000000"; }, setup::kMsgIntervalNotWhole},
        Refusal{"UnitEmpty", [](auto &f) { f.selectType = " "; }, setup::kMsgUnitEmpty},
        Refusal{"UnitThatNeverPosts", [](auto &f) { f.selectType = "周"; }, setup::kMsgUnitUnknown},
        Refusal{"BankEmpty", [](auto &f) { f.bank.clear(); }, setup::kMsgBankEmpty},
        Refusal{"BeginTooEarly", [](auto &f) { f.begin = DateTime{1899, 12, 31}; }, setup::kMsgDateTooEarly}),
    [](const testing::TestParamInfo<Refusal> &info) { return std::string(info.param.name); });

TEST(RecurringSettings, ChangedStartDateAsksAndResetsWithTheUpdate)
{
    TempDatabase t;
    auto &c = t.connection();
    c.execute("update PayStyle set MidDate='2026/11/05 00:00', BeginDate='2026/01/05 ' where Style='房租'");
    setup::RecurringForm form = validForm();
    form.loadedMid = "2026/11/05 00:00";

    // The same start date: no question, progress kept.
    Answers answers;
    ASSERT_TRUE(setup::saveRecurring(c, TreeKind::Expense, form, answers.question()).done);
    EXPECT_TRUE(answers.asked.empty());
    EXPECT_EQ(t.value("select MidDate from PayStyle where Style='房租'"), "2026/11/05 00:00");

    // A new start date and No: the row stays as it was.
    const std::string before = rowOf(t, "PayStyle", "房租");
    form.begin = DateTime{2026, 3, 1};
    answers.yes = false;
    StatementLog log;
    const db::Result no = setup::saveRecurring(c, TreeKind::Expense, form, answers.question());
    EXPECT_TRUE(no.refusedWith(""));
    EXPECT_EQ(answers.asked, std::vector<std::string>{setup::kAskRestartExpense});
    EXPECT_EQ(rowOf(t, "PayStyle", "房租"), before);

    // Yes: the progress reset and the update, in this order.
    answers.yes = true;
    log.clear();
    ASSERT_TRUE(setup::saveRecurring(c, TreeKind::Expense, form, answers.question()).done);
    const auto statements = log.statements();
    ASSERT_EQ(statements.size(), 3u);
    EXPECT_EQ(statements[1], "update PayStyle set  MidDate=' ' where Style='房租'");
    EXPECT_EQ(statements[2].rfind("update PayStyle set  EveryPay= TRUE", 0), 0u);
    EXPECT_EQ(t.value("select MidDate || '|' || BeginDate from PayStyle where Style='房租'"), " |2026/03/01 ");
    EXPECT_EQ(t.value("select length(MidDate) from PayStyle where Style='房租'"), "1");

    // The income side asks its own question.
    c.execute("update GetStyle set MidDate='2026/11/05 00:00' where Style='工资'");
    setup::RecurringForm income = validForm("工资");
    income.loadedMid = "2026/11/05 00:00";
    income.begin = DateTime{2026, 4, 1};
    answers.asked.clear();
    ASSERT_TRUE(setup::saveRecurring(c, TreeKind::Income, income, answers.question()).done);
    EXPECT_EQ(answers.asked, std::vector<std::string>{setup::kAskRestartIncome});
}

// An item that never posted (no progress, or the single space a reset
// leaves) just takes its new start date: nothing to ask, nothing to reset.
TEST(RecurringSettings, NewItemTakesAStartDateWithoutAQuestion)
{
    TempDatabase t;
    auto &c = t.connection();
    for (const char *progress : {"", " ", "  "}) {
        setup::RecurringForm form = validForm();
        form.loadedMid = progress;
        form.loadedBegin = DateTime{2025, 1, 1};
        form.begin = DateTime{2026, 3, 1};
        Answers answers;
        answers.yes = false;
        StatementLog log;
        ASSERT_TRUE(setup::saveRecurring(c, TreeKind::Expense, form, answers.question()).done) << progress;
        EXPECT_TRUE(answers.asked.empty()) << '"' << progress << '"';
        for (const std::string &statement : log.statements())
            EXPECT_EQ(statement.find("MidDate="), std::string::npos) << statement;
    }
}

TEST(DetailRules, AmountTexts)
{
    for (const char *good : {"0", "1500", "35.5", "-8", "+2", ".25", "5.", "123456789012.1234"})
        EXPECT_TRUE(setup::isAmountText(good)) << good;
    for (const char *bad : {"", ".", "-", "1e5", "0x10", " 5", "5 ", "1.2.3", "1,000", "1234567890123", "0.00001",
                            "inf", "5--"})
        EXPECT_FALSE(setup::isAmountText(bad)) << bad;
    EXPECT_TRUE(setup::checkBoxValue(""));
    EXPECT_TRUE(setup::checkBoxValue("1"));
    EXPECT_FALSE(setup::checkBoxValue("0"));
}
