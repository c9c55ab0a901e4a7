#include "db/connection.h"
#include "setup/bank_details.h"
#include "setup/budgets.h"
#include "setup/category_picker.h"
#include "setup/detail_panel.h"
#include "setup/detail_rules.h"
#include "setup/drag_tree.h"
#include "setup/recurring_settings.h"
#include "setup/settings_dialog.h"
#include "support/box_answerer.h"
#include "support/temp_database.h"
#include "ui/date_picker.h"
#include "ui/header_text.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QToolButton>
#include <QtTest>

using setup::TreeKind;
using testing_support::BoxAnswerer;
using testing_support::TempDatabase;

namespace {

const db::DateTime kNow{2026, 12, 7, 14, 30, 0};
const QDate kToday(2026, 12, 7);

CSettingsDialog::Clock fixedClock()
{
    return [] { return kNow; };
}

void addBank(TempDatabase &t, int num, const std::string &name)
{
    t.connection().execute("insert into Bank (Num,BankName,nLevel,FirstLevel,ParentBank,FullID) values (" +
                           std::to_string(num) + ",'" + name + "',1,0,'我的存款银行','0000')");
}

// A double-click on the node, as the user gives it.
void doubleClick(CSettingsDialog &dialog, TreeKind kind, const QString &name)
{
    CDragTree *tree = dialog.tree(kind);
    tree->expandAll();
    QTreeWidgetItem *item = tree->findItem(name);
    QVERIFY2(item, qPrintable(name));
    const QPoint at = tree->visualItemRect(item).center();
    QTest::mouseClick(tree->viewport(), Qt::LeftButton, {}, at);
    QTest::mouseDClick(tree->viewport(), Qt::LeftButton, {}, at);
}

void clickItem(CSettingsDialog &dialog, TreeKind kind, const QString &name)
{
    CDragTree *tree = dialog.tree(kind);
    QTreeWidgetItem *item = tree->findItem(name);
    QVERIFY2(item, qPrintable(name));
    QTest::mouseClick(tree->viewport(), Qt::LeftButton, {}, tree->visualItemRect(item).center());
}

// Picks a bank in a picker's drop-down with the mouse.
void pickBank(CCategoryPicker *picker, const QString &name)
{
    picker->showDropDown();
    QTreeWidgetItem *item = picker->popupTree()->findItems(name, Qt::MatchRecursive | Qt::MatchExactly).value(0);
    QVERIFY2(item, qPrintable(name));
    QTest::mouseClick(picker->popupTree()->viewport(), Qt::LeftButton, {},
                      picker->popupTree()->visualItemRect(item).center());
}

// Presses 保存 and returns the texts of the boxes it showed.
QStringList save(CSettingsDialog &dialog, QStringList answers = {})
{
    BoxAnswerer boxes(std::move(answers));
    dialog.saveButton()->click();
    QCoreApplication::processEvents();
    return boxes.texts;
}

// The fields Tab reaches from the first one, in order.
QList<QWidget *> tabChain(const QList<QWidget *> &fields)
{
    QList<QWidget *> reached;
    fields.first()->setFocus();
    for (int i = 0; i < fields.size(); ++i) {
        for (QWidget *field : fields)
            if (field->hasFocus() && !reached.contains(field))
                reached << field;
        QWidget *focus = QApplication::focusWidget();
        if (!focus)
            break;
        QTest::keyClick(focus, Qt::Key_Tab);
    }
    return reached;
}

std::string styleRow(TempDatabase &t, const std::string &table, const std::string &name)
{
    return t.value("select coalesce(IsAuto,'') || '|' || coalesce(PMoney,'') || '|' || coalesce(DayNum,'') || '|' || "
                   "coalesce(SelectType,'') || '|' || coalesce(BeginDate,'') || '|' || coalesce(EndDate,'') || '|' || "
                   "coalesce(MidDate,'') || '|' || coalesce(BankName,'') from " + table + " where Style='" + name + "'");
}

} // namespace

class TestDetailPanel : public QObject {
    Q_OBJECT
private slots:
    void defaultsAreLockedUntilModify();
    void doubleClickLoadsACategory();
    void saveChecksTheLoadedNode();
    void changedStartDateAsks();
    void bankSectionPostsTheOpeningBalance();
    void headerAndBlankDates();
    void expenseCategoryCarriesItsBudget();
};

