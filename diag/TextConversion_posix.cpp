#include "diag/TextConversion.h"

namespace {

// Decodes one UTF-8 sequence at `at`; answers 0 when the bytes are not well-formed UTF-8.
size_t DecodeUtf8(const unsigned char* at, size_t available, uint32_t* codePoint)
{
    unsigned char lead = at[0];
    size_t size = lead < 0x80 ? 1 : (lead >> 5) == 0x6 ? 2 : (lead >> 4) == 0xE ? 3 : (lead >> 3) == 0x1E ? 4 : 0;
    if (size == 0 || size > available)
        return 0;
    uint32_t value = size == 1 ? lead : size == 2 ? (lead & 0x1Fu) : size == 3 ? (lead & 0x0Fu) : (lead & 0x07u);
    for (size_t i = 1; i < size; ++i) {
        if ((at[i] & 0xC0) != 0x80)
            return 0;
        value = (value << 6) | (at[i] & 0x3Fu);
    }
    static const uint32_t kSmallest[5] = {0, 0, 0x80, 0x800, 0x10000};
    if (value < kSmallest[size] || value > 0x10FFFF || (value >= 0xD800 && value <= 0xDFFF))
        return 0;
    *codePoint = value;
    return size;
}

} // namespace

// File names here are UTF-8 as a rule; a byte that is not part of valid UTF-8 is taken as Latin-1, so
// nothing is ever dropped from the log.
size_t ConvertToUtf16(const char* text, size_t length, uint16_t* output, size_t capacity)
{
    const unsigned char* bytes = reinterpret_cast<const unsigned char*>(text);
    size_t count = 0;
    size_t position = 0;
    while (position < length) {
        uint32_t codePoint = bytes[position];
        size_t size = DecodeUtf8(bytes + position, length - position, &codePoint);
        if (size == 0) {
            codePoint = bytes[position];
            size = 1;
        }
        position += size;
        uint16_t units[2];
        size_t unitCount = 1;
        if (codePoint >= 0x10000) {
            codePoint -= 0x10000;
            units[0] = static_cast<uint16_t>(0xD800 + (codePoint >> 10));
            units[1] = static_cast<uint16_t>(0xDC00 + (codePoint & 0x3FF));
            unitCount = 2;
        } else {
            units[0] = static_cast<uint16_t>(codePoint);
        }
        if (output != nullptr) {
            if (count + unitCount > capacity)
                break;
            for (size_t i = 0; i < unitCount; ++i)
                output[count + i] = units[i];
        }
        count += unitCount;
    }
    return count;
}
