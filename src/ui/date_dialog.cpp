#include "ui/date_dialog.h"

#include "ui/date_typing.h"

#include <QDateEdit>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QPushButton>

CDateDialog::CDateDialog(const db::DateTime &now, QWidget *parent) : QDialog(parent)
{
    setWindowTitle(QStringLiteral("时间设置"));
    const QDate today(now.year, now.month, now.day);
    auto makeEdit = [&](const char *name) {
        auto *edit = new QDateEdit(today, this);
        edit->setObjectName(QString::fromLatin1(name));
        edit->setDisplayFormat(QStringLiteral("yyyy/MM/dd"));
        edit->setCalendarPopup(true);
        ui::guardDateTyping(edit);
        return edit;
    };
    m_begin = makeEdit("begin1014");
    m_end = makeEdit("end1015");
    auto *buttons = new QDialogButtonBox(this);
    buttons->addButton(QStringLiteral("确定"), QDialogButtonBox::AcceptRole)->setDefault(true);
    buttons->addButton(QStringLiteral("取消"), QDialogButtonBox::RejectRole);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto *layout = new QFormLayout(this);
    layout->addRow(QStringLiteral("开始日期"), m_begin);
    layout->addRow(QStringLiteral("结束日期"), m_end);
    layout->addRow(buttons);
}

QString CDateDialog::beginDay() const { return m_begin->date().toString(QStringLiteral("yyyyMMdd")); }

QString CDateDialog::endDay() const { return m_end->date().toString(QStringLiteral("yyyyMMdd")); }
