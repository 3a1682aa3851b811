// The bundled sample starfield of `corvane demo`: made by the seeded generator, so every build makes
// the same picture and the repository need not carry it.
#pragma once

#include <string>

#include "tools/cli/ImageFile.h"

// Makes the sample (16-bit RGB). False with the reason when the generator is not available.
bool MakeSampleStarfield(ImageFile* image, std::string* error);
