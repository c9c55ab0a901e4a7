#include "ui/custom_tab_ctrl.h"

#include <QSignalSpy>
#include <QtTest>

namespace {

QList<CTabNotification> records(const QSignalSpy &spy)
{
    QList<CTabNotification> out;
    for (const QList<QVariant> &args : spy)
        out << args.at(0).value<CTabNotification>();
    return out;
}

} // namespace

Q_DECLARE_METATYPE(CTabNotification)

class TestTabCtrl : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { qRegisterMetaType<CTabNotification>(); }
    void insertResultCodes();
    void layoutMeasures();
    void selectionByProgram();
    void toolTipsAndStyle();
    void pressesNotify();
    void heldButtonRepeatsEvery250ms();
    void scrollButtons_data();
    void scrollButtons();
    void pressBringsATabIntoView();
    void selectedTabIsHitFirst();
    void ctrlClickSparesTheSelectedTab();
    void noGrabWhileNotifying();
};

void TestTabCtrl::insertResultCodes()
{
    CCustomTabCtrl strip(0x4E, 100);
    strip.setFixedHeight(20);
    QCOMPARE(strip.insertItem(1, QStringLiteral("a")), tabcode::kIndexOutOfRange);
    QCOMPARE(strip.itemCount(), 0);
    QCOMPARE(strip.insertItem(0, QStringLiteral("b"), 7), 0);
    QCOMPARE(strip.insertItem(0, QStringLiteral("a"), 6), 0);
    QCOMPARE(strip.insertItem(-1, QStringLiteral("x")), tabcode::kIndexOutOfRange);
    QCOMPARE(strip.insertItem(2, QString(30, QLatin1Char('x'))), tabcode::kTextTooLong);
    QCOMPARE(strip.insertItem(2, QString(15, QChar(0x660E))), tabcode::kTextTooLong); // 30 as GBK
    QCOMPARE(strip.insertItem(2, QString(14, QChar(0x660E)) + QLatin1Char('x')), 2); // 29
    QCOMPARE(strip.insertItem(3, QString(29, QLatin1Char('x'))), 3);
    QCOMPARE(strip.itemCount(), 4);
    QCOMPARE(strip.itemData(1).toInt(), 7);
    QCOMPARE(strip.itemData(9).toInt(), tabcode::kIndexOutOfRange);
    // The selection moves with an insertion before it.
    QCOMPARE(strip.setCurSel(1), 1);
    strip.insertItem(0, QStringLiteral("z"));
    QCOMPARE(strip.curSel(), 2);
    QCOMPARE(strip.itemText(2), QStringLiteral("b"));
    QCOMPARE(strip.setCurSel(5), tabcode::kIndexOutOfRange);
    QCOMPARE(strip.curSel(), 2);
    // An insertion at the selected index pushes the selected tab right too.
    strip.insertItem(2, QStringLiteral("y"));
    QCOMPARE(strip.curSel(), 3);
    QCOMPARE(strip.itemText(3), QStringLiteral("b"));
    // One after it leaves the selection where it is.
    strip.insertItem(4, QStringLiteral("w"));
    QCOMPARE(strip.curSel(), 3);
}

