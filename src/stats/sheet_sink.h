#pragma once

#include "stats/stat_row.h"

#include <string>

namespace stats {

class SheetConnection;

// The INSERT statement that writes a row of a sheet walk (a statistic run
// with Output::Sheet) into the sheet of its section. The first value carries
// the row's depth as leading blanks: one more per tree level in the income
// and expense sheets, one, three and seven in the day sheet.
std::string insertStatement(const Row &row);

// The export's sink: every row of the walk becomes its INSERT on the
// spreadsheet connection. The sheets themselves are made beforehand.
class SheetSink : public RowSink {
public:
    explicit SheetSink(SheetConnection &sheets) : m_sheets(sheets) {}
    void createColumns(const std::vector<Column> &) override {}
    void addRow(const Row &row) override;

private:
    SheetConnection &m_sheets;
};

} // namespace stats
