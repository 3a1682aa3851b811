#include "host/UserInterface.h"

namespace {
UserInterface gUserInterface;
}

void InstallUserInterface(const UserInterface& ui)
{
    gUserInterface = ui;
}

const UserInterface& InstalledUserInterface()
{
    return gUserInterface;
}
