// `corvane apply` end to end, run as the built program.
#include <fstream>
#include <iterator>
#include <sstream>
#include <sys/stat.h>
#include <sys/sysmacros.h>

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

// Ctrl-C, SIGTERM, SIGHUP, a host abort during the run and a full disk leave no output behind, and an
// old output as it was, even when only its very last byte does not fit.
TEST(ApplyCommand, CancelsAndFullDisksLeaveNoOutputBehind)
{
    ScratchFolder folder;
    ScratchFolder data;
    const Case c{FileFormat::Tiff, SampleFormat::U16, 3, false, ".tif"};
    Write(folder / "in.tif", c.file, MakeTestImage(128, 128, 3, false, SampleFormat::U16, 9)); // noise: no compression
    const Case sky{FileFormat::Png, SampleFormat::U16, 3, false, ".png"};
    Write(folder / "sky.png", sky.file, MakeStarfield(sky, 400));
    const std::vector<std::string> inputs{"in.tif", "sky.png"};

    ChildResult run;
    for (int signal : {SIGINT, SIGTERM, SIGHUP}) {
        SCOPED_TRACE(strsignal(signal));
        ChildSettings interrupted{data.Path().string()};
        interrupted.pendingSignal = signal;
        run = RunCorvane({"apply", folder / "sky.png", folder / "out.tif", "--points", "5"}, interrupted);
        EXPECT_EQ(run.status, 128 + signal) << run.errorText;
        EXPECT_NE(run.errorText.find("cancelled; " + (folder / "out.tif") + " was not written"), std::string::npos)
            << run.errorText;
        EXPECT_EQ(folder.Files(), inputs);
    }

    ChildSettings full{data.Path().string()};
    full.fileSizeLimit = 4096; // the input needs about 100 KB
    for (const char* name : {"out.tif", "out.png", "out.fits"}) {
        SCOPED_TRACE(name);
        run = RunCorvane({"apply", folder / "in.tif", folder / name, "--points", "5"}, full);
        EXPECT_EQ(run.status, 3) << run.errorText;
        EXPECT_NE(run.errorText.find("corvane: " + (folder / name) + ": cannot write"), std::string::npos)
            << run.errorText;
        EXPECT_EQ(folder.Files(), inputs);

        const std::vector<std::string> arguments{"apply", folder / "sky.png", folder / name, "--points", "5"};
        ASSERT_EQ(RunCorvane(arguments, {data.Path().string()}).status, 0);
        const std::string old = FileBytes(folder / name);
        ChildSettings oneByteShort{data.Path().string()};
        oneByteShort.fileSizeLimit = long(old.size()) - 1;
        run = RunCorvane(arguments, oneByteShort);
        EXPECT_EQ(run.status, 3) << run.errorText;
        EXPECT_NE(run.errorText.find("cannot write the file (File too large)"), std::string::npos) << run.errorText;
        EXPECT_TRUE(FileBytes(folder / name) == old);
        EXPECT_EQ(folder.Files(), (std::vector<std::string>{"in.tif", name, "sky.png"}));
        std::filesystem::remove(folder / name);
    }

    ResetUserFolders();
    OverrideApplicationDataRoots(data.Path().c_str(), data.Path().c_str());
    ApplyOptions options;
    std::string error;
    ASSERT_TRUE(ParseApplyOptions({folder / "sky.png", folder / "out.png", "--points", "5"}, &options, &error));
    SetAbortAfterCalls(1);
    EXPECT_EQ(RunApply(options), 130); // as for Ctrl-C
    SetAbortAfterCalls(0);
    EXPECT_EQ(folder.Files(), inputs);
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

    // A list that cannot be written is an output error with its reason, never a success (nor a filter
    // failure): a closed standard output, a full one.
    for (const auto& [output, reason] : {std::pair<std::string, std::string>{"-", "Bad file descriptor"},
                                         std::pair<std::string, std::string>{"/dev/full", "No space left on device"}}) {
        settings.outputPath = output;
        run = RunCorvane({"stars", folder / "in.tif"}, settings);
        EXPECT_EQ(run.status, 3) << run.errorText;
        EXPECT_NE(run.errorText.find("corvane: standard output: cannot write the star list (" + reason + ")"),
                  std::string::npos)
            << run.errorText;
    }
}

