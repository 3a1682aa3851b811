#include "diag/SystemErrorText.h"

#include <cstdio>
#include <cstring>

// The codes reported here are errno values; glibc names the ones it knows and answers null otherwise,
// which is what lets an unknown code fall back to the reporter's own wording.
bool GetSystemErrorText(uint32_t code, char* destination, size_t capacity)
{
    if (capacity == 0 || code > 0x7FFFFFFFu)
        return false;
    const char* text = strerrordesc_np(static_cast<int>(code));
    if (text == nullptr)
        return false;
    std::snprintf(destination, capacity, "%s", text);
    return true;
}