void TestDetailPanel::defaultsAreLockedUntilModify()
{
    TempDatabase t;
    CSettingsDialog dialog(&t.connection(), nullptr, fixedClock());
    dialog.show();
    dialog.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&dialog));
    CDetailPanel *panel = dialog.detailPanel();
    QCOMPARE(panel->header()->text(), QStringLiteral("说明:修改后点\"保存\"即可"));
    QCOMPARE(panel->fixedBox()->text(), QStringLiteral("固定收入"));
    QVERIFY(!panel->fixedBox()->isChecked());
    QVERIFY(panel->autoPostBox()->isChecked());
    QCOMPARE(panel->amountEdit()->text(), QStringLiteral("999"));
    QCOMPARE(panel->intervalEdit()->text(), QStringLiteral("1"));
    QCOMPARE(panel->unitBox()->currentText(), QStringLiteral("天"));
    for (CDatePicker *picker : {panel->beginPicker(), panel->endPicker()}) {
        QVERIFY(picker->isBlank());
        QCOMPARE(picker->shownText(), QStringLiteral(" "));
        QCOMPARE(picker->date(), kToday);
    }
    QCOMPARE(panel->itemBankLabel()->text(), QStringLiteral("存入银行"));
    QVERIFY(panel->itemBankLabel()->isVisible());
    QVERIFY(!panel->accountTypeBox()->isVisible());
    QVERIFY(dialog.pickedBank().isEmpty());
    for (TreeKind kind : {TreeKind::Income, TreeKind::Bank})
        for (QWidget *field : panel->fields(kind))
            QVERIFY(!field->isEnabled());

    // 修改 unlocks the open section's fields only, and Tab walks them top down.
    dialog.modifyButton()->click();
    QVERIFY(dialog.isUnlocked());
    for (QWidget *field : panel->fields(TreeKind::Income))
        QVERIFY(field->isEnabled());
    for (QWidget *field : panel->fields(TreeKind::Bank))
        QVERIFY(!field->isEnabled());
    QCOMPARE(tabChain(panel->fields(TreeKind::Income)), panel->fields(TreeKind::Income));
    // The spin buttons step the interval and never below 1.
    panel->intervalDown()->click();
    QCOMPARE(panel->intervalEdit()->text(), QStringLiteral("1"));
    panel->intervalUp()->click();
    QCOMPARE(panel->intervalEdit()->text(), QStringLiteral("2"));
    // Digits only.
    panel->intervalEdit()->clear();
    QTest::keyClicks(panel->intervalEdit(), QStringLiteral("1a.5"));
    QCOMPARE(panel->intervalEdit()->text(), QStringLiteral("15"));

    // The expense section names its bank field otherwise; switching locks.
    dialog.pressSection(TreeKind::Income);
    QVERIFY(!dialog.isUnlocked());
    QCOMPARE(panel->itemBankLabel()->text(), QStringLiteral("支出银行"));
    QVERIFY(panel->itemBankLabel()->isVisible());
    QCOMPARE(panel->fixedBox()->text(), QStringLiteral("固定支出"));
    QVERIFY(!panel->amountEdit()->isEnabled());

    dialog.pressSection(TreeKind::Bank);
    QVERIFY(panel->accountTypeBox()->isVisible());
    QVERIFY(!panel->amountEdit()->isVisible());
    QCOMPARE(panel->accountTypeBox()->count(), 4);
    dialog.modifyButton()->click();
    for (QWidget *field : panel->fields(TreeKind::Bank))
        QVERIFY(field->isEnabled());
    for (QWidget *field : panel->fields(TreeKind::Income))
        QVERIFY(!field->isEnabled());
    QCOMPARE(tabChain(panel->fields(TreeKind::Bank)), panel->fields(TreeKind::Bank));

    // With no section open, 修改 enables nothing.
    dialog.pressSection(TreeKind::Bank);
    dialog.modifyButton()->click();
    for (TreeKind kind : {TreeKind::Income, TreeKind::Bank})
        for (QWidget *field : panel->fields(kind))
            QVERIFY(!field->isEnabled());
}

