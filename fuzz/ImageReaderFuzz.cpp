// One image reader on any bytes: it either reads an image of the size and layout it reports, or refuses
// with a reason; it never touches memory it does not own. Built once per reader, which the build names
// in CORVANE_FUZZ_READER (ReadTiffFile, ReadPngFile or ReadFitsFile).
#include <cstdlib>

#include "fuzz/FuzzFile.h"
#include "tools/cli/ImageFormats.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    ImageFile image;
    std::string error;
    if (!CORVANE_FUZZ_READER(FuzzFile(data, size), &image, &error)) {
        if (error.empty())
            std::abort(); // a refusal always says why
        return 0;
    }
    // The filter goes on to read every sample of the size reported: the last one must exist.
    if (image.width < 1 || image.height < 1 || image.width > kMaxImageSide || image.height > kMaxImageSide ||
        image.pixels == nullptr)
        std::abort();
    volatile uint8_t last = image.pixels[PixelBytes(image) - 1];
    (void)last;
    return 0;
}
