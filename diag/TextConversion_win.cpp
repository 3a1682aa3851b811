#include "diag/TextConversion.h"

#include <windows.h>

size_t ConvertToUtf16(const char* text, size_t length, uint16_t* output, size_t capacity)
{
    if (length == 0 || length > 0x7FFFFFFF)
        return 0;
    int count =
        MultiByteToWideChar(CP_THREAD_ACP, 0, text, static_cast<int>(length), reinterpret_cast<wchar_t*>(output),
                            output == nullptr ? 0 : static_cast<int>(capacity > 0x7FFFFFFF ? 0x7FFFFFFF : capacity));
    return count > 0 ? static_cast<size_t>(count) : 0;
}
