#include "ui/print_preview.h"

#include "ui/goto_page_dialog.h"
#include "ui/message_box.h"
#include "ui/preview_pane.h"
#include "ui/report.h"
#include "ui/report_output.h"
#include "ui/report_pages.h"

#include <QAction>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QPrinter>
#include <QScreen>
#include <QStandardPaths>
#include <QToolBar>
#include <QVBoxLayout>

namespace {
const char *const kCaption = "打印预览";
const char *const kCaptionWithPage = "打印预览 - 第 %1 页/共 %2 页";
const char *const kPrintQuestion = "决定打印当前报表吗?";
const char *const kPrintQuestionCaption = "打印提示";
const char *const kExportCaption = "导出PDF";
const char *const kPdfFilter = "PDF 文件 (*.pdf)";
const char *const kReplaceQuestion = "%1 已存在，要替换它吗?";
const char *const kExported = "报表已导出到 %1";

struct ButtonText {
    CPrintPreview::Button button;
    const char *text;
    const char *tip;
};
const ButtonText kButtons[] = {
    {CPrintPreview::First, "首页", "第一页 (Home)"},
    {CPrintPreview::Previous, "上一页", "上一页 (Page Up)"},
    {CPrintPreview::GoTo, "转到页", "转到指定的页"},
    {CPrintPreview::Next, "下一页", "下一页 (Page Down)"},
    {CPrintPreview::Last, "末页", "最后一页 (End)"},
    {CPrintPreview::Print, "打印", "在默认打印机上打印全部页"},
    {CPrintPreview::ExportPdf, "导出PDF", "把全部页存为PDF文件"},
    {CPrintPreview::Close, "关闭", "关闭预览 (Esc)"},
};

QString exportFolder()
{
    const QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    return QFileInfo(documents).isDir() ? documents : QDir::homePath();
}
} // namespace

CPrintPreview::CPrintPreview(const ui::Report &report, QWidget *parent)
    : QDialog(parent), m_report(report), m_pageCount(report.pageCount()),
      m_printerSource(&ui::openDefaultPrinter)
{
    setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowMinMaxButtonsHint |
                   Qt::WindowCloseButtonHint);
    setWindowTitle(QString::fromUtf8(kCaption));
    setWindowState(Qt::WindowMaximized);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    createToolBar();
    layout->addWidget(m_toolBar);
    m_pane = new CPreviewPane(m_report, this);
    layout->addWidget(m_pane, 1);
    m_pane->setFocus();
    setPage(1);
}

CPrintPreview::~CPrintPreview() = default;

int CPrintPreview::exec()
{
    if (m_pageCount <= 0)
        return QDialog::Rejected;
    // Without a window manager "maximised" means nothing: take the screen.
    if (QScreen *screen = parentWidget() ? parentWidget()->screen() : QGuiApplication::primaryScreen())
        setGeometry(screen->availableGeometry());
    return QDialog::exec();
}

void CPrintPreview::createToolBar()
{
    m_toolBar = new QToolBar(this);
    m_toolBar->setToolButtonStyle(Qt::ToolButtonTextOnly);
    m_toolBar->setMovable(false);
    for (const ButtonText &b : kButtons) {
        QAction *action = m_toolBar->addAction(QString::fromUtf8(b.text));
        action->setToolTip(QString::fromUtf8(b.tip));
        m_actions[b.button] = action;
        if (b.button == CPrintPreview::ExportPdf)
            m_toolBar->addSeparator();
    }
    connect(m_actions[First], &QAction::triggered, this, [this] { setPage(1); });
    connect(m_actions[Previous], &QAction::triggered, this, [this] { setPage(m_page - 1); });
    connect(m_actions[GoTo], &QAction::triggered, this, &CPrintPreview::goToPage);
    connect(m_actions[Next], &QAction::triggered, this, [this] { setPage(m_page + 1); });
    connect(m_actions[Last], &QAction::triggered, this, [this] { setPage(m_pageCount); });
    connect(m_actions[Print], &QAction::triggered, this, &CPrintPreview::print);
    connect(m_actions[ExportPdf], &QAction::triggered, this, &CPrintPreview::exportPdf);
    connect(m_actions[Close], &QAction::triggered, this, &QDialog::reject);
}