void TestDetailPanel::doubleClickLoadsACategory()
{
    TempDatabase t;
    addBank(t, 2, "建设银行");
    t.connection().execute("update GetStyle set EveryGet=TRUE, IsAuto=TRUE, GMoney=15.5, DayNum=3, SelectType='月', "
                           "BeginDate='2026/01/05 ', EndDate='', MidDate=' ', BankName='建设银行' where Style='利息'");
    CSettingsDialog dialog(&t.connection(), nullptr, fixedClock());
    dialog.show();
    CDetailPanel *panel = dialog.detailPanel();
    doubleClick(dialog, TreeKind::Income, QStringLiteral("利息"));
    QCOMPARE(panel->header()->text(), QStringLiteral(" ▲利息"));
    QCOMPARE(dialog.loadedName(), QStringLiteral("利息"));
    QVERIFY(panel->fixedBox()->isChecked());
    QVERIFY(panel->autoPostBox()->isChecked());
    QCOMPARE(panel->amountEdit()->text(), QStringLiteral("15.5"));
    QCOMPARE(panel->intervalEdit()->text(), QStringLiteral("3"));
    QCOMPARE(panel->unitBox()->currentText(), QStringLiteral("月"));
    QVERIFY(!panel->beginPicker()->isBlank());
    QCOMPARE(panel->beginPicker()->shownText(), QStringLiteral("2026/01/05 星期一"));
    QVERIFY(panel->endPicker()->isBlank());
    QCOMPARE(panel->endPicker()->date(), kToday);
    // Selecting the row's bank in the picker notifies: the title shows its path.
    QCOMPARE(panel->itemBankPicker()->currentRecord().text, QStringLiteral("建设银行"));
    QCOMPARE(dialog.windowTitle(), QStringLiteral("我的存款银行\\建设银行"));
    QCOMPARE(dialog.pickedBank(), QStringLiteral("建设银行"));
    QVERIFY(!panel->amountEdit()->isEnabled());

    // Choosing a bank changes the title to its path and the picked bank.
    dialog.modifyButton()->click();
    pickBank(panel->itemBankPicker(), QStringLiteral("现金银行"));
    QCOMPARE(dialog.windowTitle(), QStringLiteral("我的存款银行\\现金银行"));
    QCOMPARE(dialog.pickedBank(), QStringLiteral("现金银行"));
    pickBank(panel->itemBankPicker(), QStringLiteral("我的存款银行"));
    QCOMPARE(dialog.pickedBank(), QStringLiteral("我的存款银行"));

    // The unit box offers the units that post and takes no typing; a stored
    // unit that never posts shows as none.
    QVERIFY(!panel->unitBox()->isEditable());
    QStringList units;
    for (int i = 0; i < panel->unitBox()->count(); ++i)
        units << panel->unitBox()->itemText(i);
    QCOMPARE(units, (QStringList{"天", "月", "年"}));
    t.connection().execute("update GetStyle set SelectType='周' where Style='利息'");
    doubleClick(dialog, TreeKind::Income, QStringLiteral("利息"));
    QCOMPARE(panel->unitBox()->currentText(), QString());

    // A node without a row changes the header and the caption only.
    dialog.pressSection(TreeKind::Income);
    doubleClick(dialog, TreeKind::Expense, QStringLiteral("支出类型"));
    QCOMPARE(panel->header()->text(), QStringLiteral(" ▲支出类型"));
    QCOMPARE(panel->fixedBox()->text(), QStringLiteral("固定支出"));
    QCOMPARE(panel->amountEdit()->text(), QStringLiteral("15.5"));
    QVERIFY(!dialog.isUnlocked());
    // Its save is refused rather than reported as done.
    dialog.modifyButton()->click();
    QCOMPARE(save(dialog), QStringList{QString::fromUtf8(setup::kMsgChooseCategory)});
}

