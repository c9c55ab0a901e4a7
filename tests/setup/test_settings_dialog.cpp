#include "db/connection.h"
#include "db/tree_limits.h"
#include "setup/category_picker.h"
#include "setup/detail_panel.h"
#include "setup/drag_tree.h"
#include "setup/settings_dialog.h"
#include "support/box_answerer.h"
#include "support/temp_database.h"

#include <QAbstractButton>
#include <QGroupBox>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QSignalSpy>
#include <QTreeWidget>
#include <QtTest>

using setup::TreeKind;
using testing_support::BoxAnswerer;
using testing_support::TempDatabase;

Q_DECLARE_METATYPE(PickedItem)
Q_DECLARE_METATYPE(TreeKind)
Q_DECLARE_METATYPE(std::optional<TreeKind>)

namespace {

QStringList childTexts(QTreeWidgetItem *item)
{
    QStringList out;
    for (int i = 0; i < item->childCount(); ++i)
        out << item->child(i)->text(0);
    return out;
}

// The newest in-place editor of the tree; closed ones are deleted later.
QLineEdit *openEditor(CDragTree *tree)
{
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    const auto editors = tree->viewport()->findChildren<QLineEdit *>();
    return editors.isEmpty() ? nullptr : editors.last();
}

void typeNewName(CSettingsDialog &dialog, CDragTree *tree, const QString &name)
{
    dialog.onAdd();
    QLineEdit *editor = openEditor(tree);
    QVERIFY2(editor, qPrintable(QStringLiteral("no editor for ") + name));
    editor->setText(name);
    QTest::keyClick(editor, Qt::Key_Return);
}

} // namespace

class TestSettingsDialog : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { qRegisterMetaType<PickedItem>(); }
    void sectionsOpenAndClose();
    void sectionButtonsStepThroughTheSections_data();
    void sectionButtonsStepThroughTheSections();
    void closeButtonEndsTheDialog();
    void addAskAndRefuse();
    void switchingSectionsDropsAHalfMadeItem();
    void namesAreTrimmedAndDuplicatesEditedAgain();
    void protectedNodesRefuseToMove();
    void deleteAndProtectedNodes();
    void dragMovesABranch();
    void aRefusedDragLeavesTheTreeClickable_data();
    void aRefusedDragLeavesTheTreeClickable();
    void scrollSpeedGrowsWithDistance();
    void bankPickersFollowTheBankTree();
    void damagedTreesShowAPartAndSaySo();
};

void TestSettingsDialog::sectionsOpenAndClose()
{
    TempDatabase t;
    CSettingsDialog dialog(&t.connection());
    QCOMPARE(dialog.windowTitle(), QStringLiteral("参数设置"));
    QCOMPARE(dialog.openSection(), std::optional<TreeKind>(TreeKind::Income));
    QVERIFY(dialog.modifyButton()->isEnabled());
    QVERIFY(dialog.saveButton()->isEnabled());
    for (QWidget *field : dialog.detailPanel()->fields(TreeKind::Income))
        QVERIFY(!field->isEnabled());
    CDragTree *income = dialog.tree(TreeKind::Income);
    QCOMPARE(income->rootItem()->text(0), QStringLiteral("收入类型"));
    QVERIFY(income->rootItem()->isExpanded());
    QVERIFY(childTexts(income->rootItem()).contains(QStringLiteral("工资")));
    dialog.pressSection(TreeKind::Income); // the open one opens the next
    QCOMPARE(dialog.openSection(), std::optional<TreeKind>(TreeKind::Expense));
    dialog.pressSection(TreeKind::Bank);
    QCOMPARE(dialog.openSection(), std::optional<TreeKind>(TreeKind::Bank));
    QCOMPARE(dialog.tree(TreeKind::Bank)->rootItem()->text(0), QStringLiteral("我的存款银行"));
    dialog.pressSection(TreeKind::Bank); // the last one closes all
    QCOMPARE(dialog.openSection(), std::optional<TreeKind>());
    dialog.onAdd(); // no section: nothing happens
    dialog.onDelete();
    // A section reloads from the table when it opens.
    t.connection().execute("insert into GetStyle (Num,Style,nLevel,FirstLevel,ParentStyle,FullID) values "
                           "(300,'稿费',1,0,'收入类型','0000')");
    dialog.sectionButton(TreeKind::Income)->click();
    QVERIFY(dialog.tree(TreeKind::Income)->findItem(QStringLiteral("稿费")));
    // Enter does not close the dialog.
    dialog.show();
    QTest::keyClick(&dialog, Qt::Key_Return);
    QVERIFY(dialog.isVisible());
}

