// Tests run where nobody answers a message box, and under Wine with a display a box would wait for ever.
// Before every test the module's user messages are routed to standard error; a test that wants to see
// them installs its own hook, which wins until the next test starts.
#include <gtest/gtest.h>

#include <cstdio>

#include "common/StrayMessageBoxes.h"
#include "diag/ErrorReport.h"

namespace {

class QuietMessageBoxes : public testing::EmptyTestEventListener
{
    void OnTestProgramStart(const testing::UnitTest&) override { StartStrayMessageBoxCloser(); }
    void OnTestStart(const testing::TestInfo&) override
    {
        SetMessageBoxHook([](void*, const char* caption, const char* text, uint32_t) {
            std::fprintf(stderr, "[message box] %s - %s\n", caption, text);
        });
    }
    void OnTestProgramEnd(const testing::UnitTest&) override { StopStrayMessageBoxCloser(); }
};

const bool gInstalled = [] {
    testing::UnitTest::GetInstance()->listeners().Append(new QuietMessageBoxes);
    return true;
}();

} // namespace
