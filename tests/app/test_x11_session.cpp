// Runs on a real X11 display (ctest starts it under xvfb-run): what the
// window system shows of the program, which the offscreen platform cannot.
#include "app/about_dialog.h"
#include "app/login_dialog.h"
#include "app/main_frame.h"
#include "app/ui_setup.h"
#include "support/temp_database.h"
#include "ui/date_dialog.h"

#include <QLabel>
#include <QtGui/qguiapplication_platform.h>
#include <QtTest>

#include <X11/XKBlib.h>
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/keysym.h>

using testing_support::TempDatabase;
using testing_support::WorkingDirectory;

namespace {

Display *display()
{
    auto *x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    return x11 ? x11->display() : nullptr;
}

// The caption the window system holds for a window.
QString shownTitle(QWidget *window)
{
    Display *d = display();
    const Atom name = XInternAtom(d, "_NET_WM_NAME", False);
    const Atom utf8 = XInternAtom(d, "UTF8_STRING", False);
    Atom type = None;
    int format = 0;
    unsigned long count = 0;
    unsigned long after = 0;
    unsigned char *data = nullptr;
    XGetWindowProperty(d, window->winId(), name, 0, 1024, False, utf8, &type, &format, &count, &after, &data);
    const QString title = data ? QString::fromUtf8(reinterpret_cast<char *>(data), int(count)) : QString();
    if (data)
        XFree(data);
    return title;
}

// Locks or unlocks a key the way pressing it would: Caps and Num Lock through
// their modifiers, Scroll Lock (bound to none) through its indicator.
void setIndicator(const char *name, bool on)
{
    Display *d = display();
    unsigned mask = 0;
    if (qstrcmp(name, "Caps Lock") == 0)
        mask = LockMask;
    else if (qstrcmp(name, "Num Lock") == 0)
        mask = XkbKeysymToModifiers(d, XK_Num_Lock);
    if (mask)
        XkbLockModifiers(d, XkbUseCoreKbd, mask, on ? mask : 0);
    else
        XkbSetNamedIndicator(d, XInternAtom(d, name, False), True, on ? True : False, False, nullptr);
    XSync(d, False);
}

} // namespace

class TestX11Session : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void captionsAreExactlyTheProgramsOwn();
    void lockPanesFollowTheKeyboard();
};

void TestX11Session::initTestCase()
{
    QVERIFY2(display(), "needs an X11 display");
    app::setUpApplication(*qApp);
}

void TestX11Session::captionsAreExactlyTheProgramsOwn()
{
    TempDatabase t;
    WorkingDirectory cd(t.folder());
    CMainFrame frame(QStringLiteral("管理员"), [] { return db::DateTime{2007, 3, 20, 9, 30, 15}; });
    QVERIFY(frame.create());
    frame.show();
    QVERIFY(QTest::qWaitForWindowExposed(&frame));
    QTRY_COMPARE(shownTitle(&frame), QStringLiteral("Pennaro"));
    CLoginDialog login;
    login.show();
    QTRY_COMPARE(shownTitle(&login), QStringLiteral("Pennaro4.0.0.9"));
    CAboutDialog about(&frame);
    about.show();
    QTRY_COMPARE(shownTitle(&about), QStringLiteral("关于 "));
    CDateDialog dates(db::DateTime{2007, 3, 20}, &frame);
    dates.show();
    QTRY_COMPARE(shownTitle(&dates), QStringLiteral("时间设置"));
}

void TestX11Session::lockPanesFollowTheKeyboard()
{
    TempDatabase t;
    WorkingDirectory cd(t.folder());
    CMainFrame frame(QStringLiteral("管理员"), [] { return db::DateTime{2007, 3, 20, 9, 30, 15}; });
    QVERIFY(frame.create());
    frame.show();
    for (const char *name : {"Caps Lock", "Num Lock", "Scroll Lock"})
        setIndicator(name, false);
    frame.onClockTick();
    QCOMPARE(frame.lockPane(0)->text(), QString());
    QCOMPARE(frame.lockPane(1)->text(), QString());
    QCOMPARE(frame.lockPane(2)->text(), QString());
    setIndicator("Caps Lock", true);
    setIndicator("Scroll Lock", true);
    frame.onClockTick();
    QCOMPARE(frame.lockPane(0)->text(), QStringLiteral("CAP"));
    QCOMPARE(frame.lockPane(1)->text(), QString());
    QCOMPARE(frame.lockPane(2)->text(), QStringLiteral("SCRL"));
    setIndicator("Num Lock", true);
    frame.onClockTick();
    QCOMPARE(frame.lockPane(1)->text(), QStringLiteral("NUM"));
    if (qEnvironmentVariableIsSet("PENNARO_SCREENSHOT"))
        frame.grab().save(qEnvironmentVariable("PENNARO_SCREENSHOT"));
    for (const char *name : {"Caps Lock", "Num Lock", "Scroll Lock"})
        setIndicator(name, false);
    frame.onClockTick();
    QCOMPARE(frame.lockPane(0)->text(), QString());
}

QTEST_MAIN(TestX11Session)
#include "test_x11_session.moc"
