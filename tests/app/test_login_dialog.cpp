#include "app/login_dialog.h"
#include "app/settings_store.h"
#include "app/startup.h"
#include "db/connection.h"
#include "support/temp_database.h"

#include <QComboBox>
#include <QMessageBox>
#include <QLineEdit>
#include <QPushButton>
#include <QtTest>

using testing_support::TempDatabase;
using testing_support::WorkingDirectory;

class TestLoginDialog : public QObject {
    Q_OBJECT
private slots:
    void listsUsersSortedWithTheFirstSelected();
    void longNamesKeepTheDialogNarrow();
    void missingDatabaseLeavesTheListEmpty();
    void settingsStoreKeepsTheLastUser();
    void loginOutcomes();
};

namespace {

// Fills the login dialog when it shows, then presses one of its buttons;
// records the text of any message box that follows and closes it.
struct LoginDriver {
    QString user;
    QString password;
    bool ok = true;
    QStringList messages;
    QTimer timer;

    LoginDriver(QString u, QString p, bool press) : user(std::move(u)), password(std::move(p)), ok(press)
    {
        QObject::connect(&timer, &QTimer::timeout, [this] {
            QWidget *modal = QApplication::activeModalWidget();
            if (auto *dialog = qobject_cast<CLoginDialog *>(modal)) {
                dialog->userBox()->setEditText(user);
                dialog->passwordEdit()->setText(password);
                (ok ? dialog->okButton() : dialog->cancelButton())->click();
            } else if (auto *box = qobject_cast<QMessageBox *>(modal)) {
                messages << box->text();
                box->close();
            }
        });
        timer.start(10);
    }
};

} // namespace

void TestLoginDialog::loginOutcomes()
{
    TempDatabase t("Pw");
    WorkingDirectory cd(t.folder());
    {
        LoginDriver driver(QStringLiteral("管理员"), QStringLiteral("Pw"), true);
        QCOMPARE(app::runLogin(t.connection()), std::optional<QString>(QStringLiteral("管理员")));
        QVERIFY(driver.messages.isEmpty());
    }
    {
        LoginDriver driver(QStringLiteral("管理员"), QStringLiteral("Pw "), true);
        QCOMPARE(app::runLogin(t.connection()), std::optional<QString>());
        QCOMPARE(driver.messages, QStringList{QStringLiteral("密码错误！")});
    }
    {
        LoginDriver driver(QStringLiteral("nobody"), QString(), true);
        QCOMPARE(app::runLogin(t.connection()), std::optional<QString>());
        QCOMPARE(driver.messages, QStringList{QStringLiteral("密码错误！")});
    }
    {
        LoginDriver driver(QStringLiteral("管理员"), QStringLiteral("Pw"), false);
        QCOMPARE(app::runLogin(t.connection()), std::optional<QString>());
        QVERIFY(driver.messages.isEmpty());
    }
}

void TestLoginDialog::listsUsersSortedWithTheFirstSelected()
{
    TempDatabase t;
    t.connection().execute("insert into SysAllUser (SysUserName,SysPwd) values ('zoe',''),('张丽',''),('阿姨',''),"
                           "('Adam','')");
    WorkingDirectory cd(t.folder());
    CLoginDialog dialog;
    QCOMPARE(dialog.windowTitle(), QStringLiteral("Pennaro4.0.0.9"));
    // Chinese names by pinyin (a, guan, zhang), then the Latin ones.
    QStringList shown;
    for (int i = 0; i < dialog.userBox()->count(); ++i)
        shown << dialog.userBox()->itemText(i);
    QCOMPARE(shown, (QStringList{QStringLiteral("阿姨"), QStringLiteral("管理员"), QStringLiteral("张丽"),
                                 QStringLiteral("Adam"), QStringLiteral("zoe")}));
    QCOMPARE(dialog.userName(), QStringLiteral("阿姨"));
    QVERIFY(dialog.userBox()->isEditable());
    QCOMPARE(dialog.passwordEdit()->echoMode(), QLineEdit::Password);
    QCOMPARE(dialog.okButton()->text(), QStringLiteral("确定"));
    QCOMPARE(dialog.cancelButton()->text(), QStringLiteral("取消"));
    dialog.userBox()->setEditText(QStringLiteral("typed"));
    QTest::keyClicks(dialog.passwordEdit(), QStringLiteral("pw"));
    QCOMPARE(dialog.userName(), QStringLiteral("typed"));
    QCOMPARE(dialog.password(), QStringLiteral("pw"));
    dialog.show();
    QTest::mouseClick(dialog.okButton(), Qt::LeftButton);
    QCOMPARE(dialog.result(), int(QDialog::Accepted));
}

void TestLoginDialog::longNamesKeepTheDialogNarrow()
{
    TempDatabase t;
    const QString longName(10000, QLatin1Char('w'));
    t.connection().execute("insert into SysAllUser (SysUserName,SysPwd) values ('" + longName.toStdString() + "','')");
    WorkingDirectory cd(t.folder());
    CLoginDialog dialog;
    dialog.show();
    QVERIFY2(dialog.width() < 600, qPrintable(QString::number(dialog.width())));
    QVERIFY(dialog.okButton()->geometry().right() < dialog.width());
    const int index = dialog.userBox()->findData(longName);
    QVERIFY(index >= 0);
    QVERIFY(dialog.userBox()->itemText(index).size() < 200);
    dialog.userBox()->setCurrentIndex(index);
    QCOMPARE(dialog.userName(), longName);
}

void TestLoginDialog::missingDatabaseLeavesTheListEmpty()
{
    auto folder = testing_support::makeTempFolder();
    WorkingDirectory cd(folder);
    bool closedMessage = false;
    QTimer timer;
    connect(&timer, &QTimer::timeout, [&] {
        if (QWidget *box = QApplication::activeModalWidget()) {
            closedMessage = true;
            box->close();
        }
    });
    timer.start(20);
    CLoginDialog dialog;
    QVERIFY(closedMessage);
    QCOMPARE(dialog.userBox()->count(), 0);
    QVERIFY(!std::filesystem::exists(folder / "account.mdb"));
    std::filesystem::remove_all(folder);
}

void TestLoginDialog::settingsStoreKeepsTheLastUser()
{
    auto folder = testing_support::makeTempFolder();
    qputenv("XDG_RUNTIME_DIR", QByteArray::fromStdString(folder.string()));
    QCOMPARE(app::readLastUser(), QString());
    QVERIFY(app::writeLastUser(QStringLiteral("管理员")));
    QVERIFY(app::settingsFilePath().startsWith(QString::fromStdString(folder.string())));
    QCOMPARE(app::readLastUser(), QStringLiteral("管理员"));
    std::filesystem::remove_all(folder);
}

QTEST_MAIN(TestLoginDialog)
#include "test_login_dialog.moc"
