#include "presets/ParameterBlock.h"

#include <cstdlib>
#include <cstring>

namespace {

constexpr size_t kRecordSize = sizeof(FilterParameters);
constexpr size_t kFieldsOffset = offsetof(FilterParameters, intensity);

void EncodeRecord(const FilterParameters& record, uint8_t* out)
{
    const uint16_t fields[15] = {record.versionMajor,
                                 record.versionMinor,
                                 record.versionRevision,
                                 record.versionBuild,
                                 uint16_t(record.intensity),
                                 uint16_t(record.length),
                                 uint16_t(record.angle),
                                 uint16_t(record.numberOfPoints),
                                 uint16_t(record.spikeSharpness),
                                 uint16_t(record.saturation),
                                 uint16_t(record.rainbowIntensity),
                                 uint16_t(record.rainbowFrequency),
                                 uint16_t(record.secondarySpikeIntensity),
                                 uint16_t(record.softFlareBrightness),
                                 record.outputSpikesOnly};
    for (size_t i = 0; i < 15; ++i)
        PutUint16(out + 2 * i, fields[i]);
}

FilterParameters DecodeRecord(const uint8_t* in)
{
    FilterParameters record;
    record.versionMajor = GetUint16(in + 0);
    record.versionMinor = GetUint16(in + 2);
    record.versionRevision = GetUint16(in + 4);
    record.versionBuild = GetUint16(in + 6);
    record.intensity = int16_t(GetUint16(in + 8));
    record.length = int16_t(GetUint16(in + 10));
    record.angle = int16_t(GetUint16(in + 12));
    record.numberOfPoints = int16_t(GetUint16(in + 14));
    record.spikeSharpness = int16_t(GetUint16(in + 16));
    record.saturation = int16_t(GetUint16(in + 18));
    record.rainbowIntensity = int16_t(GetUint16(in + 20));
    record.rainbowFrequency = int16_t(GetUint16(in + 22));
    record.secondarySpikeIntensity = int16_t(GetUint16(in + 24));
    record.softFlareBrightness = int16_t(GetUint16(in + 26));
    record.outputSpikesOnly = GetUint16(in + 28);
    return record;
}

bool HasVersion(const uint8_t* block, const RecordVersion& version)
{
    const RecordVersion stored = ReadRecordVersion(block);
    return stored.major == version.major && stored.minor == version.minor && stored.revision == version.revision &&
           stored.build == version.build;
}

// Zero-filled, so the bytes after the record never carry stale heap contents into files.
uint8_t* NewBlockWith(const FilterParameters& record)
{
    uint8_t* block = static_cast<uint8_t*>(std::calloc(1, kParameterBlockSize));
    if (block != nullptr)
        EncodeRecord(record, block);
    return block;
}

FilterParameters WithCurrentVersion(FilterParameters record)
{
    record.versionMajor = kCurrentParametersVersion.major;
    record.versionMinor = kCurrentParametersVersion.minor;
    record.versionRevision = kCurrentParametersVersion.revision;
    record.versionBuild = kCurrentParametersVersion.build;
    return record;
}

// The converted record is handed out as a whole block, not just its 30 bytes: callers store what they
// get as a parameter-set file of full block size.
void* ConvertBlock(const uint8_t* block)
{
    if (!HasVersion(block, kAngleInDegreesVersion))
        return nullptr;
    FilterParameters record = WithCurrentVersion(DecodeRecord(block));
    // Whole degrees became tenths; the product wraps in 16 bits like the stored field, and a value
    // that far out of range is clamped before any run uses it.
    record.angle = int16_t(uint16_t(uint16_t(record.angle) * 10u));
    return NewBlockWith(record);
}

void* Flag(bool value)
{
    return reinterpret_cast<void*>(uintptr_t(value ? 1 : 0));
}

} // namespace

void* ParameterBlockProc(int32_t operation, const void* block, FilterParameters* current)
{
    const uint8_t* bytes = static_cast<const uint8_t*>(block);
    switch (operation) {
    case kBlockCurrentVersion: return const_cast<RecordVersion*>(&kCurrentParametersVersion);
    case kBlockFactory: return NewBlockWith(kFactoryParameters);
    case kBlockCurrent: return current != nullptr ? NewBlockWith(WithCurrentVersion(*current)) : nullptr;
    case kBlockApply:
        if (current == nullptr || bytes == nullptr)
            return Flag(false);
        *current = DecodeRecord(bytes);
        return Flag(true);
    case kBlockEquals: {
        if (current == nullptr || bytes == nullptr)
            return Flag(false);
        uint8_t encoded[kRecordSize];
        EncodeRecord(*current, encoded);
        return Flag(std::memcmp(encoded + kFieldsOffset, bytes + kFieldsOffset, kRecordSize - kFieldsOffset) == 0);
    }
    case kBlockConvert: return bytes != nullptr ? ConvertBlock(bytes) : nullptr;
    case kBlockReset:
        if (current == nullptr)
            return Flag(false);
        *current = kFactoryParameters;
        return Flag(true);
    default: return nullptr;
    }
}

void FreeParameterBlock(void* block)
{
    std::free(block);
}
