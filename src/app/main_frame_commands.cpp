// The commands of the main window: its menus and toolbar, their keys, and
// the windows they open.
#include "app/main_frame.h"

#include "app/book_menu.h"
#include "app/commands.h"
#include "app/help_page.h"
#include "app/links_dialog.h"
#include "app/password_dialog.h"
#include "import/import_list_dialog.h"
#include "import/import_window.h"
#include "ledger/balances_window.h"
#include "ledger/find_window.h"
#include "ledger/kassolt_view.h"
#include "setup/backup_dialog.h"
#include "setup/budget_plan_dialog.h"
#include "setup/users_dialog.h"
#include "stats/budget_window.h"
#include "stats/class_query_window.h"
#include "stats/date_query_window.h"
#include "ui/carry_out.h"
#include "ui/custom_tab_ctrl.h"

#include <QAction>
#include <QComboBox>
#include <QMenuBar>
#include <QShortcut>
#include <QStatusBar>
#include <QToolBar>

namespace {

// One item of a menu; id 0 stands for a separator. A shortcut is shown after
// the caption and works; a key the menus show twice goes to its first
// command only.
struct MenuItem {
    int id;
    const char *caption = nullptr;
    const char *shortcut = nullptr;
};

struct Menu {
    const char *title;
    std::initializer_list<MenuItem> items;
};

const Menu kMenus[] = {
    {"收入与支出(&F)",
     {{cmd::ID_NEW_ENTRY, "新增(&O)", "Ctrl+O"},
      {cmd::ID_MODIFY_ENTRY, "修改"},
      {cmd::ID_DELETE_ENTRY, "删除"},
      {cmd::ID_FIND, "查找记录…", "Ctrl+Shift+F"},
      {0},
      {cmd::ID_EDIT_UNDO, "撤销", "Ctrl+Z"},
      {cmd::ID_EDIT_REDO, "重做", "Ctrl+Y"},
      {0},
      {cmd::ID_IMPORT_BILL, "导入账单…"},
      {cmd::ID_IMPORT_LIST, "导入记录…"},
      {0},
      {cmd::ID_STOCKS_FUNDS, "股票和基金"},
      {cmd::ID_APP_EXIT, "退出(&X)"}}},
    {"查看(&V)",
     {{cmd::ID_VIEW_TOOLBAR, "工具栏(&T)"},
      {cmd::ID_VIEW_STATUS_BAR, "状态栏(&S)"},
      {cmd::ID_PRINT_PREVIEW, "打印预览"},
      {cmd::ID_FILTER, "筛选(&L)", "Ctrl+F"}}},
    {"查询及设置",
     {{cmd::ID_SETTINGS, "参数设置"},
      {cmd::ID_QUERY_CLASS, "分类查询(&S)", "Ctrl+S"},
      {cmd::ID_QUERY_DATE, "日期查询(&B)", "Ctrl+B"},
      {cmd::ID_BUDGET_EXECUTION, "预算执行(&U)"},
      {cmd::ID_BUDGET_PLAN, "预算设置"},
      {cmd::ID_BALANCES, "帐户余额"},
      {cmd::ID_USERS, "经手人设置(&O)", "Ctrl+O"},
      {cmd::ID_CHANGE_PASSWORD, "修改密码(&C)", "Ctrl+C"},
      {cmd::ID_BACKUP_RESTORE, "备份与恢复"}}},
    {"帮助(&H)", {{cmd::ID_APP_ABOUT, "关于 (&A)..."}, {cmd::ID_HELP, "帮助 (&H)"}}},
};

// Keys that work without being shown in the menus.
const std::pair<QKeyCombination, int> kHiddenKeys[] = {{QKeyCombination(Qt::Key_Delete), cmd::ID_DELETE_ENTRY},
                                                        {QKeyCombination(Qt::Key_F1), cmd::ID_HELP}};

// The toolbar, in order (0 a separator; the date drop-down stands at
// ID_DATE_COMBO), with the buttons' short captions.
const std::pair<int, const char *> kToolBar[] = {
    {cmd::ID_STOCKS_FUNDS_TOOLBAR, "股票基金"},
    {cmd::ID_NEW_ENTRY, "新增"},
    {cmd::ID_DELETE_ENTRY, "删除"},
    {cmd::ID_MODIFY_ENTRY, "修改"},
    {cmd::ID_EDIT_UNDO, "撤销"},
    {cmd::ID_EDIT_REDO, "重做"},
    {cmd::ID_DATE_COMBO, nullptr},
    {cmd::ID_IMPORT_BILL, "导入账单"},
    {cmd::ID_SETTINGS, "参数设置"},
    {cmd::ID_QUERY_DATE, "日期查询"},
    {cmd::ID_QUERY_CLASS, "分类查询"},
    {cmd::ID_BUDGET_EXECUTION, "预算执行"},
    {cmd::ID_FILTER, "筛选"},
    {cmd::ID_BALANCES, "帐户余额"},
    {0, nullptr},
    {cmd::ID_PRINT_PREVIEW, "打印预览"},
    {0, nullptr},
    {cmd::ID_APP_ABOUT, "关于"},
};

} // namespace

