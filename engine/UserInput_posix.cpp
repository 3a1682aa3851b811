#include "engine/UserInput.h"

// Without a window system there is no queue to watch: work always runs to completion.
void SetUserInputWindow(void*) {}

bool PollMessageQueue()
{
    return false;
}
