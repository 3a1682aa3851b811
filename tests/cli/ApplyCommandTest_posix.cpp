// `corvane apply` end to end, run as the built program.
#include <fstream>
#include <iterator>
#include <sstream>

#include "CliTestSupport.h"
#include "host/PluginGlobals.h"
#include "host/PluginMain.h"
#include "presets/UserFolders.h"
#include "tools/cli/CliHost.h"
#include "tools/cli/Commands.h"
#include "tools/cli/HostMapping.h"
#include "tools/harness/Host.h"

namespace {

using Case = FileLayout;

const Case kCases[] = {
    {FileFormat::Tiff, SampleFormat::U8, 1, false, ".tif"},   {FileFormat::Tiff, SampleFormat::U16, 3, true, ".tif"},
    {FileFormat::Tiff, SampleFormat::F32, 3, false, ".tiff"}, {FileFormat::Tiff, SampleFormat::F32, 1, true, ".tif"},
    {FileFormat::Png, SampleFormat::U8, 3, true, ".png"},     {FileFormat::Png, SampleFormat::U16, 1, false, ".png"},
    {FileFormat::Png, SampleFormat::U16, 3, false, ".png"},   {FileFormat::Fits, SampleFormat::U8, 1, false, ".fits"},
    {FileFormat::Fits, SampleFormat::U16, 3, false, ".fit"},  {FileFormat::Fits, SampleFormat::F32, 1, false, ".fits"},
};

// A dark sky with a few bright stars, so that the filter has something to work on.
ImageFile MakeStarfield(const Case& c, uint32_t seed)
{
    ImageFile image = MakeTestImage(96, 64, c.colour, c.alpha, c.sample, seed);
    const size_t channels = size_t(image.Channels());
    for (size_t i = 0; i < size_t(image.width) * size_t(image.height) * channels; ++i) {
        const bool star = i / channels % 613 == 7 || i / channels % 1409 == 100;
        const bool alpha = c.alpha && i % channels == channels - 1;
        if (c.sample == SampleFormat::U8)
            SamplesAs<uint8_t>(image)[i] = alpha ? 255 : star ? 250 : SamplesAs<uint8_t>(image)[i] % 12;
        else if (c.sample == SampleFormat::U16) // odd values too
            SamplesAs<uint16_t>(image)[i] = alpha ? 65535 : star ? 65000 : SamplesAs<uint16_t>(image)[i] % 3001;
        else
            SamplesAs<float>(image)[i] = alpha ? 1.0f : star ? 0.98f : SamplesAs<float>(image)[i] * 0.05f;
    }
    return image;
}

// Every parameter, away from its factory value.
std::vector<std::string> WithParameters(std::vector<std::string> arguments)
{
    std::istringstream words("--intensity 80 --length 60 --angle -22.5 --points 6 --sharpness 70 --saturation 40 "
                             "--rainbow-intensity 30 --rainbow-frequency 20 --secondary-intensity 60 --flare 40 "
                             "--no-spikes-only");
    arguments.insert(arguments.end(), std::istream_iterator<std::string>(words), {});
    return arguments;
}

} // namespace

// Under an empty selection every file comes back bit for bit, its colour profile too; with parameters the
// result is the harness's run of the linked module on the same document.
TEST(ApplyCommand, ResultsEqualTheHarnessRunAndAnEmptySelectionKeepsEveryFileBitForBit)
{
    ScratchFolder folder;
    ScratchFolder data;
    // The in-process run keeps its folders and log in the scratch folder too.
    ResetUserFolders();
    OverrideApplicationDataRoots(data.Path().c_str(), data.Path().c_str());
    ImageFile mask = MakeTestImage(96, 64, 1, false, SampleFormat::U8, 1);
    std::memset(mask.pixels.get(), 0, PixelBytes(mask));
    Write(folder / "mask.png", FileFormat::Png, mask);
    uint32_t seed = 100;
    for (const Case& c : kCases) {
        SCOPED_TRACE(Describe(c));
        ImageFile image = MakeStarfield(c, seed++);
        if (c.file != FileFormat::Fits)
            image.iccProfile = MakeIccProfile(c.colour);
        const std::string input = folder / ("in" + std::string(c.extension));
        const std::string kept = folder / ("kept" + std::string(c.extension));
        const std::string output = folder / ("out" + std::string(c.extension));
        Write(input, c.file, image);
        ChildResult run = RunCorvane({"apply", input, kept, "--mask", folder / "mask.png"}, {data.Path().string()});
        ASSERT_EQ(run.status, 0) << run.errorText;
        const ImageFile unchanged = ReadBack(kept);
        EXPECT_TRUE(SameImage(image, unchanged));
        EXPECT_EQ(unchanged.iccProfile, image.iccProfile);

        const std::vector<std::string> arguments = WithParameters({input, output});
        run = RunCorvane(WithParameters({"apply", input, output}), {data.Path().string()});
        ASSERT_EQ(run.status, 0) << run.errorText;
        ApplyOptions options;
        std::string error;
        ASSERT_TRUE(ParseApplyOptions(arguments, &options, &error));
        ResetPluginGlobals();
        HostDocument expected;
        {
            Host host(PluginMain);
            ASSERT_TRUE(host.SetDocument(DocumentFromImage(image)));
            host.SetDescriptor(DescriptorFromParameters(options.parameters));
            ASSERT_EQ(host.RunScripted(plugInDialogSilent), noErr);
            expected = host.Document();
        }
        DocumentDifference difference = CompareDocuments(DocumentFromImage(ReadBack(output)), expected);
        EXPECT_EQ(difference.count, 0) << DescribeDifference(difference);
        EXPECT_FALSE(difference.shapeDiffers);
    }
    ResetUserFolders();
}

