#include "diag/FileOutput.h"

#include <cstring>

#include "diag/FolderListing.h"

namespace {

constexpr const char kReplacementSuffix[] = ".corvane-XXXXXX";

bool IsSeparator(char c)
{
    return c == '/' || c == kPathSeparator[0];
}

} // namespace

bool FormatReplacementPattern(const char* path, size_t nameLimit, char* pattern, size_t capacity)
{
    size_t nameStart = 0;
    const size_t length = std::strlen(path);
    for (size_t i = 0; i < length; ++i)
        if (IsSeparator(path[i]))
            nameStart = i + 1;
    const size_t fixed = 1 + sizeof kReplacementSuffix - 1; // the leading period and the suffix
    if (nameLimit <= fixed)
        return false;
    size_t nameLength = length - nameStart;
    if (nameLength > nameLimit - fixed) {
        nameLength = nameLimit - fixed;
        // A cut inside a UTF-8 sequence would leave a name no one can read; cut before it instead.
        while (nameLength > 0 && (static_cast<unsigned char>(path[nameStart + nameLength]) & 0xC0) == 0x80)
            --nameLength;
    }
    const size_t total = nameStart + 1 + nameLength + sizeof kReplacementSuffix - 1;
    if (total + 1 > capacity)
        return false;
    std::memcpy(pattern, path, nameStart);
    pattern[nameStart] = '.';
    std::memcpy(pattern + nameStart + 1, path + nameStart, nameLength);
    std::memcpy(pattern + nameStart + 1 + nameLength, kReplacementSuffix, sizeof kReplacementSuffix);
    return true;
}
