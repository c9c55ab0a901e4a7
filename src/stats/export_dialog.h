#pragma once

#include "db/result.h"

#include <QString>

#include <functional>
#include <string>

class QWidget;

namespace stats {

inline constexpr const char *kExportDialogTitle = "请输入要保存的文件名";
// The filter the dialog starts with shows the workbooks the export writes
// (.xlsx) beside the older kind, so that earlier exports can be seen.
inline constexpr const char *kExportFilter = "MICROSOFT EXCEL DRIVER (*.xls *.xlsx)";
inline constexpr const char *kWorkbookFilter = "Excel 工作簿 (*.xlsx)";

// Asks for the file to export to. A name typed without extension gets
// ".xlsx" before the dialog asks whether to replace an existing file.
// Returns "" when the user cancels.
QString askExportFile(QWidget *parent);

// The export command of a query window: asks for the file, has write make
// it, and tells the user how it went. A cancelled dialog does nothing.
void exportWithDialog(QWidget *parent, const std::function<db::Result(const std::string &path)> &write);

} // namespace stats
