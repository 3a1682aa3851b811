// The operating system's own text for one of its error codes.
#pragma once

#include <cstddef>
#include <cstdint>

// Copies the whole text (line breaks included) into `destination`; false when the system has none.
bool GetSystemErrorText(uint32_t code, char* destination, size_t capacity);
