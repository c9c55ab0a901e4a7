#pragma once

#include "import/bill.h"
#include "import/table.h"
#include "import/text_decoding.h"
#include "import/values.h"

#include <optional>
#include <string>
#include <vector>

namespace db {
class Connection;
}

namespace import {

// How the amount column of a statement is signed.
enum class AmountSign {
    NegativeIsSpending, // "-35.50" left the account (most debit-card statements)
    PositiveIsSpending  // "35.50" was spent (most credit-card statements)
};

// Which columns of a bank's statement hold what, saved under a name and
// offered again for the next file with the same header. Columns are named
// by their header text, so a statement whose header block is longer or
// shorter still reads.
struct BankMapping {
    std::string name;
    std::string header; // the header row's signature (headerSignature)
    Encoding encoding = Encoding::Automatic;
    std::string dateColumn;
    std::string timeColumn;   // optional: the time of day in a column of its own
    std::string amountColumn; // one signed amount ...
    std::string debitColumn;  // ... or spending and income in two columns
    std::string creditColumn;
    AmountSign sign = AmountSign::NegativeIsSpending;
    DateOrder dateOrder = DateOrder::YearFirst;
    std::string counterpartyColumn;
    std::string descriptionColumn;
    std::string referenceColumn; // optional: the bank's own number of the row
};

// The names the windows and the saved mappings use for the choices.
const char *amountSignName(AmountSign sign);
AmountSign amountSignNamed(const std::string &name);
const char *dateOrderName(DateOrder order);
DateOrder dateOrderNamed(const std::string &name);

// The method of a statement's rows: the paying method its account is mapped by.
std::string bankMethod(const BankMapping &mapping);

// Whether a mapping names the columns it needs; the message when not.
db::Result checkMapping(const BankMapping &mapping);

// The row most likely to be a statement's header: among the first rows, the
// first one of the greatest width whose cells are all text.
std::size_t guessHeaderRow(const Table &table);

// The row of a table whose cells hold every column the mapping names.
std::optional<std::size_t> mappedHeaderRow(const Table &table, const BankMapping &mapping);

// Reads a statement's rows through a mapping. Rows without a date and an
// amount (totals, closing lines) end nothing and are passed over; any other
// row must read whole, or the message names it.
BillRead readBank(const Table &table, const BankMapping &mapping);

// The saved mappings, by name.
std::vector<BankMapping> loadMappings(db::Connection &c);
std::optional<BankMapping> loadMapping(db::Connection &c, const std::string &name);
// The saved mapping whose header is one of the first rows of the table.
std::optional<BankMapping> mappingForTable(db::Connection &c, const Table &table);
// Saves a mapping under its name, replacing one of the same name.
db::Result saveMapping(db::Connection &c, const BankMapping &mapping);

} // namespace import
