// The common file dialogs in which the user picks a parameter-set file to load or names one to save.
#pragma once

#include <windows.h>

constexpr const char* kProductName = "Corvane Pro";

enum class ParameterFileAction
{
    Load,
    Save,
};

// Opens in `folder`. True with the chosen full path in `path` (kPathCapacity characters). A cancel
// answers false silently; a failure of the dialog itself is logged.
bool AskForParameterFile(HWND dialog, ParameterFileAction action, const char* folder, char* path);
