#include "app/book_dialog.h"

#include "app/new_book.h"
#include "setup/backup.h"
#include "ui/carry_out.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace {
const char *const kFirstRunTitle = "欢迎使用 Pennaro";
const char *const kNewBookTitle = "新建帐本";
const char *const kIntro = "还没有找到帐本。可以新建一个帐本，打开已有的帐本，或者把以前的备份恢复成帐本。";
const char *const kNewGroup = "新建帐本";
const char *const kPlace = "位置：";
const char *const kBrowse = "浏览…";
const char *const kPassword = "管理员的密码：";
const char *const kAgain = "再输入一次：";
const char *const kPasswordNote = "登录时的用户是“管理员”；密码可以为空。";
const char *const kCategoriesOnly = "只有常用的收支类别";
const char *const kDemo = "再加上一年的示例帐目（先看看程序怎么用）";
const char *const kCreate = "新建帐本";
const char *const kOpen = "打开帐本…";
const char *const kRestore = "从备份恢复…";
const char *const kQuit = "退出";
const char *const kCancel = "取消";
const char *const kPlaceTitle = "新帐本的位置";
const char *const kOpenTitle = "打开帐本";
const char *const kRestoreTitle = "打开备份文件";
const char *const kBookFilters[] = {"帐本文件 (*.mdb)", "所有文件 (*)"};
const char *const kBackupFilters[] = {"MyType Files (*.BAT)", "All Files (*.*)"};

template <std::size_t N> QStringList filtersOf(const char *const (&filters)[N])
{
    QStringList list;
    for (const char *filter : filters)
        list << QString::fromUtf8(filter);
    return list;
}

std::string localPath(const QString &path)
{
    return QFile::encodeName(QFileInfo(QDir::cleanPath(path)).absoluteFilePath()).toStdString();
}

// A file chosen in a file dialog of its own, "" when cancelled.
QString chooseFile(QWidget *parent, const char *title, const QString &folder, const QStringList &filters,
                   QFileDialog::AcceptMode mode)
{
    QFileDialog chooser(parent, QString::fromUtf8(title), folder);
    chooser.setAcceptMode(mode);
    chooser.setFileMode(mode == QFileDialog::AcceptOpen ? QFileDialog::ExistingFile : QFileDialog::AnyFile);
    chooser.setNameFilters(filters);
    // A book is never written over: the core refuses an existing file.
    chooser.setOption(QFileDialog::DontConfirmOverwrite);
    if (chooser.exec() != QDialog::Accepted || chooser.selectedFiles().isEmpty())
        return {};
    return chooser.selectedFiles().first();
}

} // namespace

QString chooseBookFile(QWidget *parent)
{
    return chooseFile(parent, kOpenTitle, QDir::homePath(), filtersOf(kBookFilters), QFileDialog::AcceptOpen);
}

