#include "app/ui_setup.h"
#include "ui/goto_page_dialog.h"
#include "ui/preview_pane.h"
#include "ui/print_preview.h"
#include "ui/report_output.h"
#include "ui/report_pages.h"
#include "ui/table_report.h"

#include <QAction>
#include <QFileDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QPainter>
#include <QPrinter>
#include <QPrinterInfo>
#include <QProcess>
#include <QPushButton>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QToolBar>
#include <QWheelEvent>
#include <QtTest>

#include <cmath>
#include <functional>

namespace {

class NumberedRows : public ui::ReportRows {
public:
    explicit NumberedRows(int count) : m_count(count) {}
    int rowCount() const override { return m_count; }
    QString cell(int row, int column) const override
    {
        return column == 0 ? QStringLiteral("行%1").arg(row + 1) : QStringLiteral("值%1-%2").arg(row + 1).arg(column);
    }

private:
    int m_count;
};

struct Drawn {
    int page;
    int pageCount;
    bool printing;
    bool operator==(const Drawn &o) const
    {
        return page == o.page && pageCount == o.pageCount && printing == o.printing;
    }
};

ui::TableLayout testLayout()
{
    return {QStringLiteral("  测  试  表  "),
            {{QStringLiteral("名称"), 20, 60, 31}, {QStringLiteral("数值"), 60, 110, 31}, {QStringLiteral("备注"), 110, 162, 31}},
            Qt::AlignLeft};
}

// A table report that notes every page it is asked to draw.
class RecordingReport : public ui::TableReport {
public:
    explicit RecordingReport(int rows)
        : ui::TableReport(testLayout(), std::make_unique<NumberedRows>(rows), QDate(2007, 3, 20))
    {
    }
    void drawPage(QPainter &painter, int page, int pageCount, bool printing) const override
    {
        drawn.push_back({page, pageCount, printing});
        ui::TableReport::drawPage(painter, page, pageCount, printing);
    }
    mutable std::vector<Drawn> drawn;
    std::vector<Drawn> printed() const
    {
        std::vector<Drawn> out;
        for (const Drawn &d : drawn)
            if (d.printing)
                out.push_back(d);
        return out;
    }
};

// A printer whose pages after the first cannot be started.
class PageRefusingPrinter : public QPrinter {
public:
    using QPrinter::QPrinter;
    bool newPage() override { return false; }
};

// While it lives, runs `act` once on the next modal window of type T.
template <class T> class WhenModal {
public:
    explicit WhenModal(std::function<void(T *)> act) : m_act(std::move(act))
    {
        QObject::connect(&m_timer, &QTimer::timeout, [this] {
            if (auto *window = qobject_cast<T *>(QApplication::activeModalWidget())) {
                m_timer.stop();
                m_seen = true;
                m_act(window);
            }
        });
        m_timer.start(10);
    }
    bool seen() const { return m_seen; }

private:
    std::function<void(T *)> m_act;
    QTimer m_timer;
    bool m_seen = false;
};

struct Box {
    QString caption;
    QString text;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    QMessageBox::StandardButton defaultButton = QMessageBox::NoButton;
};

// While it lives, notes every message box and answers them in turn (OK
// once the answers run out).
class Boxes {
public:
    explicit Boxes(QList<QMessageBox::StandardButton> answers = {}) : m_answers(std::move(answers))
    {
        QObject::connect(&m_timer, &QTimer::timeout, [this] { poll(); });
        m_timer.start(10);
    }
    std::vector<Box> seen;

private:
    void poll()
    {
        auto *m = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
        if (!m)
            return;
        Box box{m->windowTitle(), m->text(), m->icon(), QMessageBox::NoButton};
        if (m->defaultButton())
            box.defaultButton = m->standardButton(m->defaultButton());
        seen.push_back(box);
        const QMessageBox::StandardButton answer = m_answers.isEmpty() ? QMessageBox::Ok : m_answers.takeFirst();
        if (QAbstractButton *button = m->button(answer))
            button->click();
        else
            m->close();
    }
    QList<QMessageBox::StandardButton> m_answers;
    QTimer m_timer;
};

QStringList toolbarTexts(const CPrintPreview &preview)
{
    QStringList texts;
    for (QAction *a : preview.toolBar()->actions())
        if (!a->isSeparator())
            texts << a->text();
    return texts;
}

QList<bool> navigationStates(const CPrintPreview &p)
{
    return {p.action(CPrintPreview::First)->isEnabled(), p.action(CPrintPreview::Previous)->isEnabled(),
            p.action(CPrintPreview::Next)->isEnabled(), p.action(CPrintPreview::Last)->isEnabled()};
}

QString run(const QString &program, const QStringList &arguments)
{
    QProcess process;
    process.start(program, arguments);
    if (!process.waitForFinished(30000))
        return {};
    return QString::fromUtf8(process.readAllStandardOutput());
}

int pdfPages(const QString &file)
{
    const QString info = run(QStringLiteral("pdfinfo"), {file});
    const QRegularExpressionMatch m = QRegularExpression(QStringLiteral("Pages:\\s+(\\d+)")).match(info);
    return m.hasMatch() ? m.captured(1).toInt() : -1;
}

// Share of dark pixels along a row (horizontal) or column of an image.
double darkShare(const QImage &image, bool horizontal, int at, int from, int to)
{
    int dark = 0;
    for (int i = from; i <= to; ++i) {
        const QColor c = horizontal ? image.pixelColor(i, at) : image.pixelColor(at, i);
        if (c.lightness() < 128)
            ++dark;
    }
    return double(dark) / (to - from + 1);
}

} // namespace

