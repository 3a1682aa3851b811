// The conversion of the module's 8-bit text into the UTF-16 of the debug log.
#pragma once

#include <cstddef>
#include <cstdint>

// Converts `length` bytes into at most `capacity` UTF-16 code units at `output` and returns their count.
// With a null `output` only counts. Text is read in the system's 8-bit character set.
size_t ConvertToUtf16(const char* text, size_t length, uint16_t* output, size_t capacity);
