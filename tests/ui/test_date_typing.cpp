#include "ui/date_picker.h"
#include "ui/date_typing.h"

#include <QDateTimeEdit>
#include <QLineEdit>
#include <QtTest>

#include <memory>

class TestDateTyping : public QObject {
    Q_OBJECT
private slots:
    void aDateTypedAsWrittenIsTheDateTyped_data();
    void aDateTypedAsWrittenIsTheDateTyped();
};

void TestDateTyping::aDateTypedAsWrittenIsTheDateTyped_data()
{
    QTest::addColumn<QString>("format");
    QTest::addColumn<bool>("picker");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QDateTime>("expected");
    const QDateTime first(QDate(2025, 12, 1), QTime(0, 0));
    // The interval dialog's fields, the settings panel's pickers, the entry's
    // date and time.
    QTest::newRow("interval, separators") << "yyyy/MM/dd" << false << "2025/12/01" << first;
    QTest::newRow("interval, digits only") << "yyyy/MM/dd" << false << "20251201" << first;
    QTest::newRow("interval, short month") << "yyyy/MM/dd" << false << "2025/3/07"
                                           << QDateTime(QDate(2025, 3, 7), QTime(0, 0));
    QTest::newRow("picker, separators") << "" << true << "2025/12/01" << first;
    QTest::newRow("entry, separators") << "yyyy'/'MM'/'dd  HH':'mm" << false << "2025/12/01 09:30"
                                       << QDateTime(QDate(2025, 12, 1), QTime(9, 30));
    QTest::newRow("entry, digits only") << "yyyy'/'MM'/'dd  HH':'mm" << false << "202512010930"
                                        << QDateTime(QDate(2025, 12, 1), QTime(9, 30));
}

void TestDateTyping::aDateTypedAsWrittenIsTheDateTyped()
{
    QFETCH(QString, format);
    QFETCH(bool, picker);
    QFETCH(QString, typed);
    QFETCH(QDateTime, expected);
    std::unique_ptr<QDateTimeEdit> edit;
    if (picker) {
        edit = std::make_unique<CDatePicker>();
    } else {
        edit = std::make_unique<QDateTimeEdit>();
        edit->setDisplayFormat(format);
        ui::acceptTypedSeparators(edit.get());
    }
    edit->setDateTime(QDateTime(QDate(2026, 6, 15), QTime(14, 45)));
    edit->show();
    QVERIFY(QTest::qWaitForWindowExposed(edit.get()));
    edit->setFocus();
    edit->setCurrentSectionIndex(0);
    edit->setSelectedSection(edit->sectionAt(0));
    QTest::keyClicks(edit.get(), typed);
    QTest::keyClick(edit.get(), Qt::Key_Enter);
    QCOMPARE(edit->date(), expected.date());
    if (format.contains(QLatin1String("HH")))
        QCOMPARE(edit->time(), expected.time());
}

QTEST_MAIN(TestDateTyping)
#include "test_date_typing.moc"