void TestTabCtrl::layoutMeasures()
{
    CCustomTabCtrl strip(0x4E, 100);
    strip.setFixedHeight(20);
    strip.resize(2000, 20);
    strip.show();
    const QStringList captions = {QStringLiteral("  明  细  帐  "), QStringLiteral("  收  入  帐  "),
                                  QStringLiteral("  支  出  帐  "), QStringLiteral("  银  行  帐  "),
                                  QStringLiteral("  现  金  帐  "), QStringLiteral("  投  资  帐  ")};
    for (const QString &caption : captions)
        strip.insertItem(strip.itemCount(), caption);
    const int h = 20;
    QVERIFY(!strip.buttonsVisible()); // all six fit
    QCOMPARE(strip.itemRect(0).left(), 0);
    for (int i = 0; i < strip.itemCount(); ++i) {
        QCOMPARE(strip.itemRect(i).width(), strip.textWidth(captions[i]) + h + 4);
        QCOMPARE(strip.itemTextRect(i).left(), strip.itemRect(i).left() + h / 2);
        QCOMPARE(strip.itemTextRect(i).width(), strip.textWidth(captions[i]) + 4);
        if (i > 0)
            QCOMPARE(strip.itemRect(i).left(), strip.itemRect(i - 1).left() + strip.itemRect(i - 1).width() - h / 2);
    }
    // Too narrow: the frame's style shows four buttons at the left, and the
    // tabs start after them; without 0x02 there are two.
    strip.resize(150, 20);
    QVERIFY(strip.buttonsVisible());
    QCOMPARE(strip.itemRect(0).left(), (h - 3) * 4 + 3);
    QVERIFY(!strip.buttonRect(tabcode::kFirstButton).isNull());
    strip.modifyStyle(tabstyle::kFourButtons, 0);
    QCOMPARE(strip.itemRect(0).left(), (h - 3) * 2 + 3);
    QVERIFY(strip.buttonRect(tabcode::kFirstButton).isNull());
    QVERIFY(!strip.buttonRect(tabcode::kNextButton).isNull());
    // Same width for all with 0x01.
    strip.modifyStyle(0, tabstyle::kSameWidth);
    QCOMPARE(strip.itemRect(0).width(), strip.itemRect(5).width());
    // One tab never shows buttons under 0x04.
    CCustomTabCtrl one(0x4E, 100);
    one.setFixedHeight(20);
    one.resize(10, 20);
    one.insertItem(0, QStringLiteral("a long caption"));
    QVERIFY(!one.buttonsVisible());
    // Without 0x04 the buttons are always there.
    CCustomTabCtrl fixed(0x4A, 100);
    fixed.setFixedHeight(20);
    fixed.resize(2000, 20);
    fixed.insertItem(0, QStringLiteral("a"));
    QVERIFY(fixed.buttonsVisible());
}

void TestTabCtrl::selectionByProgram()
{
    CCustomTabCtrl strip(0x4E, 100);
    strip.setFixedHeight(20);
    strip.resize(300, 20);
    strip.show();
    for (int i = 0; i < 8; ++i)
        strip.insertItem(i, QStringLiteral("tab number %1").arg(i));
    QVERIFY(strip.buttonsVisible());
    QSignalSpy spy(&strip, &CCustomTabCtrl::notify);
    strip.setCurSel(3);
    QCOMPARE(strip.firstVisible(), 3);
    strip.setCurSel(7); // the last tabs still fill the strip
    QVERIFY(strip.firstVisible() < 7);
    QVERIFY(strip.itemRect(7).right() < strip.width());
    QVERIFY(strip.itemRect(strip.firstVisible() - 1).left() < strip.itemRect(strip.firstVisible()).left());
    QCOMPARE(spy.count(), 0);
}

void TestTabCtrl::toolTipsAndStyle()
{
    CCustomTabCtrl strip(0x42, 100);
    strip.setFixedHeight(20);
    strip.insertItem(0, QStringLiteral("a"));
    QCOMPARE(strip.setItemTooltipText(0, QStringLiteral("tip")), tabcode::kToolTipsOff);
    strip.modifyStyle(0, tabstyle::kToolTips);
    QCOMPARE(strip.setItemTooltipText(3, QStringLiteral("tip")), tabcode::kIndexOutOfRange);
    QCOMPARE(strip.setItemTooltipText(0, QStringLiteral("tip")), 0);
    QCOMPARE(strip.itemTooltipText(0), QStringLiteral("tip"));
    strip.modifyStyle(tabstyle::kToolTips, 0);
    QCOMPARE(strip.itemTooltipText(0), QString());
    strip.insertItem(1, QStringLiteral("b"));
    strip.setCurSel(0);
    strip.modifyStyle(0, tabstyle::kHighlight);
    QVERIFY(strip.isItemHighlighted(0));
    QCOMPARE(strip.highlightItem(1, true), 1);
    strip.modifyStyle(tabstyle::kHighlight, 0);
    QVERIFY(!strip.isItemHighlighted(0));
    QVERIFY(!strip.isItemHighlighted(1));
    QCOMPARE(strip.highlightItem(1, true), tabcode::kStyleForbids);
}

