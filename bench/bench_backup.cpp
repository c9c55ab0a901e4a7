// Times a backup and a restore of a heavy user's database: 200,000 entries,
// each with its journal row and its cash ledger row.
#include "bench_util.h"
#include "db/connection.h"
#include "setup/backup.h"
#include "support/fake_database_host.h"
#include "support/temp_database.h"

#include <cstdio>
#include <filesystem>

namespace {

void generate(db::Connection &c, int count)
{
    db::Transaction transaction(c);
    for (int i = 1; i <= count; ++i) {
        const std::string n = std::to_string(i);
        const std::string day = "'20" + std::to_string(10 + i % 16) + "/0" + std::to_string(1 + i % 9) + "/1" +
                                std::to_string(i % 10) + " 12:00'";
        c.execute("INSERT INTO account (财务标识, 日期,收负类型,帐目类型,钱额,说明,经手人,银行) VALUES (" + n + ", " + day +
                  ", '付 ','午餐 '," + std::to_string(10 + i % 50) + ".5 ,'午饭','管理员','现金银行')");
        c.execute("INSERT INTO CashAccount (Num,DTime,NStyle,nMoney,PayGet,Details,Operator,AccNum)  VALUES (" + n +
                  ", " + day + ", '午餐 ',-" + std::to_string(10 + i % 50) + ".5 ,'付','午饭','管理员'," + n + ")");
    }
    transaction.commit();
}

} // namespace

int main(int argc, char **argv)
{
    if (bench::helpAsked(argc, argv,
                         "usage: bench_backup\nTimes a backup, its check and a restore of 200,000 entries.\n"))
        return 0;
    testing_support::TempDatabase t;
    generate(t.connection(), 200000);
    const std::string backup = (t.folder() / "b.BAT").string();
    db::Result result;
    const double backupTime = bench::seconds([&] { result = setup::backupDatabase(t.connection(), backup); });
    const auto size = std::filesystem::file_size(backup);
    std::printf("backup (copy and its check): %.1f MB in %.0f ms (%s)\n", size / 1e6, backupTime * 1000, result ? "done" : result.message.c_str());
    const double checkTime = bench::seconds([&] { result = setup::checkBackupFile(backup); });
    std::printf("check of a backup: %.0f ms\n", checkTime * 1000);
    testing_support::FakeDatabaseHost host(t.path());
    const double restoreTime =
        bench::seconds([&] { result = setup::restoreDatabase(host, backup, db::DateTime{2026, 1, 2, 3, 4, 5}); });
    std::printf("restore (check, kept copy, copy, reopen): %.0f ms (%s)\n", restoreTime * 1000,
                result ? "done" : result.message.c_str());
}
