#pragma once

#include "import/bank_mapping.h"
#include "import/bill.h"

#include <optional>
#include <string>

namespace db {
class Connection;
}

namespace import {

// The format to read a file as; Automatic tells it from the content.
enum class FormatChoice { Automatic, Alipay, WeChat, Bank, Qif, Ofx };

// The choice named alipay, wechat, csv (a bank's statement), qif or ofx.
std::optional<FormatChoice> formatChoiceNamed(const std::string &name);

struct ReadOptions {
    FormatChoice format = FormatChoice::Automatic;
    // The mapping of a bank's statement; without one, a saved mapping whose
    // header the file has is taken.
    std::optional<BankMapping> mapping;
    Encoding encoding = Encoding::Automatic; // of a text file
};

// Reads a bill file of any format. The format comes from the content (an
// OFX or QIF text, an Alipay or WeChat table, a table a saved mapping
// fits), unless the options name one. The connection gives the saved
// mappings. Refused with a message naming the row; needsMapping set when
// the file is a table nothing fits.
BillRead readBillFile(db::Connection &c, const std::string &path, const ReadOptions &options = {});

} // namespace import
