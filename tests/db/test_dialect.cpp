#include "db/dialect.h"
#include "db/text.h"
#include "support/temp_database.h"

#include <sqlite3.h>

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <optional>
#include <string>
#include <vector>

using testing_support::TempDatabase;

namespace {

// Runs "select <expression>" with ?1 bound to a text of exact bytes (or to
// null) and returns the result: nullopt for null, else its bytes.
class Evaluator {
public:
    Evaluator(TempDatabase &t, const std::string &expression)
    {
        const std::string sql = "select " + expression;
        if (sqlite3_prepare_v2(t.connection().handle(), sql.c_str(), -1, &m_statement, nullptr) != SQLITE_OK)
            ADD_FAILURE() << sqlite3_errmsg(t.connection().handle());
    }
    ~Evaluator() { sqlite3_finalize(m_statement); }

    std::optional<std::string> text(const std::optional<std::string> &value)
    {
        if (value)
            sqlite3_bind_text(m_statement, 1, value->data(), static_cast<int>(value->size()), SQLITE_TRANSIENT);
        else
            sqlite3_bind_null(m_statement, 1);
        return step();
    }
    std::optional<std::string> blob(const std::string &value)
    {
        sqlite3_bind_blob(m_statement, 1, value.data(), static_cast<int>(value.size()), SQLITE_TRANSIENT);
        return step();
    }
    std::optional<std::string> integer(long long value)
    {
        sqlite3_bind_int64(m_statement, 1, value);
        return step();
    }
    std::optional<std::string> real(double value)
    {
        sqlite3_bind_double(m_statement, 1, value);
        return step();
    }
    // Binds ?2, which stays bound from call to call.
    void bindSecond(const std::string &value)
    {
        sqlite3_bind_text(m_statement, 2, value.data(), static_cast<int>(value.size()), SQLITE_TRANSIENT);
    }
    int lastType() const { return m_lastType; }
    double lastNumber() const { return m_lastNumber; }

private:
    std::optional<std::string> step()
    {
        std::optional<std::string> result;
        if (sqlite3_step(m_statement) == SQLITE_ROW) {
            m_lastType = sqlite3_column_type(m_statement, 0);
            m_lastNumber = sqlite3_column_double(m_statement, 0);
            if (m_lastType != SQLITE_NULL) {
                const auto *bytes = static_cast<const char *>(sqlite3_column_blob(m_statement, 0));
                result = std::string(bytes ? bytes : "", static_cast<std::size_t>(sqlite3_column_bytes(m_statement, 0)));
            }
        } else {
            ADD_FAILURE() << "no row";
        }
        sqlite3_reset(m_statement);
        return result;
    }

