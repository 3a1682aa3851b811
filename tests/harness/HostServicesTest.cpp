#include "FakeModule.h"

namespace {

using HostServices = FakeModuleTest;

TEST_F(HostServices, HandlesKeepTheirContentsWhenResizedAndAreTracked)
{
    Host host(FakeEntry);
    const HandleProcs* procs = host.Record()->handleProcs;
    const int32_t before = host.LiveHandles();
    Handle h = procs->newProc(3);
    ASSERT_NE(h, nullptr);
    Ptr p = procs->lockProc(h, 1);
    std::memcpy(p, "abc", 3);
    procs->unlockProc(h);
    EXPECT_EQ(procs->getSizeProc(h), 3);
    EXPECT_EQ(procs->setSizeProc(h, 1000), noErr);
    EXPECT_EQ(procs->getSizeProc(h), 1000);
    EXPECT_EQ(std::memcmp(procs->lockProc(h, 1), "abc", 3), 0);
    EXPECT_EQ(host.LiveHandles(), before + 1);
    procs->disposeProc(h);
    EXPECT_EQ(host.LiveHandles(), before);
    EXPECT_TRUE(host.Faults().empty());
    procs->disposeProc(h); // twice
    EXPECT_EQ(host.Faults().size(), 1u);
}

TEST_F(HostServices, RefusesMemoryAfterTheGivenNumberOfAllocations)
{
    HostOptions options;
    options.handlesBeforeRefusal = 1;
    options.bufferProcsBeforeRefusal = 1;
    options.bufferSuiteBeforeRefusal = 0;
    Host host(FakeEntry, options);
    FilterRecord* r = host.Record();
    Handle h = r->handleProcs->newProc(8);
    EXPECT_NE(h, nullptr);
    EXPECT_EQ(r->handleProcs->newProc(8), nullptr);
    r->handleProcs->disposeProc(h);

    BufferID id = nullptr;
    EXPECT_EQ(r->bufferProcs->allocateProc(16, &id), noErr);
    EXPECT_NE(r->bufferProcs->lockProc(id, 1), nullptr);
    r->bufferProcs->unlockProc(id);
    r->bufferProcs->freeProc(id);
    EXPECT_EQ(r->bufferProcs->allocateProc(16, &id), memFullErr);

    const PSBufferSuite1* buffers = AcquireSuite<PSBufferSuite1>(r, kPSBufferSuite, 1);
    ASSERT_NE(buffers, nullptr);
    uint32 size = 16;
    EXPECT_EQ(buffers->New(&size, 16), nullptr);
    EXPECT_EQ(host.LiveBuffers(), 0);
}

TEST_F(HostServices, BufferSuiteBlocksAreFreedAndCounted)
{
    Host host(FakeEntry);
    const PSBufferSuite1* buffers = AcquireSuite<PSBufferSuite1>(host.Record(), kPSBufferSuite, 1);
    ASSERT_NE(buffers, nullptr);
    uint32 size = 100;
    Ptr block = buffers->New(&size, 50);
    ASSERT_NE(block, nullptr);
    EXPECT_GE(size, 50u);
    EXPECT_EQ(host.LiveBuffers(), 1);
    buffers->Dispose(&block);
    EXPECT_EQ(block, nullptr);
    EXPECT_EQ(host.LiveBuffers(), 0);
    EXPECT_EQ(host.SuiteBalance(kPSBufferSuite), 1); // acquired, not released
}

TEST_F(HostServices, SuitesCanBeLeftOut)
{
    HostOptions options;
    options.bufferSuite = false;
    options.propertySuite = false;
    options.actionDescriptorVersion = 2;
    Host host(FakeEntry, options);
    FilterRecord* r = host.Record();
    const void* suite = &options;
    EXPECT_EQ(r->sSPBasic->AcquireSuite(kPSBufferSuite, 1, &suite), kSPSuiteNotFoundError);
    EXPECT_EQ(suite, nullptr);
    EXPECT_EQ(AcquireSuite<PropertyProcs>(r, kPSPropertySuite, 1), nullptr);
    EXPECT_EQ(AcquireSuite<PSActionDescriptorProcs>(r, kPSActionDescriptorSuite, 3), nullptr);
    EXPECT_NE(AcquireSuite<PSActionDescriptorProcs>(r, kPSActionDescriptorSuite, 2), nullptr);
    EXPECT_NE(AcquireSuite<PSErrorSuite1>(r, kPSErrorSuite, 1), nullptr);
    EXPECT_EQ(host.SuiteAcquisitions(kPSBufferSuite), 0);
}

TEST_F(HostServices, MinimalHostsLeaveOutWhatTheyDoNotHave)
{
    HostOptions options;
    options.recordSize = kMinimalFilterRecordSize;
    options.basicSuite = false;
    options.descriptorParameters = false;
    options.advanceState = false;
    Host host(FakeEntry, options);
    ASSERT_TRUE(host.SetDocument(HostDocument(8, 8, plugInModeRGBColor)));
    FilterRecord* r = host.Record();
    EXPECT_EQ(r->bigDocumentData, nullptr); // the host has room for the pointer but not the record
    EXPECT_EQ(host.BigDocument(), nullptr);
    EXPECT_EQ(r->sSPBasic, nullptr);
    EXPECT_EQ(host.About()->sSPBasic, nullptr);
    EXPECT_EQ(r->descriptorParameters, nullptr);
    EXPECT_EQ(r->advanceState, nullptr);
    EXPECT_EQ(r->canUseICCProfiles, 1);
    Fake().start = [](FilterRecord* record) {
        EXPECT_EQ(record->planes, 3);
        return noErr;
    };
    EXPECT_EQ(host.RunRepeat(), noErr);
}

TEST_F(HostServices, ParametersCanBeSentOnEveryRun)
{
    HostOptions options;
    options.parametersEveryRun = true;
    Host host(FakeEntry, options);
    ASSERT_TRUE(host.SetDocument(HostDocument(2, 2, plugInModeGrayScale)));
    EXPECT_EQ(host.RunRepeat(), noErr);
    EXPECT_EQ(host.RunScripted(plugInDialogSilent), noErr);
    EXPECT_EQ(host.Selectors(), (std::vector<int16>{1, 2, 3, 5, 1, 2, 3, 5}));
}

TEST_F(HostServices, FailsAdvanceStateFromTheChosenCallOn)
{
    HostOptions options;
    options.failAdvanceStateAt = 2;
    options.advanceStateError = -1234;
    Host host(FakeEntry, options);
    ASSERT_TRUE(host.SetDocument(HostDocument(4, 4, plugInModeGrayScale)));
    Fake().start = [](FilterRecord* r) {
        r->inRect = MakeRect(0, 0, 4, 4);
        EXPECT_EQ(r->advanceState(), noErr);
        EXPECT_EQ(r->advanceState(), -1234);
        r->inRect = Rect{};
        return r->advanceState();
    };
    EXPECT_EQ(host.RunRepeat(), -1234);
    EXPECT_EQ(host.Selectors(), (std::vector<int16>{2, 3})); // no Finish after a failed Start
    ASSERT_EQ(host.Transfers().size(), 3u);
    EXPECT_EQ(host.Transfers()[2].result, -1234);
}

TEST_F(HostServices, AbortsFromTheChosenCallAndThenRefusesTransfers)
{
    HostOptions options;
    options.abortAt = 2;
    Host host(FakeEntry, options);
    ASSERT_TRUE(host.SetDocument(HostDocument(4, 4, plugInModeGrayScale)));
    Fake().start = [](FilterRecord* r) {
        EXPECT_FALSE(r->abortProc());
        r->progressProc(1, 3);
        r->inRect = MakeRect(0, 0, 4, 4);
        EXPECT_EQ(r->advanceState(), noErr);
        EXPECT_TRUE(r->abortProc());
        EXPECT_EQ(r->advanceState(), userCanceledErr);
        return noErr; // leaves a rectangle set: the host's loop sees the cancel
    };
    EXPECT_EQ(host.RunRepeat(), userCanceledErr);
    EXPECT_EQ(host.Selectors(), (std::vector<int16>{2, 3, 5})); // Finish still follows
    EXPECT_EQ(host.AbortCalls(), 2);
    ASSERT_EQ(host.ProgressCalls().size(), 1u);
    EXPECT_EQ(host.ProgressCalls()[0].total, 3);
}

TEST_F(HostServices, PropertiesAreRecordedAndTheIndependentGetterWritesNothing)
{
    {
        Host host(FakeEntry);
        ASSERT_TRUE(host.SetDocument(HostDocument(7, 5, plugInModeRGBColor, true)));
        FilterRecord* r = host.Record();
        intptr_t value = -1;
        EXPECT_EQ(r->propertyProcs->getPropertyProc(kPhotoshopSignature, FourCC("nuch"), 0, &value, nullptr), noErr);
        EXPECT_EQ(value, 4);
        EXPECT_EQ(r->propertyProcs->setPropertyProc(kPhotoshopSignature, propWatchSuspension, 0, 1, nullptr), noErr);
        EXPECT_EQ(r->propertyProcs->setPropertyProc(kPhotoshopSignature, FourCC("xxxx"), 0, 1, nullptr),
                  errPlugInPropertyUndefined);
        ASSERT_EQ(host.PropertySets().size(), 2u);
        EXPECT_EQ(host.PropertySets()[0].key, propWatchSuspension);
        EXPECT_EQ(host.PropertySets()[0].simple, 1);
    }
    Host independent(FakeEntry, HostOptions::Independent());
    ASSERT_TRUE(independent.SetDocument(HostDocument(7, 5, plugInModeRGBColor)));
    FilterRecord* r = independent.Record();
    intptr_t value = -1;
    EXPECT_EQ(r->propertyProcs->getPropertyProc(kPhotoshopSignature, FourCC("nuch"), 0, &value, nullptr), noErr);
    EXPECT_EQ(value, -1);
    Handle h = r->handleProcs->newProc(30);
    EXPECT_EQ(r->handleProcs->getSizeProc(h), 0);
    EXPECT_EQ(r->handleProcs->setSizeProc(h, 60), noErr);
    r->handleProcs->disposeProc(h);
}

} // namespace
