#include "db/text.h"
#include "ui/report_pages.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <ostream>
#include <string>

namespace {

struct PageCase {
    int rows;
    int pages;
    int rowsOnLastPage;
};

void PrintTo(const PageCase &c, std::ostream *out) { *out << c.rows << " rows"; }

class Pagination : public ::testing::TestWithParam<PageCase> {};

TEST_P(Pagination, EveryRowFallsOnOnePageInOrder)
{
    const PageCase c = GetParam();
    ASSERT_EQ(ui::pageCount(c.rows), c.pages);
    int next = 0;
    int onPage = 0;
    for (int page = 1; page <= c.pages; ++page) {
        EXPECT_EQ(ui::firstRowOfPage(page), next) << "page " << page;
        onPage = std::min(ui::pageRowQuota(page), c.rows - next);
        EXPECT_GT(onPage, 0) << "page " << page << " is empty";
        next += onPage;
    }
    EXPECT_EQ(next, c.rows);
    EXPECT_EQ(onPage, c.rowsOnLastPage);
}

INSTANTIATE_TEST_SUITE_P(Rows, Pagination,
                         ::testing::Values(PageCase{0, 0, 0}, PageCase{1, 1, 1}, PageCase{29, 1, 29},
                                           PageCase{30, 2, 1}, PageCase{59, 2, 30}, PageCase{60, 3, 1},
                                           PageCase{89, 3, 30}, PageCase{90, 4, 1}));

TEST(Pagination, LaterPagesStartHigher)
{
    EXPECT_EQ(ui::tableTop(1), 25);
    EXPECT_EQ(ui::tableTop(2), 18);
    EXPECT_EQ(ui::tableTop(7), 18);
    EXPECT_EQ(ui::firstRowOfPage(3), 59);
}

struct CutCase {
    const char *text;
    int limit;
    const char *printed;
};

void PrintTo(const CutCase &c, std::ostream *out) { *out << '"' << c.text << "\" in " << c.limit; }

class GbkCut : public ::testing::TestWithParam<CutCase> {};

TEST_P(GbkCut, KeepsWholeCharactersWithinTheLimit)
{
    const CutCase c = GetParam();
    const std::string cut = db::gbkCut(c.text, c.limit);
    EXPECT_EQ(cut, c.printed);
    EXPECT_LE(db::gbkLength(cut), std::max(0, c.limit));
}

INSTANTIATE_TEST_SUITE_P(
    Texts, GbkCut,
    ::testing::Values(CutCase{"12条记录,余额为：￥1234.50", 31, "12条记录,余额为：￥1234.50"},
                      CutCase{"12条记录,余额为：￥1234.50", 26, "12条记录,余额为：￥1234.50"},
                      CutCase{"12条记录,余额为：￥1234.50", 25, "12条记录,余额为：￥1234.5"},
                      CutCase{"12条记录,余额为：￥1234.50", 19, "12条记录,余额为：￥"},
                      // Half of ￥ would fit: it is left out whole.
                      CutCase{"12条记录,余额为：￥1234.50", 18, "12条记录,余额为："},
                      CutCase{"2007/03/20 08:00", 19, "2007/03/20 08:00"}, CutCase{"a现金", 2, "a"},
                      CutCase{"现金银行", 5, "现金"}, CutCase{"abc", 0, ""}, CutCase{"abc", -1, ""},
                      CutCase{"", 10, ""}));

class PrintedCell : public ::testing::TestWithParam<CutCase> {};

TEST_P(PrintedCell, NeverShowsPartOfANumber)
{
    const CutCase c = GetParam();
    EXPECT_EQ(ui::printedCellText(c.text, c.limit), c.printed);
}

INSTANTIATE_TEST_SUITE_P(
    Texts, PrintedCell,
    ::testing::Values(CutCase{"12条记录,余额为：￥1234.50", 31, "12条记录,余额为：￥1234.50"},
                      CutCase{"12条记录,余额为：￥1234.50", 26, "12条记录,余额为：￥1234.50"},
                      CutCase{"12条记录,余额为：￥1234.50", 25, "12条记录,余额为："},
                      CutCase{"12条记录,余额为：￥1234.50", 19, "12条记录,余额为："},
                      CutCase{"12条记录,余额为：￥1234.50", 17, "12条记录,余额为："},
                      CutCase{"12条记录,余额为：￥1234.50", 16, "12条记录,余额为"},
                      CutCase{"37条记录,余额为：￥-182075.00", 25, "37条记录,余额为："},
                      CutCase{"2026/12/08 19:00", 12, "2026/12/08 "}, CutCase{"工商银行", 5, "工商"},
                      CutCase{"-10000", 3, ""}, CutCase{"投资完成", 31, "投资完成"}));

} // namespace
