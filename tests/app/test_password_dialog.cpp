#include "app/login.h"
#include "app/password.h"
#include "app/password_dialog.h"
#include "app/settings_store.h"
#include "db/connection.h"
#include "support/modal_closer.h"
#include "support/temp_database.h"

#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QtTest>

#include <filesystem>

using testing_support::ModalCloser;
using testing_support::TempDatabase;

namespace {

void fill(CPasswordDialog &dialog, const char *old, const char *now, const char *repeat)
{
    dialog.oldEdit()->setText(QString::fromUtf8(old));
    dialog.newEdit()->setText(QString::fromUtf8(now));
    dialog.repeatEdit()->setText(QString::fromUtf8(repeat));
}

} // namespace

class TestPasswordDialog : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void cleanupTestCase() { std::filesystem::remove_all(m_runtime); }
    void changesTheLastUsersPassword();
    void refusalsEmptyTheEdits();
    void fallsBackToTheLoggedInUser();

private:
    std::filesystem::path m_runtime;
};

void TestPasswordDialog::initTestCase()
{
    m_runtime = testing_support::makeTempFolder();
    qputenv("XDG_RUNTIME_DIR", QByteArray::fromStdString(m_runtime.string()));
}

void TestPasswordDialog::changesTheLastUsersPassword()
{
    TempDatabase t("admin");
    t.connection().execute("insert into SysAllUser values ('张三','old','')");
    QVERIFY(app::writeLastUser(QStringLiteral("张三")));
    CPasswordDialog dialog(&t.connection(), QStringLiteral("管理员"));
    QCOMPARE(dialog.windowTitle(), QStringLiteral("修改密码"));
    QCOMPARE(dialog.userName(), QStringLiteral("张三"));
    for (QLineEdit *edit : {dialog.oldEdit(), dialog.newEdit(), dialog.repeatEdit()})
        QCOMPARE(edit->echoMode(), QLineEdit::Password);
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));
    ModalCloser boxes;
    fill(dialog, "old", "新的", "新的");
    // Enter in the last edit confirms.
    QTest::keyClick(dialog.repeatEdit(), Qt::Key_Return);
    QTRY_COMPARE(boxes.texts, QStringList{QString::fromUtf8(app::kMsgPasswordChanged)});
    QCOMPARE(dialog.result(), int(QDialog::Accepted));
    QVERIFY(app::checkLogin(t.connection(), "张三", "新的").accepted);
    QVERIFY(!app::checkLogin(t.connection(), "张三", "old").accepted);
    QVERIFY(app::checkLogin(t.connection(), "管理员", "admin").accepted);
}

void TestPasswordDialog::refusalsEmptyTheEdits()
{
    TempDatabase t("admin");
    QVERIFY(app::writeLastUser(QStringLiteral("管理员")));
    CPasswordDialog dialog(&t.connection(), QStringLiteral("管理员"));
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));
    ModalCloser boxes;
    fill(dialog, "Admin", "x", "x");
    dialog.okButton()->click();
    fill(dialog, "admin", "x", "y");
    dialog.okButton()->click();
    QTRY_COMPARE(boxes.texts, (QStringList{QString::fromUtf8(app::kMsgOldPasswordWrong),
                                           QString::fromUtf8(app::kMsgRepeatDiffers)}));
    QVERIFY(dialog.isVisible());
    for (QLineEdit *edit : {dialog.oldEdit(), dialog.newEdit(), dialog.repeatEdit()})
        QVERIFY(edit->text().isEmpty());
    QCOMPARE(t.value("select SysPwd from SysAllUser"), std::string("admin"));
    dialog.closeButton()->click();
    QCOMPARE(dialog.result(), int(QDialog::Rejected));
}

void TestPasswordDialog::fallsBackToTheLoggedInUser()
{
    TempDatabase t("admin");
    std::filesystem::remove(app::settingsFilePath().toStdString());
    QCOMPARE(app::readLastUser(), QString());
    CPasswordDialog dialog(&t.connection(), QStringLiteral("管理员"));
    QCOMPARE(dialog.userName(), QStringLiteral("管理员"));
    ModalCloser boxes;
    fill(dialog, "admin", "", "");
    dialog.onOk();
    QTRY_COMPARE(boxes.texts, QStringList{QString::fromUtf8(app::kMsgPasswordChanged)});
    QVERIFY(app::checkLogin(t.connection(), "管理员", "").accepted);
}

QTEST_MAIN(TestPasswordDialog)
#include "test_password_dialog.moc"