void TestDetailPanel::saveChecksTheLoadedNode()
{
    TempDatabase t;
    addBank(t, 2, "工商银行");
    CSettingsDialog dialog(&t.connection(), nullptr, fixedClock());
    dialog.show();
    CDetailPanel *panel = dialog.detailPanel();
    dialog.pressSection(TreeKind::Income);
    doubleClick(dialog, TreeKind::Expense, QStringLiteral("房租"));
    const std::string untouched = styleRow(t, "PayStyle", "房租");
    // Without 修改 the save is refused.
    QCOMPARE(save(dialog), QStringList{QString::fromUtf8(setup::kMsgPressModify)});
    dialog.modifyButton()->click();
    panel->fixedBox()->setChecked(true);
    panel->autoPostBox()->setChecked(false);
    QCOMPARE(save(dialog), QStringList{QString::fromUtf8(setup::kMsgAutoNeedsFixedIncome)});
    panel->autoPostBox()->setChecked(true);
    QCOMPARE(save(dialog), QStringList{QString::fromUtf8(setup::kMsgAmountEmpty)});
    panel->amountEdit()->setText(QStringLiteral("2000"));
    QCOMPARE(save(dialog), QStringList{QString::fromUtf8(setup::kMsgIntervalEmpty)});
    panel->intervalEdit()->setText(QStringLiteral("1"));
    QCOMPARE(save(dialog), QStringList{QString::fromUtf8(setup::kMsgUnitEmpty)});
    panel->unitBox()->setCurrentText(QStringLiteral("月"));
    QCOMPARE(save(dialog), QStringList{QString::fromUtf8(setup::kMsgBankEmpty)});
    pickBank(panel->itemBankPicker(), QStringLiteral("工商银行"));
    panel->amountEdit()->setText(QStringLiteral("两千"));
    QCOMPARE(save(dialog), QStringList{QString::fromUtf8(setup::kMsgAmountNotNumber)});
    panel->intervalEdit()->setText(QStringLiteral("0"));
    panel->amountEdit()->setText(QStringLiteral("2000"));
    QCOMPARE(save(dialog), QStringList{QString::fromUtf8(setup::kMsgIntervalNotWhole)});
    QCOMPARE(styleRow(t, "PayStyle", "房租"), untouched);

    // A valid save; the end date that was blank writes the date the picker
    // holds, which the unlocked field shows.
    panel->intervalEdit()->setText(QStringLiteral("1"));
    panel->beginPicker()->setDate(QDate(2026, 10, 1));
    QVERIFY(!panel->endPicker()->isBlank());
    QCOMPARE(panel->endPicker()->shownText(), QStringLiteral("2026/12/07 星期一"));
    // A new tree's progress is a single space: the item never posted, so a
    // changed start date is simply saved, without a question.
    QCOMPARE(save(dialog, {QStringLiteral("ok")}), QStringList{QString::fromUtf8(setup::kMsgSaved)});
    QCOMPARE(styleRow(t, "PayStyle", "房租"), std::string("1|2000.0|1|月|2026/10/01 |2026/12/07 | |工商银行"));

    // Another node selected with a single click is not written over.
    clickItem(dialog, TreeKind::Expense, QStringLiteral("水电燃气"));
    const std::string other = styleRow(t, "PayStyle", "水电燃气");
    QCOMPARE(save(dialog), QStringList{QString::fromUtf8(setup::kMsgLoadFirst)});
    QCOMPARE(styleRow(t, "PayStyle", "水电燃气"), other);
}

void TestDetailPanel::changedStartDateAsks()
{
    TempDatabase t;
    addBank(t, 2, "工商银行");
    t.connection().execute("update PayStyle set EveryPay=TRUE, IsAuto=TRUE, PMoney=1500, DayNum=1, SelectType='月', "
                           "BeginDate='2026/01/05 ', EndDate='2027/12/31 ', MidDate='2026/11/05 00:00', "
                           "BankName='工商银行' where Style='房租'");
    CSettingsDialog dialog(&t.connection(), nullptr, fixedClock());
    dialog.show();
    CDetailPanel *panel = dialog.detailPanel();
    dialog.pressSection(TreeKind::Income);
    doubleClick(dialog, TreeKind::Expense, QStringLiteral("房租"));
    dialog.modifyButton()->click();
    // Unchanged start date: saved without a question.
    QCOMPARE(save(dialog), QStringList{QString::fromUtf8(setup::kMsgSaved)});
    const std::string before = styleRow(t, "PayStyle", "房租");

    panel->beginPicker()->setDate(QDate(2026, 6, 5));
    QCOMPARE(save(dialog, {QStringLiteral("no")}), QStringList{QString::fromUtf8(setup::kAskRestartExpense)});
    QCOMPARE(styleRow(t, "PayStyle", "房租"), before);
    // Yes, then a refusal: still nothing written.
    panel->amountEdit()->clear();
    QCOMPARE(save(dialog, {QStringLiteral("yes")}),
             (QStringList{QString::fromUtf8(setup::kAskRestartExpense), QString::fromUtf8(setup::kMsgAmountEmpty)}));
    QCOMPARE(styleRow(t, "PayStyle", "房租"), before);
    panel->amountEdit()->setText(QStringLiteral("1600"));
    QCOMPARE(save(dialog, {QStringLiteral("yes"), QStringLiteral("ok")}),
             (QStringList{QString::fromUtf8(setup::kAskRestartExpense), QString::fromUtf8(setup::kMsgSaved)}));
    QCOMPARE(styleRow(t, "PayStyle", "房租"), std::string("1|1600.0|1|月|2026/06/05 |2027/12/31 | |工商银行"));
    // The same date again: the row starts there now, no question.
    QCOMPARE(save(dialog), QStringList{QString::fromUtf8(setup::kMsgSaved)});
}