using Section = std::optional<TreeKind>;

void TestSettingsDialog::sectionButtonsStepThroughTheSections_data()
{
    QTest::addColumn<Section>("open");
    QTest::addColumn<TreeKind>("pressed");
    QTest::addColumn<Section>("after");
    // The open section's button opens the next one; the last closes all.
    QTest::newRow("收入类型 open, 收入类型") << Section(TreeKind::Income) << TreeKind::Income << Section(TreeKind::Expense);
    QTest::newRow("支出类型 open, 支出类型") << Section(TreeKind::Expense) << TreeKind::Expense << Section(TreeKind::Bank);
    QTest::newRow("银行 open, 银行") << Section(TreeKind::Bank) << TreeKind::Bank << Section();
    // A closed section's button opens that section.
    QTest::newRow("支出类型 open, 银行") << Section(TreeKind::Expense) << TreeKind::Bank << Section(TreeKind::Bank);
    QTest::newRow("银行 open, 收入类型") << Section(TreeKind::Bank) << TreeKind::Income << Section(TreeKind::Income);
    QTest::newRow("none open, 支出类型") << Section() << TreeKind::Expense << Section(TreeKind::Expense);
}

void TestSettingsDialog::sectionButtonsStepThroughTheSections()
{
    QFETCH(Section, open);
    QFETCH(TreeKind, pressed);
    QFETCH(Section, after);
    TempDatabase t;
    CSettingsDialog dialog(&t.connection());
    dialog.show();
    // Reached by the buttons from the first section.
    for (TreeKind kind : {TreeKind::Income, TreeKind::Expense, TreeKind::Bank}) {
        if (dialog.openSection() == open)
            break;
        dialog.sectionButton(kind)->click();
    }
    QCOMPARE(dialog.openSection(), open);
    dialog.sectionButton(pressed)->click();
    QCOMPARE(dialog.openSection(), after);
    for (TreeKind kind : {TreeKind::Income, TreeKind::Expense, TreeKind::Bank})
        QCOMPARE(dialog.tree(kind)->isVisible(), after == kind);
}

void TestSettingsDialog::closeButtonEndsTheDialog()
{
    TempDatabase t;
    CSettingsDialog dialog(&t.connection());
    dialog.setResult(-1);
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));
    QTest::mouseClick(dialog.closeButton(), Qt::LeftButton);
    QVERIFY(!dialog.isVisible());
    QCOMPARE(dialog.result(), int(QDialog::Accepted));
}

