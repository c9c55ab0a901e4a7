// A recurring item set up in the settings dialog is what the start-up
// posting reads: both ends meet on one database.
#include "app/recurring.h"
#include "setup/category_picker.h"
#include "setup/detail_panel.h"
#include "setup/detail_rules.h"
#include "setup/drag_tree.h"
#include "setup/settings_dialog.h"
#include "setup/tree_store.h"
#include "support/box_answerer.h"
#include "support/temp_database.h"
#include "ui/date_picker.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QtTest>

using setup::TreeKind;
using testing_support::BoxAnswerer;
using testing_support::TempDatabase;

class TestRecurringFromPanel : public QObject {
    Q_OBJECT
private slots:
    void dailyExpenseSavedInThePanelPosts();
};

void TestRecurringFromPanel::dailyExpenseSavedInThePanelPosts()
{
    TempDatabase t;
    auto &c = t.connection();
    QVERIFY(setup::addNode(c, TreeKind::Bank, "我的存款银行", "招商银行").done);
    const db::DateTime now{2026, 12, 7, 9, 15, 0};
    {
        CSettingsDialog dialog(&c, nullptr, [&] { return now; });
        dialog.show();
        dialog.pressSection(TreeKind::Income);
        CDragTree *tree = dialog.tree(TreeKind::Expense);
        tree->expandAll();
        QTreeWidgetItem *item = tree->findItem(QStringLiteral("房租"));
        QVERIFY(item);
        const QPoint at = tree->visualItemRect(item).center();
        QTest::mouseClick(tree->viewport(), Qt::LeftButton, {}, at);
        QTest::mouseDClick(tree->viewport(), Qt::LeftButton, {}, at);
        dialog.modifyButton()->click();
        CDetailPanel *panel = dialog.detailPanel();
        panel->fixedBox()->setChecked(true);
        panel->autoPostBox()->setChecked(true);
        panel->amountEdit()->setText(QStringLiteral("45.5"));
        panel->intervalEdit()->setText(QStringLiteral("1"));
        panel->unitBox()->setCurrentText(QStringLiteral("天"));
        panel->beginPicker()->setDate(QDate(2026, 11, 27)); // ten days back
        panel->endPicker()->setDate(QDate(2027, 6, 30));
        CCategoryPicker *bank = panel->itemBankPicker();
        bank->showDropDown();
        QTreeWidgetItem *account = bank->popupTree()->findItems(QStringLiteral("招商银行"), Qt::MatchRecursive).value(0);
        QVERIFY(account);
        QTest::mouseClick(bank->popupTree()->viewport(), Qt::LeftButton, {},
                          bank->popupTree()->visualItemRect(account).center());
        BoxAnswerer boxes({QStringLiteral("yes"), QStringLiteral("ok")});
        dialog.saveButton()->click();
        QCOMPARE(boxes.texts.last(), QString::fromUtf8(setup::kMsgSaved));
    }

    const app::RecurringRun run = app::postAllRecurring(c, now);
    QVERIFY2(run.failures.empty(), run.failures.empty() ? "" : run.failures.front().c_str());
    // 27 November to 7 December, both included.
    QCOMPARE(run.posted, 11);
    QCOMPARE(t.value("select count(*) from PayMoney where PayStyle='房租' and Operator='自动' and nMoney=45.5"),
             std::string("11"));
    QCOMPARE(t.value("select count(*) || '|' || sum(nMoney) from BankAccount where BankName='招商银行'"),
             std::string("11|-500.5"));
    QCOMPARE(t.value("select min(日期) || '|' || max(日期) from account where 经手人='自动'"),
             std::string("2026/11/27 00:00|2026/12/07 00:00"));
    QCOMPARE(t.value("select MidDate from PayStyle where Style='房租'"), std::string("2026/12/07 00:00"));
    // The same day again posts nothing more.
    QCOMPARE(app::postAllRecurring(c, now).posted, 0);
}

QTEST_MAIN(TestRecurringFromPanel)
#include "test_recurring_from_panel.moc"
