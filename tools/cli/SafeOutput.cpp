#include "tools/cli/SafeOutput.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace {

// A copy of the pending temporary name in static storage, readable from a signal handler.
char gPendingTemp[4096];

void SetPending(const std::string& path)
{
    if (path.size() < sizeof gPendingTemp)
        std::memcpy(gPendingTemp, path.c_str(), path.size() + 1);
    else
        gPendingTemp[0] = 0;
}

std::string FolderOf(const std::string& path)
{
    size_t slash = path.find_last_of('/');
    if (slash == std::string::npos)
        return ".";
    if (slash == 0)
        return "/";
    return path.substr(0, slash);
}

} // namespace

bool BeginSafeOutput(const std::string& path, SafeOutput* output, std::string* error)
{
    output->finalPath = path;
    output->tempPath.clear();
    struct stat info;
    if (stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode)) {
        *error = "is a folder";
        return false;
    }
    std::string pattern = path + ".tmp-XXXXXX";
    std::vector<char> name(pattern.begin(), pattern.end());
    name.push_back(0);
    int fd = mkstemp(name.data());
    if (fd < 0) {
        *error = std::string("cannot create a file there (") + std::strerror(errno) + ")";
        return false;
    }
    // mkstemp makes the file private (0600); an output gets the usual permissions under the umask.
    mode_t mask = umask(0);
    umask(mask);
    fchmod(fd, 0666 & ~mask);
    close(fd);
    output->tempPath = name.data();
    SetPending(output->tempPath);
    return true;
}

bool CommitSafeOutput(SafeOutput* output, std::string* error)
{
    int fd = open(output->tempPath.c_str(), O_RDONLY);
    bool ok = fd >= 0 && fsync(fd) == 0;
    int failure = errno;
    if (fd >= 0)
        close(fd);
    if (ok && rename(output->tempPath.c_str(), output->finalPath.c_str()) != 0) {
        ok = false;
        failure = errno;
    }
    if (!ok) {
        *error = std::string("cannot complete the file (") + std::strerror(failure) + ")";
        AbandonSafeOutput(output);
        return false;
    }
    output->tempPath.clear();
    gPendingTemp[0] = 0;
    // Make the rename itself durable; a failure here leaves a complete file, so it is not an error.
    int folder = open(FolderOf(output->finalPath).c_str(), O_RDONLY | O_DIRECTORY);
    if (folder >= 0) {
        fsync(folder);
        close(folder);
    }
    return true;
}

void AbandonSafeOutput(SafeOutput* output)
{
    if (!output->tempPath.empty())
        unlink(output->tempPath.c_str());
    output->tempPath.clear();
    gPendingTemp[0] = 0;
}

const char* PendingTemporaryFile()
{
    return gPendingTemp[0] != 0 ? gPendingTemp : nullptr;
}