void TestTabCtrl::pressesNotify()
{
    CCustomTabCtrl strip(0x5E, 100);
    strip.setFixedHeight(20);
    strip.resize(600, 20);
    strip.insertItem(0, QStringLiteral("first"), 10);
    strip.insertItem(1, QStringLiteral("second"), 11);
    strip.insertItem(2, QStringLiteral("third"), 12);
    strip.setCurSel(0);
    strip.show();
    QSignalSpy spy(&strip, &CCustomTabCtrl::notify);
    const QPoint onFirst = strip.itemTextRect(0).center();
    const QPoint onSecond = strip.itemTextRect(1).center();
    QCOMPARE(strip.hitTest(onSecond), 1);

    QTest::mouseClick(&strip, Qt::LeftButton, {}, onFirst);
    auto got = records(spy);
    QCOMPARE(got.size(), 1);
    QCOMPARE(got[0].code, tabcode::kClick);
    QCOMPARE(got[0].index, 0);

    spy.clear();
    QTest::mouseClick(&strip, Qt::LeftButton, {}, onSecond);
    got = records(spy);
    QCOMPARE(got.size(), 4); // click, selection changed, two highlights moved
    QCOMPARE(got[1].code, tabcode::kSelectionChanged);
    QCOMPARE(got[1].index, 1);
    QCOMPARE(got[1].controlId, 100);
    QCOMPARE(got[1].text, QStringLiteral("second"));
    QCOMPARE(got[1].data.toInt(), 11);
    QCOMPARE(got[1].rect, strip.itemRect(1));
    QCOMPARE(got[1].point, onSecond);
    QVERIFY(got[1].selected);
    QCOMPARE(strip.curSel(), 1);

    spy.clear();
    QTest::mouseClick(&strip, Qt::LeftButton, Qt::ControlModifier, strip.itemTextRect(2).center());
    got = records(spy);
    QCOMPARE(got.size(), 2);
    QCOMPARE(got[1].code, tabcode::kHighlightChanged);
    QCOMPARE(got[1].index, 2);
    QVERIFY(got[1].highlighted);
    QCOMPARE(strip.curSel(), 1);

    spy.clear();
    QTest::mouseClick(&strip, Qt::RightButton, {}, onFirst);
    QTest::mouseDClick(&strip, Qt::LeftButton, {}, QPoint(590, 10));
    got = records(spy);
    QCOMPARE(got.first().code, tabcode::kRightClick);
    QCOMPARE(got.last().code, tabcode::kDoubleClick);
    QCOMPARE(got.last().index, tabcode::kNothing);
    QCOMPARE(got.last().text, QString());
}

