#include "host/ParameterBlock.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "host/ParameterRanges.h"
#include "host/PluginGlobals.h"

namespace {

class ParameterBlock : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ResetPluginGlobals();
        current = kFactoryParameters;
        gPlugin.parameters = &current;
    }
    void TearDown() override { ResetPluginGlobals(); }

    FilterParameters current{};
};

std::vector<uint8_t> TakeBlock(void* block, size_t size = kParameterBlockSize)
{
    std::vector<uint8_t> bytes(static_cast<uint8_t*>(block), static_cast<uint8_t*>(block) + size);
    FreeParameterBlock(block);
    return bytes;
}

std::vector<uint8_t> BlockOfVersion(uint16_t build, int16_t angle)
{
    std::vector<uint8_t> block(kParameterBlockSize, 0);
    block[6] = uint8_t(build);
    block[8] = 7; // intensity
    block[12] = uint8_t(uint16_t(angle) & 0xFF);
    block[13] = uint8_t(uint16_t(angle) >> 8);
    block[14] = 6; // numberOfPoints
    return block;
}

} // namespace

TEST_F(ParameterBlock, CurrentBlockIsLittleEndianWithZeroTail)
{
    current.versionBuild = 9; // the block always carries the current version, not the record's
    current.angle = -450;
    current.saturation = -100;
    current.outputSpikesOnly = 1;
    const std::vector<uint8_t> block = TakeBlock(ParameterBlockProc(kBlockCurrent, nullptr));

    const uint8_t header[8] = {0, 0, 0, 0, 0, 0, 4, 0};
    EXPECT_EQ(std::memcmp(block.data(), header, 8), 0);
    EXPECT_EQ(block[12], 0x3E); // -450 = 0xFE3E
    EXPECT_EQ(block[13], 0xFE);
    EXPECT_EQ(block[18], 0x9C); // -100 = 0xFF9C
    EXPECT_EQ(block[19], 0xFF);
    EXPECT_EQ(block[28], 1);
    EXPECT_EQ(block[29], 0);
    for (size_t i = 30; i < kParameterBlockSize; ++i)
        ASSERT_EQ(block[i], 0) << "byte " << i;

    const std::vector<uint8_t> factory = TakeBlock(ParameterBlockProc(kBlockFactory, nullptr));
    const uint8_t factoryStart[10] = {0, 0, 0, 0, 0, 0, 4, 0, 50, 0};
    EXPECT_EQ(std::memcmp(factory.data(), factoryStart, 10), 0);
    EXPECT_EQ(factory[14], 4);  // numberOfPoints
    EXPECT_EQ(factory[18], 30); // saturation

    const auto* version = static_cast<const RecordVersion*>(ParameterBlockProc(kBlockCurrentVersion, nullptr));
    EXPECT_EQ(version->build, 4);
    EXPECT_EQ(version->major + version->minor + version->revision, 0);
}

TEST_F(ParameterBlock, ApplyCopiesHeaderAndFieldsAndEqualsIgnoresHeader)
{
    std::vector<uint8_t> block = BlockOfVersion(3, 15);
    EXPECT_EQ(ParameterBlockProc(kBlockApply, block.data()), reinterpret_cast<void*>(1));
    EXPECT_EQ(current.versionBuild, 3);
    EXPECT_EQ(current.intensity, 7);
    EXPECT_EQ(current.angle, 15);
    EXPECT_EQ(current.numberOfPoints, 6);
    EXPECT_EQ(current.length, 0);

    // Same eleven fields under another header still count as equal.
    block[0] = 1;
    block[6] = 4;
    EXPECT_EQ(ParameterBlockProc(kBlockEquals, block.data()), reinterpret_cast<void*>(1));
    block[28] = 1; // the last field is compared too
    EXPECT_EQ(ParameterBlockProc(kBlockEquals, block.data()), nullptr);

    EXPECT_EQ(ParameterBlockProc(kBlockReset, nullptr), reinterpret_cast<void*>(1));
    EXPECT_EQ(std::memcmp(&current, &kFactoryParameters, sizeof(current)), 0);
    EXPECT_EQ(ParameterBlockProc(7, nullptr), nullptr);
    EXPECT_EQ(ParameterBlockProc(-1, nullptr), nullptr);
}

TEST_F(ParameterBlock, ConvertsOnlyDegreeBlocksAndScalesAngleInSixteenBits)
{
    const std::vector<uint8_t> converted = TakeBlock(ParameterBlockProc(kBlockConvert, BlockOfVersion(3, -15).data()));
    EXPECT_EQ(converted[6], 4);
    EXPECT_EQ(int16_t(converted[12] | converted[13] << 8), -150);
    EXPECT_EQ(converted[8], 7);
    EXPECT_EQ(converted[14], 6);
    for (size_t i = 30; i < kParameterBlockSize; ++i)
        ASSERT_EQ(converted[i], 0) << "byte " << i;

    // A nonsensical angle wraps like the stored 16-bit field instead of overflowing.
    const std::vector<uint8_t> wrapped = TakeBlock(ParameterBlockProc(kBlockConvert, BlockOfVersion(3, 5000).data()));
    EXPECT_EQ(int16_t(wrapped[12] | wrapped[13] << 8), int16_t(50000 - 65536));

    for (uint16_t build : {0, 2, 4, 5})
        EXPECT_EQ(ParameterBlockProc(kBlockConvert, BlockOfVersion(build, 15).data()), nullptr) << build;
}

TEST_F(ParameterBlock, WithoutCurrentParametersNothingIsTouched)
{
    gPlugin.parameters = nullptr;
    const std::vector<uint8_t> block = BlockOfVersion(4, 15);
    EXPECT_EQ(ParameterBlockProc(kBlockCurrent, nullptr), nullptr);
    EXPECT_EQ(ParameterBlockProc(kBlockApply, block.data()), nullptr);
    EXPECT_EQ(ParameterBlockProc(kBlockEquals, block.data()), nullptr);
    ResetParameters();
}

TEST(ParameterRanges, ClampBringsEveryFieldIntoItsRange)
{
    FilterParameters p{0, 0, 0, 4, -5, 101, -901, 0, 32767, -101, -32768, 100, 0, 50, 7};
    ClampParameters(&p);
    EXPECT_EQ(p.intensity, 0);
    EXPECT_EQ(p.length, 100);
    EXPECT_EQ(p.angle, -900);
    EXPECT_EQ(p.numberOfPoints, 1);
    EXPECT_EQ(p.spikeSharpness, 100);
    EXPECT_EQ(p.saturation, -100);
    EXPECT_EQ(p.rainbowIntensity, 0);
    EXPECT_EQ(p.rainbowFrequency, 100);
    EXPECT_EQ(p.softFlareBrightness, 50);
    EXPECT_EQ(p.outputSpikesOnly, 1);
    EXPECT_EQ(p.versionBuild, 4);

    FilterParameters inside = kFactoryParameters;
    inside.angle = 900;
    inside.numberOfPoints = 32;
    ClampParameters(&inside);
    EXPECT_EQ(inside.angle, 900);
    EXPECT_EQ(inside.numberOfPoints, 32);
}
