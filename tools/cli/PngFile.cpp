// PNG through libpng: 8/16-bit grey, grey + alpha, RGB and RGBA. Palette images, grey below 8 bits
// and tRNS transparency are expanded to 8-bit samples on reading (they have no host mode of their
// own); an output then holds the expanded form.
#include <algorithm>
#include <cerrno>
#include <csetjmp>
#include <cstdio>
#include <cstring>
#include <png.h>

#include "tools/cli/ImageFormats.h"

namespace {

// libpng reports errors by longjmp; the text is kept to explain the failure.
struct PngErrorState
{
    char message[256];
};

void KeepPngError(png_structp png, png_const_charp message)
{
    auto* state = static_cast<PngErrorState*>(png_get_error_ptr(png));
    std::snprintf(state->message, sizeof state->message, "%s", message);
    png_longjmp(png, 1);
}

void IgnorePngWarning(png_structp, png_const_charp) {}

bool IsLittleEndianHost()
{
    const uint16_t probe = 1;
    uint8_t first;
    std::memcpy(&first, &probe, 1);
    return first == 1;
}

// Everything that must be released however the read ends; plain data, so longjmp may skip past it.
struct PngReadContext
{
    std::FILE* file = nullptr;
    png_structp png = nullptr;
    png_infop info = nullptr;
    png_bytep* rows = nullptr;
};

// Runs the libpng calls between setjmp and longjmp; holds no object with a destructor. Returns 0,
// 1 for a libpng error (text in `state`) or 2 for a layout that AllocatePixels refused.
int DecodePng(PngReadContext* context, PngErrorState* state, ImageFile* image, std::string* error)
{
    if (setjmp(png_jmpbuf(context->png)))
        return 1;
    png_init_io(context->png, context->file);
    png_set_user_limits(context->png, 0x7FFFFFFF, 0x7FFFFFFF); // our own limit is checked below with a clear text
    png_read_info(context->png, context->info);

    png_uint_32 width = png_get_image_width(context->png, context->info);
    png_uint_32 height = png_get_image_height(context->png, context->info);
    int bitDepth = png_get_bit_depth(context->png, context->info);
    int colourType = png_get_color_type(context->png, context->info);

    if (colourType == PNG_COLOR_TYPE_PALETTE)
        png_set_palette_to_rgb(context->png);
    if (colourType == PNG_COLOR_TYPE_GRAY && bitDepth < 8)
        png_set_expand_gray_1_2_4_to_8(context->png);
    if (png_get_valid(context->png, context->info, PNG_INFO_tRNS))
        png_set_tRNS_to_alpha(context->png);
    if (bitDepth == 16 && IsLittleEndianHost())
        png_set_swap(context->png);
    png_set_interlace_handling(context->png);
    png_read_update_info(context->png, context->info);

    int channels = png_get_channels(context->png, context->info);
    image->colourChannels = channels >= 3 ? 3 : 1;
    image->hasAlpha = channels == 2 || channels == 4;
    image->format = png_get_bit_depth(context->png, context->info) == 16 ? SampleFormat::U16 : SampleFormat::U8;
    image->width = int32_t(width);
    image->height = int32_t(height);
    if (!AllocatePixels(image, error))
        return 2;
    if (png_get_rowbytes(context->png, context->info) != RowBytes(*image)) {
        std::snprintf(state->message, sizeof state->message, "unexpected PNG row layout");
        return 1;
    }

    png_charp name = nullptr;
    int compression = 0;
    png_bytep profile = nullptr;
    png_uint_32 profileSize = 0;
    if (png_get_iCCP(context->png, context->info, &name, &compression, &profile, &profileSize) && profileSize > 0)
        image->iccProfile.assign(profile, profile + profileSize);

    context->rows = static_cast<png_bytep*>(std::malloc(sizeof(png_bytep) * size_t(height)));
    if (context->rows == nullptr) {
        std::snprintf(state->message, sizeof state->message, "not enough memory");
        return 1;
    }
    for (png_uint_32 y = 0; y < height; ++y)
        context->rows[y] = image->pixels.get() + size_t(y) * RowBytes(*image);
    png_read_image(context->png, context->rows);
    png_read_end(context->png, nullptr);
    return 0;
}

struct PngWriteContext
{
    OutputFile* file = nullptr;
    png_structp png = nullptr;
    png_infop info = nullptr;
    png_bytep* rows = nullptr;
};

// libpng writes through the output file, whose every write is checked; the first failure ends the
// encoding at once.
void WritePngBytes(png_structp png, png_bytep bytes, size_t size)
{
    auto* file = static_cast<OutputFile*>(png_get_io_ptr(png));
    if (!WriteToOutput(file, bytes, size))
        png_error(png, std::strerror(file->error));
}

void FlushNothing(png_structp) {}

int EncodePng(PngWriteContext* context, PngErrorState* state, const ImageFile& image)
{
    if (setjmp(png_jmpbuf(context->png)))
        return 1;
    png_set_write_fn(context->png, context->file, WritePngBytes, FlushNothing);
    // A profile libpng finds inconsistent (say, an RGB profile on a grey image) is left out instead
    // of failing the whole output.
    png_set_benign_errors(context->png, 1);
    int colourType = image.colourChannels == 3 ? (image.hasAlpha ? PNG_COLOR_TYPE_RGB_ALPHA : PNG_COLOR_TYPE_RGB)
                                               : (image.hasAlpha ? PNG_COLOR_TYPE_GRAY_ALPHA : PNG_COLOR_TYPE_GRAY);
    png_set_IHDR(context->png, context->info, png_uint_32(image.width), png_uint_32(image.height),
                 BitsPerSample(image.format), colourType, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
                 PNG_FILTER_TYPE_DEFAULT);
    if (!image.iccProfile.empty())
        png_set_iCCP(context->png, context->info, "ICC profile", PNG_COMPRESSION_TYPE_BASE, image.iccProfile.data(),
                     png_uint_32(image.iccProfile.size()));
    png_write_info(context->png, context->info);
    if (image.format == SampleFormat::U16 && IsLittleEndianHost())
        png_set_swap(context->png);

    context->rows = static_cast<png_bytep*>(std::malloc(sizeof(png_bytep) * size_t(image.height)));
    if (context->rows == nullptr) {
        std::snprintf(state->message, sizeof state->message, "not enough memory");
        return 1;
    }
    for (int32_t y = 0; y < image.height; ++y)
        context->rows[y] = const_cast<uint8_t*>(image.pixels.get()) + size_t(y) * RowBytes(image);
    png_write_image(context->png, context->rows);
    png_write_end(context->png, nullptr);
    return 0;
}

// The sides from the IHDR chunk, which must follow the signature. libpng would read on to the pixel
// data before telling the size, so a file whose size alone rules it out would be reported as damaged.
bool CheckPngSides(std::FILE* file, std::string* error)
{
    uint8_t head[24];
    if (std::fread(head, 1, sizeof head, file) != sizeof head || std::memcmp(head + 12, "IHDR", 4) != 0) {
        std::rewind(file);
        return true; // libpng explains what is wrong
    }
    std::rewind(file);
    auto side = [&](int at) {
        return uint32_t(head[at]) << 24 | uint32_t(head[at + 1]) << 16 | uint32_t(head[at + 2]) << 8 | head[at + 3];
    };
    ImageFile probe;
    probe.width = int32_t(std::min<uint32_t>(side(16), INT32_MAX));
    probe.height = int32_t(std::min<uint32_t>(side(20), INT32_MAX));
    probe.colourChannels = 1;
    if (probe.width > 0 && probe.height > 0 && probe.width <= kMaxImageSide && probe.height <= kMaxImageSide)
        return true;
    return AllocatePixels(&probe, error); // fails with the message for the size
}

} // namespace

