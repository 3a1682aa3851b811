#include "tools/harness/PngWriter.h"

#include <cstdio>
#include <vector>

namespace {

uint32_t Crc32(const uint8_t* data, size_t size, uint32_t crc = 0)
{
    crc = ~crc;
    for (size_t i = 0; i < size; ++i) {
        crc ^= data[i];
        for (int bit = 0; bit < 8; ++bit)
            crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
    }
    return ~crc;
}

void PutBig32(std::vector<uint8_t>* out, uint32_t value)
{
    for (int shift = 24; shift >= 0; shift -= 8)
        out->push_back(uint8_t(value >> shift));
}

void PutChunk(std::vector<uint8_t>* file, const char type[4], const std::vector<uint8_t>& data)
{
    PutBig32(file, uint32_t(data.size()));
    const size_t start = file->size();
    file->insert(file->end(), type, type + 4);
    file->insert(file->end(), data.begin(), data.end());
    PutBig32(file, Crc32(file->data() + start, file->size() - start));
}

// A zlib stream of stored blocks (at most 65535 bytes each) with its Adler-32 check.
std::vector<uint8_t> StoredZlib(const std::vector<uint8_t>& raw)
{
    std::vector<uint8_t> out{0x78, 0x01};
    size_t at = 0;
    do {
        const size_t length = raw.size() - at < 65535 ? raw.size() - at : 65535;
        out.push_back(at + length == raw.size() ? 1 : 0); // final block?
        out.push_back(uint8_t(length));
        out.push_back(uint8_t(length >> 8));
        out.push_back(uint8_t(~length));
        out.push_back(uint8_t(~length >> 8));
        out.insert(out.end(), raw.begin() + long(at), raw.begin() + long(at + length));
        at += length;
    } while (at < raw.size());
    uint32_t a = 1, b = 0;
    for (const uint8_t byte : raw) {
        a = (a + byte) % 65521;
        b = (b + a) % 65521;
    }
    PutBig32(&out, (b << 16) | a);
    return out;
}

} // namespace

bool WritePng(const std::string& path, int32_t width, int32_t height, const uint8_t* rgb)
{
    if (width <= 0 || height <= 0)
        return false;
    std::vector<uint8_t> raw; // each row led by filter type 0 (none)
    const size_t rowBytes = size_t(width) * 3;
    raw.reserve((rowBytes + 1) * size_t(height));
    for (int32_t y = 0; y < height; ++y) {
        raw.push_back(0);
        raw.insert(raw.end(), rgb + size_t(y) * rowBytes, rgb + size_t(y + 1) * rowBytes);
    }
    std::vector<uint8_t> header;
    PutBig32(&header, uint32_t(width));
    PutBig32(&header, uint32_t(height));
    header.insert(header.end(), {8, 2, 0, 0, 0}); // 8 bits, RGB, deflate, adaptive filters, no interlace

    std::vector<uint8_t> file{0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    PutChunk(&file, "IHDR", header);
    PutChunk(&file, "IDAT", StoredZlib(raw));
    PutChunk(&file, "IEND", {});
    std::FILE* out = std::fopen(path.c_str(), "wb");
    if (out == nullptr)
        return false;
    const bool written = std::fwrite(file.data(), file.size(), 1, out) == 1;
    return std::fclose(out) == 0 && written;
}
