#include "import/import_window.h"

#include "import/bank_mapping_dialog.h"
#include "import/bill_file.h"
#include "import/file_table.h"
#include "import/import_preview.h"
#include "ui/carry_out.h"

#include <QFileDialog>
#include <QFileInfo>

namespace import {

namespace {

const std::pair<const char *, FormatChoice> kFilters[] = {
    {"账单 (*.csv *.xlsx *.xls *.txt *.qif *.ofx *.qfx)", FormatChoice::Automatic},
    {"支付宝账单 (*.csv *.txt)", FormatChoice::Alipay},
    {"微信支付账单 (*.csv *.xlsx)", FormatChoice::WeChat},
    {"银行对帐单 (*.csv *.xlsx *.xls *.txt)", FormatChoice::Bank},
    {"QIF 文件 (*.qif)", FormatChoice::Qif},
    {"OFX 文件 (*.ofx *.qfx)", FormatChoice::Ofx},
    {"所有文件 (*)", FormatChoice::Automatic},
};
const char *const kChooseTitle = "导入账单";

} // namespace

QStringList billFileFilters()
{
    QStringList filters;
    for (const auto &[filter, format] : kFilters)
        filters << QString::fromUtf8(filter);
    return filters;
}

FormatChoice formatOfFilter(const QString &filter)
{
    for (const auto &[text, format] : kFilters)
        if (filter == QString::fromUtf8(text))
            return format;
    return FormatChoice::Automatic;
}

bool importBillFile(QWidget *parent, db::Connection &connection, const QString &path, FormatChoice format,
                    const QString &handler, const db::DateTime &now)
{
    ReadOptions options;
    options.format = format;
    BillRead read;
    if (!ui::carryOut(parent, [&] {
            // A bank's statement chosen as such opens its mapping, preset with
            // the one saved for its header, so that it can be put right.
            if (format != FormatChoice::Bank)
                read = readBillFile(connection, path.toStdString(), options);
            else
                read.needsMapping = true;
        }))
        return false;
    if (read.needsMapping) {
        std::optional<BankMapping> preset;
        if (format == FormatChoice::Bank) {
            Table table;
            Encoding encoding = Encoding::Automatic;
            if (loadTable(path.toStdString(), encoding, table))
                ui::carryOut(parent, [&] { preset = mappingForTable(connection, table); });
        }
        CBankMappingDialog dialog(path, connection, preset, parent);
        if (dialog.exec() != QDialog::Accepted)
            return false;
        options.format = FormatChoice::Bank;
        options.mapping = dialog.mapping();
        if (!ui::carryOut(parent, [&] { read = readBillFile(connection, path.toStdString(), options); }))
            return false;
    }
    if (!ui::carryOut(parent, [&] { return read.result; }))
        return false;
    Plan plan;
    if (!ui::carryOut(parent, [&] { plan = makePlan(connection, read.bill); }))
        return false;
    CImportPreview preview(std::move(plan), connection, QFileInfo(path).fileName(), handler, now, parent);
    return preview.exec() == QDialog::Accepted && preview.posted() > 0;
}

bool importBill(QWidget *parent, db::Connection *connection, const QString &handler, const db::DateTime &now)
{
    if (!ui::connectionOrSay(parent, connection))
        return false;
    QString filter;
    const QString path = QFileDialog::getOpenFileName(parent, QString::fromUtf8(kChooseTitle), QString(),
                                                      billFileFilters().join(QStringLiteral(";;")), &filter);
    if (path.isEmpty())
        return false;
    return importBillFile(parent, *connection, path, formatOfFilter(filter), handler, now);
}

} // namespace import
