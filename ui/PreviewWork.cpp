#include "ui/PreviewWork.h"

bool PreviewWorkProc(int32_t)
{
    return false;
}
