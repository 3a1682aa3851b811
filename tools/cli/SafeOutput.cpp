#include "tools/cli/SafeOutput.h"

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "diag/FileOutput.h"

namespace {

// A copy of the pending temporary name in static storage, readable from a signal handler.
char gPendingTemp[PATH_MAX + 64];

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

std::string SystemText(const char* what, int error)
{
    return std::string(what) + " (" + std::strerror(error) + ")";
}

// The file the output replaces: `path`, or the file its chain of symbolic links ends at. A link to
// nothing is refused rather than followed: creating a file wherever it happens to point is a surprise.
bool ResolveDestination(const std::string& path, std::string* target, std::string* error)
{
    struct stat info;
    *target = path;
    if (lstat(path.c_str(), &info) != 0 || !S_ISLNK(info.st_mode))
        return true;
    char* resolved = realpath(path.c_str(), nullptr);
    if (resolved == nullptr) {
        *error = errno == ENOENT ? std::string("is a symbolic link to a missing file")
                                 : SystemText("cannot follow the symbolic link", errno);
        return false;
    }
    *target = resolved;
    std::free(resolved);
    return true;
}

} // namespace

bool WriteToOutput(OutputFile* file, const void* bytes, size_t size)
{
    const char* at = static_cast<const char*>(bytes);
    while (size > 0 && file->error == 0) {
        ssize_t written = write(file->descriptor, at, size);
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0) {
            file->error = written < 0 ? errno : EIO;
            break;
        }
        at += written;
        size -= size_t(written);
    }
    return file->error == 0;
}

bool BeginSafeOutput(const std::string& path, SafeOutput* output, std::string* error)
{
    *output = SafeOutput();
    if (!ResolveDestination(path, &output->finalPath, error))
        return false;
    struct stat info;
    const bool exists = stat(output->finalPath.c_str(), &info) == 0;
    if (!exists && errno != ENOENT) {
        *error = SystemText("cannot write there", errno);
        return false;
    }
    if (exists && S_ISDIR(info.st_mode)) {
        *error = "is a folder";
        return false;
    }
    // Renaming over a device or a pipe would replace the node itself, which as root means /dev/null.
    if (exists && !S_ISREG(info.st_mode)) {
        *error = "is not a regular file (a device, pipe or socket); only files are written";
        return false;
    }
    char temporary[PATH_MAX + 64];
    int failure = 0;
    output->stream = CreateReplacementFile(output->finalPath.c_str(), temporary, sizeof temporary, &failure);
    if (output->stream == nullptr) {
        *error = SystemText("cannot create a file there", failure);
        return false;
    }
    output->tempPath = temporary;
    output->file.descriptor = fileno(output->stream);
    SetPending(output->tempPath);
    if (exists) {
        // The owner first: a change of owner clears the set-id bits that the mode then restores.
        if (info.st_uid != geteuid() || info.st_gid != getegid())
            (void)!fchown(output->file.descriptor, info.st_uid, info.st_gid);
        fchmod(output->file.descriptor, info.st_mode & 07777);
    } else {
        // The temporary file is private (0600); a new output gets the usual permissions under the umask.
        mode_t mask = umask(0);
        umask(mask);
        fchmod(output->file.descriptor, 0666 & ~mask);
    }
    return true;
}

bool CommitSafeOutput(SafeOutput* output, std::string* error)
{
    int failure = output->file.error;
    if (failure == 0 && fsync(output->file.descriptor) != 0)
        failure = errno;
    if (std::fclose(output->stream) != 0 && failure == 0)
        failure = errno;
    output->stream = nullptr;
    output->file.descriptor = -1;
    if (failure == 0 && rename(output->tempPath.c_str(), output->finalPath.c_str()) != 0)
        failure = errno;
    if (failure != 0) {
        *error = SystemText("cannot write the file", failure);
        AbandonSafeOutput(output);
        return false;
    }
    output->tempPath.clear();
    gPendingTemp[0] = 0;
    // Make the rename itself durable; a failure here leaves a complete file, so it is not an error.
    int folder = open(FolderOf(output->finalPath).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (folder >= 0) {
        fsync(folder);
        close(folder);
    }
    return true;
}

void AbandonSafeOutput(SafeOutput* output)
{
    if (output->stream != nullptr)
        std::fclose(output->stream);
    output->stream = nullptr;
    output->file.descriptor = -1;
    if (!output->tempPath.empty())
        unlink(output->tempPath.c_str());
    output->tempPath.clear();
    gPendingTemp[0] = 0;
}

const char* PendingTemporaryFile()
{
    return gPendingTemp[0] != 0 ? gPendingTemp : nullptr;
}
