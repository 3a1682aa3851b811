#include "host/SelectorSteps.h"

#include <gtest/gtest.h>

// The cases a real document cannot easily show: the selection's plane and absurd plane counts.
TEST(MemoryBudget, CountsTheSelectionAndNeverOverflows)
{
    FilterRecord record{};
    int selection = 0;
    record.maskData = &selection;
    record.planes = 3;
    record.filterRect = Rect{10, 20, 60, 120};
    record.maxSpace = 100000000;
    record.bufferSpace = 5;
    SetMemoryBudget(&record);
    EXPECT_EQ(record.maxSpace, 2 * 4 * 100 * 50);
    EXPECT_EQ(record.bufferSpace, 0);

    record.planes = 32767;
    record.filterRect = Rect{0, 0, 30000, 30000};
    record.maxSpace = 2000000000;
    SetMemoryBudget(&record);
    EXPECT_EQ(record.maxSpace, 2000000000);

    record.filterRect = Rect{60, 120, 10, 20}; // inverted: nothing to budget for
    SetMemoryBudget(&record);
    EXPECT_EQ(record.maxSpace, 0);
}
