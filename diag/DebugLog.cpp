#include "diag/DebugLog.h"

#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "diag/FileOutput.h"
#include "diag/FolderListing.h"
#include "diag/LogRotation.h"
#include "diag/ModuleVersion.h"
#include "diag/TextConversion.h"

namespace {

constexpr const char* kDefaultProductName = "Corvane Pro";
constexpr const char* kLogTimePattern = "on %A, %B %d, %Y at %H:%M:%S";

struct DebugLogState
{
    void* file;        // the open log, or null
    bool attempted;    // set by the first OpenDebugLog whatever came of it; the log never opens twice
    void* ownerWindow; // owner of the message boxes of User reports
    char path[kPathCapacity];
    char productName[64];
};

DebugLogState gLog;

const char* ProductName()
{
    return gLog.productName[0] != '\0' ? gLog.productName : kDefaultProductName;
}

// Text is kept as 8-bit everywhere in the module and widened only here, at the file's edge.
void AppendText(const char* text, size_t length)
{
    size_t units = ConvertToUtf16(text, length, nullptr, 0);
    if (units == 0)
        return;
    uint16_t* wide = static_cast<uint16_t*>(std::malloc(units * sizeof(uint16_t)));
    if (wide == nullptr)
        return;
    units = ConvertToUtf16(text, length, wide, units);
    // Little-endian whatever the machine, to match the byte-order mark.
    uint8_t* bytes = reinterpret_cast<uint8_t*>(wide);
    for (size_t i = 0; i < units; ++i) {
        uint16_t unit = wide[i];
        bytes[2 * i] = static_cast<uint8_t>(unit & 0xFF);
        bytes[2 * i + 1] = static_cast<uint8_t>(unit >> 8);
    }
    AppendLogFile(gLog.file, bytes, units * sizeof(uint16_t));
    std::free(wide);
}

bool LocalNow(std::tm* localTime)
{
    std::time_t now = std::time(nullptr);
    const std::tm* converted = std::localtime(&now);
    if (converted == nullptr)
        return false;
    *localTime = *converted;
    return true;
}

} // namespace

void SetDebugLogProductName(const char* productName)
{
    std::snprintf(gLog.productName, sizeof gLog.productName, "%s", productName != nullptr ? productName : "");
}

size_t FormatLogBanner(char* destination, size_t capacity, const char* productName, const uint32_t version[4],
                       const std::tm& localTime)
{
    char when[128];
    if (std::strftime(when, sizeof when, kLogTimePattern, &localTime) == 0)
        when[0] = '\0';
    int length =
        std::snprintf(destination, capacity, "%s version %u.%u.%u.%u (%s%s) Log opened %s.\n\n", productName,
                      static_cast<unsigned>(version[0]), static_cast<unsigned>(version[1]),
                      static_cast<unsigned>(version[2]), static_cast<unsigned>(version[3]), "64 bit", " Release", when);
    return length > 0 && static_cast<size_t>(length) < capacity ? static_cast<size_t>(length) : 0;
}

size_t FormatLogClosing(char* destination, size_t capacity, const char* productName, const std::tm& localTime)
{
    char when[128];
    if (std::strftime(when, sizeof when, kLogTimePattern, &localTime) == 0)
        when[0] = '\0';
    int length = std::snprintf(destination, capacity, "\n%s Log closed %s.\n", productName, when);
    return length > 0 && static_cast<size_t>(length) < capacity ? static_cast<size_t>(length) : 0;
}

void OpenDebugLog(void* ownerWindow, const char* folder)
{
    gLog.ownerWindow = ownerWindow;
    if (gLog.attempted || gLog.file != nullptr) {
        gLog.attempted = true;
        return;
    }
    gLog.attempted = true;

    char path[kPathCapacity];
    if (!RotateDebugLogs(folder, ProductName(), path, sizeof path)) {
        ReportError(DEBUG_SITE, kStyleError, kCaptionUnexpected, "Can't allocate a debug log file for '%s'",
                    ProductName());
        return;
    }
    uint32_t systemError = 0;
    void* file = CreateLogFile(path, &systemError);
    if (file == nullptr) {
        ReportError(ErrorSite{static_cast<uint32_t>(__LINE__), MessageKind::System, systemError}, kStyleError,
                    kCaptionUnexpected, "Can't open debug log file '%s'", path);
        return;
    }
    static const uint8_t kByteOrderMark[2] = {0xFF, 0xFE};
    AppendLogFile(file, kByteOrderMark, sizeof kByteOrderMark);

    // Read before the log counts as open, so that the banner stays the first line of the file.
    uint32_t version[4] = {};
    if (!GetFixedFileInfo(OwnModule(), version))
        std::memset(version, 0, sizeof version);

    gLog.file = file;
    std::memcpy(gLog.path, path, sizeof path);
    std::tm localTime{};
    LocalNow(&localTime);
    char banner[512];
    size_t length = FormatLogBanner(banner, sizeof banner, ProductName(), version, localTime);
    AppendText(banner, length);
}

void CloseDebugLog()
{
    if (gLog.file == nullptr)
        return;
    std::tm localTime{};
    LocalNow(&localTime);
    char closing[256];
    size_t length = FormatLogClosing(closing, sizeof closing, ProductName(), localTime);
    AppendText(closing, length);
    CloseLogFile(gLog.file);
    gLog.file = nullptr;
    gLog.path[0] = '\0';
}

void WriteDebugLog(const char* format, ...)
{
    if (gLog.file == nullptr || format == nullptr)
        return;
    va_list args;
    va_start(args, format);
    va_list measured;
    va_copy(measured, args);
    int length = std::vsnprintf(nullptr, 0, format, measured);
    va_end(measured);
    char* text = length > 0 ? static_cast<char*>(std::malloc(static_cast<size_t>(length) + 1)) : nullptr;
    if (text != nullptr) {
        std::vsnprintf(text, static_cast<size_t>(length) + 1, format, args);
        AppendText(text, static_cast<size_t>(length));
        std::free(text);
    }
    va_end(args);
}

void* DebugLogOwnerWindow()
{
    return gLog.ownerWindow;
}

const char* DebugLogPath()
{
    return gLog.path;
}

void ResetDebugLog()
{
    if (gLog.file != nullptr)
        CloseLogFile(gLog.file);
    gLog = DebugLogState{};
}
