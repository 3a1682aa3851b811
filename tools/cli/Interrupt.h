// Ctrl-C. The first interrupt only raises a flag: the host's abort callback reports it to the filter,
// which stops at its next check, and the command then removes what it was writing. A second
// interrupt ends the process at once, removing the pending temporary output first.
#pragma once

// Installs the handler (unless interrupts were ignored when the process started, as for background
// jobs) and unblocks SIGINT so that an interrupt pending from before the start is seen now.
void InstallInterruptHandler();
bool WasInterrupted();
void ClearInterrupted(); // for tests

// The exit status of a run ended by Ctrl-C, as shells report it.
constexpr int kExitCancelled = 130;
