#include "import/wallet_readers.h"

#include "import/csv.h"
#include "import/header_row.h"
#include "import/values.h"

#include <algorithm>

namespace import {

namespace {

enum Field { Time, PayTime, CreateTime, Category, Counterparty, Goods, Way, Amount, Method, Status, Order, Merchant,
             FundState, FieldCount };

const char *const kFieldNames[FieldCount] = {"交易时间", "付款时间", "交易创建时间", "交易分类", "交易对方",
                                             "商品说明", "收/支",    "金额",         "收/付款方式", "交易状态",
                                             "交易订单号", "商家订单号", "资金状态"};

// Newer exports name the columns 交易时间 … 备注; older ones 交易号, 付款时间,
// 类型, 商品名称, 金额（元）, 资金状态 and more. Both are found by name.
const std::vector<ColumnName> kAlipayColumns = {
    {Time, {"交易时间"}},
    {PayTime, {"付款时间"}},
    {CreateTime, {"交易创建时间", "创建时间"}},
    {Category, {"交易分类", "类型"}},
    {Counterparty, {"交易对方"}},
    {Goods, {"商品说明", "商品名称"}},
    {Way, {"收/支"}},
    {Amount, {"金额", "金额(元)"}},
    {Method, {"收/付款方式"}},
    {Status, {"交易状态"}},
    {Order, {"交易订单号", "交易号"}},
    {Merchant, {"商家订单号", "商户订单号"}},
    {FundState, {"资金状态"}},
};

const std::vector<ColumnName> kWeChatColumns = {
    {Time, {"交易时间"}},        {Category, {"交易类型"}}, {Counterparty, {"交易对方"}}, {Goods, {"商品"}},
    {Way, {"收/支"}},            {Amount, {"金额(元)", "金额"}}, {Method, {"支付方式"}}, {Status, {"当前状态"}},
    {Order, {"交易单号"}},       {Merchant, {"商户单号"}},
};

// The texts WeChat writes where a cell has nothing to say.
std::string cellText(const TableRow &row, const HeaderMatch &h, Field field)
{
    const int column = h.columns[field];
    if (column < 0)
        return {};
    std::string text = cleanCell(row.text(static_cast<std::size_t>(column)));
    if (text == "/")
        text.clear();
    return text;
}

bool cellIsNumber(const TableRow &row, const HeaderMatch &h, Field field)
{
    const int column = h.columns[field];
    return column >= 0 && row.isNumber(static_cast<std::size_t>(column));
}

bool startsWith(const std::string &text, const char *prefix) { return text.rfind(prefix, 0) == 0; }
bool contains(const std::string &text, const char *piece) { return text.find(piece) != std::string::npos; }

struct Reading {
    Format format;
    const std::vector<ColumnName> *columns;
    std::vector<Field> required;
    const char *billName;
    std::string methodFallback;
};

using RowFill = std::string (*)(const TableRow &, const HeaderMatch &, BillRow &);

// The direction of an Alipay row: 收/支, or for old exports without it the
// fund state (资金状态 已支出, 已收入; 资金转移 and the rest move nothing).
std::string alipayFill(const TableRow &row, const HeaderMatch &h, BillRow &bill)
{
    const std::string way = cellText(row, h, Way);
    if (way == "支出") {
        bill.direction = Direction::Expense;
    } else if (way == "收入") {
        bill.direction = Direction::Income;
    } else if (way == "不计收支" || way == "其他" || way.empty()) {
        bill.direction = Direction::Neutral;
        const std::string fund = cellText(row, h, FundState);
        if (way.empty() && fund == "已支出")
            bill.direction = Direction::Expense;
        else if (way.empty() && fund == "已收入")
            bill.direction = Direction::Income;
    } else {
        return rowPrefix(row.line) + "收/支写的是“" + way + "”，应是 收入、支出 或 不计收支";
    }
    bill.refund = bill.direction != Direction::Expense &&
                  (contains(bill.status, "退款") || bill.billCategory == "退款" || startsWith(bill.goods, "退款"));
    return {};
}

std::string wechatFill(const TableRow &row, const HeaderMatch &h, BillRow &bill)
{
    const std::string way = cellText(row, h, Way);
    if (way == "支出")
        bill.direction = Direction::Expense;
    else if (way == "收入")
        bill.direction = Direction::Income;
    else if (way.empty())
        bill.direction = Direction::Neutral;
    else
        return rowPrefix(row.line) + "收/支写的是“" + way + "”，应是 收入、支出 或 /";
    // A refund comes in as income whose kind ends in "-退款"; the purchase
    // it belongs to stays spending, its state saying "已退款".
    bill.refund = bill.direction == Direction::Income &&
                  (contains(bill.billCategory, "退款") || contains(bill.status, "退款"));
    return {};
}

BillRead readWallet(const Table &table, const Reading &reading, RowFill fill)
{
    BillRead read;
    read.bill.format = reading.format;
    read.bill.methodFallback = reading.methodFallback;
    const std::optional<HeaderMatch> found = findHeader(table, *reading.columns, FieldCount);
    if (!found) {
        read.result = db::Result::refused(std::string("找不到") + reading.billName + "的表头 (交易时间、交易对方、收/支、金额…)：请确认选对了文件和格式");
        return read;
    }
    const HeaderMatch &h = *found;
    const int headerLine = table.rows[h.row].line;
    for (Field field : reading.required) {
        bool present = h.columns[field] >= 0;
        if (field == Time)
            present = present || h.columns[PayTime] >= 0 || h.columns[CreateTime] >= 0;
        if (!present) {
            read.result = db::Result::refused(rowPrefix(headerLine) + "表头里没有“" + kFieldNames[field] + "”这一列：" +
                                              reading.billName + "的格式不对，文件可能被改过");
            return read;
        }
    }
    const int lastColumn = *std::max_element(h.columns.begin(), h.columns.end());
    for (std::size_t r = h.row + 1; r < table.rows.size(); ++r) {
        const TableRow &row = table.rows[r];
        if (row.isBlank())
            continue;
        if (isTrailerLine(row))
            break;
        if (std::string problem = rowShapeProblem(row, h.width, lastColumn); !problem.empty()) {
            read.result = db::Result::refused(problem);
            return read;
        }
        if (static_cast<int>(read.bill.rows.size()) >= kMaxRows) {
            read.result = db::Result::refused(rowPrefix(row.line) + "账单超过 " + std::to_string(kMaxRows) +
                                              " 笔，请分成几个文件导入");
            return read;
        }
        BillRow bill;
        bill.line = row.line;
        // Old exports: the payment time, or the creation time of a row never paid.
        Field timeField = Time;
        for (Field candidate : {Time, PayTime, CreateTime})
            if (h.columns[candidate] >= 0 && !cellText(row, h, candidate).empty()) {
                timeField = candidate;
                break;
            }
        const std::string timeText = cellText(row, h, timeField);
        const auto time = parseBillTime(timeText, cellIsNumber(row, h, timeField));
        if (!time) {
            read.result = db::Result::refused(rowPrefix(row.line) + "交易时间“" + timeText + "”不是一个存在的日期和时间");
            return read;
        }
        bill.time = *time;
        const std::string amountText = cellText(row, h, Amount);
        const auto amount = parseAmount(amountText, cellIsNumber(row, h, Amount));
        if (!amount || *amount < 0) {
            read.result = db::Result::refused(rowPrefix(row.line) + "金额“" + amountText + "”不是一个金额");
            return read;
        }
        bill.cents = *amount;
        bill.counterparty = cellText(row, h, Counterparty);
        bill.goods = cellText(row, h, Goods);
        bill.billCategory = cellText(row, h, Category);
        bill.method = cellText(row, h, Method);
        bill.status = cellText(row, h, Status);
        bill.orderNumber = cellText(row, h, Order);
        bill.merchantOrder = cellText(row, h, Merchant);
        if (std::string problem = fill(row, h, bill); !problem.empty()) {
            read.result = db::Result::refused(problem);
            return read;
        }
        read.bill.rows.push_back(std::move(bill));
    }
    if (table.stoppedAt != 0)
        read.result = db::Result::refused(tooLong(table.stoppedAt));
    return read;
}

int likeness(const Table &table, const std::vector<ColumnName> &columns, std::initializer_list<Field> distinctive)
{
    const std::optional<HeaderMatch> h = findHeader(table, columns, FieldCount);
    if (!h)
        return 0;
    int own = 0;
    for (Field field : distinctive)
        own += h->columns[field] >= 0;
    return own == 0 ? 0 : h->known + own;
}

} // namespace

int alipayLikeness(const Table &table)
{
    return likeness(table, kAlipayColumns, {Category, Goods, Method, Status, FundState, PayTime});
}

int wechatLikeness(const Table &table)
{
    // 当前状态 and 支付方式 are WeChat's own names; Alipay says 交易状态 and 收/付款方式.
    return likeness(table, kWeChatColumns, {Method, Status});
}

BillRead readAlipay(const Table &table)
{
    // Money received without a method lands in the Alipay balance; the
    // oldest exports name no method at all.
    static const Reading reading{Format::Alipay, &kAlipayColumns, {Time, Counterparty, Way, Amount}, "支付宝账单", "余额"};
    return readWallet(table, reading, alipayFill);
}

BillRead readWeChat(const Table &table)
{
    static const Reading reading{Format::WeChat, &kWeChatColumns, {Time, Counterparty, Way, Amount}, "微信支付账单", "零钱"};
    return readWallet(table, reading, wechatFill);
}

} // namespace import
