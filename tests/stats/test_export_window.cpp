#include "workbook_reader.h"

#include "db/connection.h"
#include "ledger/posting.h"
#include "stats/class_query_window.h"
#include "stats/date_query_window.h"
#include "stats/export_dialog.h"
#include "stats/query_commands.h"
#include "stats/stat_list.h"
#include "support/sample_entries.h"
#include "support/temp_database.h"

#include <QAction>
#include <QDir>
#include <QFileDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QRegularExpression>
#include <QTreeWidgetItemIterator>
#include <QtTest>

#include <filesystem>
#include <fstream>

using namespace stats::cmd;
using stats_test::readWorkbook;
using stats_test::Workbook;
using testing_support::makeTempFolder;
using testing_support::Sample;
using testing_support::TempDatabase;

namespace fs = std::filesystem;

namespace {

// "today" is 20 March 2007.
const Sample kSamples[] = {
    {"2007/03/20 07:30", "付", "早餐", "6"},    {"2007/03/20 12:00", "付", "午餐", "20"},
    {"2007/03/20 18:00", "收", "工资", "3000"}, {"2007/03/05 19:00", "付", "晚餐", "80"},
    {"2007/03/05 20:00", "收", "奖金", "500"},  {"2007/02/10 12:00", "收", "工资", "2900"},
    {"2007/01/02 12:00", "付", "房租", "1500"},
};

struct Fixture {
    TempDatabase database;
    fs::path folder = makeTempFolder();
    db::DateTime now{2007, 3, 20, 9, 30, 0};
    CQueryWindow::Clock clock() { return [this] { return now; }; }
    Fixture()
    {
        testing_support::postSamples(database.connection(), kSamples);
    }
    ~Fixture() { fs::remove_all(folder); }
    QString path(const char *name) const { return QString::fromStdString((folder / name).string()); }
};

// Plays the user at the modal windows of an export: each step answers the
// next one that comes up, a file dialog by typing a name and pressing Enter
// (or cancelling), a message box by its button. What they showed is kept.
class ExportUser {
public:
    struct Step {
        enum Kind { Type, Cancel, Yes, No, Ok } kind;
        QString text;
    };
    explicit ExportUser(QList<Step> steps) : m_steps(std::move(steps))
    {
        QObject::connect(&m_timer, &QTimer::timeout, [this] { poll(); });
        m_timer.start(10);
    }
    QStringList dialogTitles;
    QStringList nameFilters;
    QString selectedFilter;
    QString defaultSuffix;
    QStringList boxes;
    bool done() const { return m_steps.isEmpty(); }

private:
    void poll()
    {
        QWidget *modal = QApplication::activeModalWidget();
        if (!modal || modal == m_handled || m_steps.isEmpty())
            return;
        // A step waits for the kind of window it answers. Right after a box
        // is answered, the file dialog that asked it can still be the modal
        // window for one pass of the event loop, also when the answer closes
        // it: taking it for the next window would spend a box's step on it.
        const bool forFileDialog = m_steps.first().kind == Step::Type || m_steps.first().kind == Step::Cancel;
        if (forFileDialog != (qobject_cast<QFileDialog *>(modal) != nullptr))
            return;
        m_handled = modal;
        const Step step = m_steps.takeFirst();
        // Acted on from the event loop, so that a box the action opens finds
        // this poll free to answer it.
        if (auto *dialog = qobject_cast<QFileDialog *>(modal)) {
            dialogTitles << dialog->windowTitle();
            nameFilters = dialog->nameFilters();
            selectedFilter = dialog->selectedNameFilter();
            defaultSuffix = dialog->defaultSuffix();
            QMetaObject::invokeMethod(
                dialog,
                [dialog, step] {
                    if (step.kind == Step::Cancel) {
                        dialog->reject();
                        return;
                    }
                    auto *edit = dialog->findChild<QLineEdit *>(QStringLiteral("fileNameEdit"));
                    edit->setText(step.text);
                    QTest::keyClick(edit, Qt::Key_Return);
                },
                Qt::QueuedConnection);
        } else if (auto *box = qobject_cast<QMessageBox *>(modal)) {
            boxes << box->text();
            const QMessageBox::StandardButton button =
                step.kind == Step::Yes ? QMessageBox::Yes : step.kind == Step::No ? QMessageBox::No : QMessageBox::Ok;
            QMetaObject::invokeMethod(
                box,
                [box, button] {
                    if (QAbstractButton *b = box->button(button))
                        b->click();
                    else
                        box->close();
                },
                Qt::QueuedConnection);
        }
    }
    QList<Step> m_steps;
    QPointer<QWidget> m_handled;
    QTimer m_timer;
};

using Step = ExportUser::Step;

// Every text of every row of the list, collapsed ones too, and the header.
QStringList everything(CStatList *list)
{
    QStringList out;
    for (int c = 0; c < list->columnCount(); ++c)
        out << list->headerItem()->text(c);
    for (QTreeWidgetItemIterator it(list); *it; ++it)
        for (int c = 0; c < list->columnCount(); ++c)
            out << (*it)->text(c) + QString::number((*it)->isExpanded());
    return out;
}

void settle()
{
    for (int i = 0; i < 5; ++i)
        QCoreApplication::processEvents();
}

QString fromUtf8(const std::string &text) { return QString::fromStdString(text); }

} // namespace

