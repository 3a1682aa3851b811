// The file formats the command-line host reads and writes, and the choice between them.
//
// A file is recognised by its content (magic bytes), never by its name, so a misnamed file is still
// read correctly; the name only chooses the format of an output file.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "tools/cli/ImageFile.h"
#include "tools/cli/SafeOutput.h"

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

// Reads any supported file; anything but a regular file (a pipe or device could block for ever or never
// end) is refused. On failure `error` holds the reason (without the file name).
bool ReadImageFile(const std::string& path, ImageFile* image, FileFormat* format, std::string* error);

// Why `format` cannot hold `image` as it is (for example floats in a PNG), or an empty string.
std::string CheckStorable(FileFormat format, const ImageFile& image);

// Writes `image` in `format` to the open file, from its current position. A failed write of the file
// itself is also kept in `file` (SafeOutput then refuses to complete the output).
bool WriteImage(OutputFile* file, FileFormat format, const ImageFile& image, std::string* error);
// The same into `path`, created or truncated, for tests and tools: without SafeOutput's replacement
// in one step, a failed write leaves a partial file.
bool WriteImageFile(const std::string& path, FileFormat format, const ImageFile& image, std::string* error);

// The codecs behind the routines above.
bool ReadTiffFile(const std::string& path, ImageFile* image, std::string* error);
bool WriteTiffFile(OutputFile* file, const ImageFile& image, std::string* error);
bool ReadPngFile(const std::string& path, ImageFile* image, std::string* error);
bool WritePngFile(OutputFile* file, const ImageFile& image, std::string* error);
bool ReadFitsFile(const std::string& path, ImageFile* image, std::string* error);
bool WriteFitsFile(OutputFile* file, const ImageFile& image, std::string* error);
