#include "diag/SystemErrorText.h"

#include <cstring>

#include <windows.h>

bool GetSystemErrorText(uint32_t code, char* destination, size_t capacity)
{
    if (capacity == 0)
        return false;
    char* text = nullptr;
    DWORD length = FormatMessageA(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM, nullptr, code, 0,
                                  reinterpret_cast<char*>(&text), 0, nullptr);
    if (length == 0 || text == nullptr)
        return false;
    size_t copied = length < capacity ? length : capacity - 1;
    std::memcpy(destination, text, copied);
    destination[copied] = '\0';
    LocalFree(text);
    return true;
}
