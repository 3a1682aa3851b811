// The file formats the command-line host reads and writes, and the choice between them.
//
// A file is recognised by its content (magic bytes), never by its name, so a misnamed file is still
// read correctly; the name only chooses the format of an output file.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "tools/cli/ImageFile.h"

enum class FileFormat
{
    Unknown,
    Tiff,
    Png,
    Fits,
};

const char* FileFormatName(FileFormat format);

// The format an output name asks for through its extension (any case), or Unknown.
FileFormat FormatFromExtension(const std::string& path);
// The format whose signature starts `bytes`, or Unknown.
FileFormat FormatFromMagic(const uint8_t* bytes, size_t count);

// Reads any supported file. On failure `error` holds the reason (without the file name).
bool ReadImageFile(const std::string& path, ImageFile* image, FileFormat* format, std::string* error);

// Why `format` cannot hold `image` as it is (for example floats in a PNG), or an empty string.
std::string CheckStorable(FileFormat format, const ImageFile& image);

// Writes `image` to `path` in `format`, replacing what is there. Durability and atomic replacement
// are the caller's business (SafeOutput); a failed write may leave a partial file at `path`.
bool WriteImageFile(const std::string& path, FileFormat format, const ImageFile& image, std::string* error);

// The codecs behind the two routines above.
bool ReadTiffFile(const std::string& path, ImageFile* image, std::string* error);
bool WriteTiffFile(const std::string& path, const ImageFile& image, std::string* error);
bool ReadPngFile(const std::string& path, ImageFile* image, std::string* error);
bool WritePngFile(const std::string& path, const ImageFile& image, std::string* error);
bool ReadFitsFile(const std::string& path, ImageFile* image, std::string* error);
bool WriteFitsFile(const std::string& path, const ImageFile& image, std::string* error);