    sqlite3_stmt *m_statement = nullptr;
    int m_lastType = SQLITE_NULL;
    double m_lastNumber = 0;
};

// One database for the many small cases.
class DialectCase {
protected:
    static TempDatabase &database()
    {
        // Destroyed at exit, so that its folder goes with it: ctest runs
        // each case in a process of its own.
        static TempDatabase shared;
        return shared;
    }
};

// What Format(value,'yyyymmdd') must give: the general pattern formatter's
// result, or the value itself when it is not a date.
std::string generalDayKey(const std::string &value)
{
    return db::formatDatePattern(value, "yyyymmdd").value_or(value);
}

std::optional<std::string> fastDayKey(const std::string &value)
{
    char key[8];
    if (!db::formatDayKey(value, key))
        return std::nullopt;
    return std::string(key, 8);
}

// Date texts of every form the parser reads, and near misses of each.
const std::vector<std::string> kDateTexts = {
    "2007/03/05 12:30", "2007/03/05 ", "2007/03/05", "2007-03-05", "2007-3-5", "2007/3/5", "2007/03/05 1:5",
    "2007/03/05 12:30:45", "2007-03-05T08:09:10", "2007-03-05T08:09", "2007-03-05 08:09", "  2007/03/05 12:30",
    "2007/03/05 12:30  ", "2007/03/05 12:30 ", "2007/03/05\t12:30", "2007/03/05  12:30", "2007/03/05\t",
    "2007/03/05  ", "0100/01/01 00:00", "100/01/01", "9999/12/31 23:59", "2024/02/29 00:00", "2000/02/29",
    "1900/02/29 10:00", "2100/02/29", "2023/02/29 00:00", "2007/04/31 10:00", "2007/04/30 10:00",
    "2007/13/01 10:00", "2007/00/10 10:00", "2007/01/00 10:00", "2007/01/32 10:00", "2007/03/05 24:00",
    "2007/03/05 23:60", "2007/03/05 23:59", "2007/03/05 99:99", "2007/03/05 -1:00", "0099/12/31 10:00",
    "0000/01/01", "2007/03/05x", "2007/03-05", "2007-03/05", "2007/03/05 12:3x", "2007/03/05 12", "2007/03/05 12:",
    "2007/03/05T12:30", "2007/03/05 T12:30", "2007/03/05 12:30:60", "2007/03/05 12:30:5x", "12007/03/05",
    "2007/003/05", "2007/03/005", "", " ", "abc", "20070305", "2007", "2007/", "2007/03", "2007/03/",
    std::string("2007/03/05 12:30\0", 17), std::string("2007/03/05\0 ", 12), std::string("2007/03/05 1\0:30", 16),
    "\xff\xfe", "2007/03/05 12:30\xff", "2007/03/\xe4\xb8\x80", "\xef\xbc\x92\xef\xbc\x90\x30\x37/03/05",
    "2007/0\x80/05 12:30", "2007/03/05\xc2\xa0", "2007/03/05 12:30\n", "2007/03/05\n12:30"};

class FormatDayKey : public testing::TestWithParam<std::string>, protected DialectCase {};

TEST_P(FormatDayKey, FastPathMatchesTheGeneralFormatter)
{
    const std::string &value = GetParam();
    const std::optional<std::string> general = db::formatDatePattern(value, "yyyymmdd");
    EXPECT_EQ(fastDayKey(value), general);

    TempDatabase &t = database();
    Evaluator constant(t, "Format(?1,'yyyymmdd')");
    EXPECT_EQ(constant.text(value), generalDayKey(value));
    EXPECT_EQ(constant.lastType(), SQLITE_TEXT);
    // The pattern in other cases, bound, and computed for every row.
    Evaluator upper(t, "Format(?1,'YyyYMmdD')");
    EXPECT_EQ(upper.text(value), generalDayKey(value));
    Evaluator bound(t, "Format(?1, ?2)");
    bound.bindSecond("yyyymmdd");
    EXPECT_EQ(bound.text(value), generalDayKey(value));
    Evaluator computed(t, "Format(?1, 'yyyy' || 'mmdd')");
    EXPECT_EQ(computed.text(value), generalDayKey(value));
    // A blob of the same bytes takes the general path.
    EXPECT_EQ(constant.blob(value), generalDayKey(value));
}

INSTANTIATE_TEST_SUITE_P(Dialect, FormatDayKey, testing::ValuesIn(kDateTexts));

TEST(Dialect, FormatDayKeyOverEveryMonthAndDayOfOddYears)
{
    // Every month 00..13 and day 00..39 in each shape the program writes,
    // leap years and the first and last years the parser takes.
    std::size_t dates = 0;
    for (int year : {99, 100, 1900, 2000, 2023, 2024, 2100, 9999}) {
        for (int month = 0; month <= 13; ++month) {
            for (int day = 0; day <= 39; ++day) {
                char base[16];
                std::snprintf(base, sizeof base, "%04d/%02d/%02d", year, month, day);
                for (const std::string &value : {std::string(base) + " 23:59", std::string(base) + " 00:00",
                                                 std::string(base) + " ", std::string(base),
                                                 std::string(base) + " 24:00"}) {
                    ASSERT_EQ(fastDayKey(value), db::formatDatePattern(value, "yyyymmdd")) << value;
                    dates += fastDayKey(value).has_value();
                }
            }
        }
    }
    EXPECT_GT(dates, 8000u);
}

TEST(Dialect, FormatDayKeyWithEveryByteInEveryPlace)
{
    // Each byte of the stored forms replaced by each of the 256 byte values,
    // read after the intact form so that a remembered date is tested too.
    for (const std::string base : {"2024/02/29 23:59", "2023/12/31 ", "2023/12/31", "2023/01/09 09:09"}) {
        for (std::size_t at = 0; at < base.size(); ++at) {
            for (int byte = 0; byte < 256; ++byte) {
                std::string value = base;
                value[at] = static_cast<char>(byte);
                ASSERT_EQ(fastDayKey(base), db::formatDatePattern(base, "yyyymmdd"));
                ASSERT_EQ(fastDayKey(value), db::formatDatePattern(value, "yyyymmdd"))
                    << base << " byte " << at << " = " << byte;
            }
        }
    }
}

TEST(Dialect, FormatDayKeyInAnyOrder)
{
    // Whatever was read before, each text gets its own result.
    for (const std::string &first : kDateTexts) {
        for (const std::string &second : kDateTexts) {
            fastDayKey(first);
            ASSERT_EQ(fastDayKey(second), db::formatDatePattern(second, "yyyymmdd")) << first << " then " << second;
        }
    }
}

TEST(Dialect, FormatOfNullNumbersAndOtherPatterns)
{
    TempDatabase t;
    Evaluator day(t, "Format(?1,'yyyymmdd')");
    EXPECT_EQ(day.text(std::nullopt), std::nullopt);
    EXPECT_EQ(day.integer(20070305), "20070305");
    EXPECT_EQ(day.lastType(), SQLITE_TEXT);
    EXPECT_EQ(day.integer(-2007), "-2007");
    EXPECT_EQ(day.real(2007.5), "2007.5");
    EXPECT_EQ(day.real(2007.0), "2007");
    EXPECT_EQ(t.value("select Format(NULL,'yyyymmdd') is null"), "1");
    // A null pattern formats to nothing; patterns close to yyyymmdd are
    // patterns of their own.
    for (const std::string pattern : {"yyyymmd", "yyyymmddx", "yyyy-mm-dd", "yyyymmdd ", "yymmdd", "dd/mm/yyyy",
                                       "hh:nn", "yyyymmdd hh:mm", "mmm d, yyyy", "\"day\" d", ""}) {
        Evaluator other(t, "Format(?1,'" + pattern + "')");
        for (const std::string &value : kDateTexts) {
            ASSERT_EQ(other.text(value), db::formatDatePattern(value, pattern).value_or(value))
                << pattern << " of " << value;
        }
    }
    EXPECT_EQ(t.value("select Format('2007/03/05 12:30', NULL)"), "");
    EXPECT_EQ(t.value("select Format('2007/03/05 12:30', 20070305)"), "20070305");
}

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
    // Not a date: returned unchanged.
    EXPECT_EQ(format("abc", "yyyymmdd"), "abc");
    EXPECT_EQ(format("2007/02/30", "yyyymmdd"), "2007/02/30");
    // The program's own Format, not the built-in printf alias.
    EXPECT_EQ(t.value("select format('2007/12/31 23:59','yyyymmdd')"), "20071231");
    // Kept results stay right while later rows are formatted.
    t.connection().execute("insert into account (财务标识,日期) values (1,'2007/02/28 23:59'),(2,'2008/03/01 00:00'),"
                           "(3,'2006/03/31 23:59')");
    EXPECT_EQ(t.value("select max(Format(日期,'yyyymmdd')) from account"), "20080301");
    EXPECT_EQ(t.value("select min(Format(日期,'yyyymmdd')) from account"), "20060331");
    EXPECT_EQ(t.column("select Format(日期,'yyyymmdd') as d from account order by d"),
              (std::vector<std::string>{"20060331", "20070228", "20080301"}));
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

// ---- Mid ----

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
    EXPECT_EQ(t.value("select Mid(2.5,2,2)"), ".5");
    EXPECT_EQ(t.value("select Mid(NULL,1,2) is null"), "1");
    EXPECT_EQ(t.value("select Mid('abc',2,NULL)"), "bc");
    EXPECT_THROW(t.value("select Mid('abc',0,1)"), db::Error);
    EXPECT_THROW(t.value("select Mid('abc',1,-1)"), db::Error);
}

