// The dialog's keys. A modal dialog's loop offers no place to translate accelerators, so a message-filter
// hook on the dialog's thread does it: letters act in every control, the value boxes included (no letter
// ever reaches a value box), but not in the Settings list, where letters pick items.
#pragma once

bool InstallAcceleratorHook(); // for the calling thread; false when the system refused the hook
void RemoveAcceleratorHook();
