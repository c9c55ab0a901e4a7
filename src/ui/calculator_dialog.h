#pragma once

#include <QDialog>

// "得到数字": a keypad that sends one key code per press to its owner; "="
// sends its code and closes, "关闭" closes without sending anything.
class CCalculatorDialog : public QDialog {
    Q_OBJECT
public:
    static constexpr int kOffsetX = 170;
    static constexpr int kOffsetY = 90;

    // Placed 170 pixels right of and 90 below the owner's top-left corner.
    CCalculatorDialog(const QRect &ownerRect, QWidget *owner);

    // The button that sends a code, by its caption.
    class QPushButton *button(const QString &caption) const;

signals:
    void keyCode(int code);

protected:
    // Typed digits, point, operators, "=", Enter and Backspace press the
    // button that bears them; Escape closes as 关闭 does.
    void keyPressEvent(QKeyEvent *event) override;

private:
    void press(int code);
};
