#include "ledger/ledger_report.h"

#include "ledger/ledger_load.h"
#include "ledger/ledger_model.h"
#include "ui/print_preview.h"

#include <array>

namespace ledger {

namespace {

struct ColumnSpec {
    const char *caption;
    double right;
    int byteLimit;
};

struct TableSpec {
    double left;
    std::vector<ColumnSpec> columns;
};

// Each column runs from the previous one's right boundary to its own.
const std::array<TableSpec, kLedgerCount> kTables = {{
    {20,
     {{"编 号", 30, 31},
      {"日期时间", 65, 19},
      {"支付类型", 80, 19},
      {"帐目类型", 105, 19},
      {"金额", 125, 31},
      {"经手人", 145, 31},
      {"说明", 162, 31}}},
    {20, {{"收入帐编号", 40, 31}, {"日期时间", 75, 24}, {"收入来源", 100, 19}, {"金额", 115, 24}, {"存入银行", 140, 31}}},
    {20, {{"支出帐编号", 50, 31}, {"日期时间", 90, 19}, {"支出原因", 115, 19}, {"用了多少", 140, 19}}},
    {20, {{"银行名称", 50, 31}, {"日期时间", 90, 24}, {"类 型", 115, 19}, {"金额", 140, 24}, {"收付否", 165, 31}}},
    {20, {{"现金帐编号", 50, 31}, {"日期时间", 90, 24}, {"金额", 115, 19}, {"收付否", 140, 24}, {"帐目类型", 165, 31}}},
    // The investment ledger follows its list's eight columns. To give the
    // amounts and names the room they need within the table, its date
    // column prints the day without the time (the first 10 bytes).
    {20,
     {{"编 号", 30, 31},
      {"日 期", 50, 10},
      {"类 型", 65, 31},
      {"投入金额", 85.5, 24},
      {"投资回报", 106, 24},
      {"利 润", 125.5, 24},
      {"现金或银行", 144.5, 31},
      {"状 态", 162, 31}}},
}};

class LedgerRows : public ui::ReportRows {
public:
    explicit LedgerRows(const LedgerModel &model) : m_model(model) {}
    int rowCount() const override { return m_model.rowCount(); }
    QString cell(int row, int column) const override { return m_model.cell(row, column); }
    bool printsWhole(int row) const override { return m_model.isSummaryRow(row); }

private:
    const LedgerModel &m_model;
};

} // namespace

ui::TableLayout reportLayout(int ledgerIndex)
{
    ui::TableLayout layout;
    layout.title = QString::fromStdString(ledgerCaption(ledgerIndex));
    layout.cellAlignment = Qt::AlignLeft;
    if (ledgerIndex < 0 || ledgerIndex >= kLedgerCount)
        return layout;
    const TableSpec &table = kTables[ledgerIndex];
    double left = table.left;
    for (const ColumnSpec &column : table.columns) {
        layout.columns.push_back({QString::fromUtf8(column.caption), left, column.right, column.byteLimit});
        left = column.right;
    }
    return layout;
}

std::unique_ptr<ui::TableReport> makeLedgerReport(const LedgerModel &model, QDate today)
{
    return std::make_unique<ui::TableReport>(reportLayout(model.ledgerIndex()), std::make_unique<LedgerRows>(model),
                                             today);
}

void previewLedger(const LedgerModel &model, QDate today, QWidget *owner)
{
    if (model.rowCount() <= 0)
        return;
    const std::unique_ptr<ui::TableReport> report = makeLedgerReport(model, today);
    CPrintPreview preview(*report, owner);
    preview.exec();
}

} // namespace ledger