class TestPrintPreview : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void buttonsFollowThePage();
    void keysMoveThroughThePages();
    void nothingToShowDoesNotOpen();
    void goToPage_data();
    void goToPage();
    void goToPageJudgesTheFieldWhenLeft();
    void paneShowsThePageAtRealSize();
    void paneScrollsByLinesPagesAndWheel();
    void printAsksFirstAndNeedsAPrinter();
    void printingFromAnyPagePrintsTheWholeReport();
    void printFailuresAreReported();
    void exportWritesEveryPage();
    void exportFailureLeavesNoFile();
};

void TestPrintPreview::initTestCase() { app::setUpApplication(*qApp); }

void TestPrintPreview::buttonsFollowThePage()
{
    RecordingReport single(29);
    CPrintPreview one(single);
    QCOMPARE(one.pageCount(), 1);
    QCOMPARE(navigationStates(one), (QList<bool>{false, false, false, false}));
    for (auto b : {CPrintPreview::GoTo, CPrintPreview::Print, CPrintPreview::ExportPdf, CPrintPreview::Close})
        QVERIFY(one.action(b)->isEnabled());
    QVERIFY(one.windowState() & Qt::WindowMaximized);
    QCOMPARE(toolbarTexts(one), (QStringList{"首页", "上一页", "转到页", "下一页", "末页", "打印", "导出PDF", "关闭"}));

    RecordingReport three(60);
    CPrintPreview preview(three);
    QCOMPARE(preview.pageCount(), 3);
    QCOMPARE(preview.currentPage(), 1);
    QCOMPARE(navigationStates(preview), (QList<bool>{false, false, true, true}));
    QCOMPARE(preview.windowTitle(), QStringLiteral("打印预览 - 第 1 页/共 3 页"));
    preview.action(CPrintPreview::Last)->trigger();
    QCOMPARE(preview.currentPage(), 3);
    QCOMPARE(preview.pane()->page(), 3);
    QCOMPARE(navigationStates(preview), (QList<bool>{true, true, false, false}));
    QCOMPARE(preview.windowTitle(), QStringLiteral("打印预览 - 第 3 页/共 3 页"));
    preview.action(CPrintPreview::Previous)->trigger();
    QCOMPARE(preview.currentPage(), 2);
    QCOMPARE(navigationStates(preview), (QList<bool>{true, true, true, true}));
    preview.action(CPrintPreview::First)->trigger();
    QCOMPARE(preview.currentPage(), 1);
    preview.action(CPrintPreview::Next)->trigger();
    QCOMPARE(preview.currentPage(), 2);
    // The preview draws with the print flag clear, the page count passed on.
    QCOMPARE(three.drawn.back(), (Drawn{2, 3, false}));
}

