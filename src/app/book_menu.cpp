#include "app/book_menu.h"

#include "app/book_dialog.h"
#include "app/books.h"
#include "app/commands.h"
#include "app/settings_store.h"
#include "db/file_paths.h"
#include "setup/backup.h"
#include "ui/carry_out.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QMenu>

namespace {
const char *const kNewBook = "新建帐本…";
const char *const kOpenBook = "打开帐本…";
} // namespace

QString shortenedPath(const QWidget *widget, const QString &path, int chars)
{
    const QFontMetrics metrics = widget->fontMetrics();
    return metrics.elidedText(QDir::toNativeSeparators(path), Qt::ElideMiddle, metrics.averageCharWidth() * chars);
}

CBookMenu::CBookMenu(QMenu *menu, const QString &openBook, Clock clock, QWidget *window)
    : QObject(window), m_book(openBook), m_clock(std::move(clock)), m_window(window)
{
    menu->addSeparator();
    m_newBook = menu->addAction(QString::fromUtf8(kNewBook), this, &CBookMenu::onNewBook);
    m_newBook->setData(cmd::ID_NEW_BOOK);
    m_openBook = menu->addAction(QString::fromUtf8(kOpenBook), this, &CBookMenu::onOpenBook);
    m_openBook->setData(cmd::ID_OPEN_BOOK);
    const QStringList recent = app::readRecentBooks().mid(0, app::kRecentBookCount);
    if (!recent.isEmpty())
        menu->addSeparator();
    for (qsizetype i = 0; i < recent.size(); ++i) {
        const QString book = recent[i];
        // The mnemonic is the number; an ampersand of the path stays one.
        QString caption = shortenedPath(menu, book, kPathChars);
        caption.replace(QLatin1Char('&'), QLatin1String("&&"));
        QAction *action = menu->addAction(QStringLiteral("&%1 %2").arg(i + 1).arg(caption));
        action->setData(cmd::ID_RECENT_BOOK + static_cast<int>(i));
        action->setToolTip(book);
        // The open book is shown, and opened no second time.
        action->setEnabled(!db::sameFile(QFile::encodeName(book).toStdString(), QFile::encodeName(m_book).toStdString()));
        connect(action, &QAction::triggered, this, [this, book] { chooseBook(book); });
        m_recent << action;
    }
}

void CBookMenu::onNewBook()
{
    const std::string place = app::freeBookPath(app::userBookPath());
    CBookDialog dialog(CBookDialog::Purpose::NewBook, QString::fromStdString(place), m_clock, m_window);
    if (dialog.exec() == QDialog::Accepted)
        emit bookChosen(dialog.book());
}

void CBookMenu::onOpenBook()
{
    const QString chosen = chooseBookFile(m_window);
    if (!chosen.isEmpty())
        chooseBook(chosen);
}

void CBookMenu::chooseBook(const QString &path)
{
    if (db::sameFile(QFile::encodeName(path).toStdString(), QFile::encodeName(m_book).toStdString()))
        return; // it is open already
    if (ui::carryOut(m_window, [&] { return setup::checkBookFile(QFile::encodeName(path).toStdString()); }))
        emit bookChosen(path);
}