void TestSettingsDialog::addAskAndRefuse()
{
    TempDatabase t;
    CSettingsDialog dialog(&t.connection());
    dialog.show();
    CDragTree *income = dialog.tree(TreeKind::Income);
    income->setCurrentItem(income->findItem(QStringLiteral("工资")));
    {
        BoxAnswerer answers({QStringLiteral("ok"), QStringLiteral("ok")});
        typeNewName(dialog, income, QStringLiteral("加班费"));
        QTRY_COMPARE(answers.texts.size(), 2);
        QTRY_VERIFY(!dialog.isAdding());
        QCOMPARE(answers.texts[0], QStringLiteral("新添加数据项名称 加班费 ,确定吗?"));
        QCOMPARE(answers.texts[1], QStringLiteral("工资加班费"));
    }
    QCOMPARE(t.value("select nLevel || '|' || FirstLevel || '|' || FullID || '|' || ParentStyle from GetStyle where "
                     "Style='加班费'"),
             std::string("2|1|00000001|工资"));
    QVERIFY(income->findItem(QStringLiteral("加班费")));
    // Cancel leaves no trace; an empty name neither.
    const int before = t.count("GetStyle");
    {
        BoxAnswerer answers({QStringLiteral("cancel")});
        typeNewName(dialog, income, QStringLiteral("奖励"));
        QTRY_COMPARE(answers.texts.size(), 1);
    }
    QTRY_VERIFY(!dialog.isAdding());
    QVERIFY(!income->findItem(QStringLiteral("奖励")));
    income->setCurrentItem(income->findItem(QStringLiteral("工资")));
    typeNewName(dialog, income, QString());
    QTRY_VERIFY(!dialog.isAdding());
    QCOMPARE(childTexts(income->findItem(QStringLiteral("工资"))), QStringList{QStringLiteral("加班费")});
    QCOMPARE(t.count("GetStyle"), before);
    // A name used anywhere in the tree, the root text too, is refused and edited again.
    {
        BoxAnswerer answers({QStringLiteral("ok")});
        income->setCurrentItem(income->findItem(QStringLiteral("工资")));
        typeNewName(dialog, income, QStringLiteral("收入类型"));
        QTRY_COMPARE(answers.texts.size(), 1);
        QCOMPARE(answers.texts[0], QStringLiteral("该数据项已存在，请重新输入!"));
        QTRY_VERIFY(openEditor(income));
        QLineEdit *editor = openEditor(income);
        editor->setText(QString());
        QTest::keyClick(editor, Qt::Key_Return);
        QTRY_VERIFY(!dialog.isAdding());
    }
    QCOMPARE(t.count("GetStyle"), before);
    // With nothing selected the add is refused.
    income->setCurrentItem(nullptr);
    BoxAnswerer answers({QStringLiteral("ok")});
    dialog.onAdd();
    QTRY_COMPARE(answers.texts.size(), 1);
    QCOMPARE(answers.texts[0], QString::fromUtf8(setup::kMsgNoParent));
}

void TestSettingsDialog::switchingSectionsDropsAHalfMadeItem()
{
    TempDatabase t;
    CSettingsDialog dialog(&t.connection());
    dialog.show();
    CDragTree *income = dialog.tree(TreeKind::Income);
    income->setCurrentItem(income->findItem(QStringLiteral("奖金")));
    dialog.onAdd();
    QLineEdit *editor = openEditor(income);
    QVERIFY(editor);
    editor->setText(QStringLiteral("abc"));
    // The section button is pressed before Enter.
    dialog.sectionButton(TreeKind::Income)->click();
    QCoreApplication::processEvents();
    QCOMPARE(dialog.openSection(), std::optional<TreeKind>(TreeKind::Expense));
    QVERIFY(!dialog.isAdding());
    QTest::qWait(20);
    QCOMPARE(t.value("select count(*) from GetStyle where Style='abc'"), std::string("0"));
    // 增加 works at once in the section now open, and in the first one again.
    CDragTree *expense = dialog.tree(TreeKind::Expense);
    expense->setCurrentItem(expense->findItem(QStringLiteral("餐饮")));
    {
        BoxAnswerer answers({QStringLiteral("ok"), QStringLiteral("ok")});
        typeNewName(dialog, expense, QStringLiteral("夜宵"));
        QTRY_COMPARE(answers.texts.size(), 2);
        QTRY_VERIFY(!dialog.isAdding());
    }
    QCOMPARE(t.value("select ParentStyle from PayStyle where Style='夜宵'"), std::string("餐饮"));
    dialog.sectionButton(TreeKind::Income)->click();
    income->setCurrentItem(income->findItem(QStringLiteral("奖金")));
    {
        BoxAnswerer answers({QStringLiteral("ok"), QStringLiteral("ok")});
        typeNewName(dialog, income, QStringLiteral("年终奖"));
        QTRY_COMPARE(answers.texts.size(), 2);
        QTRY_VERIFY(!dialog.isAdding());
    }
    QVERIFY(income->findItem(QStringLiteral("年终奖")));
    QVERIFY(!income->findItem(QStringLiteral("abc")));
}

