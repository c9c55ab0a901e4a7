#include "ledger/demo_entries.h"

#include "db/connection.h"
#include "db/text.h"
#include "ledger/posting.h"

#include <chrono>
#include <cstdio>
#include <random>
#include <stdexcept>

namespace ledger {

namespace {

std::string amountText(double value)
{
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "%.2f", value);
    std::string s = buffer;
    while (s.back() == '0')
        s.pop_back();
    if (s.back() == '.')
        s.pop_back();
    return s;
}

class Writer {
public:
    explicit Writer(db::Connection &c) : m_c(c) {}

    void post(const db::DateTime &when, const char *type, const char *category, double amount, const char *bank,
              const char *handler, const char *description = "", double invested = 0)
    {
        ledger::Entry e;
        e.number = ledger::nextEntryNumber(m_c);
        e.date = db::formatDateTime(when);
        e.type = type;
        e.category = category;
        e.amount = amountText(amount);
        e.description = description;
        e.handler = handler;
        e.bank = bank;
        e.invested = amountText(invested);
        if (const db::Result result = ledger::postEntry(m_c, e); !result)
            throw std::logic_error("demo entry refused: " + result.message);
        ++m_count;
    }
    int count() const { return m_count; }

private:
    db::Connection &m_c;
    int m_count = 0;
};

} // namespace

int addDemoEntries(db::Connection &c, const db::DateTime &lastDay)
{
    db::Transaction transaction(c);
    c.execute("INSERT INTO Bank (Num,BankName,nLevel,FirstLevel,ParentBank,FullID,AccTypeID,OpenBank,CustName,"
              "AccNumber,ActiveDate,SumMoney) VALUES (2,'工商银行',1,0,'我的存款银行','0000','存折','工商银行城东支行',"
              "'管理员','6222020200112233445','2020/01/06 ',0)");
    c.execute("INSERT INTO Bank (Num,BankName,nLevel,FirstLevel,ParentBank,FullID,AccTypeID,OpenBank,CustName,"
              "AccNumber,ActiveDate,SumMoney) VALUES (3,'建设银行',1,0,'我的存款银行','0000','存折','建设银行人民路支行',"
              "'张丽','6217000010002233','2021/03/15 ',0)");
    c.execute("INSERT INTO SysAllUser (SysUserName,SysPwd,Details) VALUES ('张丽','','家庭成员')");

    Writer w(c);
    std::mt19937 random(20070305);
    auto between = [&](double low, double high) {
        return std::uniform_real_distribution<double>(low, high)(random);
    };
    auto chance = [&](double p) { return std::uniform_real_distribution<double>(0, 1)(random) < p; };

    const auto last = lastDay.startOfDay().days();
    const auto first = last - std::chrono::days(364);
    const char *const admin = "管理员";
    const char *const spouse = "张丽";
    for (auto day = first; day <= last; day += std::chrono::days(1)) {
        const db::DateTime d = db::DateTime::fromDays(day);
        auto at = [&](int hour, int minute) { return db::DateTime::fromDays(day, hour, minute); };
        const int weekday = static_cast<int>(std::chrono::weekday(day).c_encoding());

        if (d.day == 1)
            w.post(at(9, 0), "付", "房租", 2500, "工商银行", admin, "本月房租");
        if (d.day == 5)
            w.post(at(18, 20), "取", "取钱", 2000, "工商银行", admin, "取生活费");
        if (d.day == 10) {
            w.post(at(10, 0), "收", "工资", 8500, "工商银行", admin, "工资");
            w.post(at(10, 5), "收", "工资", 6200, "建设银行", spouse, "工资");
        }
        if (d.day == 15)
            w.post(at(20, 10), "付", "水电燃气", between(150, 420), "工商银行", spouse, "水电燃气费");
        if (d.day == 25 && d.month % 2 == 0)
            w.post(at(17, 40), "存", "存钱", 500, "建设银行", spouse, "零钱存入");
        if (d.day == 28 && d.month % 3 == 0)
            w.post(at(15, 0), "收", "奖金", 3000, "工商银行", admin, "季度奖金");

        w.post(at(7, 30), "付", "早餐", between(5, 15), ledger::kCashAccount, chance(0.5) ? admin : spouse);
        w.post(at(12, 15), "付", "午餐", between(15, 40), ledger::kCashAccount, chance(0.5) ? admin : spouse);
        if (chance(0.4))
            w.post(at(19, 0), "付", "晚餐", between(40, 160), ledger::kCashAccount, spouse, "家庭晚餐");
        if (weekday == 6)
            w.post(at(16, 0), "付", "日用品", between(60, 300), ledger::kCashAccount, spouse, "超市采购");
        if (weekday >= 1 && weekday <= 5 && chance(0.7))
            w.post(at(8, 10), "付", "公交地铁", 4, ledger::kCashAccount, admin);
        if (chance(0.08))
            w.post(at(21, 30), "付", "打车", between(18, 60), ledger::kCashAccount, admin);
        if (chance(0.03))
            w.post(at(14, 0), "付", "医疗", between(30, 400), "工商银行", spouse, "门诊");
        if (chance(0.05))
            w.post(at(20, 0), "付", "娱乐", between(60, 200), "工商银行", admin, "电影");

        if (day == last - std::chrono::days(150))
            w.post(at(10, 30), "付", "股票", 10000, "工商银行", admin, "买入股票");
        if (day == last - std::chrono::days(60))
            w.post(at(14, 30), "收", "股票", 11200, "工商银行", admin, "卖出股票", 10000);
        if (day == last - std::chrono::days(90))
            w.post(at(11, 0), "付", "基金", 5000, "建设银行", spouse, "定投基金");
    }
    // Two recurring items that have never posted: the phone bill and the
    // interest post themselves, a year's worth, at the first start.
    const db::DateTime firstDay = db::DateTime::fromDays(first);
    const std::string begin = db::formatTreeDate(db::DateTime{firstDay.year, firstDay.month, 20});
    const std::string end = db::formatTreeDate(db::DateTime{lastDay.year + 3, 12, 31});
    c.execute("UPDATE PayStyle SET EveryPay=TRUE, IsAuto=TRUE, PMoney=88, DayNum=1, SelectType='月', BeginDate='" +
              begin + "', EndDate='" + end + "', MidDate=' ', BankName='工商银行' WHERE Style='通讯'");
    c.execute("UPDATE GetStyle SET EveryGet=TRUE, IsAuto=TRUE, GMoney=15.5, DayNum=1, SelectType='月', BeginDate='" +
              begin + "', EndDate='" + end + "', MidDate=' ', BankName='建设银行' WHERE Style='利息'");
    transaction.commit();
    return w.count();
}

} // namespace ledger
