#pragma once

#include <filesystem>
#include <string>
#include <variant>
#include <vector>

namespace testing_support {

// A month of an Alipay bill as the app exports it (new columns, cells
// padded, order numbers followed by a tab), in UTF-8. Rows, by line:
// 9 lunch (餐饮美食, 余额), 10 a ride (交通出行, 招商银行(1234)), 11 a move to
// 余额宝 (不计收支), 12 washing powder (日用百货, 花呗), 13 its partial refund
// (不计收支, 退款成功), 14 a closed purchase, 15 its refund, 16 money from a
// friend (收入, no method).
extern const char *const kAlipayBill;
// A WeChat Pay bill of the same month (CSV): 17 a noodle shop ¥28.16 (零钱),
// 18 a red packet received, 19 a top-up of 零钱通 ("/"), 20 a purchase
// refunded in full, 21 its refund.
extern const char *const kWeChatBill;

// The bytes of a UTF-8 text in GB18030 (Alipay's GBK).
std::string toGbk(const std::string &utf8);

std::filesystem::path writeFile(const std::filesystem::path &path, const std::string &bytes);

// A workbook of one sheet; a double is written as a number cell.
using XlsxCell = std::variant<std::string, double>;
void writeXlsx(const std::filesystem::path &path, const std::vector<std::vector<XlsxCell>> &rows);

// An old binary workbook (.xls, BIFF8 in a compound file) of one sheet:
// text cells as LABEL records, numbers as NUMBER records.
void writeXls(const std::filesystem::path &path, const std::vector<std::vector<XlsxCell>> &rows);

// A zip holding one member of that name and text.
void writeZip(const std::filesystem::path &path, const std::string &member, const std::string &text);

// kWeChatBill as a workbook, the way recent exports come.
void writeWeChatXlsx(const std::filesystem::path &path);

} // namespace testing_support
