// One silent filter run over a document, the way a host plays back an action without its dialog.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "tools/harness/HostDescriptor.h"
#include "tools/harness/HostDocument.h"

struct FilterSessionSettings
{
    Descriptor descriptor;                         // the parameters to apply; empty repeats the last ones
    int32_t tileSize = 0;                          // the host's tile size; 0 for none
    const std::vector<uint8_t>* profile = nullptr; // the document's ICC profile, or null
    bool progress = true;                          // draw the progress bar (on a terminal)
    std::string inputName;                         // the file the document came from, named in notes
};

// Runs the filter over `document`, which then holds the result. Returns the host result code. When
// detection finds no star, says why on standard error: the run still succeeds, but changes nothing.
OSErr RunFilterSession(HostDocument* document, const FilterSessionSettings& settings);
