#include "sdk/HostInterface.h"

#include <gtest/gtest.h>

TEST(HostLayout, FourCharacterCodesReadBigEndian)
{
    EXPECT_EQ(FourCC("8BIM"), 0x3842494Du);
    EXPECT_EQ(FourCC("#Prc"), 0x23507263u);
}
