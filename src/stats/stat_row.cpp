#include "stats/stat_row.h"

namespace stats {

const std::string &Row::cell(std::size_t index) const
{
    static const std::string none;
    return index < cells.size() ? cells[index] : none;
}

const std::vector<Column> &categoryColumns()
{
    static const std::vector<Column> columns = {
        {"类型", 200}, {"金额", 150}, {"次数", 150}, {"收付", 150}, {"百分比", 150}};
    return columns;
}

const std::vector<Column> &dayColumns()
{
    static const std::vector<Column> columns = {
        {"日期", 200}, {"金额", 150}, {"次数", 150}, {"收付", 150}, {"百分比", 150}};
    return columns;
}

} // namespace stats