TEST(Dialect, MidSlicesInPlaceAsTheCharacterSlicer)
{
    const std::vector<std::string> texts = {"", "a", "00000068", "现金银行", "a现b金c", "\xff\xfe\xfd", "\xe7\x8e",
                                            "ab\xe7", "\x80\x80x", "\xf0\x9f\x98\x80z", std::string("a\0b", 3)};
    TempDatabase t;
    Evaluator mid(t, "Mid(?1, ?2, ?3)");
    for (const std::string &text : texts) {
        for (std::size_t start = 0; start <= text.size() + 2; ++start) {
            for (std::size_t count : {std::size_t{0}, std::size_t{1}, std::size_t{2}, std::size_t{4}, std::string::npos}) {
                ASSERT_EQ(db::characterSlice(text, start, count), db::utf8Mid(text, start, count))
                    << text << " " << start << " " << count;
            }
        }
    }
    for (const std::string &text : texts) {
        Evaluator two(t, "Mid(?1, 2, 2)");
        EXPECT_EQ(two.text(text), db::utf8Mid(text, 1, 2));
        Evaluator rest(t, "Mid(?1, 2)");
        EXPECT_EQ(rest.text(text), db::utf8Mid(text, 1, std::string::npos));
    }
}

// ---- val ----

struct ValCase {
    const char *text;
    double value;
};

