#include "tools/harness/ModuleLoader.h"

#include <cstring>

namespace {

// The property list starts at offset 10, so its 4-byte fields are not aligned: read bytewise.
uint32_t ReadUint32(const uint8_t* p)
{
    uint32_t v;
    std::memcpy(&v, p, 4);
    return v;
}

constexpr size_t kPiplHeaderSize = 10;
constexpr size_t kPropertyHeaderSize = 16;

} // namespace

const uint8_t* FindPiplProperty(const uint8_t* pipl, size_t size, uint32_t key, uint32_t* length)
{
    if (pipl == nullptr || size < kPiplHeaderSize)
        return nullptr;
    int16_t reserved;
    std::memcpy(&reserved, pipl, 2);
    if (reserved != 1)
        return nullptr;
    const uint32_t count = ReadUint32(pipl + 6);
    size_t offset = kPiplHeaderSize;
    for (uint32_t i = 0; i < count; ++i) {
        if (size - offset < kPropertyHeaderSize)
            return nullptr;
        const uint32_t vendor = ReadUint32(pipl + offset);
        const uint32_t propertyKey = ReadUint32(pipl + offset + 4);
        const uint32_t propertyLength = ReadUint32(pipl + offset + 12);
        offset += kPropertyHeaderSize;
        // The length may or may not include the padding; the next property starts after the padding.
        const uint64_t padded = (uint64_t(propertyLength) + 3u) & ~uint64_t(3);
        if (uint64_t(size - offset) < propertyLength)
            return nullptr;
        if (vendor == kPhotoshopSignature && propertyKey == key) {
            if (length != nullptr)
                *length = propertyLength;
            return pipl + offset;
        }
        if (uint64_t(size - offset) < padded)
            return nullptr;
        offset += size_t(padded);
    }
    return nullptr;
}

bool ReadEntryPointName(const uint8_t* pipl, size_t size, std::string* name)
{
    uint32_t length = 0;
    const uint8_t* data = FindPiplProperty(pipl, size, FourCC("8664"), &length);
    if (data == nullptr)
        return false;
    const void* end = std::memchr(data, 0, length);
    if (end == nullptr || end == data)
        return false;
    name->assign(reinterpret_cast<const char*>(data), size_t(static_cast<const uint8_t*>(end) - data));
    return true;
}