void TestSettingsDialog::namesAreTrimmedAndDuplicatesEditedAgain()
{
    TempDatabase t;
    // A row the tree does not show still holds its name.
    t.connection().execute("insert into GetStyle (Num,Style,nLevel,FirstLevel,ParentStyle,FullID) values "
                           "(300,'孤儿',5,1,'工资','00000001')");
    CSettingsDialog dialog(&t.connection());
    dialog.show();
    CDragTree *income = dialog.tree(TreeKind::Income);
    // Used names, and names no node may bear, are refused before the question.
    const std::pair<QString, const char *> refused[] = {
        {QStringLiteral("工资 \t"), setup::kMsgDuplicateName},
        {QStringLiteral(" 孤儿"), setup::kMsgDuplicateName},
        {QStringLiteral("外卖\\晚餐"), setup::kMsgBackslashInName},
        {QString(5000, QChar(0x5F88)), setup::kMsgNameTooLong}};
    for (const auto &[typed, message] : refused) {
        income->setCurrentItem(income->findItem(QStringLiteral("奖金")));
        BoxAnswerer answers({QStringLiteral("ok")});
        typeNewName(dialog, income, typed);
        QTRY_COMPARE(answers.texts.size(), 1);
        QCOMPARE(answers.texts[0], QString::fromUtf8(message));
        // The same new item is edited again.
        QTRY_VERIFY(openEditor(income));
        QVERIFY(dialog.isAdding());
        QLineEdit *editor = openEditor(income);
        // Leaving it: an emptied name, or Escape with the refused name still there.
        if (typed.startsWith(QLatin1Char(' '))) {
            QTest::keyClick(editor, Qt::Key_Escape);
        } else {
            editor->setText(QString());
            QTest::keyClick(editor, Qt::Key_Return);
        }
        QTRY_VERIFY(!dialog.isAdding());
        QTest::qWait(50);
        QCOMPARE(answers.texts.size(), 1);
    }
    // A new name is stored without its blanks, and the picker's trimmed
    // lookup finds it.
    income->setCurrentItem(income->findItem(QStringLiteral("奖金")));
    BoxAnswerer answers({QStringLiteral("ok"), QStringLiteral("ok")});
    typeNewName(dialog, income, QStringLiteral("  年终奖\t"));
    QTRY_COMPARE(answers.texts.size(), 2);
    QCOMPARE(answers.texts[0], QStringLiteral("新添加数据项名称 年终奖 ,确定吗?"));
    QTRY_VERIFY(!dialog.isAdding());
    QCOMPARE(t.value("select '[' || Style || ']' from GetStyle where ParentStyle='奖金'"), std::string("[年终奖]"));
    QVERIFY(income->findItem(QStringLiteral("年终奖")));
    CCategoryPicker picker;
    picker.create(0, 300, PickerKind::Income, &t.connection());
    QVERIFY(picker.selectByText(QStringLiteral("年终奖")));
}

void TestSettingsDialog::protectedNodesRefuseToMove()
{
    TempDatabase t;
    CDragTree tree(TreeKind::Expense, &t.connection());
    tree.resize(300, 600);
    tree.show();
    tree.reload();
    tree.expandAll();
    qint64 now = 1000;
    tree.setClock([&] { return now; });
    QSignalSpy failed(&tree, &CDragTree::failed);
    QTreeWidgetItem *investment = tree.findItem(QStringLiteral("投资"));
    const QPoint from = tree.visualItemRect(investment).center();
    QTest::mousePress(tree.viewport(), Qt::LeftButton, {}, from);
    now += 100;
    QVERIFY(tree.beginDrag(investment, from));
    tree.dragMoveTo(tree.visualItemRect(tree.findItem(QStringLiteral("餐饮"))).center());
    tree.endDrag();
    QCOMPARE(failed.count(), 1);
    QCOMPARE(failed.at(0).at(0).toString(), QString::fromUtf8(setup::kMsgMoveProtectedCategory));
    QCOMPARE(tree.findItem(QStringLiteral("投资"))->parent(), tree.rootItem());
    QCOMPARE(t.value("select ParentStyle from PayStyle where Style='投资'"), std::string("支出类型"));
}

