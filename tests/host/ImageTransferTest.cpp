#include <gtest/gtest.h>

#include <functional>
#include <limits>

#include "engine/RenderShapes.h"
#include "host/ImageTransfer.h"
#include "image/ImageTestSupport.h"
#include "image/ToneTables.h"
#include "tools/harness/Harness.h"
#include "tools/harness/HeapHostMemory.h"

namespace {

// A stand-in entry point that only moves pixels: at start, the test's script runs between reading the
// input and ending the transfer, where the filter run would.
std::function<void()> gScript;
FilterRecord* gRecord; // the record of the current call
ImageBuffer input;     // the image read at start
OSErr gWriteError;     // the first failure of a write-back

void Entry(int16 selector, void* record, intptr_t*, int16* result)
{
    if (selector == filterSelectorAbout)
        return;
    gRecord = static_cast<FilterRecord*>(record);
    SetHostMemory(HostMemory{nullptr, gRecord->bufferProcs});
    if (gRecord->bigDocumentData != nullptr)
        gRecord->bigDocumentData->PluginUsing32BitCoordinates = 1;
    if (selector == filterSelectorStart) {
        BuildToneTables();
        gWriteError = noErr;
        OSErr error = ReadInputImage(gRecord, &input);
        if (error == noErr && gScript)
            gScript();
        if (error == noErr)
            error = gWriteError;
        if (error == noErr)
            error = FinishImageTransfer(gRecord);
        FreeImageBuffer(&input);
        if (error != noErr)
            *result = error;
    }
    gRecord = nullptr;
    SetHostMemory(HostMemory{});
}

// Hands the input back in tiles of `size`, every pixel through getPixel and putPixel.
bool WriteBack(int32_t size)
{
    const ImageBuffer& in = input;
    ImageBuffer tile{};
    bool written = true;
    for (int32_t top = in.rect.top; written && top < in.rect.bottom; top += size)
        for (int32_t left = in.rect.left; written && left < in.rect.right; left += size) {
            const ImageRect r{left, top, std::min(left + size, in.rect.right), std::min(top + size, in.rect.bottom)};
            written = AllocateImageBuffer(&tile, r, in.mode, PlaneCounts{3, 0, 0, 0, 0}, false) == noErr;
            for (int32_t y = r.top; written && y < r.bottom; ++y)
                for (int32_t x = r.left; x < r.right; ++x) {
                    tile.putPixel(&tile, in.getPixel(&in, x, y), x, y);
                }
            if (written) {
                const OSErr error = WriteOutputTile(gRecord, &tile);
                if (gWriteError == noErr)
                    gWriteError = error;
                written = error == noErr;
            }
        }
    FreeImageBuffer(&tile);
    return written;
}

// Samples spread over each depth's range; floats on the 2^-24 grid, which survive a round trip.
HostDocument Pattern(int32_t width, int32_t height, int16 mode, bool transparency)
{
    HostDocument doc(width, height, mode, transparency);
    const int32_t bytes = doc.BytesPerSample();
    doc.Fill([bytes](int32_t plane, int32_t x, int32_t y) {
        const uint32_t k = uint32_t(x) * 2654435761u + uint32_t(y) * 40503u + uint32_t(plane) * 977u;
        return bytes == 1 ? k % 256 : bytes == 2 ? k % 32769 : double(k % 16777215 + 2) / 16777216.0;
    });
    return doc;
}

class ImageTransferTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ResetBufferUsage();
        gScript = nullptr;
    }
    void TearDown() override { EXPECT_EQ(CurrentBufferUsage(), 0u); }
};

