#include "bill_files.h"

#include <xlsxwriter.h>
#include <zip.h>

#include <algorithm>
#include <fstream>
#include <iconv.h>
#include <sstream>
#include <stdexcept>

namespace testing_support {

const char *const kAlipayBill =
    "------------------------------------------------------------------------------------\n"
    "导出信息:\n"
    "姓名:张三\n"
    "起始时间:[2024-03-01 00:00:00] 终止时间:[2024-03-31 23:59:59]\n"
    "共8笔记录\n"
    "支出:4笔 179.40元\n"
    "------------------------支付宝(中国)网络技术有限公司 电子客户回单------------------------\n"
    "交易时间,交易分类,交易对方,对方账号,商品说明,收/支,金额,收/付款方式,交易状态,交易订单号,商家订单号,备注,\n"
    "2024-03-02 12:10:05 ,餐饮美食 ,老王面馆 ,/ ,牛肉面 ,支出 ,28.00 ,余额 ,交易成功 ,20240302001\t,M001\t, ,\n"
    "2024-03-03 08:15:00 ,交通出行 ,滴滴出行 ,did***@didi.com ,快车 ,支出 ,35.50 ,招商银行(1234) ,交易成功 ,20240303001\t,M002\t, ,\n"
    "2024-03-05 20:00:00 ,投资理财 ,余额宝 ,/ ,余额宝-单次转入 ,不计收支 ,500.00 ,招商银行(1234) ,交易成功 ,20240305001\t, , ,\n"
    "2024-03-06 10:00:00 ,日用百货 ,某超市 ,/ ,洗衣液 ,支出 ,59.90 ,花呗 ,交易成功 ,20240306001\t,M003\t, ,\n"
    "2024-03-07 10:00:00 ,退款 ,某超市 ,/ ,退款-洗衣液 ,不计收支 ,20.00 ,花呗 ,退款成功 ,20240306001_R1\t,M003\t, ,\n"
    "2024-03-09 18:00:00 ,日用百货 ,某网店 ,/ ,雨伞 ,支出 ,56.00 ,花呗 ,交易关闭 ,20240309001\t,M004\t, ,\n"
    "2024-03-10 09:00:00 ,退款 ,某网店 ,/ ,退款-雨伞 ,不计收支 ,56.00 ,花呗 ,退款成功 ,20240309001_R1\t,M004\t, ,\n"
    "2024-03-12 09:00:00 ,转账红包 ,李四 ,/ ,转账 ,收入 ,100.00 , ,交易成功 ,20240312001\t, , ,\n";

const char *const kWeChatBill =
    "\xEF\xBB\xBF微信支付账单明细,,,,,,,,,,\n"
    "微信昵称：[张三],,,,,,,,,,\n"
    "起始时间：[2024-03-01 00:00:00] 终止时间：[2024-03-31 23:59:59],,,,,,,,,,\n"
    "导出类型：[全部],,,,,,,,,,\n"
    "导出时间：[2024-04-01 10:00:00],,,,,,,,,,\n"
    ",,,,,,,,,,\n"
    "共5笔记录,,,,,,,,,,\n"
    "收入：2笔 66.00元,,,,,,,,,,\n"
    "支出：2笔 66.16元,,,,,,,,,,\n"
    "中性交易：1笔 200.00元,,,,,,,,,,\n"
    "注：,,,,,,,,,,\n"
    "1. 充值/提现/理财通购买/零钱通存取/信用卡还款等交易，将计入中性交易,,,,,,,,,,\n"
    "2. 本明细仅展示当前账单中的交易，不包括已删除的记录,,,,,,,,,,\n"
    "3. 本明细仅供个人对账使用,,,,,,,,,,\n"
    ",,,,,,,,,,\n"
    "----------------------微信支付账单明细列表--------------------,,,,,,,,,,\n"
    "交易时间,交易类型,交易对方,商品,收/支,金额(元),支付方式,当前状态,交易单号,商户单号,备注\n"
    "2024-03-04 12:45:27,商户消费,云膳过桥米线,总共消费:28.16,支出,¥28.16,零钱,支付成功,4200001,M101,/\n"
    "2024-03-08 20:00:00,微信红包,王五,/,收入,¥28.00,/,已存入零钱,1000002,/,/\n"
    "2024-03-11 09:00:00,转入零钱通-来自零钱,/,/,/,¥200.00,零钱,支付成功,1000003,/,/\n"
    "2024-03-13 15:00:00,商户消费,某影院,电影票,支出,¥38.00,零钱,已全额退款,4200004,M104,/\n"
    "2024-03-14 10:00:00,某影院-退款,某影院,电影票,收入,¥38.00,零钱,已全额退款,4200005,M104,/\n";

std::string toGbk(const std::string &utf8)
{
    iconv_t cd = iconv_open("GB18030", "UTF-8");
    std::string out(utf8.size() * 2 + 8, '\0');
    char *in = const_cast<char *>(utf8.data());
    std::size_t inLeft = utf8.size();
    char *to = out.data();
    std::size_t outLeft = out.size();
    if (iconv(cd, &in, &inLeft, &to, &outLeft) == static_cast<std::size_t>(-1))
        throw std::runtime_error("iconv");
    iconv_close(cd);
    out.resize(out.size() - outLeft);
    return out;
}

std::filesystem::path writeFile(const std::filesystem::path &path, const std::string &bytes)
{
    std::ofstream(path, std::ios::binary) << bytes;
    return path;
}

void writeXlsx(const std::filesystem::path &path, const std::vector<std::vector<XlsxCell>> &rows)
{
    lxw_workbook *book = workbook_new(path.c_str());
    lxw_worksheet *sheet = workbook_add_worksheet(book, "Sheet1");
    for (std::size_t r = 0; r < rows.size(); ++r)
        for (std::size_t c = 0; c < rows[r].size(); ++c) {
            if (const auto *text = std::get_if<std::string>(&rows[r][c]))
                worksheet_write_string(sheet, static_cast<lxw_row_t>(r), static_cast<lxw_col_t>(c), text->c_str(), nullptr);
            else
                worksheet_write_number(sheet, static_cast<lxw_row_t>(r), static_cast<lxw_col_t>(c),
                                       std::get<double>(rows[r][c]), nullptr);
        }
    if (workbook_close(book) != LXW_NO_ERROR)
        throw std::runtime_error("workbook_close");
}

void writeZip(const std::filesystem::path &path, const std::string &member, const std::string &text)
{
    int error = 0;
    zip_t *zip = zip_open(path.c_str(), ZIP_CREATE | ZIP_TRUNCATE, &error);
    zip_source_t *source = zip_source_buffer(zip, text.data(), text.size(), 0);
    zip_file_add(zip, member.c_str(), source, ZIP_FL_ENC_UTF_8);
    if (zip_close(zip) != 0)
        throw std::runtime_error("zip_close");
}

namespace {

void put16(std::string &out, unsigned value)
{
    out += static_cast<char>(value & 0xFF);
    out += static_cast<char>((value >> 8) & 0xFF);
}

void put32(std::string &out, unsigned value)
{
    put16(out, value & 0xFFFF);
    put16(out, value >> 16);
}

void record(std::string &out, unsigned type, const std::string &data)
{
    put16(out, type);
    put16(out, static_cast<unsigned>(data.size()));
    out += data;
}

std::string utf16(const std::string &utf8)
{
    iconv_t cd = iconv_open("UTF-16LE", "UTF-8");
    std::string out(utf8.size() * 4 + 4, '\0');
    char *in = const_cast<char *>(utf8.data());
    std::size_t inLeft = utf8.size();
    char *to = out.data();
    std::size_t outLeft = out.size();
    iconv(cd, &in, &inLeft, &to, &outLeft);
    iconv_close(cd);
    out.resize(out.size() - outLeft);
    return out;
}

std::string bof(unsigned kind)
{
    std::string data;
    put16(data, 0x0600);
    put16(data, kind);
    put16(data, 0x0DBB);
    put16(data, 0x07CC);
    put32(data, 0);
    put32(data, 6);
    return data;
}

} // namespace

void writeXls(const std::filesystem::path &path, const std::vector<std::vector<XlsxCell>> &rows)
{
    // The workbook stream: globals naming one sheet, then the sheet.
    std::string globals;
    record(globals, 0x0809, bof(0x0005));
    std::string codepage;
    put16(codepage, 1200);
    record(globals, 0x0042, codepage);
    std::string sheetName = "\x06\x00Sheet1";
    const std::size_t boundSheetSize = 4 + 4 + 2 + sheetName.size();
    const unsigned sheetStart = static_cast<unsigned>(globals.size() + boundSheetSize + 4);
    std::string boundSheet;
    put32(boundSheet, sheetStart);
    put16(boundSheet, 0);
    boundSheet += sheetName;
    record(globals, 0x0085, boundSheet);
    record(globals, 0x000A, "");
    std::string sheet;
    record(sheet, 0x0809, bof(0x0010));
    std::size_t width = 0;
    for (const auto &row : rows)
        width = std::max(width, row.size());
    std::string dimensions;
    put32(dimensions, 0);
    put32(dimensions, static_cast<unsigned>(rows.size()));
    put16(dimensions, 0);
    put16(dimensions, static_cast<unsigned>(width));
    put16(dimensions, 0);
    record(sheet, 0x0200, dimensions);
    for (std::size_t r = 0; r < rows.size(); ++r)
        for (std::size_t c = 0; c < rows[r].size(); ++c) {
            std::string cell;
            put16(cell, static_cast<unsigned>(r));
            put16(cell, static_cast<unsigned>(c));
            put16(cell, 0);
            if (const auto *text = std::get_if<std::string>(&rows[r][c])) {
                const std::string wide = utf16(*text);
                put16(cell, static_cast<unsigned>(wide.size() / 2));
                cell += '\x01';
                cell += wide;
                record(sheet, 0x0204, cell);
            } else {
                const double value = std::get<double>(rows[r][c]);
                cell.append(reinterpret_cast<const char *>(&value), sizeof value);
                record(sheet, 0x0203, cell);
            }
        }
    record(sheet, 0x000A, "");
    std::string stream = globals + sheet;
    // Below 4096 bytes a stream would live in the mini stream; padding keeps
    // it in ordinary sectors.
    stream.resize(std::max<std::size_t>(4096, (stream.size() + 511) / 512 * 512), '\0');
    const unsigned streamSectors = static_cast<unsigned>(stream.size() / 512);

    // The compound file: header, one FAT sector, one directory sector, the stream.
    std::string header;
    header += std::string("\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1", 8) + std::string(16, '\0');
    put16(header, 0x003E);
    put16(header, 0x0003);
    put16(header, 0xFFFE);
    put16(header, 9);
    put16(header, 6);
    header += std::string(6, '\0');
    put32(header, 0);          // directory sectors (none counted in version 3)
    put32(header, 1);          // FAT sectors
    put32(header, 1);          // first directory sector
    put32(header, 0);
    put32(header, 0x1000);     // mini stream cutoff
    put32(header, 0xFFFFFFFE); // no mini FAT
    put32(header, 0);
    put32(header, 0xFFFFFFFE); // no DIFAT sectors
    put32(header, 0);
    put32(header, 0);          // the FAT is sector 0
    while (header.size() < 512)
        put32(header, 0xFFFFFFFF);
    std::string fat;
    put32(fat, 0xFFFFFFFD);
    put32(fat, 0xFFFFFFFE);
    for (unsigned i = 0; i < streamSectors; ++i)
        put32(fat, i + 1 < streamSectors ? 3 + i : 0xFFFFFFFE);
    while (fat.size() < 512)
        put32(fat, 0xFFFFFFFF);
    auto entry = [](const std::string &name, unsigned type, unsigned child, unsigned start, unsigned size) {
        std::string e = utf16(name);
        e += std::string(2, '\0');
        const unsigned nameBytes = static_cast<unsigned>(e.size());
        e.resize(64, '\0');
        put16(e, name.empty() ? 0 : nameBytes);
        e += static_cast<char>(type);
        e += static_cast<char>(1);
        put32(e, 0xFFFFFFFF);
        put32(e, 0xFFFFFFFF);
        put32(e, child);
        e += std::string(16 + 4 + 16, '\0');
        put32(e, start);
        put32(e, size);
        put32(e, 0);
        return e;
    };
    std::string directory = entry("Root Entry", 5, 1, 0xFFFFFFFE, 0) +
                            entry("Workbook", 2, 0xFFFFFFFF, 2, static_cast<unsigned>(stream.size()));
    directory += entry("", 0, 0xFFFFFFFF, 0, 0) + entry("", 0, 0xFFFFFFFF, 0, 0);
    writeFile(path, header + fat + directory + stream);
}

void writeWeChatXlsx(const std::filesystem::path &path)
{
    std::vector<std::vector<XlsxCell>> rows;
    std::istringstream lines(std::string(kWeChatBill).substr(3));
    for (std::string line; std::getline(lines, line);) {
        std::vector<XlsxCell> cells;
        std::istringstream fields(line);
        for (std::string field; std::getline(fields, field, ',');)
            cells.emplace_back(field);
        rows.push_back(std::move(cells));
    }
    writeXlsx(path, rows);
}

} // namespace testing_support
