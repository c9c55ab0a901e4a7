#pragma once

#include <QAbstractSpinBox>
#include <QDialog>

class QPushButton;

// A number field with up and down arrows that keeps whatever is typed, so
// that the dialog can judge the text itself; the arrows stay within 1..last.
class CPageNumberEdit : public QAbstractSpinBox {
    Q_OBJECT
public:
    explicit CPageNumberEdit(int last, QWidget *parent = nullptr);

    void stepBy(int steps) override;
    using QAbstractSpinBox::lineEdit;

signals:
    void focusLost();

protected:
    StepEnabled stepEnabled() const override;
    void focusOutEvent(QFocusEvent *event) override;

private:
    int m_last;
};

// "转到页": asks for a page number from 1 to the page count.
class CGotoPageDialog : public QDialog {
    Q_OBJECT
public:
    static constexpr int kHighestNumber = 999999;

    CGotoPageDialog(int pageCount, int currentPage, QWidget *parent = nullptr);

    // The page chosen (valid after the dialog was confirmed).
    int page() const { return m_number; }
    CPageNumberEdit *field() const { return m_field; }
    QPushButton *confirmButton() const { return m_confirm; }
    QPushButton *cancelButton() const { return m_cancel; }

    // Reads the field: text that is not a whole number from 1 to 999999 is
    // reported (text that is no number keeps the previous number); the
    // number is then kept within 1 and the page count and shown. False
    // when something was reported.
    bool readNumber();

private:
    void confirm();

    int m_pageCount;
    int m_number;
    CPageNumberEdit *m_field;
    QPushButton *m_confirm;
    QPushButton *m_cancel;
};