void TestTabCtrl::heldButtonRepeatsEvery250ms()
{
    CCustomTabCtrl strip(0x4E, 100);
    strip.setFixedHeight(20);
    strip.resize(200, 20);
    for (int i = 0; i < 6; ++i)
        strip.insertItem(i, QStringLiteral("tab number %1").arg(i));
    strip.show();
    qint64 now = 1000;
    strip.setClock([&] { return now; });
    const QPoint next = strip.buttonRect(tabcode::kNextButton).center();
    QTest::mousePress(&strip, Qt::LeftButton, {}, next);
    QCOMPARE(strip.firstVisible(), 1); // one step at once
    QVERIFY(strip.repeatTimerActive());
    now += 100;
    strip.onRepeatTimer();
    now += 100;
    strip.onRepeatTimer();
    QCOMPARE(strip.firstVisible(), 1);
    now += 100; // 300 ms since the step
    strip.onRepeatTimer();
    QCOMPARE(strip.firstVisible(), 2);
    int steps = 0;
    while (strip.itemRect(5).right() >= strip.width() && steps++ < 20) {
        now += 250;
        strip.onRepeatTimer();
    }
    const int last = strip.firstVisible();
    QVERIFY(strip.itemRect(5).right() < strip.width());
    now += 1000;
    strip.onRepeatTimer();
    QCOMPARE(strip.firstVisible(), last); // never past the last tab
    QTest::mouseRelease(&strip, Qt::LeftButton, {}, next);
    QVERIFY(!strip.repeatTimerActive());
    const QPoint prev = strip.buttonRect(tabcode::kPrevButton).center();
    QTest::mousePress(&strip, Qt::LeftButton, {}, prev);
    QCOMPARE(strip.firstVisible(), last - 1);
    QTest::mouseRelease(&strip, Qt::LeftButton, {}, prev);
    now += 1000;
    strip.onRepeatTimer();
    QCOMPARE(strip.firstVisible(), last - 1);
}

namespace {

// A strip too narrow for its ten tabs, scrolled to the middle.
void fillNarrow(CCustomTabCtrl &strip)
{
    strip.setFixedHeight(20);
    strip.resize(260, 20);
    for (int i = 0; i < 10; ++i)
        strip.insertItem(i, QStringLiteral("tab number %1").arg(i));
    strip.show();
    strip.setCurSel(4);
}

} // namespace

void TestTabCtrl::scrollButtons_data()
{
    QTest::addColumn<int>("button");
    QTest::addColumn<int>("expected"); // -1: the last position
    QTest::newRow("first") << tabcode::kFirstButton << 0;
    QTest::newRow("previous") << tabcode::kPrevButton << 3;
    QTest::newRow("next") << tabcode::kNextButton << 5;
    QTest::newRow("last") << tabcode::kLastButton << -1;
}

void TestTabCtrl::scrollButtons()
{
    QFETCH(int, button);
    QFETCH(int, expected);
    CCustomTabCtrl strip(tabstyle::kFourButtons | tabstyle::kAutoHideButtons | tabstyle::kToolTips, 100);
    fillNarrow(strip);
    QCOMPARE(strip.firstVisible(), 4);
    QSignalSpy spy(&strip, &CCustomTabCtrl::notify);
    const QPoint at = strip.buttonRect(button).center();
    QCOMPARE(strip.hitTest(at), button);
    QTest::mouseClick(&strip, Qt::LeftButton, {}, at);
    if (expected < 0) {
        QVERIFY(strip.itemRect(9).right() < strip.width());
        QVERIFY(strip.itemRect(9).right() >= strip.width() - strip.itemRect(9).width() / 2 - 20);
    } else {
        QCOMPARE(strip.firstVisible(), expected);
    }
    QCOMPARE(strip.curSel(), 4); // scrolling never selects
    const auto got = records(spy);
    QCOMPARE(got.size(), 1);
    QCOMPARE(got[0].code, tabcode::kClick);
    QCOMPARE(got[0].index, button);
}

void TestTabCtrl::pressBringsATabIntoView()
{
    CCustomTabCtrl strip(tabstyle::kFourButtons | tabstyle::kAutoHideButtons, 100);
    fillNarrow(strip);
    strip.setCurSel(0);
    QCOMPARE(strip.firstVisible(), 0);
    // The last tab that shows is cut by the right edge; pressing it scrolls
    // just far enough to show it whole.
    int cut = 0;
    while (strip.itemRect(cut + 1).left() < strip.width())
        ++cut;
    QVERIFY(strip.itemRect(cut).right() >= strip.width());
    const QPoint at(strip.itemRect(cut).left() + strip.height(), strip.height() / 2);
    QCOMPARE(strip.hitTest(at), cut);
    QTest::mouseClick(&strip, Qt::LeftButton, {}, at);
    QCOMPARE(strip.curSel(), cut);
    QVERIFY(strip.itemRect(cut).right() < strip.width());
    QVERIFY(strip.firstVisible() > 0);
    // One step less would still cut it.
    QVERIFY(strip.itemRect(cut).right() + strip.itemRect(strip.firstVisible() - 1).width() -
                strip.height() / 2 >= strip.width());
}