void TestSettingsDialog::deleteAndProtectedNodes()
{
    TempDatabase t;
    CSettingsDialog dialog(&t.connection());
    dialog.pressSection(TreeKind::Expense);
    CDragTree *expense = dialog.tree(TreeKind::Expense);
    {
        BoxAnswerer answers({QStringLiteral("ok")});
        expense->setCurrentItem(expense->findItem(QStringLiteral("投资")));
        dialog.deleteButton()->click();
        QTRY_COMPARE(answers.texts.size(), 1);
        QCOMPARE(answers.texts[0], QStringLiteral("投资类型关系到投资帐,请不要删除!"));
    }
    QVERIFY(expense->findItem(QStringLiteral("投资")));
    // The question names the node and what goes with it; 否 (the default)
    // keeps everything, 是 deletes the branch.
    expense->setCurrentItem(expense->findItem(QStringLiteral("餐饮")));
    for (const char *answer : {"default", "no"}) {
        BoxAnswerer answers({QString::fromLatin1(answer)});
        dialog.deleteButton()->click();
        QCOMPARE(answers.texts.size(), 1);
        QVERIFY(answers.texts[0].contains(QStringLiteral("“餐饮”")) && answers.texts[0].contains(QStringLiteral("3 项")));
        QVERIFY(expense->findItem(QStringLiteral("午餐")));
        QCOMPARE(t.value("select count(*) from PayStyle where Style in ('餐饮','午餐')"), std::string("2"));
    }
    {
        BoxAnswerer answers({QStringLiteral("yes")});
        dialog.deleteButton()->click();
        QCOMPARE(answers.texts.size(), 1);
    }
    QVERIFY(!expense->findItem(QStringLiteral("餐饮")));
    QVERIFY(!expense->findItem(QStringLiteral("午餐")));
    QCOMPARE(t.value("select count(*) from PayStyle where Style in ('餐饮','午餐')"), std::string("0"));
    dialog.pressSection(TreeKind::Bank);
    CDragTree *bank = dialog.tree(TreeKind::Bank);
    BoxAnswerer answers({QStringLiteral("ok")});
    bank->setCurrentItem(bank->findItem(QStringLiteral("现金银行")));
    dialog.deleteButton()->click();
    QTRY_COMPARE(answers.texts.size(), 1);
    QCOMPARE(answers.texts[0], QStringLiteral("现金是不能删除的，您肯定是搞错了，请重新选择"));
}

void TestSettingsDialog::dragMovesABranch()
{
    TempDatabase t;
    CDragTree tree(TreeKind::Expense, &t.connection());
    tree.resize(300, 600);
    tree.show();
    tree.reload();
    tree.expandAll();
    qint64 now = 1000;
    tree.setClock([&] { return now; });
    QTreeWidgetItem *meals = tree.findItem(QStringLiteral("餐饮"));
    QTreeWidgetItem *home = tree.findItem(QStringLiteral("居住"));
    const QPoint from = tree.visualItemRect(meals).center();
    // Too soon after the press: no drag.
    QTest::mousePress(tree.viewport(), Qt::LeftButton, {}, from);
    now += 30;
    QVERIFY(!tree.beginDrag(meals, from));
    QTest::mouseRelease(tree.viewport(), Qt::LeftButton, {}, from);
    // The root never moves.
    now += 500;
    QVERIFY(!tree.beginDrag(tree.rootItem(), from));
    // A real drag onto 居住.
    QTest::mousePress(tree.viewport(), Qt::LeftButton, {}, from);
    now += 100;
    QVERIFY(tree.beginDrag(meals, from));
    tree.dragMoveTo(QPoint(5, tree.visualItemRect(home).center().y())); // near the left edge: no target
    QCOMPARE(tree.dropTarget(), nullptr);
    tree.dragMoveTo(tree.visualItemRect(home).center());
    QCOMPARE(tree.dropTarget(), home);
    tree.endDrag();
    QVERIFY(!tree.isDragging());
    QCOMPARE(tree.findItem(QStringLiteral("餐饮"))->parent(), home);
    QCOMPARE(tree.findItem(QStringLiteral("午餐"))->parent()->text(0), QStringLiteral("餐饮"));
    QCOMPARE(t.value("select FullID from PayStyle where Style='午餐'"), std::string("000000030001"));
    // A drop into its own branch changes nothing.
    meals = tree.findItem(QStringLiteral("餐饮"));
    now += 500;
    QVERIFY(tree.beginDrag(meals, from));
    tree.dragMoveTo(tree.visualItemRect(tree.findItem(QStringLiteral("午餐"))).center());
    tree.endDrag();
    QCOMPARE(tree.findItem(QStringLiteral("餐饮"))->parent(), home);
    QCOMPARE(t.value("select ParentStyle from PayStyle where Style='餐饮'"), std::string("居住"));
    // After a reload the moved branch is still whole.
    tree.reload();
    QVERIFY(tree.findItem(QStringLiteral("午餐")));
}