void TestDetailPanel::bankSectionPostsTheOpeningBalance()
{
    TempDatabase t;
    addBank(t, 2, "工商银行");
    CSettingsDialog dialog(&t.connection(), nullptr, fixedClock());
    dialog.show();
    CDetailPanel *panel = dialog.detailPanel();
    dialog.pressSection(TreeKind::Bank);
    // The root is no account.
    doubleClick(dialog, TreeKind::Bank, QStringLiteral("我的存款银行"));
    dialog.modifyButton()->click();
    QCOMPARE(save(dialog), QStringList{QString::fromUtf8(setup::kMsgChooseBank)});

    doubleClick(dialog, TreeKind::Bank, QStringLiteral("工商银行"));
    QCOMPARE(panel->header()->text(), QStringLiteral(" ▲工商银行"));
    QVERIFY(panel->openDatePicker()->isBlank());
    QCOMPARE(panel->sourcePicker()->currentItem(), nullptr);
    QCOMPARE(save(dialog), QStringList{QString::fromUtf8(setup::kMsgPressModify)});
    dialog.modifyButton()->click();
    QCOMPARE(panel->openDatePicker()->shownText(), QStringLiteral("2026/12/07 星期一"));
    panel->accountTypeBox()->setCurrentIndex(1);
    panel->openBankEdit()->setText(QStringLiteral("城东支行"));
    panel->holderEdit()->setText(QStringLiteral("王芳"));
    panel->accountNumberEdit()->setText(QStringLiteral("6222"));
    panel->openingBalanceEdit()->setText(QStringLiteral("500"));
    pickBank(panel->sourcePicker(), QStringLiteral("工商银行"));
    QCOMPARE(dialog.windowTitle(), QStringLiteral("我的存款银行\\工商银行"));
    QCOMPARE(save(dialog), QStringList{QString::fromUtf8(setup::kMsgSourceIsAccount)});
    QCOMPARE(t.count("account"), 0);
    pickBank(panel->sourcePicker(), QStringLiteral("我的存款银行"));
    panel->openingBalanceEdit()->setText(QStringLiteral("5OO"));
    QCOMPARE(save(dialog), QStringList{QString::fromUtf8(setup::kMsgOpeningNotNumber)});
    panel->openingBalanceEdit()->setText(QStringLiteral("500"));
    QCOMPARE(save(dialog), QStringList{QString::fromUtf8(setup::kMsgSaved)});
    QCOMPARE(t.value("select 财务标识 || 收负类型 || 帐目类型 || 钱额 || 经手人 || 日期 from account"),
             std::string("1收初始化500.0自动2026/12/07 "));
    QCOMPARE(t.value("select PayGet || nMoney || BankName from BankAccount"), std::string("存500.0工商银行"));
    QCOMPARE(t.value("select AccTypeID || OpenBank || CustName || AccNumber || SumMoney from Bank where "
                     "BankName='工商银行'"),
             std::string("信用卡城东支行王芳6222500.0"));
    // Loading it again shows what was saved.
    doubleClick(dialog, TreeKind::Bank, QStringLiteral("工商银行"));
    QCOMPARE(panel->holderEdit()->text(), QStringLiteral("王芳"));
    QVERIFY(!panel->openDatePicker()->isBlank());
    QCOMPARE(panel->sourcePicker()->currentItem(), nullptr); // the root is not searched
    QCOMPARE(dialog.pickedBank(), QStringLiteral("我的存款银行"));

    // The cash account once cash has moved.
    doubleClick(dialog, TreeKind::Bank, QStringLiteral("现金银行"));
    dialog.modifyButton()->click();
    t.connection().execute("insert into CashAccount (Num,DTime,nMoney) values (7,'2026/01/01 00:00',-5)");
    QCOMPARE(save(dialog), QStringList{QString::fromUtf8(setup::kMsgCashUsed)});
}

