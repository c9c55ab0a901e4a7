#include "app/ui_setup.h"
#include "ledger/entry_dialog.h"
#include "ledger/ledger_commands.h"
#include "ledger/posting.h"
#include "modal_driver.h"
#include "setup/category_picker.h"
#include "support/box_answerer.h"
#include "support/temp_database.h"
#include "ui/calculator_dialog.h"

#include <QComboBox>
#include <QDateTimeEdit>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QtTest>

using namespace ledger::ctl;
using testing_support::TempDatabase;

namespace {

const int kLower[] = {IDC_ACCOUNT_LABEL, IDC_ACCOUNT, IDC_DESCRIPTION_LABEL, IDC_DESCRIPTION,   IDOK,        IDCANCEL,
                      IDC_AMOUNT_LABEL,  IDC_AMOUNT,  IDC_CALCULATOR,        IDC_HANDLER_LABEL, IDC_HANDLER, IDC_FRAME};
const int kInvest[] = {IDC_START_LABEL, IDC_START_NUMBER, IDC_INVESTED_LABEL, IDC_INVESTED};

// A database with a bank account, two more users and the starts of two
// investments.
void prepare(TempDatabase &t)
{
    auto &c = t.connection();
    c.execute("INSERT INTO Bank (Num,BankName,nLevel,FirstLevel,ParentBank,FullID) VALUES "
              "(2,'工商银行',1,0,'我的存款银行','0000')");
    c.execute("INSERT INTO SysAllUser (SysUserName,SysPwd) VALUES ('张三','')");
    c.execute("INSERT INTO SysAllUser (SysUserName,SysPwd) VALUES ('李四','')");
    QVERIFY(ledger::postEntry(c, {"1", "2007/03/01 10:00", "付", "股票", "100", "", "管理员", "工商银行", ""}));
    QVERIFY(ledger::postEntry(c, {"2", "2007/03/02 10:00", "付", "基金", "50", "", "管理员", "工商银行", ""}));
    c.execute("INSERT INTO PayMoney (Num,DTime,PayStyle,AccNum) VALUES (3,'2007/03/03 10:00','股票',3)");
}

EntryForm newForm()
{
    EntryForm form;
    form.number = QStringLiteral("5");
    form.dateTime = QDateTime(QDate(2007, 3, 5), QTime(9, 7));
    return form;
}

QStringList comboItems(QComboBox *box)
{
    QStringList items;
    for (int i = 0; i < box->count(); ++i)
        items << box->itemText(i);
    return items;
}

template <class T> T *ctl(CEntryDialog &d, int id) { return qobject_cast<T *>(d.control(id)); }

void verifyLayout(CEntryDialog &d, bool investment)
{
    for (int id : kLower)
        QVERIFY2(d.control(id)->isHidden() == investment, qPrintable(QString::number(id)));
    QCOMPARE(d.control(IDC_INVEST_LIST)->isHidden(), !investment);
    for (int id : kInvest)
        QVERIFY2(d.control(id)->isHidden() == !investment, qPrintable(QString::number(id)));
    QCOMPARE(d.control(IDC_CATEGORY)->width(), investment ? 110 : 277);
}

// The visible controls other than the frame do not overlap.
void verifyNoOverlap(CEntryDialog &d)
{
    QList<QWidget *> shown;
    for (int id : {IDOK,
                   IDCANCEL,
                   IDC_NUMBER,
                   IDC_DATE_TIME,
                   IDC_AMOUNT,
                   IDC_DESCRIPTION,
                   IDC_TYPE,
                   IDC_CATEGORY,
                   IDC_HANDLER,
                   IDC_ACCOUNT,
                   IDC_CALCULATOR,
                   IDC_INVEST_LIST,
                   IDC_INVESTED,
                   IDC_START_NUMBER,
                   IDC_START_LABEL,
                   IDC_INVESTED_LABEL,
                   IDC_AMOUNT_LABEL,
                   IDC_HANDLER_LABEL,
                   IDC_ACCOUNT_LABEL,
                   IDC_DESCRIPTION_LABEL})
        if (!d.control(id)->isHidden())
            shown << d.control(id);
    for (int i = 0; i < shown.size(); ++i) {
        QVERIFY(d.rect().contains(shown[i]->geometry()));
        for (int j = i + 1; j < shown.size(); ++j)
            QVERIFY2(!shown[i]->geometry().intersects(shown[j]->geometry()),
                     qPrintable(shown[i]->objectName() + QLatin1Char('/') + shown[j]->objectName()));
    }
}

} // namespace