void TestPrintPreview::keysMoveThroughThePages()
{
    RecordingReport report(60);
    CPrintPreview preview(report);
    preview.show();
    QWidget *pane = preview.pane();
    const std::pair<Qt::Key, int> steps[] = {{Qt::Key_PageDown, 2}, {Qt::Key_End, 3}, {Qt::Key_PageDown, 3},
                                             {Qt::Key_PageUp, 2},   {Qt::Key_Home, 1}, {Qt::Key_PageUp, 1}};
    for (const auto &[key, page] : steps) {
        QTest::keyClick(pane, key);
        QCOMPARE(preview.currentPage(), page);
    }
    QTest::keyClick(pane, Qt::Key_Escape);
    QVERIFY(!preview.isVisible());
    QCOMPARE(preview.result(), int(QDialog::Rejected));
}

void TestPrintPreview::nothingToShowDoesNotOpen()
{
    RecordingReport empty(0);
    CPrintPreview preview(empty);
    WhenModal<CPrintPreview> opened([](CPrintPreview *p) { p->reject(); });
    QCOMPARE(preview.exec(), int(QDialog::Rejected));
    QVERIFY(!opened.seen());
    QVERIFY(empty.drawn.empty());
}

void TestPrintPreview::goToPage_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<bool>("reported");
    QTest::addColumn<int>("page");
    QTest::newRow("beyond the last page") << "1000" << false << 3;
    QTest::newRow("a page") << " 3 " << false << 3;
    QTest::newRow("zero") << "0" << true << 1;
    QTest::newRow("above 999999") << "1000000" << true << 3;
    QTest::newRow("no number") << "abc" << true << 2;
    QTest::newRow("empty") << "" << true << 2;
    QTest::newRow("not whole") << "2.5" << true << 2;
    QTest::newRow("cancelled") << QString() << false << 2;
}

void TestPrintPreview::goToPage()
{
    QFETCH(QString, typed);
    QFETCH(bool, reported);
    QFETCH(int, page);
    const bool cancel = QString::fromUtf8(QTest::currentDataTag()) == QLatin1String("cancelled");
    RecordingReport report(60);
    CPrintPreview preview(report);
    preview.setPage(2);
    QString caption;
    QString start;
    QString shownAfterBox;
    std::unique_ptr<Boxes> boxes;
    WhenModal<CGotoPageDialog> opened([&](CGotoPageDialog *dialog) {
        caption = dialog->windowTitle();
        start = dialog->field()->text();
        if (cancel) {
            dialog->field()->lineEdit()->setText(QStringLiteral("3"));
            dialog->cancelButton()->click();
            return;
        }
        dialog->field()->lineEdit()->setText(typed);
        boxes = std::make_unique<Boxes>();
        dialog->confirmButton()->click();
        if (dialog->isVisible()) {
            // A reported text keeps the dialog open with the corrected number.
            shownAfterBox = dialog->field()->text();
            dialog->confirmButton()->click();
        }
    });
    preview.action(CPrintPreview::GoTo)->trigger();
    QVERIFY(opened.seen());
    QCOMPARE(caption, QStringLiteral("转到页"));
    QCOMPARE(start, QStringLiteral("2"));
    QCOMPARE(preview.currentPage(), page);
    if (!cancel) {
        QCOMPARE(boxes->seen.size(), std::size_t(reported ? 1 : 0));
        if (reported) {
            QCOMPARE(boxes->seen[0].text, QStringLiteral("请输入 1 到 999999 之间的整数。"));
            QCOMPARE(shownAfterBox, QString::number(page));
        }
    }
}