void TestDetailPanel::headerAndBlankDates()
{
    CHeaderText header;
    header.resize(120, 24);
    header.setText(QStringLiteral(" ▲一个非常非常非常非常非常长的类别名称结尾"));
    const QString shown = header.shownText();
    QVERIFY(shown.contains(QChar(0x2026)));
    QVERIFY(shown.endsWith(QStringLiteral("结尾")));
    QVERIFY(shown.startsWith(QStringLiteral(" ▲")));
    header.resize(600, 24);
    QCOMPARE(header.shownText(), header.text());

    CDatePicker picker;
    picker.show();
    picker.showBlank(QDate(2026, 3, 1));
    QCOMPARE(picker.shownText(), QStringLiteral(" "));
    QCOMPARE(picker.date(), QDate(2026, 3, 1));
    // Stepping the date shows it again.
    picker.setFocus();
    QTest::keyClick(&picker, Qt::Key_Up);
    QVERIFY(!picker.isBlank());
    QVERIFY(picker.date() != QDate(2026, 3, 1));
    QCOMPARE(picker.shownText(), picker.locale().toString(picker.date(), QStringLiteral("yyyy/MM/dd dddd")));
    // A date typed part by part, separators included.
    picker.showBlank(QDate(2026, 3, 1));
    QTest::keyClick(&picker, Qt::Key_Home);
    QTest::keyClicks(&picker, QStringLiteral("2026/10/01"));
    QCOMPARE(picker.date(), QDate(2026, 10, 1));
    picker.showBlank(QDate(2026, 3, 1));
    picker.setDate(QDate(2026, 3, 9));
    QCOMPARE(picker.shownText(), QStringLiteral("2026/03/09 星期一"));
}


// The budget fields stand in the expense section alone, are locked until
// 修改, show the loaded category's budget, and save it without the
// recurring settings of a category that is no recurring item.
void TestDetailPanel::expenseCategoryCarriesItsBudget()
{
    TempDatabase t;
    QVERIFY(setup::setBudget(t.connection(), "交通", {"300", "1200"}));
    CSettingsDialog dialog(&t.connection(), nullptr, fixedClock());
    dialog.show();
    CDetailPanel *panel = dialog.detailPanel();
    QVERIFY(!panel->monthlyBudgetEdit()->isVisible());
    dialog.pressSection(TreeKind::Expense);
    QVERIFY(panel->monthlyBudgetEdit()->isVisible());
    doubleClick(dialog, TreeKind::Expense, QStringLiteral("交通"));
    QCOMPARE(panel->monthlyBudgetEdit()->text(), QStringLiteral("300"));
    QCOMPARE(panel->yearlyBudgetEdit()->text(), QStringLiteral("1200"));
    QVERIFY(!panel->monthlyBudgetEdit()->isEnabled());

    doubleClick(dialog, TreeKind::Expense, QStringLiteral("餐饮"));
    QCOMPARE(panel->monthlyBudgetEdit()->text(), QString());
    const std::string row = styleRow(t, "PayStyle", "餐饮");
    dialog.modifyButton()->click();
    QVERIFY(panel->monthlyBudgetEdit()->isEnabled());
    QTest::keyClicks(panel->monthlyBudgetEdit(), QStringLiteral("2000"));
    QCOMPARE(save(dialog), QStringList{QString::fromUtf8(setup::kMsgSaved)});
    QCOMPARE(setup::loadBudget(t.connection(), "餐饮"), (setup::BudgetAmounts{"2000", ""}));
    QCOMPARE(styleRow(t, "PayStyle", "餐饮"), row);

    dialog.pressSection(TreeKind::Bank);
    QVERIFY(!panel->monthlyBudgetEdit()->isVisible());
}

QTEST_MAIN(TestDetailPanel)
#include "test_detail_panel.moc"
