// The one reporting routine of the module. Every failure, warning and notice goes through here.
//
//   ReportError(ErrorSite{__LINE__, MessageKind::Debug, 0}, kStyleError, kCaptionUnexpected,
//               "ReallocateBuffer() Allocation Failed: Requested = %u", requested);
//
// Debug reports go to the debug log only; User reports are logged and shown in a message box;
// System reports are logged with the operating system's text for `systemError`.
#pragma once

#include <cstdint>

enum class MessageKind : uint32_t
{
    Debug = 0,
    User = 1,
    System = 2,
};

struct ErrorSite
{
    uint32_t line;        // source line of the reporting statement
    MessageKind kind;     // any value other than 0..2 makes the report a no-op
    uint32_t systemError; // the Win32 error code at the site; read only for System reports
};

// Message-box styles in use.
constexpr uint32_t kStyleError = 16;       // MB_ICONERROR
constexpr uint32_t kStyleWarning = 48;     // MB_ICONWARNING
constexpr uint32_t kStyleInformation = 64; // MB_ICONINFORMATION

// Captions in use.
constexpr const char* kCaptionUnexpected = "Debug:  Unexpected Error";
constexpr const char* kCaptionExiting = "Error - Exiting Plugin";
constexpr const char* kCaptionUnsupported = "Error: Unsupported feature.";

#if defined(__GNUC__)
#define CORVANE_PRINTF_FORMAT(f, a) __attribute__((format(printf, f, a)))
#else
#define CORVANE_PRINTF_FORMAT(f, a)
#endif

void ReportError(const ErrorSite& site, uint32_t style, const char* caption, const char* format, ...)
    CORVANE_PRINTF_FORMAT(4, 5);

// While a hook is set, User messages go to it instead of a message box: tests must never wait for a
// person. Null restores the message box.
using MessageBoxHook = void (*)(void* ownerWindow, const char* caption, const char* text, uint32_t style);
void SetMessageBoxHook(MessageBoxHook hook);

// Shorthands for the common sites.
#define DEBUG_SITE (ErrorSite{static_cast<uint32_t>(__LINE__), MessageKind::Debug, 0})
#define USER_SITE (ErrorSite{static_cast<uint32_t>(__LINE__), MessageKind::User, 0})
