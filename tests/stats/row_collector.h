#pragma once

#include "db/connection.h"
#include "db/text.h"
#include "ledger/posting.h"
#include "stats/stat_row.h"

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

namespace stats_test {

// Keeps every row of a walk, and the path of names from the head row down
// to each row ("支出费用/餐饮/午餐"), so that checks do not depend on the
// order the engine groups in.
class RowCollector : public stats::RowSink {
public:
    void createColumns(const std::vector<stats::Column> &columns) override
    {
        ++columnCalls;
        captions.clear();
        for (const stats::Column &c : columns)
            captions.push_back(c.caption);
    }
    void addRow(const stats::Row &row) override
    {
        m_path.resize(row.depth);
        m_path.push_back(db::trim(row.label)); // journal types are stored with a blank after them
        std::string key;
        for (const std::string &name : m_path)
            key += (key.empty() ? "" : "/") + name;
        rows.push_back(row);
        paths.push_back(key);
        byPath[key] = row;
    }
    const stats::Row *find(const std::string &path) const
    {
        auto it = byPath.find(path);
        return it == byPath.end() ? nullptr : &it->second;
    }
    // The paths directly below a path.
    std::vector<std::string> childrenOf(const std::string &path) const
    {
        std::vector<std::string> out;
        for (const std::string &p : paths)
            if (p.size() > path.size() && p.compare(0, path.size(), path) == 0 && p[path.size()] == '/' &&
                p.find('/', path.size() + 1) == std::string::npos)
                out.push_back(p);
        return out;
    }

    int columnCalls = 0;
    std::vector<std::string> captions;
    std::vector<stats::Row> rows;
    std::vector<std::string> paths;
    std::map<std::string, stats::Row> byPath;

private:
    std::vector<std::string> m_path;
};

// Posts one entry as the entry dialog would.
inline void post(db::Connection &c, const std::string &date, const std::string &type, const std::string &category,
                 const std::string &amount, const std::string &bank = "现金银行", const std::string &invested = "")
{
    ledger::Entry e;
    e.number = ledger::nextEntryNumber(c);
    e.date = date;
    e.type = type;
    e.category = category;
    e.amount = amount;
    e.handler = "管理员";
    e.bank = bank;
    e.invested = invested;
    const db::Result result = ledger::postEntry(c, e);
    ASSERT_TRUE(result.done) << result.message;
}

// A statement as the statement log writes it.
inline std::string logged(std::string sql)
{
    std::string out;
    for (char ch : sql)
        out += ch == '\t' ? std::string("\\t") : std::string(1, ch);
    return out;
}

// amount × 100 / total with two decimals, in plain double arithmetic.
inline std::string percentOf(double amount, double total)
{
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%.2f%%", amount * 100 / total);
    return buffer;
}

} // namespace stats_test
