#include "tools/cli/Interrupt.h"

#include <csignal>
#include <unistd.h>

#include "tools/cli/SafeOutput.h"

namespace {

const int kStopSignals[] = {SIGINT, SIGTERM, SIGHUP};

volatile sig_atomic_t gInterrupts = 0;
volatile sig_atomic_t gFirstSignal = 0;

void OnInterrupt(int signal)
{
    if (gInterrupts++ == 0) {
        gFirstSignal = signal;
        return;
    }
    const char* pending = PendingTemporaryFile();
    if (pending != nullptr)
        unlink(pending);
    _exit(128 + signal);
}

} // namespace

void InstallInterruptHandler()
{
    struct sigaction action = {};
    action.sa_handler = OnInterrupt;
    sigemptyset(&action.sa_mask);
    for (int signal : kStopSignals)
        sigaddset(&action.sa_mask, signal); // one handler at a time
    sigset_t set;
    sigemptyset(&set);
    for (int signal : kStopSignals) {
        struct sigaction previous;
        if (sigaction(signal, nullptr, &previous) == 0 && previous.sa_handler == SIG_IGN)
            continue;
        sigaction(signal, &action, nullptr);
        sigaddset(&set, signal);
    }
    sigprocmask(SIG_UNBLOCK, &set, nullptr);
    // Past the size limit on files (ulimit -f), a write then fails with EFBIG and the output is
    // reported and removed, instead of the process being killed with its temporary file left behind.
    signal(SIGXFSZ, SIG_IGN);
}

bool WasInterrupted()
{
    return gInterrupts != 0;
}

void ClearInterrupted()
{
    gInterrupts = 0;
    gFirstSignal = 0;
}

int CancelledExitStatus()
{
    return 128 + (gFirstSignal != 0 ? int(gFirstSignal) : SIGINT);
}
