#include "host/AboutBox.h"

void ShowAboutBox(void*) {}
