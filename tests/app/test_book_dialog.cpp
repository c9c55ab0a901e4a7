#include "app/book_dialog.h"
#include "app/books.h"
#include "app/login_dialog.h"
#include "app/new_book.h"
#include "app/startup.h"
#include "db/connection.h"
#include "setup/backup.h"
#include "support/file_dialog_driver.h"
#include "support/temp_database.h"

#include <QComboBox>
#include <QFileDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QtTest>

#include <fstream>

namespace fs = std::filesystem;
using testing_support::FileDialogDriver;
using testing_support::TempDatabase;

class TestBookDialog : public QObject {
    Q_OBJECT
private slots:
    void firstRunCreatesABookAndLogsIn();
    void booksAndBackupsCheckedBeforeUse_data();
    void booksAndBackupsCheckedBeforeUse();
};

namespace {

// Answers the windows of a start-up as a person would, one step a tick:
// the first-run window with each password pair in turn, message boxes with
// OK, the login with the last password.
struct StartDriver {
    QList<QPair<QString, QString>> passwords;
    QStringList messages;
    QString offered;
    QTimer timer;

    StartDriver()
    {
        QObject::connect(&timer, &QTimer::timeout, [this] {
            QWidget *modal = QApplication::activeModalWidget();
            if (auto *box = qobject_cast<QMessageBox *>(modal)) {
                messages << box->text();
                box->accept();
            } else if (auto *first = qobject_cast<CBookDialog *>(modal)) {
                if (passwords.isEmpty())
                    return;
                offered = first->placeEdit()->text();
                const auto [password, again] = passwords.takeFirst();
                first->passwordEdit()->setText(password);
                first->againEdit()->setText(again);
                first->demoButton()->setChecked(true);
                // Queued: a box it brings up must find this timer free.
                QMetaObject::invokeMethod(first->createButton(), &QPushButton::click, Qt::QueuedConnection);
            } else if (auto *login = qobject_cast<CLoginDialog *>(modal)) {
                login->passwordEdit()->setText(QStringLiteral("春天"));
                login->okButton()->click();
            }
        });
        timer.start(10);
    }
};

} // namespace

void TestBookDialog::firstRunCreatesABookAndLogsIn()
{
    const fs::path root = testing_support::makeTempFolder();
    const fs::path place = root / "data/pennaro/account.mdb";
    StartDriver driver;
    driver.passwords = {{QStringLiteral("春天"), QStringLiteral("春夏")}, {QStringLiteral("春天"), QStringLiteral("春天")}};

    app::BookChoice none;
    none.newBook = place.string();
    const std::optional<QString> book = app::bookForRun(none);
    QCOMPARE(driver.offered, QString::fromStdString(place.string()));
    QCOMPARE(driver.messages, QStringList{QString::fromUtf8(app::kMsgPasswordsDiffer)});
    QVERIFY(book);
    QCOMPARE(*book, QString::fromStdString(place.string()));

    db::setBookFile(book->toStdString());
    db::Connection connection(db::kConnectionString);
    QCOMPARE(app::runLogin(connection), std::optional<QString>(QStringLiteral("管理员")));
    QVERIFY(std::stoi(connection.scalar("select count(*) as n from account", "n")) > 0);
    db::setBookFile("");
    fs::remove_all(root);
}

void TestBookDialog::booksAndBackupsCheckedBeforeUse_data()
{
    QTest::addColumn<bool>("restore");
    QTest::addColumn<bool>("damaged");
    QTest::addColumn<QString>("says");
    QTest::newRow("damaged book") << false << true << QStringLiteral("不是完好的帐本数据库");
    QTest::newRow("book") << false << false << QString();
    QTest::newRow("damaged backup") << true << true << QStringLiteral("不是完好的帐本数据库");
    QTest::newRow("backup") << true << false << QString();
}

// The file is chosen in the file dialog; a damaged one is refused with the
// reason and the window stays; a sound one becomes the book.
void TestBookDialog::booksAndBackupsCheckedBeforeUse()
{
    QFETCH(bool, restore);
    QFETCH(bool, damaged);
    QFETCH(QString, says);
    TempDatabase t;
    const fs::path file = t.folder() / "chosen.BAT";
    if (damaged)
        std::ofstream(file) << std::string(8192, 'x');
    else
        QVERIFY(setup::backupDatabase(t.connection(), file.string()));
    const fs::path place = t.folder() / "new/account.mdb";

    CBookDialog dialog(CBookDialog::Purpose::FirstRun, QString::fromStdString(place.string()));
    dialog.show();
    // A picture of the window to look at, where one is asked for.
    if (const QString out = qEnvironmentVariable("PENNARO_SCREENSHOTS"); !out.isEmpty() && QTest::qWaitForWindowExposed(&dialog))
        dialog.grab().save(out + QStringLiteral("/first-run.png"));
    FileDialogDriver driver(QString::fromStdString(file.string()));
    (restore ? dialog.restoreButton() : dialog.openButton())->click();
    const QStringList &messages = driver.boxes;

    if (damaged) {
        QCOMPARE(messages.size(), 1);
        QVERIFY2(messages.first().contains(says) && messages.first().contains(QString::fromStdString(file.string())),
                 qPrintable(messages.first()));
        QVERIFY(dialog.isVisible());
        QVERIFY(dialog.book().isEmpty());
        QVERIFY(!fs::exists(place));
    } else {
        QVERIFY2(messages.isEmpty(), qPrintable(messages.join('\n')));
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
        QCOMPARE(dialog.book(), QString::fromStdString((restore ? place : file).string()));
        QVERIFY(setup::checkBookFile(dialog.book().toStdString()));
    }
}

QTEST_MAIN(TestBookDialog)
#include "test_book_dialog.moc"
