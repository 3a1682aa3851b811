#include "tools/cli/Interrupt.h"

#include <csignal>
#include <unistd.h>

#include "tools/cli/SafeOutput.h"

namespace {

volatile sig_atomic_t gInterrupts = 0;

void OnInterrupt(int)
{
    if (gInterrupts++ == 0)
        return;
    const char* pending = PendingTemporaryFile();
    if (pending != nullptr)
        unlink(pending);
    _exit(kExitCancelled);
}

} // namespace

void InstallInterruptHandler()
{
    struct sigaction previous;
    if (sigaction(SIGINT, nullptr, &previous) == 0 && previous.sa_handler == SIG_IGN)
        return;
    struct sigaction action = {};
    action.sa_handler = OnInterrupt;
    sigemptyset(&action.sa_mask);
    sigaction(SIGINT, &action, nullptr);
    sigset_t set;
    sigemptyset(&set);
    sigaddset(&set, SIGINT);
    sigprocmask(SIG_UNBLOCK, &set, nullptr);
}

bool WasInterrupted()
{
    return gInterrupts != 0;
}

void ClearInterrupted()
{
    gInterrupts = 0;
}
