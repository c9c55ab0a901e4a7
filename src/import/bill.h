#pragma once

#include "db/dates.h"
#include "db/result.h"

#include <string>
#include <vector>

namespace import {

// The kinds of bill the readers know.
enum class Format { Alipay, WeChat, Bank, Qif, Ofx };

// Which way a row moves money, as the bill says it.
enum class Direction {
    Expense, // 支出
    Income,  // 收入
    Neutral  // 不计收支, WeChat's "/": top-ups, withdrawals, transfers between one's own accounts
};

// One row of a bill, whatever its format, in the program's terms.
struct BillRow {
    int line = 0;             // where it stands in the file, for messages (line, sheet row or transaction)
    db::DateTime time;
    Direction direction = Direction::Expense;
    long long cents = 0;      // the amount, never negative; the direction carries the sign
    std::string counterparty; // 交易对方, payee, NAME
    std::string goods;        // 商品说明, memo, description
    std::string billCategory; // the bill's own category (交易分类, 交易类型, QIF L)
    std::string method;       // the paying method (收/付款方式, 支付方式), or the statement's account
    std::string status;       // 交易状态, 当前状态
    std::string orderNumber;  // 交易订单号, 交易单号, FITID, QIF N; "" when the format has none
    std::string merchantOrder; // 商家订单号: shared by a purchase and its refund
    bool refund = false;      // money coming back for an earlier purchase
};

struct Bill {
    Format format = Format::Alipay;
    std::string methodFallback; // the method of rows whose bill names none
    std::vector<BillRow> rows;
};

// What a reader hands back: the bill, or why it cannot be read (a message
// naming the row), in which case nothing is imported.
struct BillRead {
    db::Result result;
    Bill bill;
    // The file is a table of no known bill and no saved bank mapping fits
    // it: the user says which column is what.
    bool needsMapping = false;
};

// The name of a format as the program shows it.
const char *formatName(Format format);

// No bill is longer than this: a longer one is refused at the row that
// passes it, so that a wrong file cannot fill the memory or the window.
inline constexpr int kMaxRows = 100000;

} // namespace import