class TestEntryDialog : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void newEntryOpensAsExpense();
    void typeSwitchSelectsTheRoot_data();
    void typeSwitchSelectsTheRoot();
    void investmentModeOnlyBelowTheIncomeRoot_data();
    void investmentModeOnlyBelowTheIncomeRoot();
    void pickingTheStartingEntry();
    void confirmAndCancelFromTheKeyboard();
    void changePreset_data();
    void changePreset();
    void calculatorWorksOnTheAmount();
    void aDateThatDoesNotExistIsRefused();
};

void TestEntryDialog::initTestCase() { app::setUpApplication(*qApp); }

void TestEntryDialog::newEntryOpensAsExpense()
{
    TempDatabase t;
    prepare(t);
    CEntryDialog d(&t.connection());
    d.setForm(newForm());
    d.show();
    QCOMPARE(d.windowTitle(), QStringLiteral("日常收入或者支出"));
    QCOMPARE(d.size(), d.dialogRect(0, 0, 227, 131).size());
    QCOMPARE(d.control(IDC_DESCRIPTION)->geometry(), d.dialogRect(38, 83, 183, 13));
    QCOMPARE(d.control(IDOK)->geometry(), d.dialogRect(50, 110, 42, 13));
    QCOMPARE(d.font().family(), QStringLiteral("宋体"));
    QCOMPARE(d.font().pointSize(), 9);
    QCOMPARE(ctl<QComboBox>(d, IDC_TYPE)->currentText(), QStringLiteral("付"));
    QCOMPARE(comboItems(ctl<QComboBox>(d, IDC_TYPE)), (QStringList{"收", "付", "存", "取"}));
    QCOMPARE(d.categoryPicker()->kind(), PickerKind::Expense);
    QCOMPARE(d.accountPicker()->kind(), PickerKind::Bank);
    QVERIFY(d.form().category.isEmpty());
    QVERIFY(d.form().account.isEmpty());
    verifyLayout(d, false);
    verifyNoOverlap(d);
    QCOMPARE(ctl<QLineEdit>(d, IDC_NUMBER)->text(), QStringLiteral("5"));
    QVERIFY(!ctl<QLineEdit>(d, IDC_NUMBER)->isReadOnly());
    QCOMPARE(ctl<QDateTimeEdit>(d, IDC_DATE_TIME)->displayFormat(), QStringLiteral("yyyy'/'MM'/'dd  HH':'mm"));
    QCOMPARE(ctl<QDateTimeEdit>(d, IDC_DATE_TIME)->text(), QStringLiteral("2007/03/05  09:07"));
    auto *handler = ctl<QComboBox>(d, IDC_HANDLER);
    QVERIFY(handler->isEditable());
    QCOMPARE(comboItems(handler), (QStringList{"管理员", "李四", "张三"}));
    QVERIFY(handler->currentText().isEmpty());
    QVERIFY(ctl<QPushButton>(d, IDOK)->isDefault());
    QCOMPARE(d.focusWidget(), d.control(IDC_AMOUNT));
    // The tab order is the order of the form.
    QList<int> order;
    QWidget *w = d.control(IDOK);
    do {
        const int id = w->objectName().toInt();
        if (id && d.control(id) == w && w->focusPolicy() != Qt::NoFocus && !order.contains(id))
            order << id;
        w = w->nextInFocusChain();
    } while (w != d.control(IDOK));
    QCOMPARE(order,
             (QList<int>{IDOK, IDCANCEL, IDC_NUMBER, IDC_DATE_TIME, IDC_AMOUNT, IDC_DESCRIPTION, IDC_TYPE, IDC_CATEGORY,
                         IDC_HANDLER, IDC_ACCOUNT, IDC_CALCULATOR, IDC_INVEST_LIST, IDC_INVESTED, IDC_START_NUMBER}));
}

