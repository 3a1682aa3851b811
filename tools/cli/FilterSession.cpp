#include "tools/cli/FilterSession.h"

#include <cstdio>

#include "tools/cli/CliHost.h"
#include "tools/cli/Progress.h"
#include "tools/harness/Host.h"

namespace {

// A filter that finds no star changes nothing, and the usual cause is one the user can fix: a linear
// image straight from the camera keeps its stars far below the half of white that a star must reach.
void ExplainNoStars(const HostDocument& document, const std::string& name)
{
    DetectionOutcome found;
    if (!LastDetection(&found) || found.starCount != 0)
        return;
    const char* where = document.HasSelection() ? "selected pixel" : "pixel";
    if (!found.brightPixel)
        std::fprintf(stderr,
                     "corvane: %s: no star found: a star is taken only where a pixel reaches half of white, and no "
                     "%s does; a linear (unstretched) image, such as a raw FITS frame, needs stretching first\n",
                     name.c_str(), where);
    else
        std::fprintf(stderr,
                     "corvane: %s: no star found: the %ss that reach half of white do not have the shape of a star "
                     "(flat or very large bright areas are not taken)\n",
                     name.c_str(), where);
}

} // namespace

OSErr RunFilterSession(HostDocument* document, const FilterSessionSettings& settings)
{
    HostOptions options;
    std::string registryProblem;
    options.registryPath = HostRegistryPath(&registryProblem);
    options.tileWidth = int16(settings.tileSize);
    options.tileHeight = int16(settings.tileSize);
    Host host(CliEntry, options);
    if (!host.SetDocument(*document))
        return filterBadMode;
    SetDocumentProfile(settings.profile);

    // Always a scripted run, even to repeat the last filter: each command starts a fresh host, which
    // has no show-dialog flag from an earlier run, and only a silent play-back keeps the dialog away.
    // An empty descriptor leaves every parameter as restored from the last run.
    host.SetDescriptor(settings.descriptor);
    if (settings.progress)
        BeginProgress("Corvane Pro");
    OSErr result = host.RunScripted(plugInDialogSilent);
    if (settings.progress)
        EndProgress();
    SetDocumentProfile(nullptr);

    for (const std::string& fault : host.Faults())
        std::fprintf(stderr, "corvane: warning: the filter misused the host: %s\n", fault.c_str());
    ExplainNoStars(*document, settings.inputName);
    // Parameters that are not kept would make the next "repeat last" silently use older ones.
    for (const std::string& problem : host.RegistryFileProblems())
        std::fprintf(stderr, "corvane: warning: %s\n", problem.c_str());
    if (options.registryPath.empty() && result == noErr)
        std::fprintf(stderr, "corvane: warning: the parameters of this run cannot be saved for the next one: %s\n",
                     registryProblem.c_str());
    if (result == noErr)
        *document = host.Document();
    return result;
}
