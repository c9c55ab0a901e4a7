#include "db/dialect.h"
#include "support/temp_database.h"

#include <gtest/gtest.h>

using testing_support::TempDatabase;

TEST(Dialect, FormatReadsEveryStoredDateForm)
{
    TempDatabase t;
    auto format = [&](const std::string &value, const std::string &pattern) {
        return t.value("select Format('" + value + "','" + pattern + "')");
    };
    EXPECT_EQ(format("2007/03/05 12:30", "yyyymmdd"), "20070305");
    EXPECT_EQ(format("2006/02/28 ", "yyyymmdd"), "20060228");
    EXPECT_EQ(format("2007-3-5", "yyyymmdd"), "20070305");
    EXPECT_EQ(format("2007-03-05T08:09:10", "yyyy/mm/dd hh:nn:ss"), "2007/03/05 08:09:10");
    EXPECT_EQ(format("2007/03/05 12:30", "yyyy-mm-dd hh:mm"), "2007-03-05 12:30");
    EXPECT_EQ(format("2007/3/5", "yy m d"), "07 3 5");
    // Not a date: returned unchanged; null stays null.
    EXPECT_EQ(format("abc", "yyyymmdd"), "abc");
    EXPECT_EQ(format("2007/02/30", "yyyymmdd"), "2007/02/30");
    EXPECT_EQ(t.value("select Format(NULL,'yyyymmdd') is null"), "1");
    // The program's own Format, not the built-in printf alias.
    EXPECT_EQ(t.value("select format('2007/12/31 23:59','yyyymmdd')"), "20071231");
}

TEST(Dialect, FormatOnColumnsFiltersRanges)
{
    TempDatabase t;
    auto &c = t.connection();
    c.execute("insert into account (财务标识,日期) values (1,'2007/02/28 23:59'),(2,'2007/03/01 00:00'),"
              "(3,'2007/03/31 23:59'),(4,'2007/04/01 00:00')");
    EXPECT_EQ(t.column("select 财务标识 from account where Format(日期,'yyyymmdd') >= '20070301' and  "
                       "Format(日期,'yyyymmdd') <= '20070331'  order by 日期 desc"),
              (std::vector<std::string>{"3", "2"}));
    EXPECT_EQ(t.value("select count(*) from account where Format(日期,'yyyymmdd') between '20070228' and '20070301'"),
              "2");
}

TEST(Dialect, MidCountsCharactersFromOne)
{
    TempDatabase t;
    EXPECT_EQ(t.value("select Mid('00000068',5,4)"), "0068");
    EXPECT_EQ(t.value("select Mid('0000',5,4)"), "");
    EXPECT_EQ(t.value("select Mid('000000',5,4)"), "00");
    EXPECT_EQ(t.value("select Mid('现金银行',2,2)"), "金银");
    EXPECT_EQ(t.value("select Mid('现金银行',3)"), "银行");
    EXPECT_EQ(t.value("select Mid('abc',2,0)"), "");
    EXPECT_EQ(t.value("select Mid(12345,2,2)"), "23");
    EXPECT_EQ(t.value("select Mid(NULL,1,2) is null"), "1");
    EXPECT_THROW(t.value("select Mid('abc',0,1)"), db::Error);
    EXPECT_THROW(t.value("select Mid('abc',1,-1)"), db::Error);
}

TEST(Dialect, ValTakesTheLeadingNumber)
{
    EXPECT_DOUBLE_EQ(db::valOf("0068"), 68);
    EXPECT_DOUBLE_EQ(db::valOf("  12.5abc"), 12.5);
    EXPECT_DOUBLE_EQ(db::valOf("-3"), -3);
    EXPECT_DOUBLE_EQ(db::valOf("1 2 3"), 123);
    EXPECT_DOUBLE_EQ(db::valOf("1e3x"), 1000);
    EXPECT_DOUBLE_EQ(db::valOf("1e"), 1);
    EXPECT_DOUBLE_EQ(db::valOf("abc"), 0);
    EXPECT_DOUBLE_EQ(db::valOf(""), 0);
    EXPECT_DOUBLE_EQ(db::valOf("."), 0);
    TempDatabase t;
    EXPECT_EQ(t.value("select val(Mid('000000680012',5,4))"), "68");
    EXPECT_EQ(t.value("select val('3.25') + 1"), "4.25");
    EXPECT_EQ(t.value("select val(NULL)"), "0");
    EXPECT_EQ(t.value("select val(7)"), "7");
}

TEST(Dialect, TrailingBlanksAreIgnoredInComparisonsGroupingAndNotIn)
{
    TempDatabase t;
    auto &c = t.connection();
    c.execute("insert into account (财务标识,收负类型,帐目类型,钱额) values (1,'付 ','午餐 ',10),(2,'付','午餐',5),"
              "(3,'收 ','工资 ',100)");
    EXPECT_EQ(t.value("select count(*) from account where 收负类型 ='付'"), "2");
    EXPECT_EQ(t.column("select 帐目类型, sum(钱额) as s from account group by 帐目类型 order by s", "s"),
              (std::vector<std::string>{"15", "100"}));
    EXPECT_EQ(t.value("select count(*) from account where 帐目类型 NOT IN (select Style from PayStyle)"), "1");
    // A unique name cannot be added again with a trailing blank.
    EXPECT_THROW(c.execute("insert into PayStyle (Num,Style) values (500,'午餐 ')"), db::Error);
}
