#pragma once

#include "db/dates.h"

#include <QList>
#include <QObject>
#include <QString>

#include <functional>

class QAction;
class QMenu;
class QWidget;

// The book commands at the end of the first menu: 新建帐本…, 打开帐本… and
// the books opened last. A book is checked before it is handed on through
// bookChosen; the main window then closes and the program logs in to it.
class CBookMenu : public QObject {
    Q_OBJECT
public:
    using Clock = std::function<db::DateTime()>;
    // Shown with their place in the middle left out beyond this many
    // characters.
    static constexpr int kPathChars = 60;

    // Adds the commands to menu after a separator; openBook is the book of
    // window, which owns the dialogs.
    CBookMenu(QMenu *menu, const QString &openBook, Clock clock, QWidget *window);

    QAction *newBookAction() const { return m_newBook; }
    QAction *openBookAction() const { return m_openBook; }
    const QList<QAction *> &recentActions() const { return m_recent; }

    void onNewBook();
    void onOpenBook();
    // Hands on a book that opens, or says why it does not.
    void chooseBook(const QString &path);

signals:
    void bookChosen(const QString &path);

private:
    QString m_book;
    Clock m_clock;
    QWidget *m_window;
    QAction *m_newBook;
    QAction *m_openBook;
    QList<QAction *> m_recent;
};

// A path as a menu or the status bar shows it: the middle left out when it
// is wider than chars average characters of widget's font.
QString shortenedPath(const QWidget *widget, const QString &path, int chars);
