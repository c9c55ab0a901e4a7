// Times a bill of 10,000 rows: read and planned for the preview, then
// posted in one transaction. Both must stay within 2 s.
#include "bench_util.h"
#include "bill_files.h"
#include "import/bill_file.h"
#include "import/import_run.h"
#include "support/temp_database.h"

#include <cstdio>
#include <ctime>
#include <fstream>

namespace {

constexpr int kRows = 10000;
constexpr double kLimitSeconds = 2.0;

// A year of a heavy Alipay user: meals, rides and shopping by three methods,
// every tenth row a move to 余额宝 that is skipped; in GBK as exported.
std::string alipayBill()
{
    std::string text = "支付宝交易明细\n共" + std::to_string(kRows) + "笔记录\n"
                       "交易时间,交易分类,交易对方,对方账号,商品说明,收/支,金额,收/付款方式,交易状态,交易订单号,商家订单号,备注,\n";
    const char *const kinds[][3] = {{"餐饮美食", "老王面馆", "牛肉面"}, {"交通出行", "滴滴出行", "快车"},
                                   {"日用百货", "某超市", "洗衣液"},   {"投资理财", "余额宝", "余额宝-单次转入"}};
    const char *const methods[] = {"余额", "招商银行(1234)", "花呗"};
    for (int i = 0; i < kRows; ++i) {
        const auto &kind = kinds[i % 10 == 9 ? 3 : i % 3];
        char line[512];
        std::snprintf(line, sizeof line, "2024-%02d-%02d %02d:%02d:00 ,%s ,%s ,/ ,%s ,%s ,%d.%02d ,%s ,交易成功 ,2024%08d\t,M%d\t, ,\n",
                      1 + i % 12, 1 + i % 28, 8 + i % 12, i % 60, kind[0], kind[1], kind[2],
                      i % 10 == 9 ? "不计收支" : "支出", 5 + i % 200, i % 100, methods[i % 3], i, i);
        text += line;
    }
    return testing_support::toGbk(text);
}

} // namespace

int main(int argc, char **argv)
{
    if (bench::helpAsked(argc, argv,
                         "usage: bench_import\nTimes reading, planning and posting a bill of 10,000 rows.\n"))
        return 0;
    testing_support::TempDatabase t;
    t.connection().execute("insert into Bank (Num,BankName,nLevel,FirstLevel,ParentBank,FullID) values "
                           "(2,'招商银行',1,0,'我的存款银行','0000'),(3,'花呗',1,0,'我的存款银行','0000')");
    const std::string path = (t.folder() / "bill.csv").string();
    std::ofstream(path, std::ios::binary) << alipayBill();

    import::Plan plan;
    const double preview = bench::seconds([&] {
        const import::BillRead read = import::readBillFile(t.connection(), path);
        plan = import::makePlan(t.connection(), read.bill);
        import::mapMethod(plan, "余额", "现金银行");
        import::mapMethod(plan, "招商银行(1234)", "招商银行");
        import::mapMethod(plan, "花呗", "花呗");
    });
    const import::PlanTotals totals = import::totalsOf(plan);
    import::CommitOptions options;
    options.handler = "管理员";
    options.fileName = "bill.csv";
    import::CommitOutcome outcome;
    // The processor time beside the wall time: on a machine others share,
    // the difference is the wait for the processor.
    const std::clock_t cpuStart = std::clock();
    const double post = bench::seconds([&] { outcome = import::commitPlan(t.connection(), plan, options); });
    const double postCpu = static_cast<double>(std::clock() - cpuStart) / CLOCKS_PER_SEC;
    std::printf("import: %d rows read and previewed in %.3f s (limit %.0f s); %d entries posted in %.3f s, %.3f s of "
                "processor time (limit %.0f s)%s\n",
                static_cast<int>(plan.rows.size()), preview, kLimitSeconds, outcome.posted, post, postCpu, kLimitSeconds,
                outcome.result ? "" : (" refused: " + outcome.result.message).c_str());
    const bool ok = outcome.result && totals.post == outcome.posted && outcome.posted == kRows - kRows / 10 &&
                    preview <= kLimitSeconds && post <= kLimitSeconds;
    return ok ? 0 : 1;
}
