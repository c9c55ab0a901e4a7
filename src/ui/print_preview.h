#pragma once

#include <QDialog>

#include <functional>
#include <map>
#include <memory>

class CPreviewPane;
class QAction;
class QPrinter;
class QToolBar;
namespace ui {
class Report;
}

// "打印预览": shows a report page by page, maximised, with the toolbar to
// move through the pages, print the report and export it as a PDF.
class CPrintPreview : public QDialog {
    Q_OBJECT
public:
    enum Button { First, Previous, GoTo, Next, Last, Print, Close, ExportPdf };
    using PrinterSource = std::function<std::unique_ptr<QPrinter>()>;

    // The number of rows, and so the page count, is taken now.
    explicit CPrintPreview(const ui::Report &report, QWidget *parent = nullptr);
    ~CPrintPreview() override;

    // Does not open when the report has no rows.
    int exec() override;

    const ui::Report &report() const { return m_report; }
    int pageCount() const { return m_pageCount; }
    int currentPage() const { return m_page; }
    // Shows a page, kept within 1 and the page count.
    void setPage(int page);

    QAction *action(Button button) const;
    QToolBar *toolBar() const { return m_toolBar; }
    CPreviewPane *pane() const { return m_pane; }

    // Where printing goes; the system's default printer unless set.
    void setPrinterSource(PrinterSource source) { m_printerSource = std::move(source); }

    void goToPage();
    void print();
    void exportPdf();

protected:
    void keyPressEvent(QKeyEvent *event) override;

private:
    void createToolBar();
    void updateButtons();

    const ui::Report &m_report;
    int m_pageCount;
    int m_page = 1;
    QToolBar *m_toolBar = nullptr;
    CPreviewPane *m_pane = nullptr;
    std::map<Button, QAction *> m_actions;
    PrinterSource m_printerSource;
};