void TestPrintPreview::goToPageJudgesTheFieldWhenLeft()
{
    CGotoPageDialog dialog(3, 2, nullptr);
    dialog.show();
    QVERIFY(QTest::qWaitForWindowActive(&dialog));
    // The arrows stay within the pages.
    dialog.field()->stepBy(5);
    QCOMPARE(dialog.field()->text(), QStringLiteral("3"));
    dialog.field()->stepBy(-9);
    QCOMPARE(dialog.field()->text(), QStringLiteral("1"));

    dialog.field()->setFocus();
    dialog.field()->lineEdit()->setText(QStringLiteral("77"));
    QTest::keyClick(dialog.field()->lineEdit(), Qt::Key_Tab);
    QCOMPARE(dialog.field()->text(), QStringLiteral("3"));

    dialog.field()->setFocus();
    dialog.field()->lineEdit()->setText(QStringLiteral("x"));
    Boxes boxes;
    QTest::keyClick(dialog.field()->lineEdit(), Qt::Key_Tab);
    QTRY_COMPARE(boxes.seen.size(), std::size_t(1));
    QCOMPARE(dialog.field()->text(), QStringLiteral("3"));
    QCOMPARE(dialog.page(), 3);
}

void TestPrintPreview::paneShowsThePageAtRealSize()
{
    RecordingReport report(5);
    CPrintPreview preview(report);
    CPreviewPane *pane = preview.pane();
    const int dpiX = pane->logicalDpiX();
    const int dpiY = pane->logicalDpiY();
    const QImage &image = pane->pageImage();
    QCOMPARE(image.width(), int(std::lround(182 / 25.4 * dpiX)));
    QCOMPARE(image.height(), int(std::lround(257 / 25.4 * dpiY)));
    QCOMPARE(pane->pageOrigin(), QPoint(dpiX / 2, dpiY / 2));
    // The outline, on all four sides.
    const int w = image.width();
    const int h = image.height();
    QVERIFY(darkShare(image, false, 0, 0, h - 1) > 0.95);
    QVERIFY(darkShare(image, false, w - 1, 0, h - 1) > 0.95);
    QVERIFY(darkShare(image, true, 0, 0, w - 1) > 0.95);
    QVERIFY(darkShare(image, true, h - 1, 0, w - 1) > 0.95);
    // The top rule of the table at 25 mm, from 20 to 162 mm.
    const int x0 = int(std::lround(20 / 25.4 * dpiX)) + 1;
    const int x1 = int(std::lround(162 / 25.4 * dpiX)) - 1;
    const int top = int(25 / 25.4 * dpiY);
    QVERIFY(std::max(darkShare(image, true, top, x0, x1), darkShare(image, true, top + 1, x0, x1)) > 0.95);
    QVERIFY(darkShare(image, true, top + 4, x0, x1) < 0.5);
}