class TestExportWindow : public QObject {
    Q_OBJECT
private slots:
    void classWindowExportsTheKindShowing_data();
    void classWindowExportsTheKindShowing();
    void typedExtensionIsKept();
    void replacingAFileIsAskedFirst();
    void failureSaysWhyAndWritesNothing();
    void cancelDoesNothing();
    void dateWindowExportsItsDaySheet();
};

void TestExportWindow::classWindowExportsTheKindShowing_data()
{
    QTest::addColumn<int>("command");
    QTest::addColumn<QStringList>("sheets");
    QTest::newRow("summary") << ID_SUMMARY << QStringList{"AccSum", "GetSum", "PaySum", "BankSum", "CashSum"};
    QTest::newRow("expense") << ID_EXPENSE << QStringList{"PaySum"};
    QTest::newRow("cash") << ID_CASH << QStringList{"CashSum"};
}

// This year's statistic, exported under a name typed without extension:
// the workbook gets ".xlsx", holds the sheets of the kind with the list's
// figures, and the list is as it was.
void TestExportWindow::classWindowExportsTheKindShowing()
{
    QFETCH(int, command);
    QFETCH(QStringList, sheets);
    Fixture f;
    CClassQueryWindow window(f.database.connection(), f.clock());
    window.setPaintInterval(0);
    window.onCommand(ID_DAY_THIS_YEAR);
    settle();
    window.onCommand(command);
    const QStringList before = everything(window.statList());
    QVERIFY(before.size() > 10);

    ExportUser user({{Step::Type, f.path("统计")}, {Step::Ok, {}}});
    window.onCommand(ID_EXPORT);
    QVERIFY(user.done());
    QCOMPARE(user.dialogTitles, QStringList{"请输入要保存的文件名"});
    // The filter the dialog starts with shows the workbooks it writes.
    QVERIFY(user.selectedFilter.startsWith(QStringLiteral("MICROSOFT EXCEL DRIVER (")));
    const QStringList shown =
        QRegularExpression(QStringLiteral("\\((.*)\\)")).match(user.selectedFilter).captured(1).split(QLatin1Char(' '));
    QVERIFY2(QDir::match(shown, QStringLiteral("统计.xlsx")) && QDir::match(shown, QStringLiteral("统计.xls")),
             qPrintable(user.selectedFilter));
    QCOMPARE(user.boxes, QStringList{"Excel文件写入成功！"});
    QCOMPARE(everything(window.statList()), before);

    const Workbook book = readWorkbook((f.folder / "统计.xlsx").string());
    QCOMPARE(fromUtf8(book.error), QString());
    QStringList names;
    for (const std::string &name : book.names())
        names << fromUtf8(name);
    QCOMPARE(names, sheets);
    // The head row of the list stands, with its figures, in its sheet.
    const QTreeWidgetItem *head = window.statList()->topLevelItem(command == ID_SUMMARY ? 1 : 0);
    const Workbook::Sheet *sheet = book.sheet(command == ID_CASH ? "CashSum" : "PaySum");
    QVERIFY(sheet);
    const auto *row = sheet->find(head->text(0).toStdString());
    QVERIFY(row);
    QCOMPARE(fromUtf8(row->at(1)), head->text(1));
    QCOMPARE(fromUtf8(row->at(2)), head->text(2));
    QCOMPARE(fromUtf8(row->at(1)), command == ID_CASH ? QStringLiteral("4794") : QStringLiteral("1606"));
}

void TestExportWindow::typedExtensionIsKept()
{
    Fixture f;
    CDateQueryWindow window(f.database.connection(), f.clock());
    ExportUser user({{Step::Type, f.path("旧格式.xls")}, {Step::Ok, {}}});
    window.onCommand(ID_EXPORT);
    QVERIFY(user.done());
    QCOMPARE(user.boxes, QStringList{"Excel文件写入成功！"});
    QVERIFY(fs::exists(f.folder / "旧格式.xls"));
    QVERIFY(!fs::exists(f.folder / "旧格式.xls.xlsx"));
    // The reader goes by the extension: look at a copy named as a workbook.
    fs::copy_file(f.folder / "旧格式.xls", f.folder / "copy.xlsx");
    QCOMPARE(readWorkbook((f.folder / "copy.xlsx").string()).names(), std::vector<std::string>{"AccSum"});
}

