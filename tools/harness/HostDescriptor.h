// The host's view of a scripting descriptor: keys with typed values, in the order they were put.
//
//   Descriptor d;
//   PutValue(&d, FourCC("Angl"), UnitFloatValue(unitAngle, -45.0));
//   const DescriptorValue* v = FindValue(d, FourCC("Angl"));
#pragma once

#include <cstdint>
#include <vector>

#include "sdk/HostInterface.h"

struct DescriptorValue
{
    DescriptorTypeID type = 0; // typeInteger, typeFloat, typeUnitFloat, typeBoolean, typeRawData
    int32_t integer = 0;       // typeInteger
    double number = 0.0;       // typeFloat, typeUnitFloat
    DescriptorUnitID unit = 0; // typeUnitFloat
    bool boolean = false;      // typeBoolean
    std::vector<uint8_t> data; // typeRawData
};

struct DescriptorEntry
{
    DescriptorKeyID key;
    DescriptorValue value;
};

using Descriptor = std::vector<DescriptorEntry>;

DescriptorValue IntegerValue(int32_t value);
DescriptorValue FloatValue(double value);
DescriptorValue UnitFloatValue(DescriptorUnitID unit, double value);
DescriptorValue BooleanValue(bool value);
DescriptorValue DataValue(const void* data, size_t length);

// Replaces the value of an existing key in place, or appends the key.
void PutValue(Descriptor* descriptor, DescriptorKeyID key, const DescriptorValue& value);
// Null when the key is absent.
const DescriptorValue* FindValue(const Descriptor& descriptor, DescriptorKeyID key);
