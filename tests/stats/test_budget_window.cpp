// The budget plan, the budget window, its printed report, its workbook and
// the command line, on the demo books: one walk, the same rows everywhere.
#include "workbook_reader.h"

#include "app/ui_setup.h"
#include "ledger/demo_entries.h"
#include "setup/budget_plan_dialog.h"
#include "setup/budgets.h"
#include "stats/budget_list.h"
#include "stats/budget_window.h"
#include "stats/export.h"
#include "support/pdf_pages.h"
#include "support/temp_database.h"
#include "tools/cli/cli.h"
#include "ui/print_preview.h"
#include "ui/report_output.h"
#include "ui/report_pages.h"

#include <QAction>
#include <QFileDialog>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTreeWidgetItemIterator>
#include <QtTest>

#include <sstream>

using testing_support::TempDatabase;

namespace {

const db::DateTime kNow{2026, 3, 20, 21, 0, 0};

// Answers the modal windows that come up: a file dialog with a path, the
// print preview by writing its report to a PDF, a message box with OK.
class ModalUser : public QObject {
public:
    ModalUser(QString file, QString pdf) : m_file(std::move(file)), m_pdf(std::move(pdf))
    {
        connect(&m_timer, &QTimer::timeout, this, &ModalUser::poll);
        m_timer.start(10);
    }
    QStringList boxes;
    int previewRows = -1;

private:
    void poll()
    {
        QWidget *modal = QApplication::activeModalWidget();
        if (!modal || modal == m_handled)
            return;
        m_handled = modal;
        QMetaObject::invokeMethod(modal, [this, modal] { answer(modal); }, Qt::QueuedConnection);
    }
    void answer(QWidget *modal)
    {
        if (auto *dialog = qobject_cast<QFileDialog *>(modal)) {
            auto *edit = dialog->findChild<QLineEdit *>(QStringLiteral("fileNameEdit"));
            edit->setText(m_file);
            QTest::keyClick(edit, Qt::Key_Return);
        } else if (auto *box = qobject_cast<QMessageBox *>(modal)) {
            boxes << box->text();
            if (QAbstractButton *ok = box->button(QMessageBox::Ok))
                ok->click();
            else
                box->close();
        } else if (auto *preview = qobject_cast<CPrintPreview *>(modal)) {
            previewRows = preview->report().rowCount();
            ui::exportPdf(preview->report(), preview->pageCount(), m_pdf);
            preview->reject();
        }
    }
    QString m_file;
    QString m_pdf;
    QPointer<QWidget> m_handled;
    QTimer m_timer;
};

// Types an amount into a cell of the plan as a person does: double-click
// opens the editor, Enter closes it.
void typeAmount(CBudgetPlanDialog &plan, const QString &category, int column, const QString &amount)
{
    QTreeWidget *tree = plan.tree();
    QTreeWidgetItem *item = plan.itemOf(category);
    QVERIFY(item);
    tree->scrollToItem(item);
    const QRect cell = tree->visualItemRect(item);
    const QPoint at(tree->header()->sectionViewportPosition(column) + 10, cell.center().y());
    QTest::mouseClick(tree->viewport(), Qt::LeftButton, {}, at);
    QTest::mouseDClick(tree->viewport(), Qt::LeftButton, {}, at);
    auto *editor = qobject_cast<QLineEdit *>(QApplication::focusWidget());
    QVERIFY(editor && editor->parent() == tree->viewport());
    editor->selectAll();
    QTest::keyClicks(editor, amount);
    QTest::keyClick(editor, Qt::Key_Return);
    QTRY_COMPARE(item->text(column), amount); // the editor commits from the event loop
}

// The list's rows depth first, as the command line prints them.
QStringList windowRows(const CBudgetList *list)
{
    QStringList rows;
    for (QTreeWidgetItemIterator it(const_cast<CBudgetList *>(list)); *it; ++it) {
        int depth = 0;
        for (QTreeWidgetItem *up = (*it)->parent(); up; up = up->parent())
            ++depth;
        QStringList fields{QString::number(depth)};
        for (int column = 0; column < 5; ++column)
            fields << (*it)->text(column);
        rows << fields.join(QLatin1Char('\t'));
    }
    return rows;
}

QStringList cliRows(TempDatabase &t, const std::vector<std::string> &more)
{
    std::vector<std::string> args{"--db", t.path(), "budget"};
    args.insert(args.end(), more.begin(), more.end());
    std::ostringstream out;
    std::ostringstream err;
    if (cli::run(args, out, err, kNow) != cli::kOk)
        return {QString::fromStdString("failed: " + err.str())};
    QStringList rows = QString::fromStdString(out.str()).split(QLatin1Char('\n'));
    rows.removeLast();
    return rows;
}

// A row as pdftotext lays it out: its texts in order, blanks between.
qsizetype rowAt(const QString &text, const QStringList &row, qsizetype from)
{
    QStringList parts;
    for (const QString &cell : row.mid(1))
        for (const QString &word : cell.split(QLatin1Char(' '), Qt::SkipEmptyParts))
            parts << QRegularExpression::escape(word);
    const QRegularExpression line(QStringLiteral("^\\s*") + parts.join(QStringLiteral("\\s+")) + QStringLiteral("\\s*$"),
                                  QRegularExpression::MultilineOption);
    const QRegularExpressionMatch m = line.match(text, from);
    return m.hasMatch() ? m.capturedStart() : -1;
}

} // namespace