QAction *CMainFrame::makeAction(int id, const QString &caption, const QString &shortcutText)
{
    // The shortcut stands as text after a tab, as the menus show it.
    auto *action = new QAction(shortcutText.isEmpty() ? caption : caption + QLatin1Char('\t') + shortcutText, this);
    action->setData(id);
    m_actions[id] = action;
    connect(action, &QAction::triggered, this, [this, id] { runCommand(id); });
    return action;
}

QAction *CMainFrame::action(int id) const
{
    auto it = m_actions.find(id);
    return it == m_actions.end() ? nullptr : it->second;
}

void CMainFrame::createMenus()
{
    using namespace cmd;
    QList<QKeySequence> taken;
    for (const Menu &menu : kMenus) {
        QMenu *bar = menuBar()->addMenu(QString::fromUtf8(menu.title));
        for (const MenuItem &item : menu.items) {
            if (!item.id) {
                bar->addSeparator();
                continue;
            }
            const QKeySequence key(QString::fromLatin1(item.shortcut ? item.shortcut : ""));
            const bool own = !key.isEmpty() && !taken.contains(key);
            QAction *action = makeAction(item.id, QString::fromUtf8(item.caption),
                                         own ? QString::fromLatin1(item.shortcut) : QString());
            if (own) {
                action->setShortcut(key);
                taken << key;
            }
            bar->addAction(action);
        }
    }
    // The book commands close the first menu.
    m_bookMenu = new CBookMenu(menuBar()->actions().first()->menu(), QString::fromStdString(databasePath()), m_clock, this);
    connect(m_bookMenu, &CBookMenu::bookChosen, this, &CMainFrame::switchToBook);
    for (const auto &[key, id] : kHiddenKeys) {
        auto *shortcut = new QShortcut(QKeySequence(key), this);
        connect(shortcut, &QShortcut::activated, this, [this, id = id] { runCommand(id); });
    }
    for (int id : {ID_VIEW_TOOLBAR, ID_VIEW_STATUS_BAR}) {
        m_actions[id]->setCheckable(true);
        m_actions[id]->setChecked(true);
    }

    makeAction(ID_STOCKS_FUNDS_TOOLBAR, QStringLiteral("股票和基金"));
    // The prompts the status bar shows while a command is under the pointer.
    m_actions[ID_CHANGE_PASSWORD]->setStatusTip(QStringLiteral("修改管理员密码"));
    m_actions[ID_STOCKS_FUNDS_TOOLBAR]->setStatusTip(QStringLiteral("最热门的理财"));
    m_actions[ID_STOCKS_FUNDS_TOOLBAR]->setToolTip(QStringLiteral("股票和基金"));

    // Commands handled by the ledger view stay disabled until their windows exist.
    const int viewCommands[] = {ID_NEW_ENTRY,   ID_MODIFY_ENTRY, ID_DELETE_ENTRY,        ID_STOCKS_FUNDS,
                                ID_PRINT_PREVIEW, ID_SETTINGS,   ID_QUERY_CLASS,         ID_QUERY_DATE,
                                ID_USERS,       ID_CHANGE_PASSWORD, ID_BACKUP_RESTORE,   ID_HELP,
                                ID_STOCKS_FUNDS_TOOLBAR, ID_BUDGET_PLAN, ID_BUDGET_EXECUTION,
                                ID_FILTER, ID_FIND,             ID_BALANCES};
    for (int id : viewCommands)
        m_actions[id]->setEnabled(isCommandAvailable(id));
}

void CMainFrame::createToolBar()
{
    m_toolBar = addToolBar(QStringLiteral("工具栏"));
    m_toolBar->setObjectName(QStringLiteral("toolbar128"));
    m_toolBar->setMovable(true);
    m_toolBar->setToolButtonStyle(Qt::ToolButtonTextOnly);
    for (const auto &[id, caption] : kToolBar) {
        if (id == 0) {
            m_toolBar->addSeparator();
        } else if (id == cmd::ID_DATE_COMBO) {
            m_dateCombo = new QComboBox(m_toolBar);
            m_dateCombo->setObjectName(QStringLiteral("dateCombo32814"));
            m_dateCombo->setEditable(false);
            m_dateCombo->setFixedWidth(80);
            m_toolBar->addWidget(m_dateCombo);
        } else {
            // The buttons show short captions, without the menus' mnemonics
            // and shortcuts.
            m_actions[id]->setIconText(QString::fromUtf8(caption));
            m_toolBar->addAction(m_actions[id]);
        }
    }
}

