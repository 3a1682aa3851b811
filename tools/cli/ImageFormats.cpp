#include "tools/cli/ImageFormats.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <strings.h>
#include <sys/stat.h>
#include <unistd.h>

const char* FileFormatName(FileFormat format)
{
    switch (format) {
    case FileFormat::Tiff: return "TIFF";
    case FileFormat::Png: return "PNG";
    case FileFormat::Fits: return "FITS";
    case FileFormat::Unknown: break;
    }
    return "unknown";
}

FileFormat FormatFromExtension(const std::string& path)
{
    size_t dot = path.find_last_of('.');
    size_t slash = path.find_last_of('/');
    if (dot == std::string::npos || (slash != std::string::npos && dot < slash))
        return FileFormat::Unknown;
    const char* ext = path.c_str() + dot + 1;
    if (strcasecmp(ext, "tif") == 0 || strcasecmp(ext, "tiff") == 0)
        return FileFormat::Tiff;
    if (strcasecmp(ext, "png") == 0)
        return FileFormat::Png;
    if (strcasecmp(ext, "fits") == 0 || strcasecmp(ext, "fit") == 0 || strcasecmp(ext, "fts") == 0)
        return FileFormat::Fits;
    return FileFormat::Unknown;
}

FileFormat FormatFromMagic(const uint8_t* bytes, size_t count)
{
    static const uint8_t kPng[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    if (count >= 8 && std::memcmp(bytes, kPng, 8) == 0)
        return FileFormat::Png;
    // Classic TIFF (42) and BigTIFF (43), either byte order.
    if (count >= 4 && ((bytes[0] == 'I' && bytes[1] == 'I' && (bytes[2] == 42 || bytes[2] == 43) && bytes[3] == 0) ||
                       (bytes[0] == 'M' && bytes[1] == 'M' && bytes[2] == 0 && (bytes[3] == 42 || bytes[3] == 43))))
        return FileFormat::Tiff;
    // Every FITS file starts with the SIMPLE card.
    if (count >= 9 && std::memcmp(bytes, "SIMPLE  =", 9) == 0)
        return FileFormat::Fits;
    return FileFormat::Unknown;
}

bool ReadImageFile(const std::string& path, ImageFile* image, FileFormat* format, std::string* error)
{
    *format = FileFormat::Unknown;
    // Opened without waiting, so that a pipe with no writer cannot hold the open up before the check.
    int descriptor = open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (descriptor < 0) {
        *error = std::strerror(errno);
        return false;
    }
    struct stat info;
    if (fstat(descriptor, &info) != 0) {
        *error = std::strerror(errno);
        close(descriptor);
        return false;
    }
    if (!S_ISREG(info.st_mode)) {
        *error = S_ISDIR(info.st_mode) ? "is a folder" : "not a regular file (a pipe, device or socket)";
        close(descriptor);
        return false;
    }
    uint8_t head[16];
    ssize_t count = read(descriptor, head, sizeof head);
    const int readError = errno;
    close(descriptor);
    if (count <= 0) {
        *error = count < 0 ? std::strerror(readError) : "empty file";
        return false;
    }
    *format = FormatFromMagic(head, size_t(count));
    switch (*format) {
    case FileFormat::Tiff: return ReadTiffFile(path, image, error);
    case FileFormat::Png: return ReadPngFile(path, image, error);
    case FileFormat::Fits: return ReadFitsFile(path, image, error);
    case FileFormat::Unknown: break;
    }
    *error = "unsupported format (not a TIFF, PNG or FITS file)";
    return false;
}

std::string CheckStorable(FileFormat format, const ImageFile& image)
{
    switch (format) {
    case FileFormat::Png:
        if (image.format == SampleFormat::F32)
            return "PNG cannot hold 32-bit float samples (write a .tif or .fits file)";
        return "";
    case FileFormat::Fits:
        if (image.hasAlpha)
            return "FITS cannot hold an alpha channel (write a .tif or .png file)";
        return "";
    case FileFormat::Tiff: return "";
    case FileFormat::Unknown: break;
    }
    return "unknown output format (use .tif, .png or .fits)";
}

bool WriteImage(OutputFile* file, FileFormat format, const ImageFile& image, std::string* error)
{
    std::string reason = CheckStorable(format, image);
    if (!reason.empty()) {
        *error = reason;
        return false;
    }
    switch (format) {
    case FileFormat::Tiff: return WriteTiffFile(file, image, error);
    case FileFormat::Png: return WritePngFile(file, image, error);
    case FileFormat::Fits: return WriteFitsFile(file, image, error);
    case FileFormat::Unknown: break;
    }
    return false;
}

bool WriteImageFile(const std::string& path, FileFormat format, const ImageFile& image, std::string* error)
{
    OutputFile file;
    file.descriptor = open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
    if (file.descriptor < 0) {
        *error = std::strerror(errno);
        return false;
    }
    bool written = WriteImage(&file, format, image, error);
    if (close(file.descriptor) != 0 && file.error == 0)
        file.error = errno;
    if (written && file.error != 0) {
        *error = std::strerror(file.error);
        written = false;
    }
    return written;
}