namespace {

// A stored parameter set of the given version (the older one has the angle in whole degrees).
std::string StoredSet(uint16_t build, int16_t angle)
{
    std::string bytes(255, '\xEE');
    const int16_t fields[15] = {0, 0, 0, int16_t(build), 77, 50, angle, 4, 50, 30, 50, 50, 50, 50, 0};
    for (size_t i = 0; i < 15; ++i) {
        bytes[2 * i] = char(uint16_t(fields[i]) & 0xFF);
        bytes[2 * i + 1] = char(uint16_t(fields[i]) >> 8);
    }
    return bytes;
}

void WriteFileBytes(const std::string& path, const std::string& bytes)
{
    std::ofstream(path, std::ios::binary) << bytes;
}

} // namespace

// A set named with --preset is the user's file wherever it lies, even in the module's own Parameters
// folder: an older one is converted for the run only, anything else is refused, and none is rewritten
// or deleted. Neither is the input when it is named by mistake.
TEST(ApplyCommand, PresetFilesAreReadButNeverChanged)
{
    ScratchFolder folder;
    ScratchFolder data;
    const Case c{FileFormat::Tiff, SampleFormat::U16, 3, false, ".tif"};
    Write(folder / "in.tif", c.file, MakeStarfield(c, 600));
    const std::string own = (data.Path() / "Quillmark" / "Corvane" / "Parameters").string();
    std::filesystem::create_directories(own);
    WriteFileBytes(own + "/old.cvp", StoredSet(3, 45));
    WriteFileBytes(own + "/newer.cvp", StoredSet(5, 450));
    ASSERT_EQ(mkfifo((folder / "pipe.cvp").c_str(), 0644), 0);
    const std::string home = data.Path().string(), image = FileBytes(folder / "in.tif");

    ChildResult run =
        RunCorvane({"apply", folder / "in.tif", folder / "old.tif", "--preset", own + "/old.cvp"}, {home});
    ASSERT_EQ(run.status, 0) << run.errorText;
    EXPECT_NE(run.errorText.find("converted for this run; the file is left as it is"), std::string::npos)
        << run.errorText;
    EXPECT_TRUE(FileBytes(own + "/old.cvp") == StoredSet(3, 45));
    ASSERT_EQ(RunCorvane({"apply",
                          folder / "in.tif",
                          folder / "same.tif",
                          "--intensity",
                          "77",
                          "--length",
                          "50",
                          "--angle",
                          "45",
                          "--points",
                          "4",
                          "--sharpness",
                          "50",
                          "--saturation",
                          "30",
                          "--rainbow-intensity",
                          "50",
                          "--rainbow-frequency",
                          "50",
                          "--secondary-intensity",
                          "50",
                          "--flare",
                          "50",
                          "--no-spikes-only"},
                         {home})
                  .status,
              0);
    EXPECT_TRUE(SameImage(ReadBack(folder / "old.tif"), ReadBack(folder / "same.tif")));

    const std::pair<std::string, std::string> refused[] = {
        {folder / "in.tif", "not a parameter set (those hold 255 bytes, this file "},
        {own + "/newer.cvp", "not a parameter set of a version this program reads (version 0.0.0.5)"},
        {folder / "pipe.cvp", "not a regular file"},
        {folder / "none.cvp", "cannot read the parameter set (No such file or directory)"},
    };
    for (const auto& [preset, reason] : refused) {
        SCOPED_TRACE(preset);
        run = RunCorvane({"apply", folder / "in.tif", folder / "out.tif", "--preset", preset}, {home});
        EXPECT_EQ(run.status, 2) << run.errorText;
        EXPECT_NE(run.errorText.find("corvane: " + preset + ": " + reason), std::string::npos) << run.errorText;
    }
    EXPECT_TRUE(FileBytes(folder / "in.tif") == image);
    EXPECT_TRUE(FileBytes(own + "/newer.cvp") == StoredSet(5, 450));
    EXPECT_EQ(folder.Files(), (std::vector<std::string>{"in.tif", "old.tif", "same.tif"}));
}