void TestSettingsDialog::aRefusedDragLeavesTheTreeClickable_data()
{
    QTest::addColumn<TreeKind>("kind");
    QTest::addColumn<QString>("dragged");
    QTest::addColumn<QString>("target");
    QTest::addColumn<QString>("clicked");
    QTest::newRow("expense") << TreeKind::Expense << "投资" << "交通" << "通讯";
    QTest::newRow("bank") << TreeKind::Bank << "现金银行" << "工商银行" << "招商银行";
}

// The user's own mouse, through the window: drag, hold until the target
// opens, drop, answer the refusal, then click another node and delete it.
void TestSettingsDialog::aRefusedDragLeavesTheTreeClickable()
{
    QFETCH(TreeKind, kind);
    QFETCH(QString, dragged);
    QFETCH(QString, target);
    QFETCH(QString, clicked);
    TempDatabase t;
    for (const char *bank : {"工商银行", "招商银行"})
        QVERIFY(setup::addNode(t.connection(), TreeKind::Bank, "我的存款银行", bank));
    CSettingsDialog dialog(&t.connection());
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));
    dialog.pressSection(kind);
    CDragTree *tree = dialog.tree(kind);
    qint64 now = 1000;
    tree->setClock([&] { return now; });
    QWindow *window = dialog.windowHandle();
    auto at = [&](const QString &name) {
        return tree->viewport()->mapTo(&dialog, tree->visualItemRect(tree->findItem(name)).center());
    };
    const QPoint from = at(dragged);
    const QPoint to = at(target);
    QCursor::setPos(dialog.mapToGlobal(from));
    QTest::mousePress(window, Qt::LeftButton, {}, from);
    now += 100;
    for (int step = 1; step <= 4; ++step) {
        const QPoint pos = from + (to - from) * step / 4;
        QCursor::setPos(dialog.mapToGlobal(pos)); // the scroll timer reads it
        QTest::mouseMove(window, pos);
    }
    QTest::qWait(CDragTree::kHoverMs + 200);
    {
        BoxAnswerer answers({QStringLiteral("ok")});
        QTest::mouseRelease(window, Qt::LeftButton, {}, to);
        QTRY_COMPARE(answers.texts.size(), 1);
    }
    QVERIFY(!tree->isDragging());
    now += 1000;
    QTest::mouseClick(window, Qt::LeftButton, {}, at(clicked));
    QCOMPARE(tree->currentItem()->text(0), clicked);
    BoxAnswerer answers({QStringLiteral("yes")});
    dialog.deleteButton()->click();
    QTRY_VERIFY(!tree->findItem(clicked));
    QVERIFY(tree->findItem(target));
    QVERIFY(tree->findItem(dragged));
}

void TestSettingsDialog::scrollSpeedGrowsWithDistance()
{
    // Inside the band: never.
    QCOMPARE(CDragTree::scrollDirection(100, 0, 300, 6), 0);
    // Just above the top edge: one line every six ticks.
    QCOMPARE(CDragTree::scrollDirection(5, 0, 300, 6), -1);
    QCOMPARE(CDragTree::scrollDirection(5, 0, 300, 5), 0);
    // Far above: every tick.
    QCOMPARE(CDragTree::scrollDirection(-200, 0, 300, 7), -1);
    // Below the bottom: 30 beyond gives b = 1, every fifth tick.
    QCOMPARE(CDragTree::scrollDirection(320, 0, 300, 5), 1);
    QCOMPARE(CDragTree::scrollDirection(320, 0, 300, 4), 0);
}

