#include "stats/stat_report.h"

#include "stats/stat_list.h"
#include "ui/print_preview.h"

#include <vector>

namespace stats {

namespace {

struct ColumnSpec {
    const char *caption;
    double right;
    int byteLimit;
};

struct ReportSpec {
    const char *title;
    std::vector<ColumnSpec> columns;
};

constexpr double kFirstColumnLeft = 20;

// Each column runs from the previous one's right boundary to its own. The
// statistics report's last column ends at 154 mm, short of the table's edge.
const ReportSpec kStatistics = {
    "统计报表", {{"类 型", 60, 31}, {"金 额", 91, 15}, {"次 数", 112, 7}, {"收 付", 133, 31}, {"百分比", 154, 31}}};
const ReportSpec kQueryStatistics = {
    "查询统计报表", {{"树类型", 40, 31}, {"金额", 75, 15}, {"次数", 100, 7}, {"类型", 125, 31}, {"百分比 ", 162, 31}}};

// The rows the list displays. Walking the tree for every cell would cost a
// walk per cell, so the walk is made once as each page begins (and when the
// rows are counted) and its texts serve the page's cells.
class DisplayedRows : public ui::ReportRows {
public:
    explicit DisplayedRows(const CStatList &list) : m_list(list) {}

    int rowCount() const override
    {
        reread();
        return static_cast<int>(m_rows.size());
    }

    void pageStarting() const override { reread(); }

    QString cell(int row, int column) const override
    {
        if (!m_read)
            reread();
        if (row < 0 || row >= static_cast<int>(m_rows.size()))
            return {};
        return m_rows[row].value(column);
    }

private:
    void reread() const
    {
        m_rows = m_list.displayedRowTexts();
        m_read = true;
    }

    const CStatList &m_list;
    mutable std::vector<QStringList> m_rows;
    mutable bool m_read = false;
};

} // namespace

ui::TableLayout statReportLayout(StatReportKind kind)
{
    const ReportSpec &spec = kind == StatReportKind::Statistics ? kStatistics : kQueryStatistics;
    ui::TableLayout layout;
    layout.title = QString::fromUtf8(spec.title);
    layout.cellAlignment = Qt::AlignHCenter;
    double left = kFirstColumnLeft;
    for (const ColumnSpec &column : spec.columns) {
        layout.columns.push_back({QString::fromUtf8(column.caption), left, column.right, column.byteLimit});
        left = column.right;
    }
    return layout;
}

std::unique_ptr<ui::TableReport> makeStatReport(StatReportKind kind, const CStatList &list, QDate today)
{
    return makeListReport(statReportLayout(kind), list, today);
}

std::unique_ptr<ui::TableReport> makeListReport(ui::TableLayout layout, const CStatList &list, QDate today)
{
    return std::make_unique<ui::TableReport>(std::move(layout), std::make_unique<DisplayedRows>(list), today);
}

std::unique_ptr<ui::Report> makeStatReport(StatReportKind kind, const CStatList &list, QDate today,
                                           ui::CoveredReport::Cover cover)
{
    std::unique_ptr<ui::TableReport> table = makeStatReport(kind, list, today);
    if (!cover)
        return table;
    return std::make_unique<ui::CoveredReport>(std::move(table), std::move(cover));
}

void previewStatistics(StatReportKind kind, const CStatList &list, QDate today, QWidget *owner,
                       ui::CoveredReport::Cover cover)
{
    if (list.displayedRowCount() <= 0)
        return;
    const std::unique_ptr<ui::Report> report = makeStatReport(kind, list, today, std::move(cover));
    CPrintPreview preview(*report, owner);
    preview.exec();
}

void previewList(ui::TableLayout layout, const CStatList &list, QDate today, QWidget *owner)
{
    if (list.displayedRowCount() <= 0)
        return;
    const std::unique_ptr<ui::TableReport> report = makeListReport(std::move(layout), list, today);
    CPrintPreview preview(*report, owner);
    preview.exec();
}

} // namespace stats