// The ledger tabs can be reached without the mouse: Ctrl+PgDown and
// Ctrl+PgUp go to the next and the previous one, round the end.
void CMainFrame::createTabKeys()
{
    const std::pair<QKeyCombination, int> keys[] = {{Qt::CTRL | Qt::Key_PageDown, 1}, {Qt::CTRL | Qt::Key_PageUp, -1}};
    for (const auto &[key, step] : keys) {
        auto *shortcut = new QShortcut(QKeySequence(key), this);
        connect(shortcut, &QShortcut::activated, this, [this, step = step] {
            const int count = tabCtrl()->itemCount();
            if (count > 1)
                selectLedgerTab((tabCtrl()->curSel() + step + count) % count);
        });
    }
}

bool CMainFrame::isCommandAvailable(int id) const { return cmd::isViewCommandAvailable(id); }

void CMainFrame::runCommand(int id)
{
    using namespace cmd;
    switch (id) {
    case ID_APP_EXIT:
        close();
        return;
    case ID_VIEW_TOOLBAR:
        m_toolBar->setVisible(m_toolBar->isHidden());
        m_actions[id]->setChecked(!m_toolBar->isHidden());
        return;
    case ID_VIEW_STATUS_BAR:
        statusBar()->setVisible(statusBar()->isHidden());
        m_actions[id]->setChecked(!statusBar()->isHidden());
        return;
    case ID_APP_ABOUT:
        showAbout();
        return;
    case ID_IMPORT_BILL:
    case ID_IMPORT_LIST:
        runImportCommand(id);
        refreshIfBooksChanged();
        return;
    case ID_EDIT_UNDO:
    case ID_EDIT_REDO:
        stepHistory(id == ID_EDIT_UNDO);
        return;
    default:
        if (auto *view = qobject_cast<CKassoltView *>(activeView()))
            view->onCommand(id);
        refreshIfBooksChanged();
        return;
    }
}

void CMainFrame::runImportCommand(int id)
{
    bool changed = false;
    if (id == cmd::ID_IMPORT_BILL) {
        changed = import::importBill(this, connection(), m_userName, m_clock());
    } else if (ui::connectionOrSay(this, connection())) {
        CImportListDialog dialog(*m_connection, m_clock, this);
        dialog.exec();
        changed = dialog.changedBooks();
    }
    // The general journal comes to the front with the imported entries, as after a new entry.
    if (changed) {
        reloadLedger();
        postSelectLedgerTab(0);
    }
}

void CMainFrame::runOtherCommand(int id)
{
    // The query, user, password, backup, link and help windows open here.
    using namespace cmd;
    switch (id) {
    case ID_QUERY_CLASS:
    case ID_QUERY_DATE:
        if (!ui::connectionOrSay(this, connection()))
            break;
        if (id == ID_QUERY_CLASS) {
            CClassQueryWindow window(*m_connection, m_clock, this);
            window.exec();
        } else {
            CDateQueryWindow window(*m_connection, m_clock, this);
            window.exec();
        }
        break;
    case ID_BUDGET_EXECUTION:
    case ID_BUDGET_PLAN:
        if (!ui::connectionOrSay(this, connection()))
            break;
        if (id == ID_BUDGET_EXECUTION) {
            CBudgetWindow window(*m_connection, m_clock, this);
            window.exec();
        } else {
            CBudgetPlanDialog dialog(m_connection.get(), this);
            dialog.exec();
        }
        break;
    case ID_USERS: {
        CUsersDialog dialog(connection(), m_userName, this);
        dialog.exec();
        break;
    }
    case ID_CHANGE_PASSWORD: {
        CPasswordDialog dialog(connection(), m_userName, this);
        dialog.exec();
        break;
    }
    case ID_BACKUP_RESTORE: {
        CBackupDialog dialog(this, m_clock, this);
        dialog.exec();
        break;
    }
    case ID_STOCKS_FUNDS:
    case ID_STOCKS_FUNDS_TOOLBAR: {
        CLinksDialog dialog(this);
        dialog.exec();
        break;
    }
    case ID_HELP:
        app::openHelpPage();
        break;
    case ID_FIND:
        if (ui::connectionOrSay(this, connection())) {
            // The found entry opens for change as in the journal.
            CFindWindow window(*m_connection, [this](const QString &number, QWidget *parent) {
                CKassoltView *journal = ledgerView(0);
                return journal && journal->changeEntryNumbered(number, parent);
            }, m_clock(), this);
            window.exec();
        }
        break;
    case ID_BALANCES:
        if (ui::connectionOrSay(this, connection())) {
            CBalancesWindow window(*m_connection, m_clock(), this);
            window.exec();
        }
        break;
    default:
        break;
    }
    refreshIfBooksChanged();
}
