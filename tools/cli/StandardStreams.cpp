#include "tools/cli/StandardStreams.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

void ReserveStandardDescriptors()
{
    for (int descriptor = STDIN_FILENO; descriptor <= STDERR_FILENO; ++descriptor) {
        if (fcntl(descriptor, F_GETFD) != -1 || errno != EBADF)
            continue;
        // open() takes the lowest free number, which is this one.
        int standIn = open("/dev/null", O_RDONLY);
        if (standIn >= 0 && standIn != descriptor)
            close(standIn);
    }
}

bool FinishStandardOutput(std::string* error)
{
    errno = 0;
    const bool flushed = std::fflush(stdout) == 0;
    if (flushed && std::ferror(stdout) == 0)
        return true;
    *error = std::string("cannot write (") + std::strerror(errno != 0 ? errno : EIO) + ")";
    return false;
}
