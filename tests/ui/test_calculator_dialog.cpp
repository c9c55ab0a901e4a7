#include "ui/calculator_dialog.h"

#include <QPushButton>
#include <QtTest>

class TestCalculatorDialog : public QObject {
    Q_OBJECT
private slots:
    void calculatorSendsCodes();
    void calculatorTakesTypedKeys_data();
    void calculatorTakesTypedKeys();
};

void TestCalculatorDialog::calculatorSendsCodes()
{
    QWidget owner;
    owner.setGeometry(100, 100, 400, 300);
    CCalculatorDialog calculator(QRect(100, 100, 400, 300), &owner);
    QCOMPARE(calculator.windowTitle(), QStringLiteral("得到数字"));
    QCOMPARE(calculator.pos(), QPoint(270, 190));
    QList<int> codes;
    connect(&calculator, &CCalculatorDialog::keyCode, [&](int code) { codes << code; });
    for (const char *caption : {"1", "2", ".", "5", "*", "2", "<--", "+", "-", "/", "0", "9"})
        calculator.button(QString::fromUtf8(caption))->click();
    QCOMPARE(codes, (QList<int>{1, 2, 11, 5, 16, 2, 17, 12, 13, 15, 0, 9}));
    calculator.show();
    calculator.button(QStringLiteral("关闭"))->click();
    QCOMPARE(codes.size(), 12);
    QCOMPARE(calculator.result(), int(QDialog::Rejected));
    calculator.show();
    calculator.button(QStringLiteral("="))->click();
    QCOMPARE(codes.last(), 14);
    QCOMPARE(calculator.result(), int(QDialog::Accepted));
}

void TestCalculatorDialog::calculatorTakesTypedKeys_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<int>("key"); // pressed after the typed text, 0 for none
    QTest::addColumn<Qt::KeyboardModifiers>("modifiers");
    QTest::addColumn<QList<int>>("codes");
    QTest::addColumn<int>("result"); // -1 while still open
    const Qt::KeyboardModifiers none;
    QTest::newRow("digits and point") << "0123456789." << 0 << none
                                      << QList<int>{0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 11} << -1;
    QTest::newRow("operators") << "+-*/" << 0 << none << QList<int>{12, 13, 16, 15} << -1;
    QTest::newRow("keypad") << "7*3" << 0 << Qt::KeyboardModifiers(Qt::KeypadModifier) << QList<int>{7, 16, 3} << -1;
    QTest::newRow("Backspace") << "5" << int(Qt::Key_Backspace) << none << QList<int>{5, 17} << -1;
    QTest::newRow("=") << "2=" << 0 << none << QList<int>{2, 14} << int(QDialog::Accepted);
    QTest::newRow("Enter") << "2" << int(Qt::Key_Return) << none << QList<int>{2, 14} << int(QDialog::Accepted);
    QTest::newRow("keypad Enter") << "" << int(Qt::Key_Enter) << Qt::KeyboardModifiers(Qt::KeypadModifier)
                                  << QList<int>{14} << int(QDialog::Accepted);
    QTest::newRow("Escape") << "9" << int(Qt::Key_Escape) << none << QList<int>{9} << int(QDialog::Rejected);
    QTest::newRow("letters") << "ab" << 0 << none << QList<int>{} << -1;
}

// Keys go where the keyboard's focus is: the button that has it.
void TestCalculatorDialog::calculatorTakesTypedKeys()
{
    QFETCH(QString, typed);
    QFETCH(int, key);
    QFETCH(Qt::KeyboardModifiers, modifiers);
    QFETCH(QList<int>, codes);
    QFETCH(int, result);
    QWidget owner;
    CCalculatorDialog calculator(QRect(100, 100, 400, 300), &owner);
    QList<int> sent;
    connect(&calculator, &CCalculatorDialog::keyCode, [&](int code) { sent << code; });
    calculator.setResult(-1);
    calculator.show();
    calculator.button(QStringLiteral("1"))->setFocus();
    for (QChar ch : typed)
        QTest::keyClick(calculator.focusWidget(), ch.toLatin1(), modifiers);
    if (key)
        QTest::keyClick(calculator.focusWidget(), Qt::Key(key), modifiers);
    QCOMPARE(sent, codes);
    QCOMPARE(calculator.result(), result);
    QCOMPARE(calculator.isVisible(), result == -1);
}

QTEST_MAIN(TestCalculatorDialog)
#include "test_calculator_dialog.moc"
