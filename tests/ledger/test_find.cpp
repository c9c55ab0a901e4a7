// Finding journal entries of any date, checked against the entries the test
// wrote and their amounts added up here.
#include "ledger/find.h"
#include "db/text.h"
#include "ledger/posting.h"
#include "setup/tree_store.h"
#include "support/temp_database.h"

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

using testing_support::TempDatabase;

namespace {

struct Written {
    const char *number;
    const char *date;
    const char *type;
    const char *category;
    const char *amount;
    const char *handler;
    const char *description;
    const char *bank;
    long long cents;
};

const Written kEntries[] = {
    {"1", "2024/01/05 08:00", "付", "午餐", "35.5", "管理员", "Plumber 王师傅", "现金银行", 3550},
    {"2", "2024/02/10 09:00", "收", "工资", "8000", "张丽", "", "工商银行", 800000},
    {"3", "2024/03/01 10:00", "存", "存钱", "1000", "管理员", "50% 定期_A", "工商银行", 100000},
    {"4", "2024/03/15 11:00", "付", "午餐", "120.25", "张丽", "O'Brien's 100%", "现金银行", 12025},
    {"5", "2024/03/15 11:00", "取", "取钱", "200", "管理员", "plumbing", "工商银行", 20000},
    {"6", "2023/12/31 23:59", "付", "水电燃气", "0.1", "管理员", "x_y", "现金银行", 10},
    {"7", "2024/03/20 12:00", "付", "午餐", "-38", "管理员", "退款", "现金银行", -3800}, // a refund
};

void writeEntries(TempDatabase &t)
{
    ASSERT_TRUE(setup::addNode(t.connection(), setup::TreeKind::Bank, "我的存款银行", "工商银行"));
    for (const Written &w : kEntries)
        ASSERT_TRUE(ledger::postEntry(t.connection(), {w.number, w.date, w.type, w.category, w.amount, w.description,
                                                       w.handler, w.bank, ""}));
}

struct FindCase {
    const char *name;
    ledger::FindQuery query;
    std::vector<std::string> numbers; // newest first
};

void PrintTo(const FindCase &c, std::ostream *out) { *out << c.name; }

class Find : public testing::TestWithParam<FindCase> {};

TEST_P(Find, ListsTheMatchingEntriesNewestFirstWithTheirTotal)
{
    TempDatabase t;
    writeEntries(t);
    ledger::FoundEntries found;
    ASSERT_TRUE(ledger::findEntries(t.connection(), GetParam().query, found));
    std::vector<std::string> numbers;
    long long cents = 0;
    for (int row = 0; row < found.rows.rowCount(); ++row) {
        numbers.emplace_back(found.rows.cell(row, ledger::kFoundNumber));
        for (const Written &w : kEntries)
            if (numbers.back() == w.number) {
                cents += w.cents;
                // Every column shows the entry as written.
                EXPECT_EQ(found.rows.cell(row, ledger::kFoundDate), w.date);
                EXPECT_EQ(db::trim(found.rows.cell(row, ledger::kFoundCategory)), w.category);
                EXPECT_EQ(found.rows.cell(row, ledger::kFoundAccount), w.bank);
                EXPECT_EQ(found.rows.cell(row, ledger::kFoundDescription), w.description);
            }
    }
    EXPECT_EQ(numbers, GetParam().numbers);
    char total[64];
    std::snprintf(total, sizeof total, "%zu条记录，合计：￥%lld.%02lld", numbers.size(), cents / 100, cents % 100);
    EXPECT_EQ(ledger::foundSummary(found), total);
}

INSTANTIATE_TEST_SUITE_P(
    FindEntries, Find,
    testing::Values(FindCase{"Everything", {}, {"7", "5", "4", "3", "2", "1", "6"}},
                    FindCase{"LettersInEitherCase", {"plumb"}, {"5", "1"}},
                    FindCase{"PercentIsLiteral", {"%"}, {"4", "3"}},
                    FindCase{"UnderscoreIsLiteral", {"_"}, {"3", "6"}},
                    FindCase{"QuoteIsLiteral", {"'s"}, {"4"}},
                    FindCase{"Backslash", {"\\"}, {}},
                    FindCase{"Account", {"工商"}, {"5", "3", "2"}},
                    FindCase{"Handler", {"张丽"}, {"4", "2"}},
                    FindCase{"Category", {"燃气"}, {"6"}},
                    FindCase{"Type", {"", "付"}, {"7", "4", "1", "6"}},
                    FindCase{"AmountBoundsIncluded", {"", "", "35.5", "200"}, {"5", "4", "1"}},
                    FindCase{"AmountsBySign", {"", "", "-40", "0"}, {"7"}},
                    FindCase{"DatesIncluded", {"", "", "", "", "20240301", "20240315"}, {"5", "4", "3"}},
                    FindCase{"AllTogether", {"午餐", "付", "100", "", "20240101", "20241231"}, {"4"}},
                    FindCase{"Nothing", {"无此记录"}, {}}));

TEST(FindEntries, FieldsTheSearchCannotUseAreRefused)
{
    TempDatabase t;
    ledger::FoundEntries found;
    const std::pair<ledger::FindQuery, const char *> refused[] = {
        {{"", "转"}, ledger::kMsgFindBadType},
        {{std::string(ledger::kMaxFindText + 1, 'x')}, ledger::kMsgFindTextTooLong},
        {{"", "", "abc"}, ledger::kMsgFindBadAmount},
        {{"", "", "", "1e3"}, ledger::kMsgFindBadAmount},
        {{"", "", "", "", "20240231"}, ledger::kMsgFindBadDay},
        {{"", "", "", "", "", "2024011"}, ledger::kMsgFindBadDay},
        // A bound that would end the statement early stays out of it.
        {{"", "", "1; delete from account"}, ledger::kMsgFindBadAmount},
    };
    for (const auto &[query, message] : refused)
        EXPECT_TRUE(ledger::findEntries(t.connection(), query, found).refusedWith(message)) << message;
}

} // namespace
