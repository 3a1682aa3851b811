// The command line of `corvane apply`: file names, the effect's parameters under their own names and
// ranges, and the host settings. Parsing only checks and collects; nothing is read or run here.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "tools/harness/HostDescriptor.h"

// One of the eleven effect parameters as the command line names it.
struct ParameterOption
{
    const char* name;    // without the leading "--"
    DescriptorKeyID key; // its scripting key
    int32_t minimum;     // in the record's units (tenths of a degree for the angle)
    int32_t maximum;
    bool tenths; // given in units with one decimal, stored times ten
    bool flag;   // a switch without a value
};

// The parameters in the order of the record.
const std::vector<ParameterOption>& ParameterOptions();

struct ParameterValue
{
    DescriptorKeyID key;
    int32_t value; // in the record's units
};

struct ApplyOptions
{
    std::string input;
    std::string output;
    std::string presetPath;                 // --preset; empty when none
    std::string maskPath;                   // --mask; empty when none
    int32_t tileSize = 0;                   // --tile; 0 lets the host choose
    std::vector<ParameterValue> parameters; // in the order given; a later one replaces an earlier one
};

// True when the run repeats the last filter: no parameter and no preset given.
bool RepeatsLastFilter(const ApplyOptions& options);

// Parses the arguments after "apply". On failure `error` holds a message for the user.
bool ParseApplyOptions(const std::vector<std::string>& arguments, ApplyOptions* options, std::string* error);

// The scripting descriptor for the given values, in the units the host writes ('Angl' in degrees).
Descriptor DescriptorFromParameters(const std::vector<ParameterValue>& values);
