// Whole filter runs through the host harness, on seeded starfields. Tests that steer the engine from
// inside (user-input polling) use the linked entry point in both builds.
#pragma once

#include "common/Fnv1a.h"
#include "common/ModuleTest.h"
#include "e2e/UserMessageWatch.h"
#include "tools/harness/ParameterDescriptor.h"
#include "tools/starfield/StarfieldGenerator.h"

using FilterRunTest = ModuleTest;

// How a seeded starfield is laid out in a host document.
struct FieldLayout
{
    int32_t width;
    int32_t height;
    int16 mode;
    bool transparency;
    bool selection;
    uint64_t seed = 20261206;
    int32_t stars = 60;
    std::vector<StarfieldStar> extraStars = {}; // placed by hand, after the seeded ones
};

// Puts the starfield's linear light, taken as host values (white is the host's full scale), into a
// document at (left, top), with a transparency plane of varied coverage: 0.3 to 1.0 in diagonal
// stripes with fully transparent squares here and there. Only exact arithmetic is used, so both
// builds make the same document.
inline void DrawStarfield(const FieldLayout& layout, int32_t left, int32_t top, HostDocument* document)
{
    StarfieldOptions options{layout.width, layout.height, layout.seed, layout.stars};
    options.coloured = document->ColorPlanes() == 3;
    std::vector<StarfieldStar> stars = GenerateStars(options);
    stars.insert(stars.end(), layout.extraStars.begin(), layout.extraStars.end());
    const LinearImage field = RenderStarfield(options, stars);
    const double full = document->Depth() == 8 ? 255.0 : document->Depth() == 16 ? 32768.0 : 1.0;
    for (int32_t y = 0; y < layout.height; ++y)
        for (int32_t x = 0; x < layout.width; ++x) {
            const float* rgb = &field.rgb[(size_t(y) * size_t(layout.width) + size_t(x)) * 3];
            for (int32_t p = 0; p < document->ColorPlanes(); ++p)
                document->SetSample(p, left + x, top + y, double(rgb[p]) * full);
            const double coverage = (x / 25 + y / 25) % 5 == 0 ? 0.0 : 0.3 + 0.7 * double((x + 2 * y) % 50) / 49.0;
            if (document->HasTransparency())
                document->SetSample(document->ColorPlanes(), left + x, top + y, coverage * full);
        }
}

// The starfield in a document of its own, with a feathered elliptical selection when asked: fully
// selected inside, a linear ramp in the squared distance, unselected outside.
inline HostDocument StarfieldDocument(const FieldLayout& layout)
{
    HostDocument document(layout.width, layout.height, layout.mode, layout.transparency);
    DrawStarfield(layout, 0, 0, &document);
    if (layout.selection)
        document.SetSelection([&](int32_t x, int32_t y) {
            const double dx = (2.0 * x - layout.width) / layout.width, dy = (2.0 * y - layout.height) / layout.height;
            const double d2 = dx * dx + dy * dy;
            return uint8_t(d2 <= 0.36 ? 255 : d2 >= 0.81 ? 0 : 255.0 * (0.81 - d2) / 0.45);
        });
    return document;
}

// A played-back action without its dialog, at factory settings: the result depends on nothing the
// module may have persisted from earlier runs.
inline OSErr RunAtFactorySettings(Host* host)
{
    host->SetDescriptor(DescriptorOfParameters(kFactoryParameters));
    return host->RunScripted(plugInDialogSilent);
}

// The document after a run at factory settings on a reference host of its own.
inline HostDocument FactoryResult(PluginEntryProc entry, const HostDocument& before)
{
    Host host(entry);
    EXPECT_TRUE(host.SetDocument(before));
    EXPECT_EQ(RunAtFactorySettings(&host), noErr);
    return host.Document();
}

// Hosts without a descriptor registry restore the last parameters from the settings file; this makes
// it hold the factory values, whatever earlier runs of a loaded module left there.
inline void PersistFactorySettingsToFile(PluginEntryProc entry)
{
    HostOptions options;
    options.basicSuite = false;
    Host host(entry, options);
    ASSERT_TRUE(host.SetDocument(HostDocument(8, 8, plugInModeGrayScale)));
    ASSERT_EQ(RunAtFactorySettings(&host), noErr);
}

// FNV-1a of the document's colour planes, plane after plane, as stored by the host.
inline uint64_t ColourPlaneChecksum(const HostDocument& document)
{
    uint64_t hash = Fnv1a(nullptr, 0);
    const size_t bytes = size_t(document.Width()) * size_t(document.Height()) * size_t(document.BytesPerSample());
    for (int32_t p = 0; p < document.ColorPlanes(); ++p)
        hash = Fnv1a(document.SampleAddress(p, 0, 0), bytes, hash);
    return hash;
}

// A host that keeps its transfers and progress calls for the checks below.
inline HostOptions LoggingHost(HostOptions options = HostOptions())
{
    options.logCalls = true;
    return options;
}

// The rectangles the module wrote, in order; consecutive requests for planes of one tile count once.
inline std::vector<ImageRect> WrittenTiles(const Host& host)
{
    std::vector<ImageRect> tiles;
    for (const TransferRequest& t : host.Transfers())
        if (!IsEmptyRect(t.outRect) && (tiles.empty() || !(tiles.back() == t.outRect)))
            tiles.push_back(t.outRect);
    return tiles;
}

// Output requests for `tile` (one per plane on a reference host).
inline int32_t OutputRequestsFor(const Host& host, const ImageRect& tile)
{
    int32_t count = 0;
    for (const TransferRequest& t : host.Transfers())
        count += t.outRect == tile ? 1 : 0;
    return count;
}

// The progress reports of an uninterrupted run over `tiles` tiles: the start, the detection step, and
// for each tile one report after rendering and one after writing it.
inline std::vector<std::pair<int32_t, int32_t>> PlainProgress(int32_t tiles)
{
    std::vector<std::pair<int32_t, int32_t>> reports{{0, tiles + 1}, {1, tiles + 1}};
    for (int32_t done = 1; done <= tiles; ++done)
        reports.insert(reports.end(), {{done, tiles + 1}, {done + 1, tiles + 1}});
    return reports;
}

inline std::vector<std::pair<int32_t, int32_t>> ProgressOf(const Host& host)
{
    std::vector<std::pair<int32_t, int32_t>> reports;
    for (const ProgressCall& call : host.ProgressCalls())
        reports.emplace_back(call.done, call.total);
    return reports;
}

// How test failures show a rectangle.
inline void PrintTo(const ImageRect& r, std::ostream* out)
{
    *out << "(" << r.left << ", " << r.top << ", " << r.right << ", " << r.bottom << ")";
}