// Only a regular file or a new name is replaced: a pipe, a device or a link to nothing is refused and
// stays what it was. A link keeps pointing at its target, which gets the new image; a replaced file
// keeps its permissions; a name as long as the file system allows works, whatever the temporary name.
TEST(ApplyCommand, OnlyFilesAreReplacedAndLinksAndPermissionsSurvive)
{
    ScratchFolder folder;
    ScratchFolder data;
    const std::string home = data.Path().string();
    const Case c{FileFormat::Tiff, SampleFormat::U8, 1, false, ".tif"};
    Write(folder / "in.tif", c.file, MakeStarfield(c, 700));
    std::vector<std::string> refused{"pipe.tif", "dangling.tif"};
    ASSERT_EQ(mkfifo((folder / "pipe.tif").c_str(), 0644), 0);
    ASSERT_EQ(symlink("nowhere.tif", (folder / "dangling.tif").c_str()), 0);
    if (mknod((folder / "null.tif").c_str(), S_IFCHR | 0666, makedev(1, 3)) == 0) // only where allowed (root)
        refused.push_back("null.tif");
    for (const std::string& name : refused) {
        SCOPED_TRACE(name);
        struct stat before, after;
        ASSERT_EQ(lstat((folder / name).c_str(), &before), 0);
        ChildResult run = RunCorvane({"apply", folder / "in.tif", folder / name, "--points", "5"}, {home});
        EXPECT_EQ(run.status, 3) << run.errorText;
        EXPECT_NE(run.errorText.find("corvane: " + (folder / name) + ": "), std::string::npos) << run.errorText;
        ASSERT_EQ(lstat((folder / name).c_str(), &after), 0);
        EXPECT_EQ(after.st_mode, before.st_mode);
        EXPECT_EQ(after.st_rdev, before.st_rdev);
    }

    Write(folder / "target.tif", c.file, MakeStarfield(c, 701));
    ASSERT_EQ(chmod((folder / "target.tif").c_str(), 0640), 0);
    ASSERT_EQ(symlink("target.tif", (folder / "link.tif").c_str()), 0);
    const std::string longName(255 - 4, 'n');
    for (const std::string& name : {std::string("link.tif"), longName + ".tif", std::string("direct.tif")}) {
        ChildResult run = RunCorvane({"apply", folder / "in.tif", folder / name, "--points", "5"}, {home});
        EXPECT_EQ(run.status, 0) << run.errorText;
    }
    struct stat link, target;
    ASSERT_EQ(lstat((folder / "link.tif").c_str(), &link), 0);
    EXPECT_TRUE(S_ISLNK(link.st_mode));
    ASSERT_EQ(stat((folder / "target.tif").c_str(), &target), 0);
    EXPECT_EQ(target.st_mode & 07777, 0640u);
    EXPECT_TRUE(FileBytes(folder / "target.tif") == FileBytes(folder / "direct.tif"));
    EXPECT_TRUE(FileBytes(folder / (longName + ".tif")) == FileBytes(folder / "direct.tif"));
    for (const std::string& name : folder.Files())
        EXPECT_EQ(name.find(".corvane-"), std::string::npos) << name;
}

// A float file in camera counts, with NaN, infinities and negative values among them, reaches the
// filter clamped to 0..1, which is said once; it comes back with its own values wherever the filter
// left the clamped ones alone, here everywhere.
TEST(ApplyCommand, FloatSamplesOutsideZeroToOneComeBackAsTheyWere)
{
    ScratchFolder folder;
    ScratchFolder data;
    ImageFile counts = MakeTestImage(64, 48, 1, false, SampleFormat::F32, 800);
    float* samples = SamplesAs<float>(counts);
    for (size_t i = 0; i < 64 * 48; ++i)
        samples[i] = 1000.0f + samples[i] * 3000.0f;
    samples[5] = NAN;
    samples[70] = INFINITY;
    samples[700] = -INFINITY;
    samples[1500] = -5.0f;
    Write(folder / "counts.fits", FileFormat::Fits, counts);
    ChildResult run =
        RunCorvane({"apply", folder / "counts.fits", folder / "out.fits", "--points", "5"}, {data.Path().string()});
    ASSERT_EQ(run.status, 0) << run.errorText;
    EXPECT_NE(run.errorText.find("counts.fits: 3072 samples lie outside 0..1 and were clamped for the filter"),
              std::string::npos)
        << run.errorText;
    EXPECT_TRUE(SameImage(ReadBack(folder / "out.fits"), counts));
}

