#include "app/about_dialog.h"

#include "app/program_icon.h"

#include <QApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QStyle>
#include <QVBoxLayout>

CAboutDialog::CAboutDialog(QWidget *parent) : QDialog(parent)
{
    setWindowTitle(QStringLiteral("关于 "));
    auto *icon = new QLabel(this);
    icon->setPixmap(app::programIcon().pixmap(48, 48));
    auto *text = new QVBoxLayout;
    text->addWidget(new QLabel(QStringLiteral("Pennaro V4.009"), this));
    text->addWidget(new QLabel(QStringLiteral("家庭记帐软件"), this));
    auto *close = new QPushButton(QStringLiteral("关闭"), this);
    close->setDefault(true);
    connect(close, &QPushButton::clicked, this, &QDialog::accept);
    auto *row = new QHBoxLayout(this);
    row->addWidget(icon, 0, Qt::AlignTop);
    row->addLayout(text, 1);
    row->addWidget(close, 0, Qt::AlignTop);
}
