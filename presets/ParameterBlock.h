// The persisted 255-byte form of the parameters and the one procedure through which parameter-set
// files reach a parameter record.
#pragma once

#include <cstddef>

#include "engine/FilterParameters.h"
#include "presets/RecordVersion.h"

constexpr RecordVersion kCurrentParametersVersion{0, 0, 0, 4};
constexpr RecordVersion kAngleInDegreesVersion{0, 0, 0, 3}; // the one older format that converts

// The persisted form: the record followed by bytes no reader interprets.
constexpr size_t kParameterBlockSize = 255;

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

// `current` is the record that operations 2, 3, 4 and 6 read or write; with a null record they fail
// (null or 0). Blocks returned are heap allocations owned by the caller (release with FreeParameterBlock).
void* ParameterBlockProc(int32_t operation, const void* block, FilterParameters* current);
void FreeParameterBlock(void* block);
