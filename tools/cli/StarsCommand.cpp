// corvane stars IN: the stars the filter finds in IN, as JSON on standard output. The detection runs
// inside a normal silent filter run with the last parameters; the run is stopped once the list is out.
#include <cstdio>
#include <cstring>

#include "tools/cli/CliHost.h"
#include "tools/cli/Commands.h"
#include "tools/cli/FilterSession.h"
#include "tools/cli/HostMapping.h"
#include "tools/cli/Interrupt.h"

int RunStars(const std::string& input)
{
    ImageFile image;
    FileFormat format;
    if (!LoadImage(input, &image, &format))
        return kExitInput;
    ReportClampedSamples(input, image);
    HostDocument document = DocumentFromImage(image);
    FilterSessionSettings settings;
    settings.profile = &image.iccProfile;
    settings.inputName = input;
    SetStarListSink(stdout);
    OSErr result = RunFilterSession(&document, settings);
    const bool written = StarListWritten();
    const int writeError = StarListWriteError();
    SetStarListSink(nullptr);
    if (written)
        return kExitOk;
    if (writeError != 0) {
        PrintError("standard output", std::string("cannot write the star list (") + std::strerror(writeError) + ")");
        return kExitOutput;
    }
    if (WasInterrupted())
        return CancelledExitStatus();
    if (result != noErr) {
        PrintError(input, "the filter failed (host result code " + std::to_string(result) + ")");
        return kExitFilter;
    }
    PrintError(input, "the filter ended without listing its stars");
    return kExitFilter;
}
