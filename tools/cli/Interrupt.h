// Ctrl-C, and the requests to stop that a closing terminal (SIGHUP) or a process manager (SIGTERM)
// sends. The first only raises a flag: the host's abort callback reports it to the filter, which stops
// at its next check, and the command then removes what it was writing. A second ends the process at
// once, removing the pending temporary output first.
#pragma once

// Installs the handler for each of the three signals (unless it was ignored when the process started,
// as for background jobs and under nohup) and unblocks them, so that one pending from before the start
// is seen now.
void InstallInterruptHandler();
bool WasInterrupted();
void ClearInterrupted(); // for tests

// The exit status of a cancelled run, as shells report a death by the signal: 128 + its number (130
// for Ctrl-C, and for a cancel without a signal).
int CancelledExitStatus();
