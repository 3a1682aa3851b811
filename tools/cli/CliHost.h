// The command-line host's own part of the host services, between the harness and the module.
//
// The harness calls CliEntry in place of the module's entry point. Before each selector it makes the
// filter record's progress and abort callbacks the command line's own (they still call the harness's,
// so its account of the run stays complete) and hands in the document's ICC profile, then calls the
// module.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "sdk/HostInterface.h"

// The profile of the document for the next run; an empty vector for none. The bytes must outlive it.
void SetDocumentProfile(const std::vector<uint8_t>* profile);

// Makes the abort callback answer true from its `count`-th call on (0: never); for tests.
void SetAbortAfterCalls(int32_t count);

// While set, the star list is written to `file` as JSON as soon as detection has finished, and the
// run is then cancelled: the host only wants to see what the filter found.
void SetStarListSink(std::FILE* file);
// After a run with a sink: whether the list was written in full, and if not, the errno of the failed
// write (0 when it was never attempted).
bool StarListWritten();
int StarListWriteError();

// What detection found in the last run; false when it did not run to its end (cancelled or failed).
struct DetectionOutcome
{
    uint32_t starCount;
    bool brightPixel; // some selected, opaque pixel reached half of white, where a star may start
};
bool LastDetection(DetectionOutcome* outcome);

void CliEntry(int16 selector, void* record, intptr_t* data, int16* result);

// The file the harness keeps its descriptor registry in ("repeat last filter" between runs), in the
// user's settings folder; the folder is created when missing. Empty when there is no such folder, with
// the reason in `problem`.
std::string HostRegistryPath(std::string* problem);
