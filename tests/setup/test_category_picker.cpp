#include "setup/category_picker.h"
#include "support/temp_database.h"

#include <QSignalSpy>
#include <QTreeWidget>
#include <QtTest>

using testing_support::TempDatabase;

Q_DECLARE_METATYPE(PickedItem)

class TestCategoryPicker : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { qRegisterMetaType<PickedItem>(); }
    void pickerSelections();
    void pickerKeysAndPopup();
};

void TestCategoryPicker::pickerSelections()
{
    TempDatabase t;
    QWidget owner;
    CCategoryPicker picker(&owner);
    QSignalSpy spy(&picker, &CCategoryPicker::picked);
    QVERIFY(picker.create(0, 300, PickerKind::Bank, &t.connection()));
    QCOMPARE(spy.count(), 0);
    QCOMPARE(picker.currentRecord().text, QStringLiteral("我的存款银行"));
    QVERIFY(picker.selectByText(QStringLiteral("  现金银行 ")));
    QCOMPARE(spy.count(), 1);
    auto record = spy.at(0).at(0).value<PickedItem>();
    QCOMPARE(record.text, QStringLiteral("现金银行"));
    QCOMPARE(record.path, QStringLiteral("我的存款银行\\现金银行"));
    QCOMPARE(spy.at(0).at(1).value<PickerKind>(), PickerKind::Bank);
    // The root text is not searched; no match leaves the field empty.
    QVERIFY(!picker.selectByText(QStringLiteral("我的存款银行")));
    QVERIFY(!picker.selectByText(QStringLiteral("没有")));
    QCOMPARE(spy.count(), 1);
    QCOMPARE(picker.currentItem(), nullptr);
    picker.selectRoot();
    QCOMPARE(spy.count(), 2);
    record = spy.at(1).at(0).value<PickedItem>();
    QCOMPARE(record.text, QStringLiteral("我的存款银行"));
    QCOMPARE(record.path, QStringLiteral("我的存款银行"));

    CCategoryPicker pay(&owner);
    QSignalSpy paySpy(&pay, &CCategoryPicker::picked);
    pay.create(0, 300, PickerKind::Expense, &t.connection());
    QVERIFY(pay.selectByText(QStringLiteral("股票")));
    record = paySpy.at(0).at(0).value<PickedItem>();
    QCOMPARE(record.path, QStringLiteral("支出类型\\投资\\股票"));
    QCOMPARE(record.expandedImage, 1);
    QCOMPARE(paySpy.at(0).at(1).value<PickerKind>(), PickerKind::Expense);

    CCategoryPicker store(&owner);
    QSignalSpy storeSpy(&store, &CCategoryPicker::picked);
    store.create(0, 300, PickerKind::Deposit, &t.connection());
    QCOMPARE(store.currentRecord().text, QStringLiteral("存钱"));
    QCOMPARE(storeSpy.count(), 0);
    store.selectRoot();
    QCOMPARE(storeSpy.at(0).at(1).value<PickerKind>(), PickerKind::Deposit);
    CCategoryPicker out(&owner);
    out.create(0, 300, PickerKind::Withdrawal, nullptr);
    QCOMPARE(out.currentRecord().path, QStringLiteral("取钱"));
    QCOMPARE(out.kindCode(), 5);
}

void TestCategoryPicker::pickerKeysAndPopup()
{
    TempDatabase t;
    QWidget owner;
    owner.resize(300, 200);
    CCategoryPicker picker(&owner);
    picker.setGeometry(10, 10, 150, 24);
    picker.create(0, 300, PickerKind::Income, &t.connection());
    owner.show();
    QSignalSpy spy(&picker, &CCategoryPicker::picked);
    picker.setFocus();
    QTest::keyClick(&picker, Qt::Key_Down);
    QCOMPARE(spy.count(), 1);
    QCOMPARE(picker.currentRecord().text, QStringLiteral("工资"));
    QTest::keyClick(&picker, Qt::Key_Up);
    QCOMPARE(picker.currentRecord().text, QStringLiteral("收入类型"));
    QTest::keyClick(&picker, Qt::Key_Up); // first item: nothing
    QCOMPARE(spy.count(), 2);
    // A click opens the tree below the field, full width; Escape hides it unpicked.
    QTest::mouseClick(&picker, Qt::LeftButton);
    QVERIFY(picker.isDropDownShown());
    QCOMPARE(picker.popupTree()->width(), 150);
    QCOMPARE(picker.popupTree()->height(), 300);
    QCOMPARE(picker.popupTree()->geometry().top(), picker.mapToGlobal(QPoint(0, picker.height() + 1)).y());
    QTest::keyClick(picker.popupTree(), Qt::Key_Escape);
    QVERIFY(!picker.isDropDownShown());
    QCOMPARE(spy.count(), 2);
    // Enter picks the selected item.
    picker.showDropDown();
    QTreeWidgetItem *bonus = picker.popupTree()->findItems(QStringLiteral("奖金"), Qt::MatchRecursive).value(0);
    QVERIFY(bonus);
    picker.popupTree()->setCurrentItem(bonus);
    QTest::keyClick(picker.popupTree(), Qt::Key_Return);
    QVERIFY(!picker.isDropDownShown());
    QCOMPARE(spy.count(), 3);
    QCOMPARE(picker.currentRecord().path, QStringLiteral("收入类型\\奖金"));
    // A click on an item picks it.
    picker.showDropDown();
    QTreeWidgetItem *interest = picker.popupTree()->findItems(QStringLiteral("利息"), Qt::MatchRecursive).value(0);
    QTest::mouseClick(picker.popupTree()->viewport(), Qt::LeftButton, {},
                      picker.popupTree()->visualItemRect(interest).center());
    QCOMPARE(picker.currentRecord().text, QStringLiteral("利息"));
    QCOMPARE(spy.count(), 4);
    // An item found by its text below a closed branch: the keys move on
    // from it to its neighbours.
    picker.create(0, 300, PickerKind::Income, &t.connection());
    QVERIFY(picker.selectByText(QStringLiteral("基金")));
    picker.setFocus();
    QTest::keyClick(&picker, Qt::Key_Down);
    QCOMPARE(picker.currentRecord().text, QStringLiteral("债券"));
    QTest::keyClick(&picker, Qt::Key_Up);
    QTest::keyClick(&picker, Qt::Key_Up);
    QCOMPARE(picker.currentRecord().text, QStringLiteral("股票"));
}

QTEST_MAIN(TestCategoryPicker)
#include "test_category_picker.moc"