// Added, moved and deleted banks show in the panel's bank pickers at once.
void TestSettingsDialog::bankPickersFollowTheBankTree()
{
    TempDatabase t;
    CSettingsDialog dialog(&t.connection());
    dialog.show();
    dialog.pressSection(TreeKind::Bank);
    CDragTree *bank = dialog.tree(TreeKind::Bank);
    CDetailPanel *panel = dialog.detailPanel();
    for (const QString &name : {QStringLiteral("工商银行"), QStringLiteral("招商银行")}) {
        bank->setCurrentItem(bank->rootItem());
        BoxAnswerer answers({QStringLiteral("ok"), QStringLiteral("ok")});
        typeNewName(dialog, bank, name);
        QTRY_VERIFY(!dialog.isAdding());
    }
    QVERIFY(panel->itemBankPicker()->selectByText(QStringLiteral("工商银行")));
    QCOMPARE(dialog.pickedBank(), QStringLiteral("工商银行"));
    QVERIFY(panel->sourcePicker()->selectByText(QStringLiteral("招商银行")));
    QCOMPARE(dialog.pickedBank(), QStringLiteral("招商银行"));
    panel->itemBankPicker()->selectByText(QStringLiteral("工商银行"));
    // Moved: the choice stays, under its new path.
    qint64 now = 1000;
    bank->setClock([&] { return now; });
    QTreeWidgetItem *moved = bank->findItem(QStringLiteral("工商银行"));
    QTest::mousePress(bank->viewport(), Qt::LeftButton, {}, bank->visualItemRect(moved).center());
    now += 100;
    QVERIFY(bank->beginDrag(moved, bank->visualItemRect(moved).center()));
    bank->dragMoveTo(bank->visualItemRect(bank->findItem(QStringLiteral("招商银行"))).center());
    bank->endDrag();
    QCOMPARE(panel->itemBankPicker()->currentRecord().path, QStringLiteral("我的存款银行\\招商银行\\工商银行"));
    // Deleted: gone from both pickers, and no longer the picked bank.
    bank->setCurrentItem(bank->findItem(QStringLiteral("工商银行")));
    {
        BoxAnswerer answers({QStringLiteral("yes")});
        dialog.deleteButton()->click();
    }
    QCOMPARE(panel->itemBankPicker()->currentItem(), nullptr);
    QVERIFY(dialog.pickedBank().isEmpty());
    QVERIFY(!panel->sourcePicker()->selectByText(QStringLiteral("工商银行")));
    QVERIFY(panel->sourcePicker()->selectByText(QStringLiteral("招商银行")));
}

void TestSettingsDialog::damagedTreesShowAPartAndSaySo()
{
    TempDatabase t;
    // A chain of expense categories far deeper than any tree shows.
    t.connection().execute("INSERT INTO PayStyle (Num,Style,nLevel,FirstLevel,ParentStyle,FullID) WITH RECURSIVE "
                           "n(k) AS (SELECT 1 UNION ALL SELECT k+1 FROM n WHERE k<2000) SELECT 1000+k, 'L'||k, k, "
                           "0, CASE k WHEN 1 THEN '支出类型' ELSE 'L'||(k-1) END, '0000' FROM n");
    const QString message = QString::fromStdString(setup::treeCutMessage(TreeKind::Expense));
    BoxAnswerer answers;
    CSettingsDialog dialog(&t.connection());
    dialog.pressSection(TreeKind::Expense);
    QTRY_COMPARE(answers.texts, QStringList{message});
    CDragTree *expense = dialog.tree(TreeKind::Expense);
    QVERIFY(expense->findItem(QStringLiteral("L%1").arg(db::kMaxTreeDepth)));
    QVERIFY(!expense->findItem(QStringLiteral("L%1").arg(db::kMaxTreeDepth + 1)));
    QWidget owner;
    CCategoryPicker picker(&owner);
    picker.create(0, 300, PickerKind::Expense, &t.connection());
    QTRY_COMPARE(answers.texts, (QStringList{message, message}));
    QVERIFY(picker.selectByText(QStringLiteral("L%1").arg(db::kMaxTreeDepth)));
    QVERIFY(!picker.selectByText(QStringLiteral("L%1").arg(db::kMaxTreeDepth + 1)));
}

QTEST_MAIN(TestSettingsDialog)
#include "test_settings_dialog.moc"
