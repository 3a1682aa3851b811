#include "tools/cli/FilterSession.h"

#include <cstdio>

#include "tools/cli/CliHost.h"
#include "tools/cli/Progress.h"
#include "tools/harness/Host.h"

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
