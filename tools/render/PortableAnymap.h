// Binary PPM and PGM files (P6, P5) with 8-bit or 16-bit samples: the simplest image files that every
// viewer and converter reads, enough to look at what the engine draws.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct AnymapImage
{
    int32_t width = 0;
    int32_t height = 0;
    int32_t channels = 0;          // 1 (PGM) or 3 (PPM)
    int32_t maxValue = 0;          // 255 or up to 65535
    std::vector<uint16_t> samples; // interleaved, row by row
};

// False with a message in `error` when the file cannot be read or is not a binary PGM or PPM.
bool ReadAnymap(const std::string& path, AnymapImage* image, std::string* error);
bool WriteAnymap(const std::string& path, const AnymapImage& image, std::string* error);
