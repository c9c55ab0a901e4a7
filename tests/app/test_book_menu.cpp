#include "app/book_menu.h"
#include "app/books.h"
#include "app/login_dialog.h"
#include "app/main_frame.h"
#include "app/settings_store.h"
#include "app/startup.h"
#include "db/connection.h"
#include "db/init_database.h"
#include "support/box_answerer.h"
#include "support/temp_database.h"

#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QMessageBox>
#include <QPushButton>
#include <QStatusBar>
#include <QtTest>

#include <fstream>

namespace fs = std::filesystem;
using testing_support::BoxAnswerer;

class TestBookMenu : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void cleanupTestCase();
    void switchingBooksClosesTheOneAndLogsInToTheOther();
    void aBookThatDoesNotOpenIsRefusedWithItsReason();
    void aFailedLoginToAnotherBookKeepsTheOpenOne_data();
    void aFailedLoginToAnotherBookKeepsTheOpenOne();

private:
    fs::path m_root;
    std::string m_first;
    std::string m_second;
};

void TestBookMenu::initTestCase()
{
    m_root = testing_support::makeTempFolder();
    // The books opened last and the last user go to folders of the test.
    qputenv("XDG_CONFIG_HOME", QByteArray::fromStdString((m_root / "config").string()));
    qputenv("XDG_RUNTIME_DIR", QByteArray::fromStdString(m_root.string()));
    m_first = (m_root / "家用.mdb").string();
    m_second = (m_root / "books/店铺.mdb").string();
    fs::create_directories(m_root / "books");
    db::createDatabase(m_first, {"甲"});
    db::createDatabase(m_second, {"乙"});
}

void TestBookMenu::cleanupTestCase()
{
    db::setBookFile("");
    fs::remove_all(m_root);
}

namespace {

CMainFrame *shownFrame()
{
    for (QWidget *widget : QApplication::topLevelWidgets())
        if (auto *frame = qobject_cast<CMainFrame *>(widget); frame && frame->isVisible())
            return frame;
    return nullptr;
}

} // namespace

// The program runs on the first book; its menu switches to the second,
// which asks for its own login; closing that window ends the run.
void TestBookMenu::switchingBooksClosesTheOneAndLogsInToTheOther()
{
    const QString first = QString::fromStdString(m_first);
    const QString second = QString::fromStdString(m_second);
    QVERIFY(app::rememberBook(second));
    QStringList shown; // the book of each main window, as its status bar names it
    QStringList logins;
    QTimer driver;
    connect(&driver, &QTimer::timeout, [&] {
        QWidget *modal = QApplication::activeModalWidget();
        if (auto *login = qobject_cast<CLoginDialog *>(modal)) {
            const QString book = QString::fromStdString(db::bookFileOf(db::kConnectionString));
            logins << book;
            login->passwordEdit()->setText(book == first ? QStringLiteral("甲") : QStringLiteral("乙"));
            login->okButton()->click();
            return;
        }
        CMainFrame *frame = modal ? nullptr : shownFrame();
        if (!frame || shown.contains(frame->bookPane()->toolTip()))
            return;
        shown << frame->bookPane()->toolTip();
        if (shown.size() == 1) {
            // The open book is listed first and cannot be chosen again.
            QCOMPARE(frame->bookMenu()->recentActions().size(), 2);
            QVERIFY(!frame->bookMenu()->recentActions()[0]->isEnabled());
            QMetaObject::invokeMethod(frame->bookMenu()->recentActions()[1], &QAction::trigger, Qt::QueuedConnection);
        } else {
            QMetaObject::invokeMethod(frame, &QWidget::close, Qt::QueuedConnection);
        }
    });
    driver.start(10);

    QCOMPARE(app::runBooks(first), 0);
    QCOMPARE(logins, (QStringList{first, second}));
    QCOMPARE(shown, (QStringList{first, second}));
    QCOMPARE(app::readRecentBooks(), (QStringList{second, first}));
}

