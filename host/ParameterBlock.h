// The persisted 255-byte form of the parameters and the one procedure through which parameter-set
// files reach the current parameters.
#pragma once

#include "host/FilterParameters.h"

enum ParameterBlockOperation : int32_t
{
    kBlockCurrentVersion = 0, // pointer to the constant version header; not to be freed
    kBlockFactory = 1,        // new 255-byte block holding the factory record
    kBlockCurrent = 2,        // new 255-byte block holding the current parameters, version 0.0.0.4
    kBlockApply = 3,          // copy the first 30 bytes of the block into the current parameters; 1
    kBlockEquals = 4,         // 1 when bytes 8-29 equal the current fields, else 0
    kBlockConvert = 5,        // new 255-byte block converted from version 0.0.0.3, else null
    kBlockReset = 6,          // reset to factory values; 1
};

// Blocks returned are heap allocations owned by the caller (release with FreeParameterBlock).
void* ParameterBlockProc(int32_t operation, const void* block);
void FreeParameterBlock(void* block);

void ResetParameters();
