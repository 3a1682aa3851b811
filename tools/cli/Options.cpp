#include "tools/cli/Options.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>

#include "sdk/HostConstants.h"

const std::vector<ParameterOption>& ParameterOptions()
{
    static const std::vector<ParameterOption> kOptions = {
        {"intensity", FourCC("Intn"), 0, 100, false, false},
        {"length", FourCC("Lngt"), 0, 100, false, false},
        {"angle", FourCC("Angl"), -900, 900, true, false},
        {"points", FourCC("numP"), 1, 32, false, false},
        {"sharpness", FourCC("spsH"), 0, 100, false, false},
        {"saturation", FourCC("Strt"), -100, 100, false, false},
        {"rainbow-intensity", FourCC("rbwI"), 0, 100, false, false},
        {"rainbow-frequency", FourCC("rbwF"), 0, 100, false, false},
        {"secondary-intensity", FourCC("sspI"), 0, 100, false, false},
        {"flare", FourCC("sflB"), 0, 100, false, false},
        {"spikes-only", FourCC("opsO"), 0, 1, false, true},
    };
    return kOptions;
}

namespace {

const ParameterOption* FindParameter(const std::string& name)
{
    for (const ParameterOption& option : ParameterOptions())
        if (name == option.name)
            return &option;
    return nullptr;
}

// Whole numbers, or numbers with at most one decimal when `tenths`; the result in tenths then.
bool ParseNumber(const std::string& text, bool tenths, int32_t* value)
{
    const char* p = text.c_str();
    bool negative = false;
    if (*p == '+' || *p == '-')
        negative = *p++ == '-';
    if (*p < '0' || *p > '9')
        return false;
    int64_t whole = 0;
    while (*p >= '0' && *p <= '9') {
        whole = whole * 10 + (*p++ - '0');
        if (whole > 1000000)
            return false;
    }
    int64_t fraction = 0;
    if (*p == '.' && tenths) {
        ++p;
        if (*p < '0' || *p > '9')
            return false;
        fraction = *p++ - '0';
    }
    if (*p != 0)
        return false;
    int64_t result = tenths ? whole * 10 + fraction : whole;
    *value = int32_t(negative ? -result : result);
    return true;
}

std::string RangeText(const ParameterOption& option)
{
    if (option.tenths)
        return "from " + std::to_string(option.minimum / 10) + ".0 to " + std::to_string(option.maximum / 10) + ".0";
    return "from " + std::to_string(option.minimum) + " to " + std::to_string(option.maximum);
}

bool SetParameter(const ParameterOption& option, const std::string& text, ApplyOptions* options, std::string* error)
{
    int32_t value = 0;
    if (!ParseNumber(text, option.tenths, &value)) {
        *error = "--" + std::string(option.name) + " takes " +
                 (option.tenths ? "degrees with at most one decimal" : "a whole number") + " " + RangeText(option) +
                 ", not '" + text + "'";
        return false;
    }
    if (value < option.minimum || value > option.maximum) {
        *error = "--" + std::string(option.name) + " must be " + RangeText(option) + ", not " + text;
        return false;
    }
    for (ParameterValue& given : options->parameters) {
        if (given.key == option.key) {
            given.value = value;
            return true;
        }
    }
    options->parameters.push_back(ParameterValue{option.key, value});
    return true;
}

} // namespace

bool RepeatsLastFilter(const ApplyOptions& options)
{
    return options.parameters.empty() && options.presetPath.empty();
}

bool ParseApplyOptions(const std::vector<std::string>& arguments, ApplyOptions* options, std::string* error)
{
    std::vector<std::string> files;
    for (size_t i = 0; i < arguments.size(); ++i) {
        const std::string& argument = arguments[i];
        if (argument.size() < 2 || argument.compare(0, 2, "--") != 0 || argument == "--") {
            if (argument == "--") {
                files.insert(files.end(), arguments.begin() + long(i) + 1, arguments.end());
                break;
            }
            if (argument.size() > 1 && argument[0] == '-') {
                *error = "unknown option '" + argument + "' (see corvane --help)";
                return false;
            }
            files.push_back(argument);
            continue;
        }
        std::string name = argument.substr(2);
        std::string value;
        bool hasValue = false;
        size_t equals = name.find('=');
        if (equals != std::string::npos) {
            value = name.substr(equals + 1);
            name.resize(equals);
            hasValue = true;
        }

        if (name == "no-spikes-only" || name == "spikes-only") {
            if (hasValue) {
                *error = "--" + name + " takes no value";
                return false;
            }
            SetParameter(*FindParameter("spikes-only"), name == "spikes-only" ? "1" : "0", options, error);
            continue;
        }
        const ParameterOption* parameter = FindParameter(name);
        const bool known = parameter != nullptr || name == "preset" || name == "mask" || name == "tile";
        if (!known) {
            *error = "unknown option '--" + name + "' (see corvane --help)";
            return false;
        }
        if (!hasValue) {
            if (i + 1 >= arguments.size()) {
                *error = "--" + name + " needs a value";
                return false;
            }
            value = arguments[++i];
        }
        if (parameter != nullptr) {
            if (!SetParameter(*parameter, value, options, error))
                return false;
        } else if (name == "preset" || name == "mask") {
            if (value.empty()) {
                *error = "--" + name + " needs a file name";
                return false;
            }
            (name == "preset" ? options->presetPath : options->maskPath) = value;
        } else {
            int32_t tile = 0;
            if (!ParseNumber(value, false, &tile) || tile < 1 || tile > 32767) {
                *error = "--tile takes a whole number of pixels from 1 to 32767, not '" + value + "'";
                return false;
            }
            options->tileSize = tile;
        }
    }
    if (files.size() != 2) {
        *error =
            files.size() < 2 ? "apply needs an input and an output file" : "apply takes one input and one output file";
        return false;
    }
    options->input = files[0];
    options->output = files[1];
    return true;
}

Descriptor DescriptorFromParameters(const std::vector<ParameterValue>& values)
{
    Descriptor descriptor;
    for (const ParameterValue& given : values) {
        DescriptorValue value;
        if (given.key == FourCC("opsO"))
            value = BooleanValue(given.value != 0);
        else if (given.key == FourCC("numP"))
            value = IntegerValue(given.value);
        else if (given.key == FourCC("Angl"))
            value = UnitFloatValue(unitAngle, given.value / 10.0); // times ten gives the tenths back exactly
        else
            value = UnitFloatValue(unitPercent, double(given.value));
        PutValue(&descriptor, given.key, value);
    }
    return descriptor;
}