void TestEntryDialog::typeSwitchSelectsTheRoot_data()
{
    QTest::addColumn<QStringList>("types");
    QTest::addColumn<PickerKind>("kind");
    QTest::addColumn<QString>("category");
    QTest::newRow("income") << QStringList{"收"} << PickerKind::Income << "收入类型";
    QTest::newRow("deposit") << QStringList{"存"} << PickerKind::Deposit << "存钱";
    QTest::newRow("withdrawal") << QStringList{"取"} << PickerKind::Withdrawal << "取钱";
    QTest::newRow("back to expense") << QStringList{"收", "付"} << PickerKind::Expense << "支出类型";
}

void TestEntryDialog::typeSwitchSelectsTheRoot()
{
    QFETCH(QStringList, types);
    QFETCH(PickerKind, kind);
    QFETCH(QString, category);
    TempDatabase t;
    prepare(t);
    CEntryDialog d(&t.connection());
    d.setForm(newForm());
    d.show();
    QVERIFY(d.categoryPicker()->selectByText(QStringLiteral("午餐")));
    QCOMPARE(d.form().category, QStringLiteral("午餐"));
    auto *type = ctl<QComboBox>(d, IDC_TYPE);
    for (const QString &t : types)
        type->setCurrentIndex(type->findText(t));
    QCOMPARE(d.categoryPicker()->kind(), kind);
    QCOMPARE(d.form().category, category);
    QCOMPARE(d.categoryPicker()->currentRecord().text, category);
    verifyLayout(d, false);
}

void TestEntryDialog::investmentModeOnlyBelowTheIncomeRoot_data()
{
    QTest::addColumn<QString>("type");
    QTest::addColumn<QString>("category"); // "" picks the root
    QTest::addColumn<bool>("investment");
    QTest::addColumn<QStringList>("numbers");
    QTest::newRow("income 股票") << "收"
                                 << "股票" << true << QStringList{"1", "3"};
    QTest::newRow("income 基金") << "收"
                                 << "基金" << true << QStringList{"2"};
    QTest::newRow("income 投资 itself") << "收"
                                        << "投资" << true << QStringList{};
    QTest::newRow("income 工资") << "收"
                                 << "工资" << false << QStringList{};
    QTest::newRow("income root") << "收"
                                 << "" << false << QStringList{};
    QTest::newRow("expense 股票") << "付"
                                  << "股票" << false << QStringList{};
}

