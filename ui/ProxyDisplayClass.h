// The window class of the dialog's preview control, "ProxyDisplay": registered before each dialog and
// removed after it, since the class belongs to the module's instance and the module may be unloaded.
// For now the control draws its frame and an empty grey area.
#pragma once

#include <windows.h>

bool RegisterProxyDisplay(HINSTANCE instance);
void UnregisterProxyDisplay(HINSTANCE instance);
