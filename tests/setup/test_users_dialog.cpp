#include "app/login.h"
#include "db/connection.h"
#include "setup/users.h"
#include "setup/users_dialog.h"
#include "support/modal_closer.h"
#include "support/temp_database.h"

#include <QHeaderView>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTableWidget>
#include <QtTest>

using testing_support::ModalCloser;
using testing_support::TempDatabase;

namespace {

QStringList names(const QTableWidget *list)
{
    QStringList out;
    for (int row = 0; row < list->rowCount(); ++row)
        out << list->item(row, 0)->text();
    return out;
}

void clickRow(QTableWidget *list, int row)
{
    const QRect cell = list->visualItemRect(list->item(row, 0));
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, cell.center());
}

} // namespace

class TestUsersDialog : public QObject {
    Q_OBJECT
private slots:
    void listsUsersAndShowsAClickedOne();
    void addsWithTrimAndRefusals();
    void deletesTheSelectedUser();
};

void TestUsersDialog::listsUsersAndShowsAClickedOne()
{
    TempDatabase t;
    t.connection().execute("insert into SysAllUser values ('张三','pw','会计')");
    t.connection().execute("insert into SysAllUser values ('李四','','')");
    CUsersDialog dialog(&t.connection(), QStringLiteral("管理员"));
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));
    QCOMPARE(dialog.windowTitle(), QStringLiteral("经手人"));
    QCOMPARE(dialog.list()->horizontalHeaderItem(0)->text(), QStringLiteral("姓名"));
    QCOMPARE(dialog.list()->horizontalHeaderItem(1)->text(), QStringLiteral("说明"));
    QCOMPARE(names(dialog.list()), (QStringList{QStringLiteral("张三"), QStringLiteral("李四")}));
    QCOMPARE(dialog.list()->item(0, 1)->text(), QStringLiteral("会计"));
    QVERIFY(dialog.closeButton()->isDefault());
    QCOMPARE(dialog.passwordEdit()->echoMode(), QLineEdit::Password);

    clickRow(dialog.list(), 0);
    QCOMPARE(dialog.nameEdit()->text(), QStringLiteral("张三"));
    QCOMPARE(dialog.passwordEdit()->text(), QStringLiteral("pw"));
    QCOMPARE(dialog.detailsEdit()->text(), QStringLiteral("会计"));
    // The row is read again from the table when it is clicked.
    t.connection().execute("update SysAllUser set SysPwd='new' where SysUserName='李四'");
    clickRow(dialog.list(), 1);
    QCOMPARE(dialog.passwordEdit()->text(), QStringLiteral("new"));
}

void TestUsersDialog::addsWithTrimAndRefusals()
{
    TempDatabase t;
    CUsersDialog dialog(&t.connection(), QStringLiteral("管理员"));
    ModalCloser boxes;
    dialog.nameEdit()->setText(QStringLiteral("  王五 "));
    dialog.passwordEdit()->setText(QStringLiteral(" 1 "));
    dialog.detailsEdit()->setText(QStringLiteral("出纳"));
    dialog.addButton()->click();
    QCOMPARE(names(dialog.list()), QStringList{QStringLiteral("王五")});
    QCOMPARE(dialog.list()->item(0, 1)->text(), QStringLiteral("出纳"));
    QVERIFY(dialog.nameEdit()->text().isEmpty() && dialog.passwordEdit()->text().isEmpty() &&
            dialog.detailsEdit()->text().isEmpty());
    QVERIFY(app::checkLogin(t.connection(), "王五", " 1 ").accepted);

    // An existing name: nothing added, nothing said, the edits kept.
    dialog.nameEdit()->setText(QStringLiteral("王五"));
    dialog.addButton()->click();
    QCOMPARE(dialog.list()->rowCount(), 1);
    QCOMPARE(dialog.nameEdit()->text(), QStringLiteral("王五"));
    QTest::qWait(50);
    QVERIFY(boxes.texts.isEmpty());

    dialog.nameEdit()->setText(QStringLiteral("   "));
    dialog.addButton()->click();
    QTRY_COMPARE(boxes.texts, QStringList{QString::fromUtf8(setup::kMsgNameEmpty)});
    QCOMPARE(t.count("SysAllUser"), 2);
}

void TestUsersDialog::deletesTheSelectedUser()
{
    TempDatabase t;
    t.connection().execute("insert into SysAllUser values ('张三','','')");
    t.connection().execute("insert into SysAllUser values ('李四','','')");
    t.connection().execute("insert into SysAllUser values ('王五','','')");
    t.connection().execute("insert into SysAllUser values ('赵六','','')");
    CUsersDialog dialog(&t.connection(), QStringLiteral("李四"));
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));
    ModalCloser boxes;
    dialog.deleteButton()->click(); // nothing selected: nothing happens
    QCOMPARE(dialog.list()->rowCount(), 4);

    clickRow(dialog.list(), 1);
    dialog.deleteButton()->click();
    QTRY_COMPARE(boxes.texts, QStringList{QString::fromUtf8(setup::kMsgUserLoggedIn)});
    QCOMPARE(dialog.list()->rowCount(), 4);
    QCOMPARE(dialog.nameEdit()->text(), QStringLiteral("李四"));

    clickRow(dialog.list(), 0);
    dialog.deleteButton()->click();
    QCOMPARE(names(dialog.list()), (QStringList{QStringLiteral("李四"), QStringLiteral("王五"), QStringLiteral("赵六")}));
    QVERIFY(dialog.nameEdit()->text().isEmpty());
    // A second click takes nobody: the deleted user's neighbour was not chosen.
    clickRow(dialog.list(), 1);
    dialog.deleteButton()->click();
    dialog.deleteButton()->click();
    QCOMPARE(names(dialog.list()), (QStringList{QStringLiteral("李四"), QStringLiteral("赵六")}));
    QCOMPARE(t.count("SysAllUser"), 3);
}

QTEST_MAIN(TestUsersDialog)
#include "test_users_dialog.moc"
