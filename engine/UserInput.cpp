#include "engine/UserInput.h"

namespace {
UserInputPendingHook gPendingHook;
}

void SetUserInputPendingHook(UserInputPendingHook hook)
{
    gPendingHook = hook;
}

bool UserInputPending()
{
    return gPendingHook != nullptr ? gPendingHook() : PollMessageQueue();
}