QAction *CPrintPreview::action(Button button) const
{
    auto it = m_actions.find(button);
    return it == m_actions.end() ? nullptr : it->second;
}

void CPrintPreview::setPage(int page)
{
    m_page = std::clamp(page, 1, std::max(1, m_pageCount));
    if (m_pageCount > 0)
        m_pane->showPage(m_page, m_pageCount);
    setWindowTitle(QString::fromUtf8(kCaptionWithPage).arg(m_page).arg(m_pageCount));
    updateButtons();
}

void CPrintPreview::updateButtons()
{
    m_actions[First]->setEnabled(m_page > 1);
    m_actions[Previous]->setEnabled(m_page > 1);
    m_actions[Next]->setEnabled(m_page < m_pageCount);
    m_actions[Last]->setEnabled(m_page < m_pageCount);
}

void CPrintPreview::goToPage()
{
    CGotoPageDialog dialog(m_pageCount, m_page, this);
    if (dialog.exec() == QDialog::Accepted)
        setPage(dialog.page());
}

void CPrintPreview::print()
{
    if (!ui::askYesNo(this, QString::fromUtf8(kPrintQuestion), false, kPrintQuestionCaption))
        return;
    std::unique_ptr<QPrinter> printer = m_printerSource ? m_printerSource() : nullptr;
    if (!printer) {
        ui::showError(this, QString::fromUtf8(ui::kPrinterInitFailed));
        return;
    }
    printer->setDocName(m_report.title());
    // Always the whole report, whatever page is shown.
    switch (ui::printReport(m_report, m_pageCount, *printer, [&printer] { printer->abort(); })) {
    case ui::PrintOutcome::DocumentFailed:
        ui::showError(this, QString::fromUtf8(ui::kPrinterConnectFailed));
        break;
    case ui::PrintOutcome::PageFailed:
        ui::showError(this, QString::fromUtf8(ui::kPrintFailed));
        break;
    case ui::PrintOutcome::Printed:
        break;
    }
}

void CPrintPreview::exportPdf()
{
    const QString suggested = ui::suggestedPdfName(m_report.title(), m_report.date());
    QFileDialog dialog(this, QString::fromUtf8(kExportCaption), exportFolder(), QString::fromUtf8(kPdfFilter));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setDefaultSuffix(QStringLiteral("pdf"));
    dialog.selectFile(suggested);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return;
    const QString chosen = dialog.selectedFiles().first();
    const QString fileName = ui::withPdfSuffix(chosen);
    // The dialog asked about replacing the name it returned, not one with
    // the suffix added afterwards.
    if (fileName != chosen && QFileInfo::exists(fileName) &&
        !ui::askYesNo(this, QString::fromUtf8(kReplaceQuestion).arg(QDir::toNativeSeparators(fileName)), false,
                      kExportCaption))
        return;
    const db::Result result = ui::exportPdf(m_report, m_pageCount, fileName);
    if (!result) {
        ui::showError(this, QString::fromStdString(result.message));
        return;
    }
    ui::inform(this, QString::fromUtf8(kExported).arg(QDir::toNativeSeparators(fileName)));
}

void CPrintPreview::keyPressEvent(QKeyEvent *event)
{
    switch (event->key()) {
    case Qt::Key_PageUp:
        setPage(m_page - 1);
        return;
    case Qt::Key_PageDown:
        setPage(m_page + 1);
        return;
    case Qt::Key_Home:
        setPage(1);
        return;
    case Qt::Key_End:
        setPage(m_pageCount);
        return;
    default:
        QDialog::keyPressEvent(event);
    }
}
