#include "host/MainDialog.h"

bool RunMainDialog()
{
    return false;
}
