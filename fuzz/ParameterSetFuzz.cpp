// The parameter-set reader on any file: a block is either refused or read (converted from the older
// format if need be), and what it yields, once clamped as every run clamps it, is a record the engine
// can use.
#include "engine/ParameterRanges.h"
#include "fuzz/FuzzFile.h"
#include "presets/ParameterBlock.h"
#include "presets/ParameterSets.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    void* block = ReadParameterSet(FuzzFile(data, size));
    if (block == nullptr)
        return 0;
    FilterParameters parameters = kFactoryParameters;
    ParameterBlockProc(kBlockApply, block, &parameters);
    ParameterBlockProc(kBlockEquals, block, &parameters);
    ClampParameters(&parameters);
    FreeParameterBlock(block);
    return 0;
}
