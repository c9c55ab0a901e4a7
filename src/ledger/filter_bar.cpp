#include "ledger/filter_bar.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QRegularExpressionValidator>
#include <QToolButton>

namespace {
const char *const kTypes[] = {"全部", "收", "付", "存", "取"};
const char *const kTextLabel = "筛选:";
const char *const kTextHint = "类型、经手人、说明或银行中的文字";
const char *const kTypeLabel = "收付:";
const char *const kAmountLabel = "金额从";
const char *const kAmountTo = "到";
const char *const kAmountHint = "不限";
const char *const kCloseTip = "关闭筛选，显示全部记录 (Esc)";
// The size of an amount: up to fifteen whole digits and six decimals.
const char *const kAmountPattern = R"(\d{0,15}(\.\d{0,6})?)";
} // namespace

CLedgerFilterBar::CLedgerFilterBar(QWidget *parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("ledgerFilterBar"));
    auto *layout = new QHBoxLayout(this);
    layout->setContentsMargins(4, 2, 4, 2);
    m_text = new QLineEdit(this);
    m_text->setPlaceholderText(QString::fromUtf8(kTextHint));
    m_text->setClearButtonEnabled(true);
    m_text->setMinimumWidth(m_text->fontMetrics().horizontalAdvance(QString::fromUtf8(kTextHint)) + 40);
    m_type = new QComboBox(this);
    for (const char *type : kTypes)
        m_type->addItem(QString::fromUtf8(type));
    auto *validator = new QRegularExpressionValidator(QRegularExpression(QString::fromLatin1(kAmountPattern)), this);
    auto amountField = [&] {
        auto *field = new QLineEdit(this);
        field->setValidator(validator);
        field->setPlaceholderText(QString::fromUtf8(kAmountHint));
        field->setFixedWidth(field->fontMetrics().horizontalAdvance(QStringLiteral("0000000.00")) + 16);
        return field;
    };
    m_least = amountField();
    m_most = amountField();
    m_close = new QToolButton(this);
    m_close->setText(QStringLiteral("✕"));
    m_close->setToolTip(QString::fromUtf8(kCloseTip));
    m_close->setAutoRaise(true);

    layout->addWidget(new QLabel(QString::fromUtf8(kTextLabel), this));
    layout->addWidget(m_text, 1);
    layout->addWidget(new QLabel(QString::fromUtf8(kTypeLabel), this));
    layout->addWidget(m_type);
    layout->addWidget(new QLabel(QString::fromUtf8(kAmountLabel), this));
    layout->addWidget(m_least);
    layout->addWidget(new QLabel(QString::fromUtf8(kAmountTo), this));
    layout->addWidget(m_most);
    layout->addWidget(m_close);

    connect(m_text, &QLineEdit::textChanged, this, &CLedgerFilterBar::changed);
    connect(m_least, &QLineEdit::textChanged, this, &CLedgerFilterBar::changed);
    connect(m_most, &QLineEdit::textChanged, this, &CLedgerFilterBar::changed);
    connect(m_type, &QComboBox::currentIndexChanged, this, &CLedgerFilterBar::changed);
    connect(m_close, &QToolButton::clicked, this, &CLedgerFilterBar::closeRequested);
}

ledger::RowFilter CLedgerFilterBar::filter() const
{
    ledger::RowFilter f;
    f.text = m_text->text().trimmed().toStdString();
    if (m_type->currentIndex() > 0)
        f.type = m_type->currentText().toStdString();
    // A bound still being typed ("12.") counts for what it says so far.
    auto bound = [](const QLineEdit *field) {
        QString text = field->text().trimmed();
        if (text.endsWith(QLatin1Char('.')))
            text.chop(1);
        return text.isEmpty() ? std::nullopt : db::Money::parse(text.toStdString());
    };
    f.least = bound(m_least);
    f.most = bound(m_most);
    return f;
}

void CLedgerFilterBar::clear()
{
    m_clearing = true;
    m_text->clear();
    m_type->setCurrentIndex(0);
    m_least->clear();
    m_most->clear();
    m_clearing = false;
    changed();
}

void CLedgerFilterBar::focusText()
{
    m_text->setFocus(Qt::ShortcutFocusReason);
    m_text->selectAll();
}

void CLedgerFilterBar::changed()
{
    if (!m_clearing)
        emit filterChanged(filter());
}

void CLedgerFilterBar::keyPressEvent(QKeyEvent *event)
{
    // The fields leave Escape to the bar.
    if (event->key() == Qt::Key_Escape) {
        emit closeRequested();
        return;
    }
    QWidget::keyPressEvent(event);
}