void PrintTo(const ValCase &c, std::ostream *out) { *out << '"' << c.text << "\" as " << c.value; }

class Val : public testing::TestWithParam<ValCase>, protected DialectCase {};

TEST_P(Val, ReadsTheLeadingNumberWithBlanksInside)
{
    const ValCase &c = GetParam();
    EXPECT_EQ(db::valOf(c.text), c.value) << c.text;
    Evaluator val(database(), "val(?1)");
    ASSERT_TRUE(val.text(std::string(c.text)));
    EXPECT_EQ(val.lastNumber(), c.value) << c.text;
    const bool whole = c.value == std::floor(c.value) && std::fabs(c.value) < 9e15;
    EXPECT_EQ(val.lastType(), whole ? SQLITE_INTEGER : SQLITE_FLOAT) << c.text;
}

INSTANTIATE_TEST_SUITE_P(Dialect, Val,
                         testing::Values(ValCase{"0068", 68}, ValCase{"  12.5abc", 12.5}, ValCase{"-3", -3},
                                         ValCase{"1 2 3", 123}, ValCase{"- 3", -3}, ValCase{" . 5", 0.5},
                                         ValCase{"1 .2 5", 1.25}, ValCase{"1e3x", 1}, ValCase{"1e", 1},
                                         ValCase{"1d2", 1}, ValCase{"0x10", 0}, ValCase{".5", 0.5},
                                         ValCase{"-.5", -0.5}, ValCase{"+3", 3}, ValCase{"-", 0}, ValCase{".", 0},
                                         ValCase{"1.2.3", 1.2}, ValCase{"inf", 0}, ValCase{"nan", 0},
                                         ValCase{"\xef\xbc\x91\xef\xbc\x92", 0}, ValCase{"abc", 0}, ValCase{"", 0},
                                         ValCase{"\t\r\n7", 7}, ValCase{"0.1", 0.1}, ValCase{"2.675", 2.675},
                                         ValCase{"00000000000000000000000000000000000000000000000000000000000000000001.5",
                                                 1.5},
                                         ValCase{"1 0000000000 0000000000 0000000000 0000000000 0000000000 "
                                                 "0000000000 0000000000",
                                                 1e70}));

TEST(Dialect, ValOfNumbersAndNull)
{
    TempDatabase t;
    EXPECT_EQ(t.value("select val(Mid('000000680012',5,4))"), "68");
    EXPECT_EQ(t.value("select typeof(val('0068'))"), "integer");
    EXPECT_EQ(t.value("select typeof(val('2.5'))"), "real");
    EXPECT_EQ(t.value("select val('3.25') + 1"), "4.25");
    EXPECT_EQ(t.value("select val(NULL)"), "0");
    EXPECT_EQ(t.value("select val(7)"), "7");
    EXPECT_EQ(t.value("select val(7.5)"), "7.5");
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

} // namespace
