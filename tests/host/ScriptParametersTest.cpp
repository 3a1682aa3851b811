#include "host/ScriptParameters.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <vector>

#include "host/PluginGlobals.h"

// A scripting descriptor as a host plays it back and records it, without a whole host around it.
namespace {

struct Entry
{
    DescriptorKeyID key;
    double number;   // unit floats
    int32 integer;   // 'numP'
    OSErr getResult; // what the get procedure answers
};

struct FakeScript
{
    std::vector<Entry> entries;
    size_t next = 0;
    int opened = 0, closed = 0, disposed = 0;
    OSErr closeResult = noErr;
    std::vector<Entry> written;
    std::vector<DescriptorUnitID> units;
    char newDescriptor = 0;
};

FakeScript* gScript;
char gHandedIn;

PIReadDescriptor OpenRead(PIDescriptorHandle, DescriptorKeyID*)
{
    ++gScript->opened;
    return reinterpret_cast<PIReadDescriptor>(gScript);
}
OSErr CloseRead(PIReadDescriptor)
{
    ++gScript->closed;
    return gScript->closeResult;
}
Boolean GetKey(PIReadDescriptor, DescriptorKeyID* key, DescriptorTypeID*, int32*)
{
    if (gScript->next >= gScript->entries.size())
        return false;
    *key = gScript->entries[gScript->next].key;
    return true;
}
const Entry& Take()
{
    return gScript->entries[gScript->next++];
}
OSErr GetInteger(PIReadDescriptor, int32* value)
{
    *value = Take().integer;
    return gScript->entries[gScript->next - 1].getResult;
}
OSErr GetUnitFloat(PIReadDescriptor, DescriptorUnitID* unit, double* value)
{
    *unit = unitPixels; // ignored by the reader
    *value = Take().number;
    return gScript->entries[gScript->next - 1].getResult;
}
OSErr GetBoolean(PIReadDescriptor, Boolean* value)
{
    *value = Boolean(Take().integer);
    return gScript->entries[gScript->next - 1].getResult;
}
PIWriteDescriptor OpenWrite()
{
    return reinterpret_cast<PIWriteDescriptor>(gScript);
}
OSErr CloseWrite(PIWriteDescriptor, PIDescriptorHandle* descriptor)
{
    *descriptor = reinterpret_cast<PIDescriptorHandle>(&gScript->newDescriptor);
    return noErr;
}
OSErr PutInteger(PIWriteDescriptor, DescriptorKeyID key, int32 value)
{
    gScript->written.push_back({key, 0.0, value, noErr});
    gScript->units.push_back(0);
    return noErr;
}
OSErr PutUnitFloat(PIWriteDescriptor, DescriptorKeyID key, DescriptorUnitID unit, const double* value)
{
    gScript->written.push_back({key, *value, 0, noErr});
    gScript->units.push_back(unit);
    return noErr;
}
OSErr PutBoolean(PIWriteDescriptor, DescriptorKeyID key, Boolean value)
{
    gScript->written.push_back({key, 0.0, value, noErr});
    gScript->units.push_back(0);
    return noErr;
}
void Dispose(Handle handle)
{
    EXPECT_EQ(handle, reinterpret_cast<Handle>(&gHandedIn));
    ++gScript->disposed;
}

class ScriptParameters : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ResetPluginGlobals();
        gScript = &script;
        read.numReadDescriptorProcs = kCurrentReadDescriptorProcsCount;
        write.numWriteDescriptorProcs = kCurrentWriteDescriptorProcsCount;
        read.openReadDescriptorProc = OpenRead;
        read.closeReadDescriptorProc = CloseRead;
        read.getKeyProc = GetKey;
        read.getIntegerProc = GetInteger;
        read.getUnitFloatProc = GetUnitFloat;
        read.getBooleanProc = GetBoolean;
        write.openWriteDescriptorProc = OpenWrite;
        write.closeWriteDescriptorProc = CloseWrite;
        write.putIntegerProc = PutInteger;
        write.putUnitFloatProc = PutUnitFloat;
        write.putBooleanProc = PutBoolean;
        handles.disposeProc = Dispose;
        scripting.readDescriptorProcs = &read;
        scripting.writeDescriptorProcs = &write;
        scripting.descriptor = reinterpret_cast<PIDescriptorHandle>(&gHandedIn);
        scripting.playInfo = plugInDialogSilent;
        scripting.recordInfo = plugInDialogNone;
        record.descriptorParameters = &scripting;
        record.handleProcs = &handles;
        gPlugin.filterRecord = &record;
        gPlugin.parameters = &parameters;
        gPlugin.showDialogFlag = &flag;
    }
    void TearDown() override { ResetPluginGlobals(); }

    bool Read(std::vector<Entry> entries)
    {
        script.entries = std::move(entries);
        script.next = 0;
        scripting.descriptor = reinterpret_cast<PIDescriptorHandle>(&gHandedIn);
        bool showDialog = false;
        ReadScriptParameters(&showDialog);
        return showDialog;
    }

    FakeScript script;
    ReadDescriptorProcs read{};
    WriteDescriptorProcs write{};
    HandleProcs handles{};
    PIDescriptorParameters scripting{};
    FilterRecord record{};
    FilterParameters parameters = kFactoryParameters;
    uint8_t flag = 1;
};

Entry Number(DescriptorKeyID key, double value)
{
    return {key, value, 0, noErr};
}

} // namespace

