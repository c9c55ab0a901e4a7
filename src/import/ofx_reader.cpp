#include "db/text.h"
#include "import/exchange_readers.h"
#include "import/file_table.h"
#include "import/header_row.h"
#include "import/values.h"

#include <libofx/libofx.h>

#include <cctype>
#include <cmath>

namespace import {

namespace {

std::string lowered(std::string_view text)
{
    std::string out(text);
    for (char &c : out)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return out;
}

std::size_t countOf(const std::string &text, const std::string &piece)
{
    std::size_t count = 0;
    for (std::size_t at = text.find(piece); at != std::string::npos; at = text.find(piece, at + 1))
        ++count;
    return count;
}

struct Collected {
    std::vector<OfxTransactionData> transactions;
    std::string account;
};

// The DTPOSTED texts of the transactions, in order. The date is taken as
// the bank wrote it: libofx turns it into a moment of this machine's time
// zone and a date alone into 10:59 UTC, which would move the time of day.
std::vector<std::string> postedTexts(const std::string &lowered)
{
    std::vector<std::string> texts;
    for (std::size_t at = lowered.find("<stmttrn>"); at != std::string::npos; at = lowered.find("<stmttrn>", at + 1)) {
        const std::size_t end = lowered.find("</stmttrn>", at);
        const std::size_t tag = lowered.find("<dtposted>", at);
        if (tag == std::string::npos || (end != std::string::npos && tag > end)) {
            texts.emplace_back();
            continue;
        }
        const std::size_t from = tag + 10;
        const std::size_t to = lowered.find('<', from);
        texts.push_back(lowered.substr(from, (to == std::string::npos ? lowered.size() : to) - from));
    }
    return texts;
}

// libofx reports through these as it goes.
int onAccount(const struct OfxAccountData data, void *collected)
{
    if (data.account_id_valid)
        static_cast<Collected *>(collected)->account = data.account_id;
    return 0;
}

int onTransaction(const struct OfxTransactionData data, void *collected)
{
    static_cast<Collected *>(collected)->transactions.push_back(data);
    return 0;
}

// Quiets libofx, which otherwise prints its progress to the terminal.
void silenceLibofx()
{
    ofx_PARSER_msg = false;
    ofx_DEBUG_msg = false;
    ofx_DEBUG1_msg = false;
    ofx_DEBUG2_msg = false;
    ofx_DEBUG3_msg = false;
    ofx_DEBUG4_msg = false;
    ofx_DEBUG5_msg = false;
    ofx_STATUS_msg = false;
    ofx_INFO_msg = false;
    ofx_WARNING_msg = false;
    ofx_ERROR_msg = false;
}

std::string trimmed(const char *text)
{
    std::string out(text);
    const std::size_t first = out.find_first_not_of(" \t\r\n");
    if (first == std::string::npos)
        return {};
    return out.substr(first, out.find_last_not_of(" \t\r\n") - first + 1);
}

} // namespace

bool looksLikeOfx(std::string_view start)
{
    const std::string text = lowered(start.substr(0, 4096));
    return text.find("ofxheader") != std::string::npos || text.find("<ofx>") != std::string::npos;
}

BillRead readOfx(const std::string &path)
{
    BillRead read;
    read.bill.format = Format::Ofx;
    read.bill.methodFallback = "OFX";
    std::string bytes;
    if (db::Result r = readWholeFile(path, bytes); !r) {
        read.result = r;
        return read;
    }
    // libofx reads what it can of a cut-off file without a word; the
    // closing element and the count of STMTTRN elements tell.
    const std::string text = lowered(bytes);
    if (text.find("</ofx>") == std::string::npos) {
        read.result = db::Result::refused("OFX 文件没有结尾 (</OFX>)：文件不完整，请重新下载");
        return read;
    }
    const std::size_t expected = countOf(text, "<stmttrn>");
    if (expected > static_cast<std::size_t>(kMaxRows)) {
        read.result = db::Result::refused("第 " + std::to_string(kMaxRows + 1) + " 笔交易：文件超过 " +
                                          std::to_string(kMaxRows) + " 笔，请分成几个文件导入");
        return read;
    }
    silenceLibofx();
    Collected collected;
    LibofxContextPtr context = libofx_get_new_context();
    ofx_set_account_cb(context, onAccount, &collected);
    ofx_set_transaction_cb(context, onTransaction, &collected);
    libofx_proc_file(context, path.c_str(), OFX);
    libofx_free_context(context);
    if (collected.transactions.size() != expected) {
        read.result = db::Result::refused("第 " + std::to_string(collected.transactions.size() + 1) +
                                          " 笔交易 (STMTTRN) 读不出来：OFX 文件有错");
        return read;
    }
    const std::vector<std::string> posted = postedTexts(text);
    if (!collected.account.empty())
        read.bill.methodFallback = "OFX:" + trimmed(collected.account.c_str());
    int index = 0;
    for (const OfxTransactionData &t : collected.transactions) {
        ++index;
        BillRow row;
        row.line = index;
        const std::string label = "第 " + std::to_string(index) + " 笔交易";
        const auto when = parseBillTime(posted[static_cast<std::size_t>(index - 1)]);
        if (!when) {
            read.result = db::Result::refused(label + "：日期 (DTPOSTED)“" + db::trim(posted[static_cast<std::size_t>(index - 1)]) +
                                              "”不是一个存在的日期");
            return read;
        }
        if (!t.amount_valid || !std::isfinite(t.amount) || std::fabs(t.amount) >= 1e15) {
            read.result = db::Result::refused(label + "：没有金额 (TRNAMT) 或金额不对");
            return read;
        }
        row.time = *when;
        const long long cents = std::llround(t.amount * 100.0);
        row.cents = cents < 0 ? -cents : cents;
        row.direction = cents < 0 ? Direction::Expense : cents > 0 ? Direction::Income : Direction::Neutral;
        row.counterparty = t.name_valid ? trimmed(t.name) : t.payee_id_valid ? trimmed(t.payee_id) : std::string();
        row.goods = t.memo_valid ? trimmed(t.memo) : std::string();
        row.orderNumber = t.fi_id_valid ? trimmed(t.fi_id) : std::string();
        row.method = read.bill.methodFallback;
        read.bill.rows.push_back(std::move(row));
    }
    return read;
}

} // namespace import
