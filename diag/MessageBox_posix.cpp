#include "diag/MessageBox.h"

#include <cstdio>

// Without a desktop the message goes to standard error as one line: a batch run must never wait for a
// person, and line breaks inside the text would split one notice into several log-like lines.
void ShowMessageBox(void*, const char* text, const char* caption, uint32_t)
{
    std::fprintf(stderr, "%s: ", caption);
    for (const char* at = text; *at != '\0'; ++at) {
        if (*at == '\r')
            continue;
        std::fputc(*at == '\n' ? ' ' : *at, stderr);
    }
    std::fputc('\n', stderr);
}
