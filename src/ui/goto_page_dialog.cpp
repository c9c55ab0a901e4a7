#include "ui/goto_page_dialog.h"

#include "ui/message_box.h"

#include <QApplication>
#include <QDialogButtonBox>
#include <QFocusEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include <algorithm>

namespace {
const char *const kCaption = "转到页";
const char *const kLabel = "页码(&P):";
const char *const kConfirm = "确定(&O)";
const char *const kCancel = "取消(&C)";
const char *const kNotAPageNumber = "请输入 1 到 999999 之间的整数。";

int typedNumber(const QString &text, int fallback)
{
    bool ok = false;
    const int n = text.trimmed().toInt(&ok);
    return ok ? n : fallback;
}
} // namespace

CPageNumberEdit::CPageNumberEdit(int last, QWidget *parent) : QAbstractSpinBox(parent), m_last(std::max(1, last))
{
    setButtonSymbols(QAbstractSpinBox::UpDownArrows);
    setAccelerated(true);
}

void CPageNumberEdit::stepBy(int steps)
{
    const int current = std::clamp(typedNumber(text(), 1), 1, m_last);
    lineEdit()->setText(QString::number(std::clamp(current + steps, 1, m_last)));
    selectAll();
}

QAbstractSpinBox::StepEnabled CPageNumberEdit::stepEnabled() const
{
    const int current = typedNumber(text(), 0);
    StepEnabled enabled = StepNone;
    if (current < m_last)
        enabled |= StepUpEnabled;
    if (current > 1)
        enabled |= StepDownEnabled;
    return enabled;
}

void CPageNumberEdit::focusOutEvent(QFocusEvent *event)
{
    QAbstractSpinBox::focusOutEvent(event);
    // Only the user moving on counts: not a message box or another window
    // taking the focus.
    const Qt::FocusReason reason = event->reason();
    if (reason == Qt::TabFocusReason || reason == Qt::BacktabFocusReason || reason == Qt::MouseFocusReason ||
        reason == Qt::ShortcutFocusReason)
        emit focusLost();
}

CGotoPageDialog::CGotoPageDialog(int pageCount, int currentPage, QWidget *parent)
    : QDialog(parent), m_pageCount(std::max(1, pageCount)), m_number(std::clamp(currentPage, 1, m_pageCount)),
      m_field(new CPageNumberEdit(m_pageCount, this)), m_confirm(new QPushButton(QString::fromUtf8(kConfirm), this)),
      m_cancel(new QPushButton(QString::fromUtf8(kCancel), this))
{
    setWindowTitle(QString::fromUtf8(kCaption));
    m_field->lineEdit()->setText(QString::number(m_number));
    m_field->selectAll();
    m_field->setMinimumWidth(fontMetrics().horizontalAdvance(QStringLiteral("0000000")) + 30);

    auto *label = new QLabel(QString::fromUtf8(kLabel), this);
    label->setBuddy(m_field);
    auto *row = new QHBoxLayout;
    row->addWidget(label);
    row->addWidget(m_field, 1);

    m_confirm->setDefault(true);
    // A click on cancel does not take the focus, so that leaving with
    // cancel does not first judge the typed text.
    m_cancel->setFocusPolicy(Qt::TabFocus);
    auto *buttons = new QDialogButtonBox(this);
    buttons->addButton(m_confirm, QDialogButtonBox::AcceptRole);
    buttons->addButton(m_cancel, QDialogButtonBox::RejectRole);
    connect(m_confirm, &QPushButton::clicked, this, &CGotoPageDialog::confirm);
    connect(m_cancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(m_field, &CPageNumberEdit::focusLost, this, [this] {
        if (isVisible() && !m_cancel->hasFocus())
            readNumber();
    });

    auto *layout = new QVBoxLayout(this);
    layout->addLayout(row);
    layout->addWidget(buttons);
    setFixedSize(sizeHint());
}

bool CGotoPageDialog::readNumber()
{
    const QString text = m_field->text().trimmed();
    bool whole = false;
    const qlonglong typed = text.toLongLong(&whole);
    bool reported = false;
    if (!whole || typed < 1 || typed > kHighestNumber) {
        ui::warn(this, QString::fromUtf8(kNotAPageNumber));
        reported = true;
    }
    if (whole)
        m_number = static_cast<int>(std::clamp<qlonglong>(typed, 1, m_pageCount));
    m_field->lineEdit()->setText(QString::number(m_number));
    return !reported;
}

void CGotoPageDialog::confirm()
{
    if (readNumber())
        accept();
    else
        m_field->setFocus();
}
