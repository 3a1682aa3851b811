// Hosts that show the dialog on every run: the harness answers it as a user would, and a repeat of the
// filter on a host that always sends the parameters selector still brings the dialog up.
#include <gtest/gtest.h>

#include "tools/harness/Harness.h"

namespace {

HostDocument TwoStars()
{
    HostDocument document(40, 24, plugInModeRGBColor);
    document.Fill(
        [](int32_t, int32_t x, int32_t y) { return (x == 10 && y == 8) || (x == 28 && y == 16) ? 255.0 : 6.0; });
    return document;
}

double SampleSum(const HostDocument& document)
{
    double sum = 0;
    for (int32_t p = 0; p < 3; ++p)
        for (int32_t y = 0; y < document.Height(); ++y)
            for (int32_t x = 0; x < document.Width(); ++x)
                sum += document.Sample(p, x, y);
    return sum;
}

TEST(HostDialogAnswer, AHostThatSendsParametersEveryRunShowsTheDialogEveryTime)
{
    LoadedModule module;
    ASSERT_TRUE(LoadModule(DefaultModulePath(), &module)) << module.error;
    const double untouched = SampleSum(TwoStars());
    for (const DialogAnswer answer : {DialogAnswer::Cancel, DialogAnswer::Ok}) {
        HostOptions options = HostOptions::Independent();
        options.dialogAnswer = answer;
        Host host(module.entry, options);
        ASSERT_TRUE(host.SetDocument(TwoStars()));
        // A repeat, which on a host that skips the parameters selector would run silently.
        for (int run = 0; run < 2; ++run) {
            const OSErr result = host.RunRepeat();
            EXPECT_EQ(result, answer == DialogAnswer::Cancel ? userCanceledErr : noErr) << run;
        }
        if (answer == DialogAnswer::Cancel)
            EXPECT_EQ(SampleSum(host.Document()), untouched) << "a cancelled dialog applies nothing";
        else
            EXPECT_GT(SampleSum(host.Document()), untouched) << "OK applies the spikes";
        EXPECT_EQ(host.LiveBuffers(), 0);
    }
    // Later tests expect a freshly loaded module: its log and its once-per-load choices start anew.
    UnloadModule(&module);
}

} // namespace
