#include "diag/ErrorReport.h"

#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>

#include "diag/DebugLog.h"
#include "diag/MessageBox.h"
#include "diag/SystemErrorText.h"

namespace {

MessageBoxHook gMessageBoxHook;

// The text of one report, measured first so that no length of message is ever cut. Should even the small
// allocation fail, a cut text in the fallback still says what happened.
struct ReportText
{
    char* text;
    char fallback[256];

    ReportText(const char* format, va_list args) : text(nullptr), fallback{}
    {
        va_list measured;
        va_copy(measured, args);
        int length = std::vsnprintf(nullptr, 0, format, measured);
        va_end(measured);
        if (length >= 0)
            text = static_cast<char*>(std::malloc(static_cast<size_t>(length) + 1));
        if (text != nullptr) {
            std::vsnprintf(text, static_cast<size_t>(length) + 1, format, args);
        } else {
            std::vsnprintf(fallback, sizeof fallback, format, args);
            text = fallback;
        }
    }
    ~ReportText()
    {
        if (text != fallback)
            std::free(text);
    }
    ReportText(const ReportText&) = delete;
    ReportText& operator=(const ReportText&) = delete;
};

void FormatClock(char* destination, size_t capacity)
{
    std::time_t now = std::time(nullptr);
    const std::tm* local = std::localtime(&now);
    if (local == nullptr || std::strftime(destination, capacity, "%H:%M:%S", local) == 0)
        std::snprintf(destination, capacity, "%s", "--:--:--");
}

// The system's texts end in a line break and some run over several lines; the log keeps one report per
// line, so only the first line is taken.
void SystemTextOf(uint32_t code, char* destination, size_t capacity)
{
    if (!GetSystemErrorText(code, destination, capacity)) {
        std::snprintf(destination, capacity, "%s", "Unidentified System Error");
        return;
    }
    destination[std::strcspn(destination, "\r\n")] = '\0';
}

} // namespace

void SetMessageBoxHook(MessageBoxHook hook)
{
    gMessageBoxHook = hook;
}

void ReportError(const ErrorSite& site, uint32_t style, const char* caption, const char* format, ...)
{
    if (site.kind != MessageKind::Debug && site.kind != MessageKind::User && site.kind != MessageKind::System)
        return;
    if (caption == nullptr)
        caption = "";
    if (format == nullptr)
        format = "";

    va_list args;
    va_start(args, format);
    ReportText report(format, args);
    va_end(args);

    char clock[32];
    FormatClock(clock, sizeof clock);

    switch (site.kind) {
    case MessageKind::Debug:
        WriteDebugLog("%s : Line %u: Debug Message: '%s' - '%s'\n", clock, site.line, caption, report.text);
        break;
    case MessageKind::User:
        WriteDebugLog("%s : Line %u: User Message: '%s' - '%s'\n", clock, site.line, caption, report.text);
        if (gMessageBoxHook != nullptr)
            gMessageBoxHook(DebugLogOwnerWindow(), caption, report.text, style);
        else
            ShowMessageBox(DebugLogOwnerWindow(), report.text, caption, style);
        break;
    case MessageKind::System: {
        char systemText[1024];
        SystemTextOf(site.systemError, systemText, sizeof systemText);
        WriteDebugLog("%s : Line %u: System Error: '%s' : '%s' - '%s'\n", clock, site.line, systemText, caption,
                      report.text);
        break;
    }
    }
}
