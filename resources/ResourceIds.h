// Resource ids shared by the .rc files and the code that loads the resources. Plain macros, because
// the resource compiler reads this file too; anything it cannot parse goes under #ifndef RC_INVOKED.
#pragma once

// Hosts find the filter through its PiPL and, through the PiPL's terminology property, the
// terminology resource; both use the id the hosts' own samples use.
#define IDR_PIPL 16000
#define IDR_TERMINOLOGY 16000

// The host's standard scripting messages. The module never loads them; they are part of what a
// scriptable filter is expected to carry.
#define IDS_INTEGER_REQUIRED 16990
#define IDS_DECIMAL_REQUIRED 16991
#define IDS_HOST_TOO_OLD 16992
#define IDS_HOST_INCOMPATIBLE 16993
#define IDS_SUITE_UNAVAILABLE 16994

#define IDR_VERSION 1

// The id the system's isolation-aware loading looks for in a DLL; the activation context that gives
// the dialog version 6 of the common controls is made from it.
#define IDR_MANIFEST 2