// Parameters that cannot be kept, and settings that cannot be read, are said on standard error, each
// once: otherwise the next run without parameters would silently repeat older ones. The run goes on
// (a pipe or a huge file in the registry's place neither blocks it nor costs its size), and nothing of
// it blames the filter.
TEST(ApplyCommand, SettingsThatCannotBeKeptOrReadAreSaidOnce)
{
    ScratchFolder folder;
    ScratchFolder data;
    const Case c{FileFormat::Tiff, SampleFormat::U8, 1, false, ".tif"};
    Write(folder / "in.tif", c.file, MakeStarfield(c, 900));
    const std::filesystem::path settings = data.Path() / "Quillmark" / "Corvane" / "Settings";
    const std::filesystem::path registry = settings / "HostRegistry.bin";
    struct Setting
    {
        const char* what;
        void (*make)(const std::filesystem::path& settings, const std::filesystem::path& registry);
        const char* says;
    };
    const Setting cases[] = {
        {"Settings is a file", [](auto& s, auto&) { std::ofstream(s) << "x"; },
         "the parameters of this run cannot be saved for the next one: "},
        {"the registry is a folder", [](auto&, auto& r) { std::filesystem::create_directories(r / "x"); },
         "HostRegistry.bin: cannot save the parameters for the next run (Is a directory)"},
        {"the registry is a pipe", [](auto&, auto& r) { mkfifo(r.c_str(), 0644); },
         "HostRegistry.bin: ignored: not a settings file of this program"},
        {"the registry is huge",
         [](auto&, auto& r) { std::ofstream(r) << "CRG1", std::filesystem::resize_file(r, 1u << 30); },
         "HostRegistry.bin: ignored: not a settings file of this program"},
        {"the registry is damaged", [](auto&, auto& r) { std::ofstream(r) << "CRG1 and then nothing sensible"; },
         "HostRegistry.bin: ignored: damaged, or not a settings file of this program"},
    };
    for (const Setting& setting : cases) {
        SCOPED_TRACE(setting.what);
        std::filesystem::remove_all(data.Path() / "Quillmark");
        std::filesystem::create_directories(setting.make == cases[0].make ? settings.parent_path() : settings);
        setting.make(settings, registry);
        ChildResult run =
            RunCorvane({"apply", folder / "in.tif", folder / "out.tif", "--points", "5"}, {data.Path().string()});
        EXPECT_EQ(run.status, 0) << run.errorText;
        const size_t at = run.errorText.find(setting.says);
        EXPECT_NE(at, std::string::npos) << run.errorText;
        EXPECT_EQ(run.errorText.find(setting.says, at + 1), std::string::npos) << run.errorText;
        EXPECT_EQ(run.errorText.find("filter"), std::string::npos) << run.errorText;
    }
}

// Runs sharing one settings folder save at the same moment: every save succeeds, the registry is there
// and whole afterwards, and no staged file is left behind.
TEST(ApplyCommand, ConcurrentSavesNeverLoseTheRegistry)
{
    ScratchFolder folder;
    HostOptions options;
    options.registryPath = folder / "HostRegistry.bin";
    constexpr int kWriters = 4;
    std::vector<pid_t> writers;
    for (int w = 0; w < kWriters; ++w) {
        const pid_t child = fork();
        if (child == 0) {
            int failures = 0;
            Host host(nullptr, options);
            for (uint32_t save = 0; save < 50; ++save) {
                host.RegisterData("corvane", FourCC("data"), &save, 4, true);
                failures += host.RegistryFileProblems().empty() ? 0 : 1;
            }
            _exit(failures);
        }
        writers.push_back(child);
    }
    for (pid_t writer : writers) {
        int status = 0;
        waitpid(writer, &status, 0);
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "a save failed";
    }
    Host host(nullptr, options);
    std::vector<uint8_t> data;
    EXPECT_TRUE(host.RegistryFileProblems().empty());
    EXPECT_TRUE(host.GetRegisteredData("corvane", FourCC("data"), &data));
    EXPECT_EQ(folder.Files(), std::vector<std::string>{"HostRegistry.bin"});
}