void TestEntryDialog::investmentModeOnlyBelowTheIncomeRoot()
{
    QFETCH(QString, type);
    QFETCH(QString, category);
    QFETCH(bool, investment);
    QFETCH(QStringList, numbers);
    TempDatabase t;
    prepare(t);
    CEntryDialog d(&t.connection());
    EntryForm form = newForm();
    form.presetType = type;
    d.setForm(form);
    d.show();
    if (category.isEmpty())
        d.categoryPicker()->selectRoot();
    else
        QVERIFY(d.categoryPicker()->selectByText(category));
    QCOMPARE(d.isInvestmentMode(), investment);
    verifyLayout(d, investment);
    verifyNoOverlap(d);
    if (!investment)
        return;
    QTableWidget *list = d.investmentList();
    QCOMPARE(list->columnCount(), 4);
    QStringList headers;
    for (int i = 0; i < 4; ++i) {
        headers << list->horizontalHeaderItem(i)->text();
        QCOMPARE(list->horizontalHeaderItem(i)->textAlignment(), int(Qt::AlignCenter));
    }
    QCOMPARE(headers, (QStringList{"支出编号", "投资类型", "金额", "时间"}));
    QCOMPARE(list->columnWidth(1), 95);
    QCOMPARE(list->selectionBehavior(), QAbstractItemView::SelectRows);
    QStringList shown;
    for (int r = 0; r < list->rowCount(); ++r)
        shown << list->item(r, 0)->text();
    QCOMPARE(shown, numbers);
    // Choosing an account keeps the layout; another category ends the mode.
    d.accountPicker()->selectRoot();
    d.accountPicker()->selectByText(QStringLiteral("工商银行"));
    verifyLayout(d, true);
    QVERIFY(d.categoryPicker()->selectByText(QStringLiteral("工资")));
    verifyLayout(d, false);
}

void TestEntryDialog::pickingTheStartingEntry()
{
    TempDatabase t;
    prepare(t);
    CEntryDialog d(&t.connection());
    EntryForm form = newForm();
    form.presetType = QStringLiteral("收");
    d.setForm(form);
    d.show();
    QVERIFY(d.categoryPicker()->selectByText(QStringLiteral("股票")));
    QTableWidget *list = d.investmentList();
    QCOMPARE(list->item(0, 1)->text(), QStringLiteral("股票 "));
    QCOMPARE(list->item(0, 3)->text(), QStringLiteral("2007/03/01 10:00"));
    QCOMPARE(list->item(1, 2)->text(), QString());
    // The row without an amount gives 0.
    QCoreApplication::processEvents();
    const QRect second = list->visualRect(list->model()->index(1, 2));
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, second.center());
    QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, second.center());
    QCOMPARE(ctl<QLineEdit>(d, IDC_START_NUMBER)->text(), QStringLiteral("3"));
    QCOMPARE(ctl<QLineEdit>(d, IDC_INVESTED)->text(), QStringLiteral("0"));
    QVERIFY(!d.control(IDC_START_NUMBER)->isEnabled());
    for (int id : kLower)
        QVERIFY(!d.control(id)->isHidden());
    for (int id : kInvest)
        QVERIFY(!d.control(id)->isHidden());
    QVERIFY(list->isHidden());
    QCOMPARE(d.control(IDC_CATEGORY)->width(), 110);
    verifyNoOverlap(d);
    // Back to the list, the first row by Enter.
    QVERIFY(d.categoryPicker()->selectByText(QStringLiteral("股票")));
    list->setCurrentCell(0, 0);
    QTest::keyClick(list, Qt::Key_Return);
    QCOMPARE(ctl<QLineEdit>(d, IDC_INVESTED)->text(), QStringLiteral("100"));
    QVERIFY(d.accountPicker()->selectByText(QStringLiteral("工商银行")));
    ctl<QLineEdit>(d, IDC_AMOUNT)->setText(QStringLiteral("120"));
    ctl<QPushButton>(d, IDOK)->click();
    QCOMPARE(d.result(), int(QDialog::Accepted));
    const ledger::Entry e = d.entry();
    QCOMPARE(QString::fromStdString(e.category + "|" + e.bank + "|" + e.amount + "|" + e.invested + "|" + e.type),
             QStringLiteral("股票|工商银行|120|100|收"));
    QCOMPARE(d.form().startNumber, QStringLiteral("1"));
}

