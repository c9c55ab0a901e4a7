#include "app/commands.h"

bool cmd::isViewCommandAvailable(int id)
{
    return id == ID_SETTINGS || id == ID_NEW_ENTRY || id == ID_MODIFY_ENTRY || id == ID_DELETE_ENTRY;
}