CBookDialog::CBookDialog(Purpose purpose, const QString &offeredPlace, Clock clock, QWidget *parent)
    : QDialog(parent), m_clock(std::move(clock))
{
    const bool firstRun = purpose == Purpose::FirstRun;
    setWindowTitle(QString::fromUtf8(firstRun ? kFirstRunTitle : kNewBookTitle));
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);

    m_place = new QLineEdit(QDir::toNativeSeparators(offeredPlace), this);
    m_place->setMinimumWidth(fontMetrics().averageCharWidth() * 48);
    auto *browse = new QPushButton(QString::fromUtf8(kBrowse), this);
    browse->setAutoDefault(false);
    m_password = new QLineEdit(this);
    m_again = new QLineEdit(this);
    for (QLineEdit *edit : {m_password, m_again})
        edit->setEchoMode(QLineEdit::Password);
    m_categoriesOnly = new QRadioButton(QString::fromUtf8(kCategoriesOnly), this);
    m_categoriesOnly->setChecked(true);
    m_demo = new QRadioButton(QString::fromUtf8(kDemo), this);
    m_create = new QPushButton(QString::fromUtf8(kCreate), this);
    m_create->setDefault(true);
    auto *leave = new QPushButton(QString::fromUtf8(firstRun ? kQuit : kCancel), this);
    leave->setAutoDefault(false);

    auto *placeRow = new QHBoxLayout;
    placeRow->addWidget(m_place, 1);
    placeRow->addWidget(browse);
    auto *note = new QLabel(QString::fromUtf8(kPasswordNote), this);
    note->setEnabled(false);
    auto *form = new QFormLayout;
    form->addRow(QString::fromUtf8(kPlace), placeRow);
    form->addRow(QString::fromUtf8(kPassword), m_password);
    form->addRow(QString::fromUtf8(kAgain), m_again);
    form->addRow(QString(), note);
    form->addRow(QString(), m_categoriesOnly);
    form->addRow(QString(), m_demo);
    auto *buttons = new QHBoxLayout;
    auto *layout = new QVBoxLayout(this);
    if (firstRun) {
        auto *intro = new QLabel(QString::fromUtf8(kIntro), this);
        intro->setWordWrap(true);
        layout->addWidget(intro);
        auto *createRow = new QHBoxLayout;
        createRow->addStretch();
        createRow->addWidget(m_create);
        auto *group = new QGroupBox(QString::fromUtf8(kNewGroup), this);
        auto *groupLayout = new QVBoxLayout(group);
        groupLayout->addLayout(form);
        groupLayout->addLayout(createRow);
        layout->addWidget(group);
        m_open = new QPushButton(QString::fromUtf8(kOpen), this);
        m_restore = new QPushButton(QString::fromUtf8(kRestore), this);
        for (QPushButton *button : {m_open, m_restore}) {
            button->setAutoDefault(false);
            buttons->addWidget(button);
        }
        buttons->addStretch();
        connect(m_open, &QPushButton::clicked, this, &CBookDialog::onOpen);
        connect(m_restore, &QPushButton::clicked, this, &CBookDialog::onRestore);
    } else {
        m_create->setText(QStringLiteral("确定"));
        layout->addLayout(form);
        buttons->addStretch();
        buttons->addWidget(m_create);
    }
    buttons->addWidget(leave);
    layout->addLayout(buttons);

    connect(browse, &QPushButton::clicked, this, &CBookDialog::onBrowse);
    connect(m_create, &QPushButton::clicked, this, &CBookDialog::onCreate);
    connect(leave, &QPushButton::clicked, this, &QDialog::reject);
    m_password->setFocus();
}

void CBookDialog::takeBook(const QString &path)
{
    m_book = QFileInfo(QDir::cleanPath(path)).absoluteFilePath();
    accept();
}

void CBookDialog::onCreate()
{
    const QString place = m_place->text().trimmed();
    const app::NewBook book{place.isEmpty() ? std::string() : localPath(place), m_password->text().toStdString(),
                            m_again->text().toStdString(), m_demo->isChecked()};
    if (ui::carryOut(this, [&] { return app::createBook(book, m_clock()); })) {
        takeBook(place);
    } else if (m_password->text() != m_again->text()) {
        m_password->clear();
        m_again->clear();
        m_password->setFocus();
    }
}

void CBookDialog::onBrowse()
{
    const QFileInfo current(m_place->text());
    const QString chosen = chooseFile(this, kPlaceTitle, current.absolutePath(), filtersOf(kBookFilters),
                                      QFileDialog::AcceptSave);
    if (!chosen.isEmpty())
        m_place->setText(QDir::toNativeSeparators(chosen));
}

void CBookDialog::onOpen()
{
    const QString chosen = chooseBookFile(this);
    if (!chosen.isEmpty())
        openBook(chosen);
}

void CBookDialog::onRestore()
{
    const QString chosen = chooseFile(this, kRestoreTitle, QDir::homePath(),
                                      filtersOf(kBackupFilters), QFileDialog::AcceptOpen);
    if (!chosen.isEmpty())
        restoreBackup(chosen);
}

void CBookDialog::openBook(const QString &path)
{
    if (ui::carryOut(this, [&] { return setup::checkBookFile(localPath(path)); }))
        takeBook(path);
}

void CBookDialog::restoreBackup(const QString &path)
{
    const QString place = m_place->text().trimmed();
    if (place.isEmpty()) {
        ui::warn(this, QString::fromUtf8(app::kMsgNoBookPlace));
        return;
    }
    if (ui::carryOut(this, [&] { return setup::restoreAsNewBook(localPath(path), localPath(place)); }))
        takeBook(place);
}