bool ReadPngFile(const std::string& path, ImageFile* image, std::string* error)
{
    PngErrorState state{};
    PngReadContext context;
    context.file = std::fopen(path.c_str(), "rb");
    if (context.file == nullptr) {
        *error = std::strerror(errno);
        return false;
    }
    if (!CheckPngSides(context.file, error)) {
        std::fclose(context.file);
        return false;
    }
    context.png = png_create_read_struct(PNG_LIBPNG_VER_STRING, &state, KeepPngError, IgnorePngWarning);
    if (context.png != nullptr)
        context.info = png_create_info_struct(context.png);
    int outcome = 1;
    if (context.info != nullptr)
        outcome = DecodePng(&context, &state, image, error);
    else
        std::snprintf(state.message, sizeof state.message, "not enough memory");
    png_destroy_read_struct(&context.png, &context.info, nullptr);
    std::free(context.rows);
    std::fclose(context.file);
    if (outcome == 1) {
        image->pixels.reset();
        *error = std::string("truncated or damaged PNG (") + state.message + ")";
    }
    return outcome == 0;
}

bool WritePngFile(OutputFile* file, const ImageFile& image, std::string* error)
{
    PngErrorState state{};
    PngWriteContext context;
    context.file = file;
    context.png = png_create_write_struct(PNG_LIBPNG_VER_STRING, &state, KeepPngError, IgnorePngWarning);
    if (context.png != nullptr)
        context.info = png_create_info_struct(context.png);
    int outcome = 1;
    if (context.info != nullptr)
        outcome = EncodePng(&context, &state, image);
    else
        std::snprintf(state.message, sizeof state.message, "not enough memory");
    png_destroy_write_struct(&context.png, &context.info);
    std::free(context.rows);
    if (outcome != 0) {
        *error = std::string("cannot write the PNG file (") + state.message + ")";
        return false;
    }
    return true;
}
