#include "support/box_answerer.h"
#include "ui/date_dialog.h"
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
    void aDateThatDoesNotExistIsRefusedAndNamed_data();
    void aDateThatDoesNotExistIsRefusedAndNamed();
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
        ui::guardDateTyping(edit.get());
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

void TestDateTyping::aDateThatDoesNotExistIsRefusedAndNamed_data()
{
    QTest::addColumn<QString>("field");
    QTest::addColumn<QDateTime>("initial");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("named"); // "" when the date exists
    QTest::addColumn<QDateTime>("expected");
    const QDateTime june(QDate(2026, 6, 15), QTime(14, 45));
    const QDateTime february(QDate(2026, 2, 15), QTime(14, 45)); // the month typed, the day not yet
    // The date dialog's fields, the settings panel's pickers, the entry's date and time.
    QTest::newRow("entry, 30 February") << "entry" << june << "2026/02/30" << "2026/02/30 14:45" << february;
    QTest::newRow("entry, digits only") << "entry" << june << "20260230" << "2026/02/30 14:45" << february;
    QTest::newRow("entry, 29 February") << "entry" << june << "2026/02/29" << "2026/02/29 14:45" << february;
    QTest::newRow("entry, hour 25") << "entry" << june << "2026/02/28 25" << "2026/02/28 25:45"
                                   << QDateTime(QDate(2026, 2, 28), QTime(14, 45));
    QTest::newRow("entry, 31 April") << "entry" << june << "2026/04/31" << "2026/04/31 14:45"
                                    << QDateTime(QDate(2026, 4, 15), QTime(14, 45));
    QTest::newRow("dialog, 30 February") << "dialog" << june << "2026/02/30" << "2026/02/30" << february;
    QTest::newRow("dialog, month 13") << "dialog" << june << "2026/13" << "2026/13/15" << june;
    QTest::newRow("picker, 29 February") << "picker" << june << "2026/02/29" << "2026/02/29" << february;
    // Real dates are taken as typed, also over a day the typed month lacks.
    QTest::newRow("picker, leap day") << "picker" << june << "2024/02/29" << ""
                                      << QDateTime(QDate(2024, 2, 29), QTime(14, 45));
    QTest::newRow("entry, over the 31st") << "entry" << QDateTime(QDate(2026, 1, 31), QTime(8, 0))
                                         << "2026/02/28 09:30" << "" << QDateTime(QDate(2026, 2, 28), QTime(9, 30));
    QTest::newRow("dialog, 3rd of February") << "dialog" << june << "2026/02/3" << ""
                                            << QDateTime(QDate(2026, 2, 3), QTime(14, 45));
}

void TestDateTyping::aDateThatDoesNotExistIsRefusedAndNamed()
{
    QFETCH(QString, field);
    QFETCH(QDateTime, initial);
    QFETCH(QString, typed);
    QFETCH(QString, named);
    QFETCH(QDateTime, expected);
    std::unique_ptr<QWidget> window;
    QDateTimeEdit *edit = nullptr;
    if (field == QLatin1String("dialog")) {
        auto *dialog = new CDateDialog(db::DateTime{2026, 6, 15});
        window.reset(dialog);
        edit = dialog->beginEdit();
    } else if (field == QLatin1String("picker")) {
        window = std::make_unique<CDatePicker>();
        edit = static_cast<CDatePicker *>(window.get());
    } else {
        window = std::make_unique<QDateTimeEdit>();
        edit = static_cast<QDateTimeEdit *>(window.get());
        edit->setDisplayFormat(QStringLiteral("yyyy'/'MM'/'dd  HH':'mm"));
        ui::guardDateTyping(edit);
    }
    edit->setDateTime(initial);
    window->show();
    QVERIFY(QTest::qWaitForWindowExposed(window.get()));
    edit->setFocus();
    edit->setCurrentSectionIndex(0);
    edit->setSelectedSection(edit->sectionAt(0));
    testing_support::BoxAnswerer answers;
    QTest::keyClicks(edit, typed);
    if (named.isEmpty()) {
        QTest::keyClick(edit, Qt::Key_Enter);
        QVERIFY(answers.texts.isEmpty());
    } else {
        QCOMPARE(answers.texts.size(), 1);
        QVERIFY2(answers.texts[0].contains(QStringLiteral("“") + named.left(10)), qPrintable(answers.texts[0]));
        if (edit->displayedSections() & QDateTimeEdit::HourSection)
            QVERIFY2(answers.texts[0].contains(named), qPrintable(answers.texts[0]));
    }
    QCOMPARE(edit->date(), expected.date());
    if (edit->displayedSections() & QDateTimeEdit::HourSection)
        QCOMPARE(edit->time(), expected.time());
}

QTEST_MAIN(TestDateTyping)
#include "test_date_typing.moc"