TEST(ApplyCommand, WithoutParametersTheLastRunsParametersAreRepeated)
{
    ScratchFolder folder;
    ScratchFolder data;
    Case c{FileFormat::Tiff, SampleFormat::U16, 3, false, ".tif"};
    Write(folder / "in.tif", c.file, MakeStarfield(c, 300));
    ASSERT_EQ(
        RunCorvane(WithParameters({"apply", folder / "in.tif", folder / "first.tif"}), {data.Path().string()}).status,
        0);
    ChildResult repeat = RunCorvane({"apply", folder / "in.tif", folder / "again"}, {data.Path().string()});
    ASSERT_EQ(repeat.status, 0) << repeat.errorText;
    // No extension: the input's format.
    EXPECT_TRUE(SameImage(ReadBack(folder / "first.tif"), ReadBack(folder / "again")));
    bool registry = false;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(data.Path()))
        registry |= entry.path().filename() == "HostRegistry.bin";
    EXPECT_TRUE(registry);
}

// Ctrl-C, a host abort during the run and a full disk leave no output behind.
TEST(ApplyCommand, CancelsAndFullDisksLeaveNoOutputBehind)
{
    ScratchFolder folder;
    ScratchFolder data;
    Case c{FileFormat::Tiff, SampleFormat::U16, 3, false, ".tif"};
    Write(folder / "in.tif", c.file, MakeTestImage(128, 128, 3, false, SampleFormat::U16, 9)); // noise: no compression

    ChildSettings interrupted{data.Path().string()};
    interrupted.interruptPending = true;
    ChildResult run = RunCorvane({"apply", folder / "in.tif", folder / "out.tif", "--points", "5"}, interrupted);
    EXPECT_EQ(run.status, 130) << run.errorText;
    EXPECT_NE(run.errorText.find("cancelled; " + (folder / "out.tif") + " was not written"), std::string::npos)
        << run.errorText;
    EXPECT_EQ(folder.Files(), std::vector<std::string>{"in.tif"});

    ChildSettings full{data.Path().string()};
    full.fileSizeLimit = 4096; // the input needs about 100 KB
    for (const char* name : {"out.tif", "out.png", "out.fits"}) {
        SCOPED_TRACE(name);
        run = RunCorvane({"apply", folder / "in.tif", folder / name, "--points", "5"}, full);
        EXPECT_EQ(run.status, 3) << run.errorText;
        EXPECT_NE(run.errorText.find("corvane: " + (folder / name) + ": cannot write"), std::string::npos)
            << run.errorText;
        EXPECT_EQ(folder.Files(), std::vector<std::string>{"in.tif"});
    }

    ResetUserFolders();
    OverrideApplicationDataRoots(data.Path().c_str(), data.Path().c_str());
    const Case sky{FileFormat::Png, SampleFormat::U16, 3, false, ".png"};
    Write(folder / "sky.png", sky.file, MakeStarfield(sky, 400));
    ApplyOptions options;
    std::string error;
    ASSERT_TRUE(ParseApplyOptions({folder / "sky.png", folder / "out.png", "--points", "5"}, &options, &error));
    SetAbortAfterCalls(1);
    EXPECT_EQ(RunApply(options), 130);
    SetAbortAfterCalls(0);
    EXPECT_EQ(folder.Files(), (std::vector<std::string>{"in.tif", "sky.png"}));
    ResetUserFolders();
}

