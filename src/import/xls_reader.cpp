#include "import/xls_reader.h"

#include <freexl.h>

#include <cstdio>

namespace import {

namespace {

// Closes the workbook however the reading ends.
class Workbook {
public:
    ~Workbook()
    {
        if (m_handle)
            freexl_close(m_handle);
    }
    const void *m_handle = nullptr;
};

std::string numberText(double value)
{
    char buffer[40];
    std::snprintf(buffer, sizeof buffer, "%.15g", value);
    return buffer;
}

} // namespace

db::Result readXls(const std::string &path, Table &table, int maxRows)
{
    table.rows.clear();
    table.stoppedAt = 0;
    Workbook book;
    if (freexl_open(path.c_str(), &book.m_handle) != FREEXL_OK)
        return db::Result::refused("旧格式的电子表格 (.xls) 已损坏或读不出来：请在电子表格程序里另存为 .xlsx 或 CSV 再导入");
    unsigned int rows = 0;
    unsigned short columns = 0;
    if (freexl_select_active_worksheet(book.m_handle, 0) != FREEXL_OK ||
        freexl_worksheet_dimensions(book.m_handle, &rows, &columns) != FREEXL_OK)
        return db::Result::refused("旧格式的电子表格 (.xls) 里没有可读的工作表");
    if (rows > static_cast<unsigned>(maxRows)) {
        rows = static_cast<unsigned>(maxRows);
        table.stoppedAt = maxRows + 1;
    }
    table.rows.reserve(rows);
    for (unsigned int r = 0; r < rows; ++r) {
        TableRow row;
        row.line = static_cast<int>(r) + 1;
        row.cells.resize(columns);
        for (unsigned short c = 0; c < columns; ++c) {
            FreeXL_CellValue value;
            if (freexl_get_cell_value(book.m_handle, r, c, &value) != FREEXL_OK)
                return db::Result::refused("第 " + std::to_string(row.line) + " 行：单元格读不出来，文件已损坏");
            Cell &cell = row.cells[c];
            switch (value.type) {
            case FREEXL_CELL_INT:
                cell.text = std::to_string(value.value.int_value);
                cell.number = true;
                break;
            case FREEXL_CELL_DOUBLE:
                cell.text = numberText(value.value.double_value);
                cell.number = true;
                break;
            case FREEXL_CELL_TEXT:
            case FREEXL_CELL_SST_TEXT:
            case FREEXL_CELL_DATE:
            case FREEXL_CELL_DATETIME:
            case FREEXL_CELL_TIME:
                cell.text = value.value.text_value ? value.value.text_value : "";
                break;
            default:
                break;
            }
        }
        table.rows.push_back(std::move(row));
    }
    return db::Result::ok();
}

} // namespace import
