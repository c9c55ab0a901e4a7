#include "app/commands.h"

bool cmd::isViewCommandAvailable(int id)
{
    return id == ID_SETTINGS || id == ID_QUERY_CLASS || id == ID_QUERY_DATE;
}
