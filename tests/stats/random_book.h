#pragma once

#include "db/connection.h"
#include "db/text.h"

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

namespace stats_test {

// A fixed sequence of numbers for one seed, the same on every machine.
class Dice {
public:
    explicit Dice(std::uint64_t seed) : m_state(seed * 2654435761u + 1) {}
    int below(int n)
    {
        m_state = m_state * 6364136223846793005ULL + 1442695040888963407ULL;
        return static_cast<int>((m_state >> 33) % static_cast<std::uint64_t>(n));
    }
    bool chance(int percent) { return below(100) < percent; }
    template <typename T> const T &pick(const std::vector<T> &items) { return items[below(int(items.size()))]; }

private:
    std::uint64_t m_state;
};

// A random household book written straight into the tables, with what real
// and damaged books hold: trees of up to four levels with names that end in
// a blank, nodes deleted from the middle of a tree, journal rows written with
// and without the blank after type and category, types that name no node,
// banks outside the bank tree, investments started and finished, entries at
// 00:00 and 23:59 on the days where ranges begin and end, a few dates in
// other spellings or no date at all, and rows that differ only in trailing
// blanks at the same minute.
class RandomBook {
public:
    RandomBook(db::Connection &c, unsigned seed) : m_c(c), m_dice(seed) {}

    void write()
    {
        db::Transaction transaction(m_c);
        for (const char *table : {"account", "PayMoney", "GetMoney", "CashAccount", "BankAccount", "InvestMoney",
                                  "PayStyle", "GetStyle", "Bank"})
            m_c.execute(std::string("DELETE FROM ") + table);
        m_expense = tree("PayStyle", "Style", "ParentStyle", "支出", true);
        m_income = tree("GetStyle", "Style", "ParentStyle", "收入", true);
        m_banks = tree("Bank", "BankName", "ParentBank", "银行", false);
        const int entries = 20 + m_dice.below(60);
        for (int i = 1; i <= entries; ++i)
            entry(i);
        transaction.commit();
    }

private:
    struct Node {
        int number;
        std::string name;
        std::string fullId;
        int level;
    };

    std::string name(const char *stem)
    {
        static const std::vector<std::string> words = {"餐饮", "午餐", "交通", "工资", "O'Neil", "日用", "奖金",
                                                       "房租", "通讯", "学费", "利息", "零食"};
        std::string text = m_dice.pick(words) + stem + std::to_string(++m_names);
        if (m_dice.chance(20))
            text += " ";
        return text;
    }

    // A tree of up to four levels; then a node or two deleted, their
    // branches left behind.
    std::vector<Node> tree(const char *table, const char *nameColumn, const char *parentColumn, const char *stem,
                           bool investments)
    {
        std::vector<Node> nodes;
        const std::string root = std::string(table) == "PayStyle" ? "支出类型"
                                 : std::string(table) == "GetStyle" ? "收入类型"
                                                                    : "我的存款银行";
        auto add = [&](const Node *parent, const std::string &label) {
            Node n;
            n.number = static_cast<int>(nodes.size()) + 1 + (m_dice.chance(10) ? 100 : 0);
            n.name = label;
            n.level = parent ? parent->level + 1 : 1;
            char digits[8];
            std::snprintf(digits, sizeof digits, "%04d", parent ? parent->number : 0);
            n.fullId = parent ? parent->fullId + digits : "0000";
            m_c.execute(std::string("INSERT INTO ") + table + " (Num," + nameColumn + ",nLevel,FirstLevel," +
                        parentColumn + ",FullID) VALUES (" + std::to_string(n.number) + ",'" + db::quote(n.name) +
                        "'," + std::to_string(n.level) + ",0,'" + db::quote(parent ? parent->name : root) + "','" +
                        n.fullId + "')");
            nodes.push_back(n);
        };
        if (!investments)
            add(nullptr, "现金银行");
        const int count = 3 + m_dice.below(14);
        for (int i = 0; i < count; ++i) {
            std::vector<const Node *> parents;
            for (const Node &n : nodes)
                if (n.level < 4)
                    parents.push_back(&n);
            const Node *parent = parents.empty() || m_dice.chance(25) ? nullptr : parents[m_dice.below(int(parents.size()))];
            add(parent, name(stem));
        }
        if (investments) {
            add(nullptr, "投资");
            const Node invest = nodes.back();
            add(&invest, "股票");
            add(&invest, "基金");
        }
        for (int deleted = m_dice.below(3); deleted > 0; --deleted) {
            const Node &gone = nodes[m_dice.below(int(nodes.size()))];
            if (gone.name != "现金银行")
                m_c.execute(std::string("DELETE FROM ") + table + " WHERE Num=" + std::to_string(gone.number));
        }
        return nodes;
    }

