#include "tools/cli/CliHost.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <sys/stat.h>

#include "engine/StarDetection.h"
#include "engine/StarList.h"
#include "engine/StarListJson.h"
#include "host/PluginMain.h"
#include "presets/UserFolders.h"
#include "tools/cli/Interrupt.h"
#include "tools/cli/Progress.h"

namespace {

struct CliHostState
{
    ProgressProc harnessProgress; // the callbacks the harness put in the record
    TestAbortProc harnessAbort;
    const std::vector<uint8_t>* profile;
    Handle profileHandle; // made through the record's handle procedures, so the module may lock it
    DisposePIHandleProc disposeHandle;
    int32_t abortCalls;
    int32_t abortAfter;
    std::FILE* starSink;
    bool starsWritten;
    int starsError;         // errno of the failed write of the list
    bool starsDone;         // the list was taken (written or not); the run may stop
    bool detectionFinished; // in the current run; the engine forgets its list when the run ends
    DetectionOutcome detection;
};

CliHostState gCli;

void CliProgress(int32 done, int32 total)
{
    if (gCli.harnessProgress != nullptr)
        gCli.harnessProgress(done, total);
    // The filter reports progress right after detection; the list is complete then and still held.
    if (gDetection.finished && !gCli.detectionFinished) {
        gCli.detectionFinished = true;
        gCli.detection = DetectionOutcome{gStarList.starCount, gStarList.maxSeedBrightness != 0};
    }
    if (gCli.starSink != nullptr && !gCli.starsDone && gDetection.finished) {
        errno = 0;
        gCli.starsWritten = WriteStarListJson(gCli.starSink) && std::fflush(gCli.starSink) == 0;
        gCli.starsError = gCli.starsWritten ? 0 : (errno != 0 ? errno : EIO);
        gCli.starsDone = true;
    }
    ShowProgress(done, total);
}

Boolean CliAbort()
{
    bool harness = gCli.harnessAbort != nullptr && gCli.harnessAbort() != 0;
    ++gCli.abortCalls;
    bool injected = gCli.abortAfter > 0 && gCli.abortCalls >= gCli.abortAfter;
    return Boolean(harness || injected || gCli.starsDone || WasInterrupted());
}

void ReleaseProfileHandle()
{
    if (gCli.profileHandle != nullptr && gCli.disposeHandle != nullptr)
        gCli.disposeHandle(gCli.profileHandle);
    gCli.profileHandle = nullptr;
}

void HandInProfile(FilterRecord* record)
{
    if (gCli.profile == nullptr || gCli.profile->empty() || record->handleProcs == nullptr ||
        record->handleProcs->newProc == nullptr || record->handleProcs->lockProc == nullptr)
        return;
    if (gCli.profileHandle == nullptr) {
        const int32 size = int32(gCli.profile->size());
        gCli.profileHandle = record->handleProcs->newProc(size);
        gCli.disposeHandle = record->handleProcs->disposeProc;
        if (gCli.profileHandle == nullptr)
            return;
        Ptr bytes = record->handleProcs->lockProc(gCli.profileHandle, 0);
        if (bytes == nullptr) {
            ReleaseProfileHandle();
            return;
        }
        std::memcpy(bytes, gCli.profile->data(), gCli.profile->size());
        if (record->handleProcs->unlockProc != nullptr)
            record->handleProcs->unlockProc(gCli.profileHandle);
    }
    record->iCCprofileData = gCli.profileHandle;
    record->iCCprofileSize = int32(gCli.profile->size());
    record->canUseICCProfiles = 1;
}

// Creates the folder and its missing parents; false with the reason when it is not a folder afterwards.
bool MakeFolders(const std::string& path, std::string* problem)
{
    for (size_t slash = path.find('/', 1);; slash = path.find('/', slash + 1)) {
        std::string part = path.substr(0, slash);
        if (mkdir(part.c_str(), 0777) != 0 && errno != EEXIST) {
            *problem = part + ": cannot create the folder (" + std::strerror(errno) + ")";
            return false;
        }
        if (slash == std::string::npos)
            break;
    }
    struct stat info;
    if (stat(path.c_str(), &info) != 0 || !S_ISDIR(info.st_mode)) {
        *problem = path + ": not a folder";
        return false;
    }
    return true;
}

} // namespace

void SetDocumentProfile(const std::vector<uint8_t>* profile)
{
    ReleaseProfileHandle();
    gCli.profile = profile;
}

void SetStarListSink(std::FILE* file)
{
    gCli.starSink = file;
    gCli.starsWritten = false;
    gCli.starsError = 0;
    gCli.starsDone = false;
}

bool StarListWritten()
{
    return gCli.starsWritten;
}

int StarListWriteError()
{
    return gCli.starsError;
}

void SetAbortAfterCalls(int32_t count)
{
    gCli.abortAfter = count;
    gCli.abortCalls = 0;
}

bool LastDetection(DetectionOutcome* outcome)
{
    *outcome = gCli.detection;
    return gCli.detectionFinished;
}

void CliEntry(int16 selector, void* record, intptr_t* data, int16* result)
{
    if (selector == filterSelectorStart)
        gCli.detectionFinished = false;
    if (selector != filterSelectorAbout && record != nullptr) {
        auto* filter = static_cast<FilterRecord*>(record);
        if (filter->progressProc != CliProgress) {
            gCli.harnessProgress = filter->progressProc;
            filter->progressProc = CliProgress;
        }
        if (filter->abortProc != CliAbort) {
            gCli.harnessAbort = filter->abortProc;
            filter->abortProc = CliAbort;
        }
        HandInProfile(filter);
    }
    PluginMain(selector, record, data, result);
    if (selector == filterSelectorFinish)
        ReleaseProfileHandle();
}

std::string HostRegistryPath(std::string* problem)
{
    std::string folder;
    char path[kPathCapacity] = {};
    if (SetupUserFolders("Corvane", "Corvane Pro") && GetUserSettingsFolder(path)) {
        folder = path;
    } else {
        // Until the module's folders are in place on this platform, the same scheme under XDG's data folder.
        const char* data = std::getenv("XDG_DATA_HOME");
        const char* home = std::getenv("HOME");
        if (data != nullptr && data[0] == '/')
            folder = data;
        else if (home != nullptr && home[0] == '/')
            folder = std::string(home) + "/.local/share";
        else {
            *problem = "no settings folder (neither XDG_DATA_HOME nor HOME names one)";
            return "";
        }
        folder += "/Quillmark/Corvane/Settings";
    }
    while (folder.size() > 1 && folder.back() == '/')
        folder.pop_back();
    if (!MakeFolders(folder, problem))
        return "";
    return folder + "/HostRegistry.bin";
}