void TestTabCtrl::selectedTabIsHitFirst()
{
    CCustomTabCtrl strip(tabstyle::kAutoHideButtons, 100);
    strip.setFixedHeight(20);
    strip.resize(800, 20);
    for (int i = 0; i < 3; ++i)
        strip.insertItem(i, QStringLiteral("tab %1").arg(i));
    strip.show();
    // Where tabs 0 and 1 overlap near their top edge, the later one lies in
    // front, unless the earlier one is selected.
    const QPoint overlap(strip.itemRect(1).left() + 3, 2);
    QVERIFY(strip.itemRect(0).contains(overlap));
    strip.setCurSel(2);
    QCOMPARE(strip.hitTest(overlap), 1);
    strip.setCurSel(0);
    QCOMPARE(strip.hitTest(overlap), 0);
    QTest::mouseClick(&strip, Qt::LeftButton, {}, overlap);
    QCOMPARE(strip.curSel(), 0);
}

void TestTabCtrl::ctrlClickSparesTheSelectedTab()
{
    CCustomTabCtrl strip(tabstyle::kAutoHideButtons | tabstyle::kHighlight, 100);
    strip.setFixedHeight(20);
    strip.resize(800, 20);
    for (int i = 0; i < 3; ++i)
        strip.insertItem(i, QStringLiteral("tab %1").arg(i));
    strip.setCurSel(1);
    strip.show();
    QVERIFY(strip.isItemHighlighted(1));
    QSignalSpy changed(&strip, &CCustomTabCtrl::highlightChanged);
    QSignalSpy current(&strip, &CCustomTabCtrl::currentChanged);
    QTest::mouseClick(&strip, Qt::LeftButton, Qt::ControlModifier, strip.itemTextRect(1).center());
    QVERIFY(strip.isItemHighlighted(1));
    QCOMPARE(changed.count(), 0);
    QTest::mouseClick(&strip, Qt::LeftButton, Qt::ControlModifier, strip.itemTextRect(2).center());
    QVERIFY(strip.isItemHighlighted(2));
    QCOMPARE(changed.count(), 1);
    QCOMPARE(changed.at(0).at(0).toInt(), 2);
    QCOMPARE(changed.at(0).at(1).toBool(), true);
    QCOMPARE(current.count(), 0);
    QCOMPARE(strip.curSel(), 1);
}

void TestTabCtrl::noGrabWhileNotifying()
{
    CCustomTabCtrl strip(tabstyle::kAutoHideButtons, 100);
    strip.setFixedHeight(20);
    strip.resize(800, 20);
    strip.insertItem(0, QStringLiteral("a"));
    strip.insertItem(1, QStringLiteral("b"));
    strip.setCurSel(0);
    strip.show();
    // A consumer that opens a message box on the notification must find the
    // pointer free, or the box could not be clicked.
    QWidget *grabber = &strip;
    int seen = -1;
    connect(&strip, &CCustomTabCtrl::currentChanged, &strip, [&](int index) {
        seen = index;
        grabber = QWidget::mouseGrabber();
    });
    QTest::mouseClick(&strip, Qt::LeftButton, {}, strip.itemTextRect(1).center());
    QCOMPARE(seen, 1);
    QCOMPARE(grabber, static_cast<QWidget *>(nullptr));
    QCOMPARE(QWidget::mouseGrabber(), static_cast<QWidget *>(nullptr));
}

QTEST_MAIN(TestTabCtrl)
#include "test_tab_ctrl.moc"