// A damaged book among the recent ones, or chosen in the file dialog, is
// refused with the reason, and the window stays on its own book.
void TestBookMenu::aBookThatDoesNotOpenIsRefusedWithItsReason()
{
    const fs::path damaged = m_root / "damaged.mdb";
    std::ofstream(damaged) << std::string(8192, 'x');
    QVERIFY(app::rememberBook(QString::fromStdString(damaged.string())));
    QVERIFY(app::rememberBook(QString::fromStdString(m_first)));
    db::setBookFile(m_first);
    CMainFrame frame(QStringLiteral("管理员"));
    QVERIFY(frame.create());
    frame.show();

    // The book commands close the first menu, after its own items.
    QMenu *entries = frame.menuBar()->actions().first()->menu();
    QStringList captions;
    for (QAction *action : entries->actions())
        captions << (action->isSeparator() ? QStringLiteral("-") : action->text().section(QLatin1Char('\t'), 0, 0));
    const qsizetype exit = captions.indexOf(QStringLiteral("退出(&X)"));
    QVERIFY(exit > 0);
    QCOMPARE(captions.mid(exit + 1, 3),
             (QStringList{QStringLiteral("-"), QStringLiteral("新建帐本…"), QStringLiteral("打开帐本…")}));
    QVERIFY(frame.bookPane()->text().contains(QStringLiteral("家用.mdb")));

    BoxAnswerer boxes;
    frame.bookMenu()->recentActions()[1]->trigger();
    QCOMPARE(boxes.texts.size(), 1);
    QVERIFY2(boxes.texts.first().contains(QStringLiteral("不是完好的帐本数据库")), qPrintable(boxes.texts.first()));
    QVERIFY(frame.isVisible());
    QVERIFY(frame.nextBook().isEmpty());

    const QString out = qEnvironmentVariable("PENNARO_SCREENSHOTS");
    if (!out.isEmpty()) {
        entries->popup(frame.mapToGlobal(QPoint(0, frame.menuBar()->height())));
        QVERIFY(QTest::qWaitForWindowExposed(entries));
        QVERIFY(entries->grab().save(out + QStringLiteral("/book-menu.png")));
        entries->close();
        frame.resize(1100, 500);
        QVERIFY(frame.grab().save(out + QStringLiteral("/frame.png")));
    }
}

void TestBookMenu::aFailedLoginToAnotherBookKeepsTheOpenOne_data()
{
    QTest::addColumn<QString>("password"); // empty: the login is cancelled
    QTest::addColumn<QStringList>("boxes");
    QTest::newRow("cancelled") << QString() << QStringList{};
    QTest::newRow("wrong password") << QStringLiteral("甲") << QStringList{QStringLiteral("密码错误！")};
}

// The user of the open book stays in it when the other book's login is
// cancelled or refused; every connection still opens the open book.
void TestBookMenu::aFailedLoginToAnotherBookKeepsTheOpenOne()
{
    QFETCH(QString, password);
    QFETCH(QStringList, boxes);
    db::setBookFile(m_first);
    CMainFrame frame(QStringLiteral("管理员"));
    QVERIFY(frame.create());
    frame.show();
    QStringList seen;
    QTimer driver;
    connect(&driver, &QTimer::timeout, [&] {
        QWidget *modal = QApplication::activeModalWidget();
        if (auto *login = qobject_cast<CLoginDialog *>(modal)) {
            login->passwordEdit()->setText(password);
            password.isEmpty() ? login->reject() : login->okButton()->click();
        } else if (auto *box = qobject_cast<QMessageBox *>(modal)) {
            seen << box->text();
            box->accept();
        }
    });
    driver.start(10);
    frame.switchToBook(QString::fromStdString(m_second));
    QCOMPARE(seen, boxes);
    QVERIFY(frame.isVisible());
    QVERIFY(frame.nextBook().isEmpty());
    QCOMPARE(db::bookFileOf(db::kConnectionString), m_first);
}

QTEST_MAIN(TestBookMenu)
#include "test_book_menu.moc"