void TestEntryDialog::confirmAndCancelFromTheKeyboard()
{
    TempDatabase t;
    prepare(t);
    {
        CEntryDialog d(&t.connection());
        d.setForm(newForm());
        d.show();
        QVERIFY(d.categoryPicker()->selectByText(QStringLiteral("午餐")));
        QVERIFY(d.accountPicker()->selectByText(QStringLiteral("现金银行")));
        ctl<QLineEdit>(d, IDC_AMOUNT)->setText(QStringLiteral("35.5"));
        ctl<QLineEdit>(d, IDC_DESCRIPTION)->setText(QStringLiteral("Tom's"));
        ctl<QComboBox>(d, IDC_HANDLER)->setCurrentText(QStringLiteral("新人"));
        ctl<QDateTimeEdit>(d, IDC_DATE_TIME)->setDateTime(QDateTime(QDate(2007, 3, 5), QTime(12, 30)));
        QTest::keyClick(ctl<QComboBox>(d, IDC_HANDLER)->lineEdit(), Qt::Key_Return);
        QCOMPARE(d.result(), int(QDialog::Accepted));
        QVERIFY(d.isHidden());
        const ledger::Entry e = d.entry();
        QCOMPARE(QString::fromStdString(e.number + "|" + e.date + "|" + e.type + "|" + e.category + "|" + e.amount +
                                        "|" + e.description + "|" + e.handler + "|" + e.bank),
                 QStringLiteral("5|2007/03/05 12:30|付|午餐|35.5|Tom's|新人|现金银行"));
    }
    {
        CEntryDialog d(&t.connection());
        d.setForm(newForm());
        d.show();
        QTest::keyClick(d.control(IDC_AMOUNT), Qt::Key_Escape);
        QCOMPARE(d.result(), int(QDialog::Rejected));
    }
    {
        // In investment mode there is no button to confirm with.
        CEntryDialog d(&t.connection());
        EntryForm form = newForm();
        form.presetType = QStringLiteral("收");
        d.setForm(form);
        d.show();
        QVERIFY(d.categoryPicker()->selectByText(QStringLiteral("股票")));
        QTest::keyClick(d.categoryPicker(), Qt::Key_Return);
        QVERIFY(d.isVisible());
        ctl<QPushButton>(d, IDCANCEL)->click();
        QCOMPARE(d.result(), int(QDialog::Rejected));
    }
}

void TestEntryDialog::changePreset_data()
{
    QTest::addColumn<QString>("type");
    QTest::addColumn<QString>("category");
    QTest::addColumn<QString>("account");
    QTest::addColumn<QString>("wantedType");
    QTest::addColumn<QString>("wantedCategory");
    QTest::addColumn<QString>("wantedAccount");
    QTest::newRow("stored blanks") << "付 "
                                   << "午餐 "
                                   << "现金银行"
                                   << "付"
                                   << "午餐"
                                   << "现金银行";
    QTest::newRow("category gone") << "付"
                                   << "旧类型"
                                   << "工商银行"
                                   << "付"
                                   << ""
                                   << "工商银行";
    QTest::newRow("account gone") << "收"
                                  << "工资"
                                  << "旧银行"
                                  << "收"
                                  << "工资"
                                  << "旧银行";
    QTest::newRow("deposit") << "存 "
                             << "存钱 "
                             << "工商银行"
                             << "存"
                             << "存钱"
                             << "工商银行";
    QTest::newRow("withdrawal") << " 取"
                                << "取钱"
                                << "现金银行"
                                << "取"
                                << "取钱"
                                << "现金银行";
}