void TestPrintPreview::paneScrollsByLinesPagesAndWheel()
{
    RecordingReport report(5);
    CPrintPreview preview(report);
    preview.setWindowState(Qt::WindowNoState);
    preview.resize(700, 500);
    preview.show();
    CPreviewPane *pane = preview.pane();
    QScrollBar *h = pane->horizontalScrollBar();
    QScrollBar *v = pane->verticalScrollBar();
    QTRY_COMPARE(v->pageStep(), pane->viewport()->height());
    const QSize page = pane->pageImage().size();
    QCOMPARE(h->maximum(), std::max(0, page.width() + pane->logicalDpiX() - pane->viewport()->width()));
    QCOMPARE(v->maximum(), page.height() + pane->logicalDpiY() - pane->viewport()->height());
    QCOMPARE(h->pageStep(), pane->viewport()->width());
    QCOMPARE(v->singleStep(), 15);
    QCOMPARE(h->singleStep(), 15);

    QApplication::setWheelScrollLines(3);
    v->setValue(100);
    auto wheel = [pane](int delta) {
        QWheelEvent event(QPointF(50, 50), pane->viewport()->mapToGlobal(QPointF(50, 50)), QPoint(), QPoint(0, delta),
                          Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(pane->viewport(), &event);
    };
    wheel(-120); // one notch back: three lines down
    QCOMPARE(v->value(), 145);
    wheel(40); // a third of a notch forward: one line up
    QCOMPARE(v->value(), 130);
    wheel(20);
    QCOMPARE(v->value(), 130);
    wheel(20);
    QCOMPARE(v->value(), 115);
    QCOMPARE(pane->pageOrigin(), QPoint(pane->logicalDpiX() / 2 - h->value(), pane->logicalDpiY() / 2 - 115));

    preview.resize(640, 480);
    QTRY_COMPARE(v->pageStep(), pane->viewport()->height());
    QCOMPARE(v->value(), 0);
    QCOMPARE(h->value(), 0);
}

void TestPrintPreview::printAsksFirstAndNeedsAPrinter()
{
    RecordingReport report(60);
    CPrintPreview preview(report);
    int asked = 0;
    preview.setPrinterSource([&asked] {
        ++asked;
        return std::unique_ptr<QPrinter>();
    });
    {
        Boxes boxes({QMessageBox::No});
        preview.action(CPrintPreview::Print)->trigger();
        QCOMPARE(boxes.seen.size(), std::size_t(1));
        const Box &question = boxes.seen[0];
        QCOMPARE(question.caption, QStringLiteral("打印提示"));
        QCOMPARE(question.text, QStringLiteral("决定打印当前报表吗?"));
        QCOMPARE(question.icon, QMessageBox::Question);
        QCOMPARE(question.defaultButton, QMessageBox::No);
        QCOMPARE(asked, 0);
    }
    Boxes boxes({QMessageBox::Yes});
    preview.action(CPrintPreview::Print)->trigger();
    QCOMPARE(boxes.seen.size(), std::size_t(2));
    QCOMPARE(asked, 1);
    const Box &failure = boxes.seen[1];
    QCOMPARE(failure.caption, QStringLiteral("错误"));
    QCOMPARE(failure.text, QStringLiteral("打印机初始化失败!"));
    QCOMPARE(failure.icon, QMessageBox::Critical);
    QVERIFY(report.printed().empty());
}

void TestPrintPreview::printingFromAnyPagePrintsTheWholeReport()
{
    QTemporaryDir folder;
    const QString file = folder.filePath(QStringLiteral("printed.pdf"));
    RecordingReport report(60);
    CPrintPreview preview(report);
    preview.setPage(3);
    preview.setPrinterSource([file] {
        auto printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
        printer->setOutputFormat(QPrinter::PdfFormat);
        printer->setOutputFileName(file);
        return printer;
    });
    {
        Boxes boxes({QMessageBox::Yes});
        preview.action(CPrintPreview::Print)->trigger();
        QCOMPARE(boxes.seen.size(), std::size_t(1));
    }
    QCOMPARE(report.printed(), (std::vector<Drawn>{{1, 3, true}, {2, 3, true}, {3, 3, true}}));
    QCOMPARE(pdfPages(file), 3);
    QCOMPARE(preview.currentPage(), 3);

    // Where this machine has no default printer, the same failure shows.
    if (!QPrinterInfo::defaultPrinter().isNull())
        return;
    preview.setPrinterSource(&ui::openDefaultPrinter);
    Boxes boxes({QMessageBox::Yes});
    preview.action(CPrintPreview::Print)->trigger();
    QCOMPARE(boxes.seen.size(), std::size_t(2));
    QCOMPARE(boxes.seen[1].text, QStringLiteral("打印机初始化失败!"));
}

void TestPrintPreview::printFailuresAreReported()
{
    QTemporaryDir folder;
    RecordingReport report(60);
    CPrintPreview preview(report);
    // A document that cannot be started: its file cannot be made.
    preview.setPrinterSource([&folder] {
        auto printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
        printer->setOutputFormat(QPrinter::PdfFormat);
        printer->setOutputFileName(folder.filePath(QStringLiteral("无此文件夹/a.pdf")));
        return printer;
    });
    {
        Boxes boxes({QMessageBox::Yes});
        preview.action(CPrintPreview::Print)->trigger();
        QCOMPARE(boxes.seen.size(), std::size_t(2));
        QCOMPARE(boxes.seen[1].text, QStringLiteral("连接到打印机化败!"));
        QCOMPARE(boxes.seen[1].caption, QStringLiteral("错误"));
        QCOMPARE(boxes.seen[1].icon, QMessageBox::Critical);
        QVERIFY(report.printed().empty());
    }
    // A page that cannot be started: the first page went, nothing after it.
    const QString file = folder.filePath(QStringLiteral("b.pdf"));
    preview.setPrinterSource([file] {
        auto printer = std::make_unique<PageRefusingPrinter>(QPrinter::HighResolution);
        printer->setOutputFormat(QPrinter::PdfFormat);
        printer->setOutputFileName(file);
        return std::unique_ptr<QPrinter>(std::move(printer));
    });
    Boxes boxes({QMessageBox::Yes});
    preview.action(CPrintPreview::Print)->trigger();
    QCOMPARE(boxes.seen.size(), std::size_t(2));
    QCOMPARE(boxes.seen[1].text, QStringLiteral("打印失败!"));
    QCOMPARE(boxes.seen[1].caption, QStringLiteral("错误"));
    QCOMPARE(report.printed(), (std::vector<Drawn>{{1, 3, true}}));
}

void TestPrintPreview::exportWritesEveryPage()
{
    QTemporaryDir folder;
    RecordingReport report(60);
    CPrintPreview preview(report);
    preview.setPage(2);
    QString suggested;
    Boxes boxes;
    WhenModal<QFileDialog> opened([&](QFileDialog *dialog) {
        suggested = QFileInfo(dialog->selectedFiles().value(0)).fileName();
        dialog->setDirectory(folder.path());
        // Typed into the name field: selectFile leaves the field alone once
        // the dialog's window is active and the field has the focus.
        dialog->findChild<QLineEdit *>(QStringLiteral("fileNameEdit"))->setText(QStringLiteral("三月"));
        static_cast<QDialog *>(dialog)->accept();
    });
    preview.action(CPrintPreview::ExportPdf)->trigger();
    QVERIFY(opened.seen());
    QCOMPARE(suggested, QStringLiteral("测试表_2007-03-20.pdf"));
    const QString file = folder.filePath(QStringLiteral("三月.pdf"));
    QCOMPARE(boxes.seen.size(), std::size_t(1));
    QVERIFY2(boxes.seen[0].text.contains(file), qPrintable(boxes.seen[0].text));
    QCOMPARE(pdfPages(file), 3);
    QCOMPARE(report.printed(), (std::vector<Drawn>{{1, 3, true}, {2, 3, true}, {3, 3, true}}));
    QCOMPARE(QDir(folder.path()).entryList(QDir::Files), QStringList{QStringLiteral("三月.pdf")});
    // The Chinese text is embedded: every font of the file is.
    const QStringList fonts = run(QStringLiteral("pdffonts"), {file}).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    QVERIFY(fonts.size() > 2);
    for (const QString &line : fonts.mid(2))
        QVERIFY2(line.contains(QStringLiteral(" yes ")), qPrintable(line));
    const QString text = run(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), file, QStringLiteral("-")});
    QVERIFY2(text.contains(QStringLiteral("值59-2")), qPrintable(text));
}

