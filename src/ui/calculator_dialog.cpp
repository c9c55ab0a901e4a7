#include "ui/calculator_dialog.h"

#include "ui/amount_calculator.h"

#include <QGridLayout>
#include <QKeyEvent>
#include <QPushButton>

CCalculatorDialog::CCalculatorDialog(const QRect &ownerRect, QWidget *owner) : QDialog(owner)
{
    setWindowTitle(QStringLiteral("得到数字"));
    using namespace ui::calc;
    struct Key {
        const char *caption;
        int code;
    };
    const Key rows[4][4] = {{{"7", 7}, {"8", 8}, {"9", 9}, {"<--", kBackspace}},
                            {{"4", 4}, {"5", 5}, {"6", 6}, {"*", kMultiply}},
                            {{"1", 1}, {"2", 2}, {"3", 3}, {"/", kDivide}},
                            {{"0", 0}, {".", kPoint}, {"+", kPlus}, {"-", kMinus}}};
    auto *grid = new QGridLayout(this);
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 4; ++c) {
            const Key &key = rows[r][c];
            auto *b = new QPushButton(QString::fromUtf8(key.caption), this);
            b->setAutoDefault(false);
            b->setFixedSize(40, 28);
            connect(b, &QPushButton::clicked, this, [this, code = key.code] { press(code); });
            grid->addWidget(b, r, c);
        }
    auto *equals = new QPushButton(QStringLiteral("="), this);
    equals->setDefault(true);
    connect(equals, &QPushButton::clicked, this, [this] {
        press(kEquals);
        accept();
    });
    auto *close = new QPushButton(QStringLiteral("关闭"), this);
    close->setAutoDefault(false);
    connect(close, &QPushButton::clicked, this, &QDialog::reject);
    grid->addWidget(equals, 4, 0, 1, 2);
    grid->addWidget(close, 4, 2, 1, 2);
    adjustSize();
    move(ownerRect.topLeft() + QPoint(kOffsetX, kOffsetY));
}

QPushButton *CCalculatorDialog::button(const QString &caption) const
{
    for (QPushButton *b : findChildren<QPushButton *>())
        if (b->text() == caption)
            return b;
    return nullptr;
}

void CCalculatorDialog::press(int code) { emit keyCode(code); }

void CCalculatorDialog::keyPressEvent(QKeyEvent *event)
{
    QString caption;
    switch (event->key()) {
    case Qt::Key_Backspace:
        caption = QStringLiteral("<--");
        break;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        caption = QStringLiteral("=");
        break;
    default:
        if (event->text().size() == 1 && QStringLiteral("0123456789.+-*/=").contains(event->text()))
            caption = event->text();
        break;
    }
    if (QPushButton *b = caption.isEmpty() ? nullptr : button(caption)) {
        b->click();
        return;
    }
    QDialog::keyPressEvent(event);
}
