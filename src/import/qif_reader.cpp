#include "db/text.h"
#include "import/exchange_readers.h"
#include "import/header_row.h"
#include "import/values.h"

#include <cctype>
#include <vector>

namespace import {

namespace {

struct QifRecord {
    int line = 0;
    std::string date, amount, payee, memo, category, number;
};

bool startsWithNoCase(std::string_view text, std::string_view prefix)
{
    if (text.size() < prefix.size())
        return false;
    for (std::size_t i = 0; i < prefix.size(); ++i)
        if (std::tolower(static_cast<unsigned char>(text[i])) != std::tolower(static_cast<unsigned char>(prefix[i])))
            return false;
    return true;
}

std::string_view firstLine(std::string_view text)
{
    std::size_t start = text.find_first_not_of(" \t\r\n");
    if (start == std::string_view::npos)
        return {};
    if (text.substr(start, 3) == "\xEF\xBB\xBF")
        start += 3;
    text.remove_prefix(start);
    return text.substr(0, text.find('\n'));
}

// Lists that hold no money movements.
bool isListType(std::string_view type)
{
    for (const char *list : {"Cat", "Class", "Memorized", "Prices", "Security", "Invst"})
        if (startsWithNoCase(type, list))
            return true;
    return false;
}

// The first field of a date that is not a year: above 12 it is a day.
bool mustBeDayFirst(const std::vector<QifRecord> &records)
{
    for (const QifRecord &r : records) {
        const std::string d = db::trim(r.date);
        const std::size_t end = d.find_first_not_of("0123456789");
        if (end == 0 || end == std::string::npos || end > 2)
            continue;
        if (std::stoi(d.substr(0, end)) > 12)
            return true;
    }
    return false;
}

} // namespace

bool looksLikeQif(std::string_view start)
{
    const std::string_view line = firstLine(start);
    return startsWithNoCase(line, "!Type:") || startsWithNoCase(line, "!Account") || startsWithNoCase(line, "!Option");
}

BillRead readQif(std::string_view text)
{
    BillRead read;
    read.bill.format = Format::Qif;
    read.bill.methodFallback = "QIF";
    std::vector<QifRecord> records;
    QifRecord current;
    bool open = false;     // a record has begun and not yet ended with ^
    bool skipping = false; // inside a list that holds no transactions
    bool accountBlock = false;
    std::string accountName;
    int line = 0;
    std::size_t at = 0;
    while (at < text.size()) {
        std::size_t end = text.find('\n', at);
        if (end == std::string_view::npos)
            end = text.size();
        std::string_view raw = text.substr(at, end - at);
        at = end + 1;
        ++line;
        if (!raw.empty() && raw.back() == '\r')
            raw.remove_suffix(1);
        if (line == 1 && raw.substr(0, 3) == "\xEF\xBB\xBF")
            raw.remove_prefix(3);
        if (raw.empty())
            continue;
        if (raw[0] == '!') {
            if (open) {
                read.result = db::Result::refused(rowPrefix(current.line) + "这一笔没有以“^”结束，文件可能不完整");
                return read;
            }
            accountBlock = startsWithNoCase(raw, "!Account");
            if (startsWithNoCase(raw, "!Type:"))
                skipping = isListType(raw.substr(6));
            continue;
        }
        const char code = raw[0];
        const std::string value = db::trim(std::string(raw.substr(1)));
        if (code == '^') {
            if (!skipping && !accountBlock && open)
                records.push_back(current);
            current = QifRecord();
            open = false;
            continue;
        }
        if (!open) {
            current.line = line;
            open = true;
        }
        if (accountBlock) {
            if (code == 'N')
                accountName = value;
            continue;
        }
        switch (code) {
        case 'D': current.date = value; break;
        case 'T': current.amount = value; break;
        case 'U': if (current.amount.empty()) current.amount = value; break;
        case 'P': current.payee = value; break;
        case 'M': current.memo = value; break;
        case 'L': current.category = value; break;
        case 'N': current.number = value; break;
        default: break; // C (cleared), A (address), splits S/E/$ and the rest
        }
    }
    if (open && !skipping && !accountBlock) {
        read.result = db::Result::refused(rowPrefix(current.line) + "这一笔没有以“^”结束，文件可能不完整");
        return read;
    }
    if (!accountName.empty())
        read.bill.methodFallback = "QIF:" + accountName;
    const DateOrder order = mustBeDayFirst(records) ? DateOrder::DayFirst : DateOrder::MonthFirst;
    for (const QifRecord &r : records) {
        if (static_cast<int>(read.bill.rows.size()) >= kMaxRows) {
            read.result = db::Result::refused(rowPrefix(r.line) + "文件超过 " + std::to_string(kMaxRows) +
                                              " 笔，请分成几个文件导入");
            return read;
        }
        BillRow row;
        row.line = r.line;
        const auto when = parseBillTime(r.date, false, order);
        if (!when) {
            read.result = db::Result::refused(rowPrefix(r.line) + "日期“" + r.date + "”不是一个存在的日期");
            return read;
        }
        row.time = *when;
        const auto cents = parseAmount(r.amount);
        if (!cents) {
            read.result = db::Result::refused(rowPrefix(r.line) + "金额“" + r.amount + "”不是一个金额");
            return read;
        }
        row.cents = *cents < 0 ? -*cents : *cents;
        row.direction = *cents < 0 ? Direction::Expense : *cents > 0 ? Direction::Income : Direction::Neutral;
        // "[储蓄卡]" as the category: money moved to another of one's own accounts.
        if (r.category.size() >= 2 && r.category.front() == '[' && r.category.back() == ']')
            row.direction = Direction::Neutral;
        row.counterparty = r.payee;
        row.goods = r.memo;
        row.billCategory = r.category;
        row.method = read.bill.methodFallback;
        read.bill.rows.push_back(std::move(row));
    }
    return read;
}

} // namespace import
