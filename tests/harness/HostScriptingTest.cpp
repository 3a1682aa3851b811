#include <cstdio>

#include "FakeModule.h"

namespace {

using HostScripting = FakeModuleTest;

constexpr const char* kKey = "75d59f99-3ae5-401F-bf44-409a01ddec70";
constexpr DescriptorKeyID kBlockKey = FourCC("PBlk");

// A registry file of its own in the test's working folder, removed before and after.
class RegistryFile
{
public:
    explicit RegistryFile(const char* name) : path_(name) { std::remove(path_.c_str()); }
    ~RegistryFile() { std::remove(path_.c_str()); }
    const std::string& Path() const { return path_; }

private:
    std::string path_;
};

OSErr RegisterBlock(FilterRecord* r, const char* key, uint8_t fill, bool persistent)
{
    auto* registry = AcquireSuite<PSDescriptorRegistryProcs>(r, kPSDescriptorRegistrySuite, 1);
    auto* descriptors = AcquireSuite<PSActionDescriptorProcs>(r, kPSActionDescriptorSuite, 3);
    if (registry == nullptr || descriptors == nullptr)
        return errPlugInHostInsufficient;
    std::vector<uint8_t> block(255, fill);
    PIActionDescriptor d = nullptr;
    EXPECT_EQ(descriptors->Make(&d), noErr);
    EXPECT_EQ(descriptors->PutData(d, kBlockKey, 255, block.data()), noErr);
    const OSErr error = registry->Register(key, d, persistent);
    descriptors->Free(d);
    r->sSPBasic->ReleaseSuite(kPSDescriptorRegistrySuite, 1);
    r->sSPBasic->ReleaseSuite(kPSActionDescriptorSuite, 3);
    return error;
}

// The block registered under `key`, or an empty vector.
std::vector<uint8_t> ReadBlock(FilterRecord* r, const char* key)
{
    auto* registry = AcquireSuite<PSDescriptorRegistryProcs>(r, kPSDescriptorRegistrySuite, 1);
    auto* descriptors = AcquireSuite<PSActionDescriptorProcs>(r, kPSActionDescriptorSuite, 3);
    std::vector<uint8_t> block;
    PIActionDescriptor d = nullptr;
    if (registry == nullptr || descriptors == nullptr || registry->Get(key, &d) != noErr || d == nullptr)
        return block;
    int32 length = 0;
    EXPECT_EQ(descriptors->GetDataLength(d, kBlockKey, &length), noErr);
    block.resize(size_t(length));
    EXPECT_EQ(descriptors->GetData(d, kBlockKey, block.data()), noErr);
    descriptors->Free(d);
    return block;
}

TEST_F(HostScripting, PersistentRegistryEntriesSurviveIntoTheNextHost)
{
    RegistryFile file("harness-registry-persist.bin");
    HostOptions options;
    options.registryPath = file.Path();
    {
        Host host(FakeEntry, options);
        ASSERT_TRUE(host.SetDocument(HostDocument(2, 2, plugInModeGrayScale)));
        Fake().finish = [](FilterRecord* r) {
            EXPECT_EQ(RegisterBlock(r, kKey, 0x5A, true), noErr);
            EXPECT_EQ(RegisterBlock(r, "transient", 1, false), noErr);
            return noErr;
        };
        EXPECT_EQ(host.RunRepeat(), noErr);
        EXPECT_TRUE(host.IsRegistered("transient"));
        EXPECT_EQ(host.LiveActionDescriptors(), 0);
        EXPECT_EQ(host.SuiteBalance(kPSDescriptorRegistrySuite), 0);
    }
    Host next(FakeEntry, options);
    ASSERT_TRUE(next.SetDocument(HostDocument(2, 2, plugInModeGrayScale)));
    std::vector<uint8_t> restored, transient;
    Fake().finish = nullptr;
    Fake().start = [&](FilterRecord* r) {
        restored = ReadBlock(r, kKey);
        transient = ReadBlock(r, "transient");
        return noErr;
    };
    EXPECT_EQ(next.RunRepeat(), noErr);
    EXPECT_EQ(restored, std::vector<uint8_t>(255, 0x5A));
    EXPECT_TRUE(transient.empty()); // registered without persistence: gone with the host
    EXPECT_EQ(next.LiveActionDescriptors(), 0);
    EXPECT_TRUE(next.Faults().empty());
}

TEST_F(HostScripting, AnUnreadableRegistryFileStartsEmptyAndIsReported)
{
    RegistryFile file("harness-registry-broken.bin");
    FILE* f = std::fopen(file.Path().c_str(), "wb");
    ASSERT_NE(f, nullptr);
    std::fputs("CRG1\x05", f); // the magic, then a count cut short
    std::fclose(f);
    HostOptions options;
    options.registryPath = file.Path();
    Host host(FakeEntry, options);
    EXPECT_FALSE(host.IsRegistered(kKey));
    EXPECT_EQ(host.Faults().size(), 1u);
    std::vector<uint8_t> planted(255, 3), read;
    host.RegisterData(kKey, kBlockKey, planted.data(), 255, true);
    EXPECT_TRUE(host.GetRegisteredData(kKey, kBlockKey, &read));
    EXPECT_EQ(read, planted);
}

TEST_F(HostScripting, DescriptorsRoundTripThroughTheReadAndWriteProcedures)
{
    Host host(FakeEntry);
    ASSERT_TRUE(host.SetDocument(HostDocument(2, 2, plugInModeGrayScale)));
    Descriptor given;
    PutValue(&given, FourCC("numP"), IntegerValue(6));
    PutValue(&given, FourCC("Angl"), UnitFloatValue(unitAngle, -45.5));
    PutValue(&given, FourCC("opsO"), BooleanValue(true));
    host.SetDescriptor(given);

    Fake().start = [](FilterRecord* r) {
        PIDescriptorParameters* p = r->descriptorParameters;
        EXPECT_EQ(p->playInfo, plugInDialogSilent);
        DescriptorKeyID keys[] = {FourCC("Angl"), FourCC("Lngt"), FourCC("numP"), FourCC("opsO"), 0};
        PIReadDescriptor token = p->readDescriptorProcs->openReadDescriptorProc(p->descriptor, keys);
        EXPECT_NE(token, nullptr);
        DescriptorKeyID key;
        DescriptorTypeID type;
        int32 flags;
        int32 integer = 0;
        double number = 0;
        DescriptorUnitID unit = 0;
        Boolean boolean = 0;
        std::vector<DescriptorKeyID> order;
        while (p->readDescriptorProcs->getKeyProc(token, &key, &type, &flags)) {
            order.push_back(key);
            if (key == FourCC("numP"))
                EXPECT_EQ(p->readDescriptorProcs->getIntegerProc(token, &integer), noErr);
            else if (key == FourCC("Angl"))
                EXPECT_EQ(p->readDescriptorProcs->getUnitFloatProc(token, &unit, &number), noErr);
            else
                EXPECT_EQ(p->readDescriptorProcs->getBooleanProc(token, &boolean), noErr);
        }
        EXPECT_EQ(order, (std::vector<DescriptorKeyID>{FourCC("numP"), FourCC("Angl"), FourCC("opsO")}));
        EXPECT_EQ(integer, 6);
        EXPECT_EQ(unit, unitAngle);
        EXPECT_EQ(number, -45.5);
        EXPECT_EQ(boolean, 1);
        // Keys returned are zeroed; the one the descriptor lacks stays.
        EXPECT_EQ(keys[0], 0u);
        EXPECT_EQ(keys[1], FourCC("Lngt"));
        EXPECT_EQ(keys[2], 0u);
        EXPECT_EQ(p->readDescriptorProcs->closeReadDescriptorProc(token), noErr);
        r->handleProcs->disposeProc(p->descriptor);
        p->descriptor = nullptr;
        return noErr;
    };
    Fake().finish = [](FilterRecord* r) {
        PIDescriptorParameters* p = r->descriptorParameters;
        PIWriteDescriptor token = p->writeDescriptorProcs->openWriteDescriptorProc();
        const double angle = -45.5;
        p->writeDescriptorProcs->putUnitFloatProc(token, FourCC("Angl"), unitAngle, &angle);
        p->writeDescriptorProcs->putIntegerProc(token, FourCC("numP"), 6);
        p->writeDescriptorProcs->putBooleanProc(token, FourCC("opsO"), 1);
        EXPECT_EQ(p->writeDescriptorProcs->closeWriteDescriptorProc(token, &p->descriptor), noErr);
        p->recordInfo = plugInDialogOptional;
        return noErr;
    };
    const int32_t handlesBefore = host.LiveHandles();
    EXPECT_EQ(host.RunScripted(plugInDialogSilent), noErr);
    ASSERT_TRUE(host.HasRecordedDescriptor());
    const Descriptor& written = host.RecordedDescriptor();
    ASSERT_EQ(written.size(), 3u);
    EXPECT_EQ(written[0].key, FourCC("Angl"));
    EXPECT_EQ(FindValue(written, FourCC("Angl"))->number, -45.5);
    EXPECT_EQ(FindValue(written, FourCC("numP"))->integer, 6);
    EXPECT_TRUE(FindValue(written, FourCC("opsO"))->boolean);
    EXPECT_EQ(host.LiveHandles(), handlesBefore); // both descriptor handles are gone
    EXPECT_TRUE(host.Faults().empty());
}

TEST_F(HostScripting, ReadingAValueAsTheWrongTypeFailsAndCloseReportsIt)
{
    Host host(FakeEntry);
    ASSERT_TRUE(host.SetDocument(HostDocument(2, 2, plugInModeGrayScale)));
    Descriptor given;
    PutValue(&given, FourCC("Intn"), UnitFloatValue(unitPercent, 20.0));
    host.SetDescriptor(given);
    Fake().start = [](FilterRecord* r) {
        const ReadDescriptorProcs* read = r->descriptorParameters->readDescriptorProcs;
        DescriptorKeyID keys[] = {FourCC("Intn"), 0};
        PIReadDescriptor token = read->openReadDescriptorProc(r->descriptorParameters->descriptor, keys);
        DescriptorKeyID key;
        DescriptorTypeID type;
        int32 flags, value;
        EXPECT_TRUE(read->getKeyProc(token, &key, &type, &flags));
        EXPECT_EQ(type, typeUnitFloat);
        EXPECT_NE(read->getIntegerProc(token, &value), noErr);
        EXPECT_FALSE(read->getKeyProc(token, &key, &type, &flags));
        EXPECT_NE(read->closeReadDescriptorProc(token), noErr);
        return noErr; // leaves the descriptor to the host
    };
    EXPECT_EQ(host.RunScripted(plugInDialogDontDisplay), noErr);
    EXPECT_FALSE(host.HasRecordedDescriptor());
    EXPECT_TRUE(host.Faults().empty());
}

TEST_F(HostScripting, ReplacingTheGivenDescriptorWithoutDisposingItIsAFault)
{
    Host host(FakeEntry);
    ASSERT_TRUE(host.SetDocument(HostDocument(2, 2, plugInModeGrayScale)));
    host.SetDescriptor(Descriptor{});
    Fake().finish = [](FilterRecord* r) {
        PIDescriptorParameters* p = r->descriptorParameters;
        PIWriteDescriptor token = p->writeDescriptorProcs->openWriteDescriptorProc();
        p->writeDescriptorProcs->putIntegerProc(token, FourCC("numP"), 3);
        return p->writeDescriptorProcs->closeWriteDescriptorProc(token, &p->descriptor);
    };
    EXPECT_EQ(host.RunScripted(plugInDialogDontDisplay), noErr);
    EXPECT_TRUE(host.HasRecordedDescriptor());
    EXPECT_EQ(host.Faults().size(), 1u);
}

} // namespace
