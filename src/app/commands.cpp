#include "app/commands.h"

bool cmd::isViewCommandAvailable(int id)
{
    return id == ID_SETTINGS || id == ID_PRINT_PREVIEW;
}
