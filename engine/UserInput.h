// Whether the user is waiting: long engine work polls this and returns early so that the dialog stays
// responsive. Natively nothing is ever pending.
#pragma once

// True when the message queue holds input the dialog should handle now. One pending tick of the
// dialog's own timer is tolerated; a second consecutive one counts as input.
bool UserInputPending();

// The dialog window whose timer ticks get the grace; null (the default) while no dialog exists.
void SetUserInputWindow(void* dialogWindow);

// For tests: while set, the hook decides instead of the message queue.
using UserInputPendingHook = bool (*)();
void SetUserInputPendingHook(UserInputPendingHook hook);

// The platform's rule, without the hook.
bool PollMessageQueue();
