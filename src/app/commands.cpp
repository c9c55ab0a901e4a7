#include "app/commands.h"

#include <initializer_list>

bool cmd::isViewCommandAvailable(int id)
{
    // The users, password, backup, links and help windows open from the main window.
    for (int frameCommand : {ID_USERS, ID_CHANGE_PASSWORD, ID_BACKUP_RESTORE, ID_STOCKS_FUNDS,
                             ID_STOCKS_FUNDS_TOOLBAR, ID_HELP})
        if (id == frameCommand)
            return true;
    return id == ID_SETTINGS;
}
