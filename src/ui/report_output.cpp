#include "ui/report_output.h"

#include "ui/report.h"
#include "ui/report_pages.h"
#include "ui/table_report.h"

#include <QBuffer>
#include <QDir>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QPrinter>
#include <QPrinterInfo>
#include <QSaveFile>

namespace ui {

namespace {
const char *const kPdfWriteFailed = "无法写入文件 %1（%2）。请换一个文件夹或文件名再试。";
const char *const kPdfDrawFailed = "无法生成PDF文件，请重试。";
constexpr int kPdfResolution = 1200;

// Why a file could not be written, in words a user reads.
QString fileErrorText(const QFileDevice &file)
{
    switch (file.error()) {
    case QFileDevice::PermissionsError:
        return QStringLiteral("没有权限");
    case QFileDevice::ResourceError:
        return QStringLiteral("磁盘空间不足或系统资源不够");
    case QFileDevice::OpenError:
        return QStringLiteral("无法创建文件");
    case QFileDevice::WriteError:
        return QStringLiteral("写入出错");
    default:
        return file.errorString();
    }
}
} // namespace

PrintOutcome printReport(const Report &report, int pageCount, QPagedPaintDevice &device,
                         const std::function<void()> &abort)
{
    QPainter painter;
    if (!painter.begin(&device))
        return PrintOutcome::DocumentFailed;
    for (int page = 1; page <= pageCount; ++page) {
        // Beginning the painter started the first page.
        if (page > 1 && !device.newPage()) {
            if (abort)
                abort();
            painter.end();
            return PrintOutcome::PageFailed;
        }
        painter.save();
        useMillimetres(painter);
        report.drawPage(painter, page, pageCount, true);
        painter.restore();
    }
    painter.end();
    return PrintOutcome::Printed;
}

std::unique_ptr<QPrinter> openDefaultPrinter()
{
    const QPrinterInfo info = QPrinterInfo::defaultPrinter();
    if (info.isNull())
        return nullptr;
    return std::make_unique<QPrinter>(info, QPrinter::HighResolution);
}

QString suggestedPdfName(const QString &title, QDate date)
{
    QString name = title;
    name.remove(QLatin1Char(' '));
    return name + QLatin1Char('_') + date.toString(QStringLiteral("yyyy-MM-dd")) + QStringLiteral(".pdf");
}

QString withPdfSuffix(const QString &fileName)
{
    if (fileName.endsWith(QStringLiteral(".pdf"), Qt::CaseInsensitive))
        return fileName;
    return fileName + QStringLiteral(".pdf");
}

db::Result exportPdf(const Report &report, int pageCount, const QString &fileName)
{
    // The whole document is made in memory first, so that a failure while
    // drawing never touches the disk.
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    {
        QPdfWriter writer(&buffer);
        writer.setPageLayout(QPageLayout(QPageSize(QSizeF(kPageWidth, kPageHeight), QPageSize::Millimeter),
                                         QPageLayout::Portrait, QMarginsF(0, 0, 0, 0), QPageLayout::Millimeter));
        writer.setResolution(kPdfResolution);
        writer.setTitle(report.title().trimmed());
        writer.setCreator(QStringLiteral("Pennaro"));
        if (printReport(report, pageCount, writer) != PrintOutcome::Printed)
            return db::Result::refused(kPdfDrawFailed);
    }
    buffer.close();

    QSaveFile file(fileName);
    const QString shown = QDir::toNativeSeparators(fileName);
    if (!file.open(QIODevice::WriteOnly))
        return db::Result::refused(QString::fromUtf8(kPdfWriteFailed).arg(shown, fileErrorText(file)).toStdString());
    if (file.write(buffer.data()) != buffer.data().size()) {
        const QString error = fileErrorText(file);
        file.cancelWriting();
        return db::Result::refused(QString::fromUtf8(kPdfWriteFailed).arg(shown, error).toStdString());
    }
    if (!file.commit())
        return db::Result::refused(QString::fromUtf8(kPdfWriteFailed).arg(shown, fileErrorText(file)).toStdString());
    return db::Result::ok();
}

} // namespace ui