TEST(ApplyCommand, CommandLineAndOutputProblemsHaveTheirOwnExitStatus)
{
    ScratchFolder folder;
    ScratchFolder data;
    Write(folder / "in.tif", FileFormat::Tiff, MakeTestImage(8, 8, 3, false, SampleFormat::F32, 1));
    const std::string home = data.Path().string();

    EXPECT_EQ(RunCorvane({}, {home}).status, 1);
    EXPECT_EQ(RunCorvane({"paint"}, {home}).status, 1);
    EXPECT_EQ(RunCorvane({"apply", folder / "in.tif", folder / "o.tif", "--points", "40"}, {home}).status, 1);
    ChildResult run = RunCorvane({"apply", folder / "in.tif", folder / "o.jpg"}, {home});
    EXPECT_EQ(run.status, 1);
    EXPECT_NE(run.errorText.find("unsupported output format '.jpg'"), std::string::npos) << run.errorText;
    run = RunCorvane({"apply", folder / "in.tif", folder / "o.png"}, {home});
    EXPECT_EQ(run.status, 3);
    EXPECT_NE(run.errorText.find("PNG cannot hold 32-bit float samples"), std::string::npos) << run.errorText;
    EXPECT_EQ(RunCorvane({"apply", folder / "in.tif", folder / "missing/o.tif"}, {home}).status, 3);
    EXPECT_EQ(RunCorvane({"apply", folder / "none.tif", folder / "o.tif"}, {home}).status, 2);
    run = RunCorvane({"apply", folder / "in.tif", folder / "o.tif", "--preset", folder / "none.cvp"}, {home});
    EXPECT_EQ(run.status, 2);
    EXPECT_NE(run.errorText.find("none.cvp: not a usable parameter set"), std::string::npos) << run.errorText;
    EXPECT_EQ(folder.Files(), std::vector<std::string>{"in.tif"});

    run = RunCorvane({"--help"}, {home});
    EXPECT_EQ(run.status, 0);

    // The version is the module's, from the one place the project states it.
    ChildSettings settings{home};
    settings.outputPath = folder / "version";
    ASSERT_EQ(RunCorvane({"--version"}, settings).status, 0);
    std::ifstream in(folder / "version");
    std::string line;
    std::getline(in, line);
    EXPECT_EQ(line, "corvane (Corvane Pro) " + std::to_string(CORVANE_VERSION_MAJOR) + "." +
                        std::to_string(CORVANE_VERSION_MINOR) + "." + std::to_string(CORVANE_VERSION_REVISION) + "." +
                        std::to_string(CORVANE_VERSION_BUILD));
}

// A linear frame keeps its stars far below half of white: the run succeeds, changes nothing, and says why.
TEST(ApplyCommand, AnImageWithoutStarsIsExplained)
{
    ScratchFolder folder;
    ScratchFolder data;
    ImageFile raw = MakeTestImage(64, 48, 1, false, SampleFormat::U16, 7);
    for (size_t i = 0; i < size_t(64) * 48; ++i)
        SamplesAs<uint16_t>(raw)[i] %= 20000; // below half of 65535
    Write(folder / "raw.fits", FileFormat::Fits, raw);
    for (const char* command : {"apply", "stars"}) {
        SCOPED_TRACE(command);
        std::vector<std::string> arguments = {command, folder / "raw.fits"};
        if (command == std::string("apply"))
            arguments.insert(arguments.end(), {folder / "out.fits", "--points", "6"});
        ChildSettings settings{data.Path().string()};
        settings.outputPath = folder / "stdout";
        ChildResult run = RunCorvane(arguments, settings);
        EXPECT_EQ(run.status, 0) << run.errorText;
        EXPECT_NE(run.errorText.find(folder / "raw.fits" + ": no star found: a star is taken only where a pixel "
                                                           "reaches half of white"),
                  std::string::npos)
            << run.errorText;
        EXPECT_NE(run.errorText.find("needs stretching first"), std::string::npos);
    }
    EXPECT_TRUE(SameImage(raw, ReadBack(folder / "out.fits")));
}

TEST(StarsCommand, PrintsTheDetectedStarsAsJson)
{
    ScratchFolder folder;
    ScratchFolder data;
    Case c{FileFormat::Tiff, SampleFormat::U8, 3, false, ".tif"};
    Write(folder / "in.tif", c.file, MakeStarfield(c, 500));
    ChildSettings settings{data.Path().string()};
    settings.outputPath = folder / "stars.json";
    ChildResult run = RunCorvane({"stars", folder / "in.tif"}, settings);
    ASSERT_EQ(run.status, 0) << run.errorText;
    std::ifstream in(folder / "stars.json");
    std::string json((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    ASSERT_EQ(json.rfind("{\"starCount\": ", 0), 0u) << json.substr(0, 200);
    const int count = std::atoi(json.c_str() + 14);
    EXPECT_GT(count, 0);
    size_t entries = 0;
    for (size_t at = json.find("\"xPhase\""); at != std::string::npos; at = json.find("\"xPhase\"", at + 1))
        ++entries;
    EXPECT_EQ(entries, size_t(count));

    settings.outputPath.clear();
    EXPECT_EQ(RunCorvane({"stars", folder / "stars.json"}, settings).status, 2);
}
