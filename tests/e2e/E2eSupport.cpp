#include "e2e/E2eSupport.h"

#include "tools/harness/ParameterDescriptor.h"

namespace {

double FullScale(const HostDocument& document)
{
    return document.Depth() == 8 ? 255.0 : document.Depth() == 16 ? 32768.0 : 1.0;
}

// Coverage 0.3 to 1.0 in diagonal stripes, with fully transparent squares here and there.
double Coverage(int32_t x, int32_t y)
{
    if ((x / 25 + y / 25) % 5 == 0)
        return 0.0;
    return 0.3 + 0.7 * double((x + 2 * y) % 50) / 49.0;
}

// Fully selected inside, a linear ramp in the squared distance, unselected outside.
uint8_t Selection(int32_t x, int32_t y, int32_t width, int32_t height)
{
    const double dx = (2.0 * x - width) / width;
    const double dy = (2.0 * y - height) / height;
    const double d2 = dx * dx + dy * dy;
    if (d2 <= 0.36)
        return 255;
    if (d2 >= 0.81)
        return 0;
    return uint8_t(255.0 * (0.81 - d2) / 0.45);
}

} // namespace

void DrawStarfield(const FieldLayout& layout, int32_t left, int32_t top, HostDocument* document)
{
    StarfieldOptions options;
    options.width = layout.width;
    options.height = layout.height;
    options.seed = layout.seed;
    options.starCount = layout.stars;
    options.coloured = document->ColorPlanes() == 3;
    std::vector<StarfieldStar> stars = GenerateStars(options);
    stars.insert(stars.end(), layout.extraStars.begin(), layout.extraStars.end());
    const LinearImage field = RenderStarfield(options, stars);
    const double full = FullScale(*document);
    for (int32_t y = 0; y < layout.height; ++y)
        for (int32_t x = 0; x < layout.width; ++x) {
            const float* rgb = &field.rgb[(size_t(y) * size_t(layout.width) + size_t(x)) * 3];
            for (int32_t p = 0; p < document->ColorPlanes(); ++p)
                document->SetSample(p, left + x, top + y, double(rgb[p]) * full);
            if (document->HasTransparency())
                document->SetSample(document->ColorPlanes(), left + x, top + y, Coverage(x, y) * full);
        }
}

HostDocument StarfieldDocument(const FieldLayout& layout)
{
    HostDocument document(layout.width, layout.height, layout.mode, layout.transparency);
    DrawStarfield(layout, 0, 0, &document);
    if (layout.selection)
        document.SetSelection([&](int32_t x, int32_t y) { return Selection(x, y, layout.width, layout.height); });
    return document;
}

Descriptor FactoryDescriptor()
{
    return DescriptorOfParameters(kFactoryParameters);
}

OSErr RunAtFactorySettings(Host* host)
{
    host->SetDescriptor(FactoryDescriptor());
    return host->RunScripted(plugInDialogSilent);
}

void PersistFactorySettingsToFile(PluginEntryProc entry)
{
    HostOptions options;
    options.basicSuite = false;
    Host host(entry, options);
    ASSERT_TRUE(host.SetDocument(HostDocument(8, 8, plugInModeGrayScale)));
    ASSERT_EQ(RunAtFactorySettings(&host), noErr);
}

uint64_t ColourPlaneChecksum(const HostDocument& document)
{
    uint64_t hash = 0xcbf29ce484222325ull;
    const size_t bytes = size_t(document.Width()) * size_t(document.Height()) * size_t(document.BytesPerSample());
    for (int32_t p = 0; p < document.ColorPlanes(); ++p) {
        const uint8_t* data = document.SampleAddress(p, 0, 0);
        for (size_t i = 0; i < bytes; ++i) {
            hash ^= data[i];
            hash *= 0x100000001b3ull;
        }
    }
    return hash;
}

std::vector<ImageRect> WrittenTiles(const Host& host)
{
    std::vector<ImageRect> tiles;
    for (const TransferRequest& t : host.Transfers())
        if (!IsEmptyRect(t.outRect) && (tiles.empty() || !(tiles.back() == t.outRect)))
            tiles.push_back(t.outRect);
    return tiles;
}

int32_t OutputRequestsFor(const Host& host, const ImageRect& tile)
{
    int32_t count = 0;
    for (const TransferRequest& t : host.Transfers())
        count += t.outRect == tile ? 1 : 0;
    return count;
}

std::vector<std::pair<int32_t, int32_t>> PlainProgress(int32_t tiles)
{
    const int32_t total = tiles + 1;
    std::vector<std::pair<int32_t, int32_t>> reports{{0, total}, {1, total}};
    for (int32_t done = 1; done <= tiles; ++done) {
        reports.emplace_back(done, total);
        reports.emplace_back(done + 1, total);
    }
    return reports;
}

std::vector<std::pair<int32_t, int32_t>> ProgressOf(const Host& host)
{
    std::vector<std::pair<int32_t, int32_t>> reports;
    for (const ProgressCall& call : host.ProgressCalls())
        reports.emplace_back(call.done, call.total);
    return reports;
}

std::string Describe(const ImageRect& r)
{
    return "(" + std::to_string(r.left) + ", " + std::to_string(r.top) + ", " + std::to_string(r.right) + ", " +
           std::to_string(r.bottom) + ")";
}

void PrintTo(const ImageRect& r, std::ostream* out)
{
    *out << Describe(r);
}
