#include "app/links_dialog.h"

#include "app/finance_links.h"

#include <QDesktopServices>
#include <QFontDatabase>
#include <QGridLayout>
#include <QLabel>
#include <QPushButton>
#include <QUrl>
#include <QVBoxLayout>

namespace {
const char *const kTitle = "股票和基金";
const char *const kMaxims = "行情在疯狂中见顶，在犹豫中成长，在绝望中反弹。\n"
                            "别人恐惧时我贪婪，别人贪婪时我恐惧。\n"
                            "牛市做多，熊市持币观望。\n"
                            "下面的按钮通向基金、股票及相关交易的网站。";
const int kColumns = 2;
} // namespace

CLinksDialog::CLinksDialog(QWidget *parent) : QDialog(parent)
{
    setWindowTitle(QString::fromUtf8(kTitle));
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);

    m_maxims = new QLabel(QString::fromUtf8(kMaxims), this);
    m_maxims->setFont(QFontDatabase::systemFont(QFontDatabase::GeneralFont));
    m_maxims->setWordWrap(true);

    auto *grid = new QGridLayout;
    int index = 0;
    for (const app::FinanceLink &link : app::financeLinks()) {
        auto *button = new QPushButton(QString::fromUtf8(link.caption), this);
        button->setAutoDefault(false);
        button->setObjectName(QStringLiteral("link%1").arg(link.id));
        button->setToolTip(QString::fromLatin1(link.url));
        const QUrl url(QString::fromLatin1(link.url));
        // The browser's answer is its own business: nothing is shown here.
        connect(button, &QPushButton::clicked, this, [url] { QDesktopServices::openUrl(url); });
        grid->addWidget(button, index / kColumns, index % kColumns);
        m_buttons[link.id] = button;
        ++index;
    }
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_maxims);
    layout->addSpacing(8);
    layout->addLayout(grid);
}

QPushButton *CLinksDialog::button(int id) const
{
    auto it = m_buttons.find(id);
    return it == m_buttons.end() ? nullptr : it->second;
}
