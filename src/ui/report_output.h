#pragma once

#include "db/result.h"

#include <QDate>
#include <QString>

#include <functional>
#include <memory>

class QPagedPaintDevice;
class QPrinter;

namespace ui {

class Report;

// Fixed texts of printing.
inline constexpr const char *kPrinterInitFailed = "打印机初始化失败!";
inline constexpr const char *kPrinterConnectFailed = "连接到打印机化败!";
inline constexpr const char *kPrintFailed = "打印失败!";

enum class PrintOutcome { Printed, DocumentFailed, PageFailed };

// Draws pages 1 to pageCount of a report as one document on a printer or
// PDF writer. When a page cannot be started, `abort` (if any) is called and
// nothing more is drawn.
PrintOutcome printReport(const Report &report, int pageCount, QPagedPaintDevice &device,
                         const std::function<void()> &abort = {});

// The system's default printer with its default settings; none when no
// default printer is set up.
std::unique_ptr<QPrinter> openDefaultPrinter();

// The PDF name offered for a report: its title without blanks, an
// underscore and the date, ".pdf".
QString suggestedPdfName(const QString &title, QDate date);
// The name with ".pdf" added unless it already ends so (in any case).
QString withPdfSuffix(const QString &fileName);

// Writes pages 1 to pageCount to a PDF file with its fonts embedded. The
// file appears complete or not at all: it is written beside the target
// under another name and renamed when done. Refused with the message to show.
db::Result exportPdf(const Report &report, int pageCount, const QString &fileName);

} // namespace ui
