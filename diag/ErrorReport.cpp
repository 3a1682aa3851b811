#include "diag/ErrorReport.h"

#include <cstdarg>
#include <cstdio>

// Placeholder until the diagnostics land: one line on standard error.
void ReportError(const ErrorSite& site, uint32_t, const char* caption, const char* format, ...)
{
    va_list args;
    va_start(args, format);
    std::fprintf(stderr, "Line %u: '%s' - '", site.line, caption);
    std::vfprintf(stderr, format, args);
    std::fprintf(stderr, "'\n");
    va_end(args);
}
