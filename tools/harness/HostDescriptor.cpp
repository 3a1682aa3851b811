#include "tools/harness/HostDescriptor.h"

DescriptorValue IntegerValue(int32_t value)
{
    DescriptorValue v;
    v.type = typeInteger;
    v.integer = value;
    return v;
}

DescriptorValue FloatValue(double value)
{
    DescriptorValue v;
    v.type = typeFloat;
    v.number = value;
    return v;
}

DescriptorValue UnitFloatValue(DescriptorUnitID unit, double value)
{
    DescriptorValue v;
    v.type = typeUnitFloat;
    v.unit = unit;
    v.number = value;
    return v;
}

DescriptorValue BooleanValue(bool value)
{
    DescriptorValue v;
    v.type = typeBoolean;
    v.boolean = value;
    return v;
}

DescriptorValue DataValue(const void* data, size_t length)
{
    DescriptorValue v;
    v.type = typeRawData;
    const uint8_t* bytes = static_cast<const uint8_t*>(data);
    v.data.assign(bytes, bytes + length);
    return v;
}

void PutValue(Descriptor* descriptor, DescriptorKeyID key, const DescriptorValue& value)
{
    for (DescriptorEntry& entry : *descriptor)
        if (entry.key == key) {
            entry.value = value;
            return;
        }
    descriptor->push_back(DescriptorEntry{key, value});
}

const DescriptorValue* FindValue(const Descriptor& descriptor, DescriptorKeyID key)
{
    for (const DescriptorEntry& entry : descriptor)
        if (entry.key == key)
            return &entry.value;
    return nullptr;
}