TEST_F(ImageTransferTest, UnchangedPixelsSurviveTheRoundTripBitForBit)
{
    for (int16 mode : {1, 3, 10, 11, 16, 17}) {
        HostOptions options;
        options.tileWidth = options.tileHeight = 64;
        Host host(Entry, options);
        HostDocument doc = Pattern(181, 97, mode, true);
        // Float colour outside 0..1 is clamped on reading, NaN read as 0.
        const double outside[3] = {1.5, -0.2, std::numeric_limits<double>::quiet_NaN()}, clamped[3] = {1, 0, 0};
        for (int32_t x = 0; x < 3 && doc.BytesPerSample() == 4; ++x)
            doc.SetSample(0, x, 1, outside[x]);
        ASSERT_TRUE(host.SetDocument(doc));
        gScript = [] { EXPECT_TRUE(WriteBack(50)); };
        ASSERT_EQ(host.RunRepeat(), noErr);
        for (int32_t x = 0; x < 3 && doc.BytesPerSample() == 4; ++x)
            doc.SetSample(0, x, 1, clamped[x]);
        const DocumentDifference difference = CompareDocuments(doc, host.Document(), 0.0);
        EXPECT_EQ(difference.count, 0) << mode << ": " << DescribeDifference(difference);
    }
}

TEST_F(ImageTransferTest, FailingTransfersEndWithTheHostsCodeAndAMessageUnlessCancelled)
{
    // Call 2 fails while reading; call 5 while writing the second plane.
    for (auto [at, error] : {std::pair{2, OSErr(-36)}, {5, OSErr(-36)}, {5, userCanceledErr}}) {
        HostOptions options;
        options.failAdvanceStateAt = at;
        options.advanceStateError = error;
        Host host(Entry, options);
        ASSERT_TRUE(host.SetDocument(Pattern(10, 10, plugInModeRGBColor, false)));
        CapturedMessages messages;
        gScript = [] { EXPECT_FALSE(WriteBack(10)); };
        EXPECT_EQ(host.RunRepeat(), error);
        EXPECT_EQ(host.AdvanceStateCalls(), at); // no closing call after a failure
        EXPECT_EQ(messages.Texts(),
                  error == userCanceledErr ? std::vector<std::string>{}
                  : at == 2
                      ? std::vector<std::string>{"Error - Exiting Plugin / Could not read input image."}
                      : std::vector<std::string>{"Error - Exiting Plugin / Could not write results back to editor."});
        EXPECT_EQ(host.LiveBuffers(), 0);
    }
}

// Rows or pixels shorter than asked for (the harness always serves whole rows, so this host is made
// here), no transfer at all, or nothing to filter end the run cleanly, without touching the host's buffers.
OSErr ShortAdvance()
{
    static std::vector<uint8_t> data;
    FilterRecord* r = gRecord;
    const bool interleaved = r->hostSig != kPhotoshopSignature;
    r->inRowBytes = interleaved ? 60 : 19; // 10 16-bit samples need 20 bytes; 3 interleaved planes 60
    r->inColumnBytes = interleaved ? 1 : 2;
    data.assign(size_t(r->inRowBytes) * 10, 0);
    r->inData = data.data();
    return noErr;
}

TEST_F(ImageTransferTest, HostsThatCannotDeliverEndTheRunCleanly)
{
    const struct
    {
        OSType signature;
        AdvanceStateProc advance;
        Rect filter;
        OSErr result;
    } cases[] = {{kPhotoshopSignature, ShortAdvance, Rect{0, 0, 10, 10}, errPlugInHostInsufficient},
                 {FourCC("spHO"), ShortAdvance, Rect{0, 0, 10, 10}, errPlugInHostInsufficient},
                 {kPhotoshopSignature, nullptr, Rect{0, 0, 10, 10}, errPlugInHostInsufficient},
                 {kPhotoshopSignature, ShortAdvance, Rect{2, 5, 9, 5}, filterBadParameters}};
    for (const auto& c : cases) {
        HeapHostMemory memory;
        FilterRecord record{};
        record.filterRect = c.filter;
        record.imageMode = plugInModeRGB48;
        record.hostSig = c.signature;
        record.advanceState = c.advance;
        gRecord = &record;
        CapturedMessages messages;
        OSErr result = ReadInputImage(&record, &input);
        if (result == noErr)
            result = FinishImageTransfer(&record);
        FreeImageBuffer(&input);
        EXPECT_EQ(result, c.result);
        EXPECT_EQ(messages.Texts(),
                  c.result == filterBadParameters
                      ? std::vector<std::string>{}
                      : std::vector<std::string>{"Error - Exiting Plugin / Could not read input image."});
    }
}

} // namespace
