// The linked module driven through the harness: one interactive run and one run on a minimal host,
// enough to show that the two fit together. The module's own protocol tests live with the module.
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <random>

#include <gtest/gtest.h>

#include "diag/DebugLog.h"
#include "host/PluginGlobals.h"
#include "image/BufferRecord.h"
#include "presets/UserFolders.h"
#include "tools/harness/Harness.h"

namespace {

// The module as after loading, with its user folders in a fresh temporary folder.
class LinkedModule : public ::testing::Test
{
protected:
    void SetUp() override
    {
        const auto stamp = std::chrono::steady_clock::now().time_since_epoch().count();
        root_ = std::filesystem::temp_directory_path() /
                ("corvane-harness-" + std::to_string(stamp) + "-" + std::to_string(std::random_device{}()));
        std::filesystem::create_directories(root_);
        Forget();
        OverrideApplicationDataRoots(root_.string().c_str(), root_.string().c_str());
        ASSERT_TRUE(LoadModule(DefaultModulePath(), &module_)) << module_.error;
    }
    void TearDown() override
    {
        UnloadModule(&module_);
        CloseDebugLog();
        Forget();
        std::error_code ignored;
        std::filesystem::remove_all(root_, ignored);
    }
    static void Forget()
    {
        ResetPluginGlobals();
        ResetDebugLog();
        ResetUserFolders();
        ResetBufferUsage();
    }

    std::filesystem::path root_;
    LoadedModule module_;
};

HostDocument Starfield()
{
    HostDocument doc(48, 32, plugInModeRGBColor);
    doc.Fill([](int32_t, int32_t x, int32_t y) {
        const bool first = std::abs(x - 12) <= 1 && std::abs(y - 10) <= 1;
        const bool second = std::abs(x - 30) <= 1 && std::abs(y - 20) <= 1;
        return first || second ? 255.0 : 10.0;
    });
    return doc;
}

TEST_F(LinkedModule, InteractiveRunLeavesHandlesRegistryAndDescriptorAsHostsExpect)
{
    Host host(module_.entry);
    const HostDocument before = Starfield();
    ASSERT_TRUE(host.SetDocument(before));
    EXPECT_EQ(host.RunInteractive(), noErr);
    EXPECT_GT(CompareDocuments(before, host.Document()).count, 0) << "the stars got no spikes";

    for (const TransferRequest& t : host.Transfers()) {
        if (!IsEmptyRect(t.inRect)) {
            EXPECT_EQ(t.inLoPlane, t.inHiPlane) << "a reference host is asked one plane at a time";
        }
        if (!IsEmptyRect(t.outRect)) {
            EXPECT_EQ(t.outLoPlane, t.outHiPlane);
        }
    }
    EXPECT_EQ(host.ParametersBytes().size(), 30u);
    EXPECT_EQ(host.DataBytes(), std::vector<uint8_t>{0}); // the dialog was offered once
    std::vector<uint8_t> block;
    EXPECT_TRUE(host.GetRegisteredData("75d59f99-3ae5-401F-bf44-409a01ddec70", FourCC("PBlk"), &block));
    EXPECT_EQ(block.size(), 255u);
    ASSERT_TRUE(host.HasRecordedDescriptor());
    EXPECT_EQ(host.RecordedDescriptor().size(), 11u);
    EXPECT_EQ(host.SuiteBalance(kPSBufferSuite), 0);
    EXPECT_EQ(host.LiveBuffers(), 0);
    EXPECT_EQ(host.LiveActionDescriptors(), 0);
    EXPECT_TRUE(host.Faults().empty()) << host.Faults().front();
}

TEST_F(LinkedModule, RunsOnAMinimalHost)
{
    HostOptions options;
    options.recordSize = kMinimalFilterRecordSize;
    options.basicSuite = false;
    options.descriptorParameters = false;
    Host host(module_.entry, options);
    const HostDocument before = Starfield();
    ASSERT_TRUE(host.SetDocument(before));
    EXPECT_EQ(host.RunRepeat(), noErr);
    EXPECT_GT(CompareDocuments(before, host.Document()).count, 0);
    EXPECT_EQ(host.LiveBuffers(), 0);
    EXPECT_TRUE(host.Faults().empty());
}

} // namespace
