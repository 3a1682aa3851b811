#include "presets/ParameterBlock.h"

#include <gtest/gtest.h>

#include <cstring>

#include "engine/ParameterRanges.h"

namespace {

class ParameterBlock : public ::testing::Test
{
protected:
    FilterParameters current = kFactoryParameters;
    FilterParameters* target = &current; // the record the block operations work on
};

std::vector<uint8_t> Take(void* block)
{
    EXPECT_NE(block, nullptr);
    if (block == nullptr)
        return std::vector<uint8_t>(kParameterBlockSize, 0xEE);
    std::vector<uint8_t> bytes(static_cast<uint8_t*>(block), static_cast<uint8_t*>(block) + kParameterBlockSize);
    FreeParameterBlock(block);
    return bytes;
}

// Version header 0.0.0.`build`, intensity 7, the angle, six points; the rest zero.
std::vector<uint8_t> Block(uint16_t build, int16_t angle)
{
    std::vector<uint8_t> block(kParameterBlockSize, 0);
    block[6] = uint8_t(build);
    block[8] = 7;
    block[12] = uint8_t(uint16_t(angle) & 0xFF);
    block[13] = uint8_t(uint16_t(angle) >> 8);
    block[14] = 6;
    return block;
}

int16_t AngleOf(const std::vector<uint8_t>& block)
{
    return int16_t(block[12] | block[13] << 8);
}

} // namespace

TEST_F(ParameterBlock, BlocksAreLittleEndianCurrentVersionWithZeroTail)
{
    current.versionBuild = 9; // a block always carries the current version, not the record's
    current.angle = -450;
    current.outputSpikesOnly = 1;
    std::vector<uint8_t> expected(kParameterBlockSize, 0);
    const uint8_t start[30] = {0, 0,  0, 0,  0, 0,  4, 0,  50, 0,  50, 0,  0x3E, 0xFE, 4,
                               0, 50, 0, 30, 0, 50, 0, 50, 0,  50, 0,  50, 0,    1,    0};
    std::memcpy(expected.data(), start, sizeof start);
    EXPECT_EQ(Take(ParameterBlockProc(kBlockCurrent, nullptr, target)), expected);

    expected[12] = expected[13] = expected[28] = 0;
    EXPECT_EQ(Take(ParameterBlockProc(kBlockFactory, nullptr, nullptr)), expected);
    EXPECT_EQ(std::memcmp(ParameterBlockProc(kBlockCurrentVersion, nullptr, nullptr), start, 8), 0);
}

TEST_F(ParameterBlock, ApplyTakesHeaderAndFieldsEqualsIgnoresHeaderResetRestores)
{
    std::vector<uint8_t> block = Block(3, -15);
    EXPECT_EQ(ParameterBlockProc(kBlockApply, block.data(), target), reinterpret_cast<void*>(1));
    EXPECT_EQ(current.versionBuild, 3);
    EXPECT_EQ(current.intensity, 7);
    EXPECT_EQ(current.angle, -15);
    EXPECT_EQ(current.length, 0);

    block[0] = 1;
    EXPECT_EQ(ParameterBlockProc(kBlockEquals, block.data(), target), reinterpret_cast<void*>(1));
    block[28] = 1; // the last field counts
    EXPECT_EQ(ParameterBlockProc(kBlockEquals, block.data(), target), nullptr);

    EXPECT_EQ(ParameterBlockProc(kBlockReset, nullptr, target), reinterpret_cast<void*>(1));
    EXPECT_EQ(std::memcmp(&current, &kFactoryParameters, sizeof current), 0);
    EXPECT_EQ(ParameterBlockProc(7, block.data(), target), nullptr);

    // Outside a run there are no current parameters to read or write.
    target = nullptr;
    EXPECT_EQ(ParameterBlockProc(kBlockCurrent, nullptr, target), nullptr);
    EXPECT_EQ(ParameterBlockProc(kBlockApply, block.data(), target), nullptr);
}

TEST_F(ParameterBlock, ConvertsOnlyDegreeBlocksScalingTheAngleInSixteenBits)
{
    std::vector<uint8_t> expected = Block(4, -150);
    EXPECT_EQ(Take(ParameterBlockProc(kBlockConvert, Block(3, -15).data(), nullptr)), expected);
    EXPECT_EQ(AngleOf(Take(ParameterBlockProc(kBlockConvert, Block(3, 5000).data(), nullptr))), int16_t(50000 - 65536));
    for (uint16_t build : {0, 2, 4, 5})
        EXPECT_EQ(ParameterBlockProc(kBlockConvert, Block(build, 15).data(), nullptr), nullptr) << build;
}

TEST(ParameterRanges, ClampBringsEveryFieldIntoItsRange)
{
    FilterParameters low{0, 0, 0, 4, -1, -1, -901, 0, -1, -101, -1, -1, -1, -1, 0};
    FilterParameters high{0, 0, 0, 4, 101, 101, 901, 33, 101, 101, 101, 101, 101, 101, 7};
    ClampParameters(&low);
    ClampParameters(&high);
    const FilterParameters lowest{0, 0, 0, 4, 0, 0, -900, 1, 0, -100, 0, 0, 0, 0, 0};
    const FilterParameters highest{0, 0, 0, 4, 100, 100, 900, 32, 100, 100, 100, 100, 100, 100, 1};
    EXPECT_EQ(std::memcmp(&low, &lowest, sizeof low), 0);
    EXPECT_EQ(std::memcmp(&high, &highest, sizeof high), 0);
    FilterParameters inside = highest;
    ClampParameters(&inside);
    EXPECT_EQ(std::memcmp(&inside, &highest, sizeof inside), 0);
}