void TestPrintPreview::exportFailureLeavesNoFile()
{
    QTemporaryDir folder;
    RecordingReport report(40);
    const QString missing = folder.filePath(QStringLiteral("无此文件夹/报表.pdf"));
    db::Result result = ui::exportPdf(report, 2, missing);
    QVERIFY(!result);
    QVERIFY(QString::fromStdString(result.message).startsWith(QStringLiteral("无法写入文件")));
    QVERIFY(!QFileInfo::exists(missing));

    // A folder in the way: nothing is left beside it.
    QVERIFY(QDir(folder.path()).mkdir(QStringLiteral("占用.pdf")));
    result = ui::exportPdf(report, 2, folder.filePath(QStringLiteral("占用.pdf")));
    QVERIFY(!result);
    QCOMPARE(QDir(folder.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden),
             QStringList{QStringLiteral("占用.pdf")});

    // A file that exists is replaced whole.
    const QString file = folder.filePath(QStringLiteral("旧.pdf"));
    QFile old(file);
    QVERIFY(old.open(QIODevice::WriteOnly));
    old.write("old");
    old.close();
    QVERIFY(ui::exportPdf(report, 2, file));
    QCOMPARE(pdfPages(file), 2);
    QCOMPARE(ui::withPdfSuffix(QStringLiteral("a.PDF")), QStringLiteral("a.PDF"));
    QCOMPARE(ui::withPdfSuffix(QStringLiteral("a.2007")), QStringLiteral("a.2007.pdf"));
}

QTEST_MAIN(TestPrintPreview)
#include "test_print_preview.moc"
