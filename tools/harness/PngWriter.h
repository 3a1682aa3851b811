// Writing an 8-bit RGB picture as a PNG file without any library: the image data goes into stored
// (uncompressed) deflate blocks, which every PNG reader accepts. For screenshots of the test runs, where
// a few hundred kilobytes more than a compressed file cost nothing.
#pragma once

#include <cstdint>
#include <string>

// `rgb` holds `height` rows of `width` pixels, top row first, three bytes (red, green, blue) per pixel.
bool WritePng(const std::string& path, int32_t width, int32_t height, const uint8_t* rgb);
