// Shows a message to the user and waits until it is dismissed.
#pragma once

#include <cstdint>

// `style` is the set of message-box type flags (icon and buttons); the answer is not needed by anyone.
void ShowMessageBox(void* ownerWindow, const char* text, const char* caption, uint32_t style);
