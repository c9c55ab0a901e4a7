#include "journal_generator.h"

#include "db/connection.h"
#include "db/init_database.h"
#include "ledger/posting.h"

#include <unistd.h>

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <stdexcept>
#include <string_view>

namespace bench {

namespace {

// Raised whenever the mix of generated entries changes, so that an old file
// in the temporary folder is not taken for a new one.
constexpr int kGeneratorVersion = 1;

const char *const kCash = "现金银行";
const char *const kBanks[] = {"工商银行", "建设银行", "招商银行"};
const char *const kDailyExpenses[] = {"早餐", "午餐", "晚餐", "公交地铁", "打车", "日用品", "娱乐"};
const char *const kBankExpenses[] = {"房租", "水电燃气", "通讯", "教育", "医疗"};
const char *const kIncomes[] = {"工资", "奖金", "利息", "其他收入"};
const char *const kInvestments[] = {"股票", "基金", "债券"};
const char *const kHandlers[] = {"管理员", "张丽", "李强"};
const char *const kDescriptions[] = {"", "", "超市", "和同事一起", "网上购物", "月初", "补记", ""};

// A fixed sequence, so that every run posts the same journal.
class Random {
public:
    std::uint32_t next()
    {
        m_state = m_state * 6364136223846793005ULL + 1442695040888963407ULL;
        return static_cast<std::uint32_t>(m_state >> 33);
    }
    int below(int n) { return static_cast<int>(next() % static_cast<std::uint32_t>(n)); }
    template <typename T, std::size_t N> const char *pick(T (&items)[N]) { return items[below(int(N))]; }

private:
    std::uint64_t m_state = 20260520;
};

// Cents as the entry dialog would hand them over: "35", "35.5", "35.25".
std::string amountText(int cents)
{
    std::string text = std::to_string(cents / 100);
    const int rest = cents % 100;
    if (rest != 0) {
        text += '.';
        text += static_cast<char>('0' + rest / 10);
        if (rest % 10 != 0)
            text += static_cast<char>('0' + rest % 10);
    }
    return text;
}

std::chrono::sys_days firstDate(const JournalShape &shape)
{
    using namespace std::chrono;
    const year_month_day back{year(shape.today.year - shape.years), month(unsigned(shape.today.month)),
                              day(unsigned(shape.today.day))};
    return sys_days(back) + days(1);
}

ledger::Entry makeEntry(Random &random, int number, const db::DateTime &when)
{
    ledger::Entry e;
    e.number = std::to_string(number);
    e.date = db::formatDateTime(when);
    e.handler = random.pick(kHandlers);
    e.description = random.pick(kDescriptions);
    const int kind = random.below(100);
    if (kind < 45) {
        e.type = "付";
        e.category = random.pick(kDailyExpenses);
        e.bank = kCash;
        e.amount = amountText(300 + random.below(20000));
    } else if (kind < 58) {
        e.type = "付";
        e.category = random.pick(kBankExpenses);
        e.bank = random.pick(kBanks);
        e.amount = amountText(5000 + random.below(300000));
    } else if (kind < 70) {
        e.type = "收";
        e.category = random.pick(kIncomes);
        e.bank = random.below(4) == 0 ? kCash : random.pick(kBanks);
        e.amount = amountText(10000 + random.below(1000000));
    } else if (kind < 80) {
        e.type = "存";
        e.category = "存钱";
        e.bank = random.pick(kBanks);
        e.amount = amountText(10000 * (1 + random.below(50)));
    } else if (kind < 90) {
        e.type = "取";
        e.category = "取钱";
        e.bank = random.pick(kBanks);
        e.amount = amountText(10000 * (1 + random.below(20)));
    } else if (kind < 96) {
        e.type = "付";
        e.category = random.pick(kInvestments);
        e.bank = random.pick(kBanks);
        e.amount = amountText(100000 + random.below(2000000));
    } else {
        const int invested = 100000 + random.below(2000000);
        e.type = "收";
        e.category = random.pick(kInvestments);
        e.bank = random.pick(kBanks);
        e.invested = amountText(invested);
        e.amount = amountText(invested - 50000 + random.below(200000));
    }
    return e;
}

void generate(const JournalShape &shape, const std::string &path)
{
    db::Connection c = db::createDatabase(path);
    // Keep the whole transaction in memory until it commits.
    c.executeScript("PRAGMA cache_size=-1000000");
    const std::chrono::sys_days first = firstDate(shape);
    const long long minutes = (static_cast<long long>((shape.today.days() - first).count()) + 1) * 1440;
    Random random;
    db::Transaction transaction(c);
    for (int i = 0; i < shape.entries; ++i) {
        const long long minute = static_cast<long long>(i) * minutes / shape.entries;
        const db::DateTime when =
            db::DateTime::fromDays(first + std::chrono::days(minute / 1440), int(minute % 1440 / 60), int(minute % 60));
        const db::Result posted = ledger::postEntry(c, makeEntry(random, i + 1, when));
        if (!posted)
            throw std::runtime_error("entry " + std::to_string(i + 1) + " refused: " + posted.message);
        if ((i + 1) % 100000 == 0)
            std::fprintf(stderr, "  %d entries posted\n", i + 1);
    }
    transaction.commit();
}

} // namespace

std::string firstDay(const JournalShape &shape) { return db::formatDay(db::DateTime::fromDays(firstDate(shape))); }

std::string journalFile(const JournalShape &shape)
{
    const std::size_t schema = std::hash<std::string_view>{}(db::kSchemaSql);
    char name[160];
    std::snprintf(name, sizeof name, "pennaro-bench-%d-%s-%dy-v%d-%zx.mdb", shape.entries,
                  db::formatDay(shape.today).c_str(), shape.years, kGeneratorVersion, schema);
    const std::filesystem::path path = std::filesystem::temp_directory_path() / name;
    if (std::filesystem::exists(path))
        return path.string();
    std::fprintf(stderr, "generating %d entries into %s\n", shape.entries, path.c_str());
    // Made under a name of its own and renamed when complete, so that an
    // interrupted run leaves no half-made file under the final name.
    const std::filesystem::path partial = path.string() + ".part" + std::to_string(::getpid());
    std::filesystem::remove(partial);
    generate(shape, partial.string());
    std::filesystem::rename(partial, path);
    return path.string();
}

} // namespace bench
