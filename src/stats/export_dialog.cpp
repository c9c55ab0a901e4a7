#include "stats/export_dialog.h"

#include "stats/export.h"
#include "ui/message_box.h"

#include <QApplication>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>

namespace stats {

namespace {

constexpr const char *kReplaceQuestion = "文件 %1 已存在，要替换它吗？";

} // namespace

QString askExportFile(QWidget *parent)
{
    QFileDialog dialog(parent, QString::fromUtf8(kExportDialogTitle));
    dialog.setObjectName(QStringLiteral("exportFileDialog"));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    // Qt's own dialog adds the extension before its question about an
    // existing file, so the question is about the file that is written.
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setNameFilters({QString::fromUtf8(kExportFilter), QString::fromUtf8(kWorkbookFilter)});
    dialog.setDefaultSuffix(QStringLiteral("xlsx"));
    dialog.setSizeGripEnabled(true);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    return dialog.selectedFiles().constFirst();
}

void exportWithDialog(QWidget *parent, const std::function<db::Result(const std::string &path)> &write)
{
    const QString chosen = askExportFile(parent);
    if (chosen.isEmpty())
        return;
    const std::string path = exportFileName(QFile::encodeName(chosen).toStdString());
    // The dialog asked about the name it returned; a name completed here is
    // asked about again.
    if (path != QFile::encodeName(chosen).toStdString() && QFileInfo::exists(QFile::decodeName(path.c_str())) &&
        !ui::askYesNo(parent, QString::fromUtf8(kReplaceQuestion).arg(QFile::decodeName(path.c_str()))))
        return;
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const db::Result result = write(path);
    QApplication::restoreOverrideCursor();
    if (result)
        ui::inform(parent, QString::fromUtf8(kExportDoneMessage));
    else
        ui::warn(parent, QString::fromStdString(result.message));
}

} // namespace stats
