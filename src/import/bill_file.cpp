#include "import/bill_file.h"

#include "import/exchange_readers.h"
#include "import/file_table.h"
#include "import/wallet_readers.h"

namespace import {

namespace {

const char *const kUnknown = "没有认出这份账单的格式：支付宝、微信支付的账单，QIF 和 OFX 文件可以直接导入；"
                             "银行的对帐单请先设置它的各列是什么";

BillRead refused(const std::string &message)
{
    BillRead read;
    read.result = db::Result::refused(message);
    return read;
}

BillRead readText(const std::string &path, FormatChoice format, Encoding encoding)
{
    std::string bytes;
    if (db::Result r = readWholeFile(path, bytes); !r)
        return refused(r.message);
    std::string text;
    if (db::Result r = decodeText(bytes, encoding, text); !r)
        return refused(r.message);
    if (format == FormatChoice::Qif)
        return readQif(text);
    return readOfx(path);
}

} // namespace

std::optional<FormatChoice> formatChoiceNamed(const std::string &name)
{
    static const std::pair<const char *, FormatChoice> names[] = {
        {"alipay", FormatChoice::Alipay}, {"wechat", FormatChoice::WeChat}, {"csv", FormatChoice::Bank},
        {"qif", FormatChoice::Qif},       {"ofx", FormatChoice::Ofx},       {"auto", FormatChoice::Automatic}};
    for (const auto &[word, choice] : names)
        if (name == word)
            return choice;
    return std::nullopt;
}

BillRead readBillFile(db::Connection &c, const std::string &path, const ReadOptions &options)
{
    std::string start;
    if (db::Result r = readFileStart(path, start); !r)
        return refused(r.message);
    const FileKind kind = fileKindOf(start);
    if (kind == FileKind::Empty)
        return refused("文件是空的");
    FormatChoice format = options.format;
    if (format == FormatChoice::Automatic && kind == FileKind::Text) {
        if (looksLikeOfx(start))
            format = FormatChoice::Ofx;
        else if (looksLikeQif(start))
            format = FormatChoice::Qif;
    }
    if (format == FormatChoice::Qif || format == FormatChoice::Ofx) {
        if (kind != FileKind::Text)
            return refused(format == FormatChoice::Qif ? "这不是 QIF 文件 (QIF 是文字文件)" : "这不是 OFX 文件 (OFX 是文字文件)");
        return readText(path, format, options.encoding);
    }
    Table table;
    Encoding encoding = options.mapping && options.encoding == Encoding::Automatic ? options.mapping->encoding
                                                                                    : options.encoding;
    if (db::Result r = loadTable(path, encoding, table); !r)
        return refused(r.message);
    if (format == FormatChoice::Automatic) {
        const int alipay = alipayLikeness(table);
        const int wechat = wechatLikeness(table);
        if (alipay > 0 || wechat > 0)
            format = wechat > alipay ? FormatChoice::WeChat : FormatChoice::Alipay;
        else
            format = FormatChoice::Bank;
    }
    if (format == FormatChoice::Alipay)
        return readAlipay(table);
    if (format == FormatChoice::WeChat)
        return readWeChat(table);
    std::optional<BankMapping> mapping = options.mapping;
    if (!mapping)
        mapping = mappingForTable(c, table);
    if (!mapping) {
        BillRead read = refused(kUnknown);
        read.needsMapping = true;
        return read;
    }
    return readBank(table, *mapping);
}

} // namespace import
