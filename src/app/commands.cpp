#include "app/commands.h"

#include <algorithm>
#include <iterator>

bool cmd::isViewCommandAvailable(int id)
{
    // The commands whose windows exist; the others stay disabled.
    static constexpr int kBuilt[] = {ID_SETTINGS,        ID_NEW_ENTRY,      ID_MODIFY_ENTRY, ID_DELETE_ENTRY,
                                     ID_USERS,           ID_CHANGE_PASSWORD, ID_BACKUP_RESTORE, ID_STOCKS_FUNDS,
                                     ID_STOCKS_FUNDS_TOOLBAR, ID_HELP, ID_QUERY_CLASS, ID_QUERY_DATE, ID_PRINT_PREVIEW,
                                     ID_BUDGET_PLAN, ID_BUDGET_EXECUTION,
                                     ID_FILTER, ID_FIND, ID_BALANCES};
    return std::find(std::begin(kBuilt), std::end(kBuilt), id) != std::end(kBuilt);
}