class TestBudgetWindow : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { app::setUpApplication(*qApp); }
    void aFamilyPlansReadsPrintsAndExports();
    void aPlanWithAWrongAmountIsNotSaved();
};

void TestBudgetWindow::aFamilyPlansReadsPrintsAndExports()
{
    TempDatabase t;
    ledger::addDemoEntries(t.connection(), kNow);
    QTemporaryDir folder;
    ModalUser user(folder.filePath(QStringLiteral("budget")), folder.filePath(QStringLiteral("budget.pdf")));

    CBudgetPlanDialog plan(&t.connection());
    plan.show();
    QVERIFY(QTest::qWaitForWindowExposed(&plan));
    typeAmount(plan, QStringLiteral("餐饮"), CBudgetPlanDialog::MonthlyColumn, QStringLiteral("1000"));
    typeAmount(plan, QStringLiteral("交通"), CBudgetPlanDialog::MonthlyColumn, QStringLiteral("300"));
    typeAmount(plan, QStringLiteral("居住"), CBudgetPlanDialog::MonthlyColumn, QStringLiteral("3000"));
    // The category names take no typing.
    const QPoint name = plan.tree()->visualItemRect(plan.itemOf(QStringLiteral("餐饮"))).topLeft() + QPoint(60, 5);
    QTest::mouseClick(plan.tree()->viewport(), Qt::LeftButton, {}, name);
    QTest::mouseDClick(plan.tree()->viewport(), Qt::LeftButton, {}, name);
    QVERIFY(!qobject_cast<QLineEdit *>(QApplication::focusWidget()));
    QVERIFY(plan.hasChanges());
    plan.saveButton()->click();
    QTRY_COMPARE(user.boxes, QStringList{QStringLiteral("数据已保存！")});
    QVERIFY(!plan.hasChanges());
    QCOMPARE(setup::loadBudget(t.connection(), "居住"), (setup::BudgetAmounts{"3000", ""}));

    CBudgetWindow window(t.connection(), [] { return kNow; });
    QCOMPARE(window.period(), (stats::BudgetPeriod{2026, 3}));
    const QStringList rows = windowRows(window.list());
    QCOMPARE(rows.size(), 5);
    QVERIFY2(rows[1].startsWith(QStringLiteral("1\t餐饮\t1000.00\t")), qPrintable(rows.join('\n')));
    QCOMPARE(rows.last(), QStringLiteral("0\t时间进度\t31 天\t20 天\t11 天\t64.52%"));
    // Exactly one category, 餐饮, is over its budget, and it is red.
    int over = 0;
    for (QTreeWidgetItemIterator it(window.list()); *it; ++it)
        if ((*it)->parent() && (*it)->data(0, CBudgetList::kMarkRole).toInt() == int(CBudgetList::Mark::Over)) {
            ++over;
            QCOMPARE((*it)->text(0), QStringLiteral("餐饮"));
            QCOMPARE((*it)->foreground(1).color(), QColor(200, 0, 0));
        }
    QCOMPARE(over, 1);
    QVERIFY2(window.summary()->text().contains(QStringLiteral("已过 31 天中的 20 天（64.52%）")),
             qPrintable(window.summary()->text()));

    // The command line prints the same rows.
    QCOMPARE(cliRows(t, {}), rows);
    QCOMPARE(cliRows(t, {"--month", "202603"}), rows);

    // The preview prints every row under the period's title.
    window.action(CBudgetWindow::Command::Preview)->trigger();
    QCOMPARE(user.previewRows, rows.size());
    const QString text = pdf_pages::pageText(folder.filePath(QStringLiteral("budget.pdf")), 1);
    QVERIFY2(text.contains(QStringLiteral("预算执行报表 2026年3月")), qPrintable(text));
    qsizetype at = 0;
    for (const QString &row : rows) {
        at = rowAt(text, row.split(QLatin1Char('\t')), at);
        QVERIFY2(at >= 0, qPrintable(row + QStringLiteral("\n") + text));
    }

    // The export writes them to the sheet BudgetSum.
    window.action(CBudgetWindow::Command::Export)->trigger();
    QTRY_COMPARE(user.boxes.size(), 2);
    QCOMPARE(user.boxes.last(), QStringLiteral("Excel文件写入成功！"));
    const stats_test::Workbook book = stats_test::readWorkbook(folder.filePath(QStringLiteral("budget.xlsx")).toStdString());
    QCOMPARE(book.names(), std::vector<std::string>{"BudgetSum"});
    const auto &sheet = book.sheets.front().rows;
    QCOMPARE(sheet.front(), (std::vector<std::string>{"类别", "预算", "已支出", "剩余", "已用"}));
    QCOMPARE(int(sheet.size()), rows.size() + 1);
    for (int i = 0; i < rows.size(); ++i) {
        QStringList cells = rows[i].split(QLatin1Char('\t')).mid(1);
        std::vector<std::string> expected;
        for (const QString &cell : cells)
            expected.push_back(cell.toStdString());
        std::vector<std::string> got = sheet[i + 1];
        got[0] = got[0].substr(got[0].find_first_not_of(' '));
        QCOMPARE(got, expected);
    }

    // The year counts twelve months of each budget.
    window.action(CBudgetWindow::Command::ThisYear)->trigger();
    QVERIFY(windowRows(window.list())[1].startsWith(QStringLiteral("1\t餐饮\t12000.00\t")));
    QCOMPARE(windowRows(window.list()), cliRows(t, {"--year", "2026"}));
    window.action(CBudgetWindow::Command::Previous)->trigger();
    QCOMPARE(window.period(), (stats::BudgetPeriod{2025, 0}));
}

void TestBudgetWindow::aPlanWithAWrongAmountIsNotSaved()
{
    TempDatabase t;
    ModalUser user({}, {});
    CBudgetPlanDialog plan(&t.connection());
    plan.itemOf(QStringLiteral("餐饮"))->setText(CBudgetPlanDialog::MonthlyColumn, QStringLiteral("2000"));
    plan.itemOf(QStringLiteral("午餐"))->setText(CBudgetPlanDialog::YearlyColumn, QStringLiteral("abc"));
    plan.saveButton()->click();
    QTRY_COMPARE(user.boxes.size(), 1);
    QVERIFY2(user.boxes.front().startsWith(QStringLiteral("午餐: ")), qPrintable(user.boxes.front()));
    QVERIFY(setup::loadBudgets(t.connection()).empty());
    QVERIFY(plan.hasChanges());
}

QTEST_MAIN(TestBudgetWindow)
#include "test_budget_window.moc"
