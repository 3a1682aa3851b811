// Everything the module and the harness use of the host interface.
#pragma once

#include "sdk/CallbackTables.h"
#include "sdk/FilterRecord.h"
#include "sdk/HostConstants.h"
#include "sdk/HostTypes.h"
#include "sdk/Scripting.h"
#include "sdk/Suites.h"