// The dialog asks before a file is replaced, the name completed with
// ".xlsx" included; No leaves the file alone, Yes replaces it.
void TestExportWindow::replacingAFileIsAskedFirst()
{
    Fixture f;
    const fs::path existing = f.folder / "统计.xlsx";
    std::ofstream(existing) << "earlier";
    CClassQueryWindow window(f.database.connection(), f.clock());

    ExportUser refuse({{Step::Type, f.path("统计")}, {Step::No, {}}, {Step::Cancel, {}}});
    window.onCommand(ID_EXPORT);
    QVERIFY(refuse.done());
    QCOMPARE(refuse.boxes.size(), 1); // the question; no success box
    QVERIFY(refuse.boxes[0].contains(QStringLiteral("统计.xlsx")));
    std::ifstream in(existing);
    QCOMPARE(QString::fromStdString(std::string(std::istreambuf_iterator<char>(in), {})), QStringLiteral("earlier"));

    ExportUser accept({{Step::Type, f.path("统计")}, {Step::Yes, {}}, {Step::Ok, {}}});
    window.onCommand(ID_EXPORT);
    QVERIFY(accept.done());
    QCOMPARE(accept.boxes.value(1), QStringLiteral("Excel文件写入成功！"));
    QCOMPARE(readWorkbook(existing.string()).names().size(), 5u);
}

// A file that cannot be made: a message that says why, no success box, no
// file; the list as it was.
void TestExportWindow::failureSaysWhyAndWritesNothing()
{
    Fixture f;
    CClassQueryWindow window(f.database.connection(), f.clock());
    const QStringList before = everything(window.statList());
    ExportUser user({{Step::Type, QStringLiteral("/sys/统计")}, {Step::Ok, {}}});
    window.onCommand(ID_EXPORT);
    QVERIFY(user.done());
    QCOMPARE(user.boxes.size(), 1);
    QVERIFY2(user.boxes[0].startsWith(QStringLiteral("Excel文件没有写入：")), qPrintable(user.boxes[0]));
    QVERIFY(user.boxes[0].contains(QStringLiteral("/sys")));
    QVERIFY(!fs::exists("/sys/统计.xlsx"));
    QCOMPARE(everything(window.statList()), before);
}

void TestExportWindow::cancelDoesNothing()
{
    Fixture f;
    CClassQueryWindow window(f.database.connection(), f.clock());
    ExportUser user(QList<Step>{{Step::Cancel, {}}});
    window.onCommand(ID_EXPORT);
    QVERIFY(user.done());
    settle();
    QVERIFY(user.boxes.isEmpty());
    QVERIFY(fs::is_empty(f.folder));
}

// This month's expenses day by day, exported to the day sheet.
void TestExportWindow::dateWindowExportsItsDaySheet()
{
    Fixture f;
    CDateQueryWindow window(f.database.connection(), f.clock());
    window.setPaintInterval(0);
    window.onCommand(ID_DAY_THIS_MONTH);
    settle();
    window.onCommand(ID_EXPENSE);
    ExportUser user({{Step::Type, f.path("三月支出")}, {Step::Ok, {}}});
    window.onCommand(ID_EXPORT);
    QVERIFY(user.done());
    QCOMPARE(user.boxes, QStringList{"Excel文件写入成功！"});
    const Workbook book = readWorkbook((f.folder / "三月支出.xlsx").string());
    QCOMPARE(book.names(), std::vector<std::string>{"AccSum"});
    using Rows = std::vector<std::vector<std::string>>;
    const Rows expected = {{"日期", "钱额", "次数", "收付", "百分比"},
                           {" 合计", "106", "3", "", "100%"},
                           {"   20070305", "80", "1", "", "75.47%"},
                           {"       晚餐 ", "80", "1", "付 ", "75.47%"},
                           {"   20070320", "26", "2", "", "24.53%"},
                           {"       早餐 ", "6", "1", "付 ", "5.66%"},
                           {"       午餐 ", "20", "1", "付 ", "18.87%"}};
    Rows written = book.sheets.at(0).rows;
    // The engine groups a day's types in an order of its own.
    if (written.size() == expected.size() && written[5][0] != expected[5][0])
        std::swap(written[5], written[6]);
    QCOMPARE(written, expected);
    QCOMPARE(window.statList()->topLevelItem(0)->text(1), QStringLiteral("106"));
}

QTEST_MAIN(TestExportWindow)
#include "test_export_window.moc"
