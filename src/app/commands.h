#pragma once

#include "ledger/ledger_commands.h"

// Command and control identifiers of the menus, toolbar and dialogs.
namespace cmd {
using ledger::cmd::ID_DELETE_ENTRY;
using ledger::cmd::ID_FILTER;
using ledger::cmd::ID_MODIFY_ENTRY;
using ledger::cmd::ID_NEW_ENTRY;
using ledger::cmd::ID_PRINT_PREVIEW;
using ledger::cmd::ID_SETTINGS;
inline constexpr int ID_STOCKS_FUNDS = 32819;
inline constexpr int ID_STOCKS_FUNDS_TOOLBAR = 32820;
inline constexpr int ID_APP_EXIT = 57665;
inline constexpr int ID_VIEW_TOOLBAR = 59392;
inline constexpr int ID_VIEW_STATUS_BAR = 59393;
inline constexpr int ID_QUERY_CLASS = 32787;
inline constexpr int ID_QUERY_DATE = 32811;
inline constexpr int ID_USERS = 32813;
inline constexpr int ID_CHANGE_PASSWORD = 32815;
inline constexpr int ID_BACKUP_RESTORE = 32818;
inline constexpr int ID_APP_ABOUT = 57664;
inline constexpr int ID_HELP = 32816;
inline constexpr int ID_DATE_COMBO = 32814;
inline constexpr int ID_IMPORT_BILL = 32830;
inline constexpr int ID_IMPORT_LIST = 32831;
inline constexpr int ID_BUDGET_PLAN = 32840;
inline constexpr int ID_BUDGET_EXECUTION = 32841;
// The book commands of the first menu: a new book, another book, and the
// books opened last (four numbers from ID_RECENT_BOOK).
inline constexpr int ID_NEW_BOOK = 32900;
inline constexpr int ID_OPEN_BOOK = 32901;
inline constexpr int ID_RECENT_BOOK = 32902;
// Finding entries across all dates, and the balances of the accounts.
inline constexpr int ID_FIND = 32962;
inline constexpr int ID_BALANCES = 32963;
inline constexpr int ID_EDIT_UNDO = 57643;
inline constexpr int ID_EDIT_REDO = 57644;

// The commands that reach the ledger view and whose windows exist; the
// others stay disabled in the menus until they are built.
bool isViewCommandAvailable(int id);
} // namespace cmd
