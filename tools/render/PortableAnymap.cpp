#include "tools/render/PortableAnymap.h"

#include <cctype>
#include <cstdio>
#include <memory>

namespace {

using File = std::unique_ptr<std::FILE, int (*)(std::FILE*)>;

// Header fields are separated by whitespace and may be interleaved with comments.
bool ReadHeaderNumber(std::FILE* file, int32_t* value)
{
    int c = std::fgetc(file);
    while (c != EOF && (std::isspace(c) || c == '#')) {
        if (c == '#')
            while (c != EOF && c != '\n')
                c = std::fgetc(file);
        c = std::fgetc(file);
    }
    int64_t number = 0;
    bool any = false;
    while (c != EOF && std::isdigit(c)) {
        number = number * 10 + (c - '0');
        if (number > 0x7FFFFFFF)
            return false;
        any = true;
        c = std::fgetc(file);
    }
    *value = int32_t(number);
    // The single whitespace after the last header field belongs to the header.
    return any && c != EOF && std::isspace(c);
}

} // namespace

bool ReadAnymap(const std::string& path, AnymapImage* image, std::string* error)
{
    File file(std::fopen(path.c_str(), "rb"), std::fclose);
    if (!file) {
        *error = "cannot open " + path;
        return false;
    }
    char magic[2] = {0, 0};
    if (std::fread(magic, 1, 2, file.get()) != 2 || magic[0] != 'P' || (magic[1] != '5' && magic[1] != '6')) {
        *error = path + " is not a binary PGM (P5) or PPM (P6) file";
        return false;
    }
    AnymapImage read;
    read.channels = magic[1] == '6' ? 3 : 1;
    if (!ReadHeaderNumber(file.get(), &read.width) || !ReadHeaderNumber(file.get(), &read.height) ||
        !ReadHeaderNumber(file.get(), &read.maxValue)) {
        *error = path + ": damaged header";
        return false;
    }
    if (read.width < 1 || read.height < 1 || read.width > 32767 || read.height > 32767 || read.maxValue < 1 ||
        read.maxValue > 65535) {
        *error = path + ": size or depth out of range (at most 32767 x 32767, 16 bits)";
        return false;
    }
    const size_t count = size_t(read.width) * size_t(read.height) * size_t(read.channels);
    const size_t bytesPerSample = read.maxValue > 255 ? 2 : 1;
    std::vector<uint8_t> bytes(count * bytesPerSample);
    if (std::fread(bytes.data(), 1, bytes.size(), file.get()) != bytes.size()) {
        *error = path + ": file ends early";
        return false;
    }
    read.samples.resize(count);
    for (size_t i = 0; i < count; ++i) {
        // Samples are big-endian; values above the maximum are taken as the maximum.
        const uint32_t v = bytesPerSample == 2 ? (uint32_t(bytes[2 * i]) << 8) | bytes[2 * i + 1] : bytes[i];
        read.samples[i] = uint16_t(v > uint32_t(read.maxValue) ? read.maxValue : v);
    }
    *image = std::move(read);
    return true;
}

bool WriteAnymap(const std::string& path, const AnymapImage& image, std::string* error)
{
    File file(std::fopen(path.c_str(), "wb"), std::fclose);
    if (!file) {
        *error = "cannot create " + path;
        return false;
    }
    std::fprintf(file.get(), "P%c\n%d %d\n%d\n", image.channels == 3 ? '6' : '5', image.width, image.height,
                 image.maxValue);
    const bool wide = image.maxValue > 255;
    std::vector<uint8_t> bytes;
    bytes.reserve(image.samples.size() * (wide ? 2 : 1));
    for (uint16_t v : image.samples) {
        if (wide)
            bytes.push_back(uint8_t(v >> 8));
        bytes.push_back(uint8_t(v));
    }
    if (std::fwrite(bytes.data(), 1, bytes.size(), file.get()) != bytes.size()) {
        *error = "cannot write " + path;
        return false;
    }
    return true;
}