    std::string date()
    {
        static const std::vector<std::string> days = {"2006/11/14", "2006/11/15", "2006/12/31", "2007/01/01",
                                                      "2007/03/05", "2007/03/31", "2007/04/01", "2007/04/02",
                                                      "2007/06/15", "2007/12/31", "2008/01/01", "2008/02/15",
                                                      "2008/02/16", "2008/02/29", "2008/07/01"};
        static const std::vector<std::string> odd = {"2007-3-5",         " 2007/03/31 10:00", "2007/4/1 9:05",
                                                     "20070401",          "2007/02/30 10:00",  "2007/03/05T08:00",
                                                     "",                  "2007/13/01 10:00",  "2008/3/1",
                                                     "2007/03/31 23:59 ", "2006-12-31 23:59"};
        if (m_dice.chance(6))
            return m_dice.pick(odd);
        const int time = m_dice.below(4);
        const std::string at = time == 0   ? "00:00"
                               : time == 1 ? "23:59"
                                           : (m_dice.chance(50) ? "0" : "1") + std::to_string(m_dice.below(10)) + ":3" +
                                                 std::to_string(m_dice.below(10));
        return m_dice.pick(days) + " " + at;
    }

    std::string amount()
    {
        if (m_dice.chance(3))
            return "NULL";
        const int cents = 1 + m_dice.below(2000000);
        if (m_dice.chance(15))
            return std::to_string(cents / 100);
        std::string text = std::to_string(cents / 100) + "." + std::to_string(cents % 100 / 10) +
                           std::to_string(cents % 10);
        if (m_dice.chance(3))
            text += std::to_string(m_dice.below(10)); // a third decimal
        return text;
    }

    void entry(int number)
    {
        static const std::vector<std::string> types = {"付", "付", "付", "付", "收", "收", "存", "取"};
        // Now and then the same minute and type as the entry before, its
        // category spelled with the other trailing blanks.
        const bool twin = m_last.number != 0 && m_dice.chance(12);
        const std::string type = twin ? m_last.type : m_dice.pick(types);
        const std::string when = twin ? m_last.when : date();
        std::string category;
        if (twin)
            category = m_last.category.back() == ' ' ? m_last.category.substr(0, m_last.category.size() - 1)
                                                     : m_last.category + " ";
        else if (type == "存" || type == "取")
            category = type == "存" ? "存钱" : "取钱";
        else if (m_dice.chance(12))
            category = m_dice.chance(50) ? "旧分类" : "初始化"; // names no node
        else
            category = m_dice.pick(type == "付" ? m_expense : m_income).name + (m_dice.chance(70) ? " " : "");
        std::string bank = m_dice.pick(m_banks).name;
        if (m_dice.chance(10))
            bank = "旧存折"; // outside the bank tree
        if (m_dice.chance(40))
            bank = "现金银行";
        const std::string money = amount();
        const std::string typeText = type + (m_dice.chance(70) ? " " : "");
        const std::string at = when.empty() && m_dice.chance(50) ? "NULL" : "'" + when + "'";
        m_c.execute("INSERT INTO account (财务标识,日期,收负类型,帐目类型,钱额,说明,经手人,银行) VALUES (" +
                    std::to_string(number) + "," + at + ",'" + typeText + "','" + db::quote(category) + "'," + money +
                    ",'','管理员','" + db::quote(bank) + "')");
        const bool out = type == "付" || type == "存";
        const std::string negated = money == "NULL" ? money : db::negatedNumber(money);
        const bool cashSide = type == "存" || type == "取" || db::trim(bank) == "现金银行";
        if (cashSide)
            m_c.execute("INSERT INTO CashAccount (Num,DTime,NStyle,nMoney,PayGet,AccNum) VALUES (" +
                        std::to_string(number) + "," + at + ",'" + db::quote(category) + "'," +
                        (out ? negated : money) + ",'" + type + "'," + std::to_string(number) + ")");
        if (db::trim(bank) != "现金银行") {
            const bool bankOut = type == "付" || type == "取";
            m_c.execute("INSERT INTO BankAccount (Num,DTime,PayGet,NStyle,nMoney,BankName,AccNum) VALUES (" +
                        (m_dice.chance(4) ? std::string("NULL") : std::to_string(number)) + "," + at + ",'" +
                        typeText + "','" + db::quote(category) + "'," + (bankOut ? negated : money) + ",'" +
                        db::quote(bank) + "'," + std::to_string(number) + ")");
        }
        m_last = Last{number, type, when, category};
    }

    struct Last {
        int number = 0;
        std::string type;
        std::string when;
        std::string category;
    };

    db::Connection &m_c;
    Dice m_dice;
    int m_names = 0;
    std::vector<Node> m_expense;
    std::vector<Node> m_income;
    std::vector<Node> m_banks;
    Last m_last;
};

} // namespace stats_test