TEST_F(ScriptParameters, AngleIsScaledToTenthsAndTruncatedTowardZero)
{
    const std::pair<double, int16_t> cases[] = {{12.34, 123}, {-0.05, 0}, {-45.0, -450}, {89.99, 899}, {-12.39, -123}};
    for (const auto& [degrees, tenths] : cases) {
        Read({Number(kKeyAngle, degrees)});
        EXPECT_EQ(parameters.angle, tenths) << degrees;
    }
    Read({Number(kKeyIntensity, 99.9), Number(kKeySaturation, -30.7)});
    EXPECT_EQ(parameters.intensity, 99);
    EXPECT_EQ(parameters.saturation, -30);
}

TEST_F(ScriptParameters, OnlyTheKeysPresentChange)
{
    parameters.intensity = 11;
    Read({Number(kKeyLength, 80.0)});
    FilterParameters expected = kFactoryParameters;
    expected.intensity = 11;
    expected.length = 80;
    EXPECT_EQ(std::memcmp(&parameters, &expected, sizeof(parameters)), 0);
    EXPECT_EQ(script.opened, 1);
    EXPECT_EQ(script.closed, 1);
    EXPECT_EQ(script.disposed, 1);
    EXPECT_EQ(scripting.descriptor, nullptr);
}

TEST_F(ScriptParameters, UnknownKeyOrFailingGetterEndsTheLoop)
{
    Read({Number(kKeyLength, 10.0), Number(FourCC("Zzzz"), 5.0), Number(kKeyIntensity, 20.0)});
    EXPECT_EQ(parameters.length, 10);
    EXPECT_EQ(parameters.intensity, 50); // never reached
    EXPECT_EQ(script.closed, 1);

    parameters = kFactoryParameters;
    Read({Number(kKeyLength, 10.0), {kKeyIntensity, 20.0, 0, paramErr}, Number(kKeySaturation, 0.0)});
    EXPECT_EQ(parameters.length, 10);
    EXPECT_EQ(parameters.saturation, 30);
    EXPECT_EQ(script.closed, 2);
}

TEST_F(ScriptParameters, IntegerBooleanAndWildNumbersStayDefined)
{
    const double inf = std::numeric_limits<double>::infinity();
    Read({{kKeyNumberOfPoints, 0.0, 70000, noErr},
          {kKeyOutputSpikesOnly, 0.0, 7, noErr},
          Number(kKeyIntensity, 1e300),
          Number(kKeyLength, -inf),
          Number(kKeyAngle, 1e6),
          Number(kKeySaturation, std::nan(""))});
    EXPECT_EQ(parameters.numberOfPoints, 32767);
    EXPECT_EQ(parameters.outputSpikesOnly, 1);
    EXPECT_EQ(parameters.intensity, 32767);
    EXPECT_EQ(parameters.length, -32768);
    EXPECT_EQ(parameters.angle, 32767);
    EXPECT_EQ(parameters.saturation, 30); // NaN keeps the value it had
}

TEST_F(ScriptParameters, PlayInfoDecidesTheDialogOnlyWhenADescriptorIsHandedIn)
{
    EXPECT_FALSE(Read({Number(kKeyLength, 1.0)})); // silent, although the flag asks for the dialog
    scripting.playInfo = plugInDialogDontDisplay;
    EXPECT_FALSE(Read({}));
    scripting.playInfo = plugInDialogDisplay;
    flag = 0;
    EXPECT_TRUE(Read({}));

    // No descriptor: the flag decides, and nothing is opened or disposed.
    const int opened = script.opened;
    scripting.playInfo = plugInDialogSilent;
    bool showDialog = false;
    scripting.descriptor = nullptr;
    flag = 1;
    ReadScriptParameters(&showDialog);
    EXPECT_TRUE(showDialog);
    record.descriptorParameters = nullptr;
    flag = 0;
    ReadScriptParameters(&showDialog);
    EXPECT_FALSE(showDialog);
    EXPECT_EQ(script.opened, opened);
}

TEST_F(ScriptParameters, WritesElevenKeysInOrderAndReplacesTheDescriptor)
{
    parameters.angle = -450;
    parameters.numberOfPoints = 6;
    parameters.outputSpikesOnly = 0x0101; // only the low byte is recorded
    WriteScriptParameters();

    const DescriptorKeyID order[] = {kKeyIntensity,           kKeyLength,           kKeyAngle,
                                     kKeyNumberOfPoints,      kKeySpikeSharpness,   kKeySaturation,
                                     kKeyRainbowIntensity,    kKeyRainbowFrequency, kKeySecondarySpikeIntensity,
                                     kKeySoftFlareBrightness, kKeyOutputSpikesOnly};
    ASSERT_EQ(script.written.size(), 11u);
    for (size_t i = 0; i < 11; ++i)
        EXPECT_EQ(script.written[i].key, order[i]) << i;
    EXPECT_EQ(script.units[0], unitPercent);
    EXPECT_EQ(script.units[2], unitAngle);
    EXPECT_EQ(script.written[2].number, -45.0);
    EXPECT_EQ(script.written[3].integer, 6);
    EXPECT_EQ(script.units[5], unitPercent);
    EXPECT_EQ(script.written[5].number, 30.0);
    EXPECT_EQ(script.written[10].integer, 1);
    EXPECT_EQ(script.disposed, 1);
    EXPECT_EQ(scripting.descriptor, reinterpret_cast<PIDescriptorHandle>(&script.newDescriptor));
    EXPECT_EQ(scripting.recordInfo, plugInDialogOptional);
}

TEST_F(ScriptParameters, EveryAngleSurvivesARecordedAction)
{
    for (int16_t angle = -900; angle <= 900; ++angle) {
        parameters.angle = angle;
        script.written.clear();
        WriteScriptParameters();
        parameters.angle = 0;
        Read({Number(kKeyAngle, script.written[2].number)});
        ASSERT_EQ(parameters.angle, angle);
    }
}
