#pragma once

#include "db/dates.h"

#include <QDialog>

#include <functional>

class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;

// A book file chosen in the file dialog "打开帐本", "" when cancelled.
QString chooseBookFile(QWidget *parent);

// Gets the user a book. At a first run, when no book is found, it offers
// three ways: a new book (where, the password of 管理员 typed twice, the
// usual categories alone or with a year of demo entries), an existing book
// chosen in a file dialog, or a backup made the new book. From the menu it
// makes a new book only. Accepted once the book is there; book() names it.
class CBookDialog : public QDialog {
    Q_OBJECT
public:
    enum class Purpose { FirstRun, NewBook };
    using Clock = std::function<db::DateTime()>;

    CBookDialog(Purpose purpose, const QString &offeredPlace, Clock clock = db::localNow, QWidget *parent = nullptr);

    const QString &book() const { return m_book; }

    QLineEdit *placeEdit() const { return m_place; }
    QLineEdit *passwordEdit() const { return m_password; }
    QLineEdit *againEdit() const { return m_again; }
    QRadioButton *demoButton() const { return m_demo; }
    QPushButton *createButton() const { return m_create; }
    QPushButton *openButton() const { return m_open; }
    QPushButton *restoreButton() const { return m_restore; }

    // The buttons: make the new book; choose a book or a backup in a file
    // dialog and take it.
    void onCreate();
    void onOpen();
    void onRestore();
    void onBrowse();
    // The work after a file was chosen, with its message.
    void openBook(const QString &path);
    void restoreBackup(const QString &path);

private:
    void takeBook(const QString &path);

    Clock m_clock;
    QString m_book;
    QLineEdit *m_place;
    QLineEdit *m_password;
    QLineEdit *m_again;
    QRadioButton *m_categoriesOnly;
    QRadioButton *m_demo;
    QPushButton *m_create;
    QPushButton *m_open = nullptr;
    QPushButton *m_restore = nullptr;
};
