#include "app/commands.h"

bool cmd::isViewCommandAvailable(int id)
{
    return id == ID_SETTINGS;
}