void TestEntryDialog::changePreset()
{
    QFETCH(QString, type);
    QFETCH(QString, category);
    QFETCH(QString, account);
    QFETCH(QString, wantedType);
    QFETCH(QString, wantedCategory);
    QFETCH(QString, wantedAccount);
    TempDatabase t;
    prepare(t);
    CEntryDialog d(&t.connection());
    EntryForm form = newForm();
    form.presetType = type;
    form.presetCategory = category;
    form.account = account;
    form.amount = QStringLiteral("12");
    form.handler = QStringLiteral("李四");
    d.setForm(form);
    d.setNumberReadOnly(true);
    d.show();
    QCOMPARE(ctl<QComboBox>(d, IDC_TYPE)->currentText(), wantedType);
    QCOMPARE(d.form().category, wantedCategory);
    QCOMPARE(d.form().account, wantedAccount);
    QCOMPARE(ctl<QComboBox>(d, IDC_HANDLER)->currentText(), QStringLiteral("李四"));
    QVERIFY(ctl<QLineEdit>(d, IDC_NUMBER)->isReadOnly());
    verifyLayout(d, false);
    ctl<QPushButton>(d, IDOK)->click();
    QCOMPARE(QString::fromStdString(d.entry().type + "|" + d.entry().amount + "|" + d.entry().number),
             wantedType + QStringLiteral("|12|5"));
}

void TestEntryDialog::calculatorWorksOnTheAmount()
{
    TempDatabase t;
    CEntryDialog d(&t.connection());
    d.setForm(newForm());
    d.show();
    auto *amount = ctl<QLineEdit>(d, IDC_AMOUNT);
    QVERIFY(!ctl<QPushButton>(d, IDC_CALCULATOR)->icon().isNull());
    // Pressed after the step returns, so that a box the keys open is answered.
    const auto press = [](QWidget *w, const QStringList &keys) {
        auto *calculator = qobject_cast<CCalculatorDialog *>(w);
        QVERIFY(calculator);
        QTimer::singleShot(0, calculator, [calculator, keys] {
            for (const QString &key : keys)
                calculator->button(key)->click();
        });
    };
    {
        ModalDriver driver;
        QPoint where;
        driver.then([&](QWidget *w) {
            where = w->pos();
            press(w, {"1", "2", ".", "5", "*", "2", "="});
        });
        ctl<QPushButton>(d, IDC_CALCULATOR)->click();
        QVERIFY(driver.done());
        QCOMPARE(where, d.frameGeometry().topLeft() + QPoint(170, 90));
        QCOMPARE(amount->text(), QStringLiteral("25.00"));
    }
    {
        amount->clear();
        ModalDriver driver;
        driver.then([&](QWidget *w) { press(w, {"8", "/", "0", "="}); });
        driver.answer();
        ctl<QPushButton>(d, IDC_CALCULATOR)->click();
        QTRY_VERIFY(driver.done());
        QCOMPARE(driver.boxTexts, QStringList{QStringLiteral("除数不能为零!")});
        QCOMPARE(amount->text(), QString());
    }
    {
        // 关闭 keeps what the keys made.
        amount->setText(QStringLiteral("9"));
        ModalDriver driver;
        driver.then([&](QWidget *w) { press(w, {"1", "<--", "<--", "关闭"}); });
        ctl<QPushButton>(d, IDC_CALCULATOR)->click();
        QCOMPARE(amount->text(), QString());
        QVERIFY(driver.unexpected.isEmpty());
    }
}

// Typing 2007/02/30 no longer leaves 2007/02/03 in the field: the date is
// refused by name and the field keeps what it held.
void TestEntryDialog::aDateThatDoesNotExistIsRefused()
{
    TempDatabase t;
    CEntryDialog d(&t.connection());
    d.setForm(newForm());
    d.show();
    auto *date = ctl<QDateTimeEdit>(d, IDC_DATE_TIME);
    date->setFocus();
    date->setCurrentSectionIndex(0);
    date->setSelectedSection(QDateTimeEdit::YearSection);
    testing_support::BoxAnswerer answers;
    QTest::keyClicks(date, QStringLiteral("2007/02/30"));
    QCOMPARE(answers.texts.size(), 1);
    QVERIFY2(answers.texts[0].contains(QStringLiteral("2007/02/30 09:07")), qPrintable(answers.texts[0]));
    QCOMPARE(date->dateTime(), QDateTime(QDate(2007, 2, 5), QTime(9, 7)));
}

QTEST_MAIN(TestEntryDialog)
#include "test_entry_dialog.moc"
