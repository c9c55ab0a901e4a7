#include "db/exact_sum.h"
#include "db/text.h"
#include "support/temp_database.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

using testing_support::TempDatabase;

namespace {

// The sum() of the values (SQL literals) as a query shows it.
std::string sqlSum(TempDatabase &t, const std::vector<std::string> &values)
{
    std::string rows;
    for (const std::string &v : values)
        rows += (rows.empty() ? "VALUES (" : "), (") + v;
    if (rows.empty())
        return t.value("SELECT sum(x) FROM (SELECT 1 AS x) WHERE 0");
    return t.value("SELECT sum(column1) FROM (" + rows + "))");
}

struct SumCase {
    std::vector<std::string> values;
    const char *shown;
};

void PrintTo(const SumCase &c, std::ostream *os) { *os << c.shown; }

class ExactSumTest : public ::testing::TestWithParam<SumCase> {};

// Every amount counts as the decimal the list shows for it.
TEST_P(ExactSumTest, ShowsTheSumOfTheShownAmounts)
{
    TempDatabase t;
    EXPECT_EQ(sqlSum(t, GetParam().values), GetParam().shown);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ExactSumTest,
    ::testing::Values(SumCase{{"0.1", "0.2"}, "0.3"}, SumCase{{"1e20", "0.01", "-1e20"}, "0.01"},
                      SumCase{{"12.5", "100"}, "112.5"}, SumCase{{"1", "2"}, "3"}, SumCase{{}, ""},
                      SumCase{{"NULL", "NULL"}, ""}, SumCase{{"NULL", "7"}, "7"},
                      SumCase{{"'12abc'", "'0.5'"}, "12.5"}, SumCase{{"0.000001", "0.000002"}, "3e-06"},
                      SumCase{{"1e-300", "1e300", "-1e300"}, "1e-300"},
                      SumCase{{"0.1", "0.2", "-0.30000000000000004"}, "0"},
                      SumCase{{"9223372036854775807", "1"}, "9.22337203685478e+18"},
                      SumCase{{"1e999", "1"}, "inf"}, SumCase{{"1e999", "-1e999"}, ""}));

// A hundred thousand amounts of cents, the way a heavy book holds them: the
// sum shows its cents, whether the engine adds them or parts are merged.
TEST(ExactSum, ManyAmountsAddUpToTheCent)
{
    TempDatabase t;
    db::Connection &c = t.connection();
    c.execute("CREATE TABLE amounts (x REAL)");
    std::uint64_t state = 20070305;
    long long cents = 0;
    db::ExactSum parts[3];
    db::Transaction transaction(c);
    for (int i = 0; i < 100000; ++i) {
        state = state * 6364136223846793005ULL + 1442695040888963407ULL;
        const long long amount = static_cast<long long>(state >> 33) % 3000000 - 100000;
        cents += amount;
        const double value = static_cast<double>(amount) / 100.0;
        parts[i % 3].addReal(value);
        c.execute("INSERT INTO amounts VALUES (" + db::numberToText(value) + ")");
    }
    transaction.commit();
    const std::string expected = std::to_string(cents / 100) + "." + std::to_string(cents % 100 / 10) +
                                 std::to_string(cents % 10);
    EXPECT_EQ(t.value("SELECT sum(x) FROM amounts"), expected);
    parts[2].add(parts[0]);
    parts[2].add(parts[1]);
    EXPECT_EQ(parts[2].text(), expected);
    // A window of rows takes values out again as it moves on.
    EXPECT_EQ(t.value("SELECT sum(column1) OVER (ROWS 1 PRECEDING) FROM (VALUES (0.1), (0.2), (0.7)) LIMIT 1 OFFSET 2"),
              "0.9");
}

} // namespace
