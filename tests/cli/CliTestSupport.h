// Helpers of the command-line host's tests: scratch folders, seeded test images and their files, image
// comparison, and running the built `corvane` program as a child process.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include "tools/cli/ImageFile.h"
#include "tools/cli/ImageFormats.h"

// A fresh folder, removed with everything in it at the end of the test.
class ScratchFolder
{
public:
    ScratchFolder()
    {
        static std::atomic<int> serial{0};
        path_ = std::filesystem::temp_directory_path() /
                ("corvane-cli-" + std::to_string(getpid()) + "-" + std::to_string(serial++));
        std::filesystem::remove_all(path_);
        std::filesystem::create_directories(path_);
    }
    ~ScratchFolder()
    {
        std::error_code ignored;
        std::filesystem::remove_all(path_, ignored);
    }
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;

    std::string operator/(const std::string& name) const { return (path_ / name).string(); }
    const std::filesystem::path& Path() const { return path_; }

    // Names of the files in the folder (not in subfolders), sorted.
    std::vector<std::string> Files() const
    {
        std::vector<std::string> names;
        for (const auto& entry : std::filesystem::directory_iterator(path_))
            if (entry.is_regular_file())
                names.push_back(entry.path().filename().string());
        std::sort(names.begin(), names.end());
        return names;
    }

private:
    std::filesystem::path path_;
};

// A file format and the layout of its samples.
struct FileLayout
{
    FileFormat file;
    SampleFormat sample;
    int32_t colour;
    bool alpha;
    const char* extension = ""; // of the file name, where a test chooses it
};

inline std::string Describe(const FileLayout& l)
{
    return std::string(FileFormatName(l.file)) + " " + SampleFormatName(l.sample) + (l.colour == 3 ? " RGB" : " grey") +
           (l.alpha ? "+alpha" : "");
}

// An image whose samples cover the whole range of its format (every 16-bit sample value is odd or
// even at random, so lossy 16-bit scaling shows). The generator is the test's own, so that a failing
// image can be made again from its seed.
inline ImageFile MakeTestImage(int32_t width, int32_t height, int32_t colourChannels, bool alpha, SampleFormat format,
                               uint32_t seed)
{
    ImageFile image;
    image.width = width;
    image.height = height;
    image.colourChannels = colourChannels;
    image.hasAlpha = alpha;
    image.format = format;
    std::string error;
    EXPECT_TRUE(AllocatePixels(&image, &error)) << error;
    uint32_t state = seed;
    for (size_t i = 0; i < size_t(width) * height * image.Channels(); ++i) {
        state = state * 1664525u + 1013904223u;
        const uint32_t r = state >> 8;
        switch (format) {
        case SampleFormat::U8: SamplesAs<uint8_t>(image)[i] = uint8_t(r); break;
        case SampleFormat::U16: SamplesAs<uint16_t>(image)[i] = uint16_t(r); break;
        case SampleFormat::F32: SamplesAs<float>(image)[i] = float(r % 100001u) / 100000.0f; break;
        }
    }
    return image;
}

inline void Write(const std::string& path, FileFormat format, const ImageFile& image)
{
    std::string error;
    ASSERT_TRUE(WriteImageFile(path, format, image, &error)) << error;
}

inline ImageFile ReadBack(const std::string& path, FileFormat* format = nullptr)
{
    ImageFile image;
    FileFormat read;
    std::string error;
    EXPECT_TRUE(ReadImageFile(path, &image, format ? format : &read, &error)) << path << ": " << error;
    return image;
}

// A display profile for the image's colour space that libpng keeps: a header, a white point tag, and
// padding (libpng 1.6 drops very short profiles when reading).
inline std::vector<uint8_t> MakeIccProfile(int32_t colourChannels)
{
    const uint8_t d50[12] = {0, 0, 0xF6, 0xD6, 0, 1, 0, 0, 0, 0, 0xD3, 0x2D};
    std::vector<uint8_t> profile(4096, 0);
    profile[2] = 4096 >> 8; // size, big-endian
    profile[8] = 2;         // version 2.1
    profile[9] = 0x10;
    std::memcpy(&profile[12], "mntr", 4);
    std::memcpy(&profile[16], colourChannels == 3 ? "RGB " : "GRAY", 4);
    std::memcpy(&profile[20], "XYZ ", 4);
    std::memcpy(&profile[36], "acsp", 4);
    std::memcpy(&profile[68], d50, 12); // the PCS illuminant
    profile[131] = 1;                   // one tag: 'wtpt' at 144, 20 bytes
    std::memcpy(&profile[132], "wtpt", 4);
    profile[139] = 144;
    profile[143] = 20;
    std::memcpy(&profile[144], "XYZ ", 4);
    std::memcpy(&profile[152], d50, 12);
    for (size_t i = 164; i < profile.size(); ++i)
        profile[i] = uint8_t(i * 7);
    return profile;
}

inline testing::AssertionResult SameImage(const ImageFile& a, const ImageFile& b)
{
    if (a.width != b.width || a.height != b.height || a.colourChannels != b.colourChannels ||
        a.hasAlpha != b.hasAlpha || a.format != b.format)
        return testing::AssertionFailure()
               << "layout differs: " << a.width << "x" << a.height << "x" << a.colourChannels
               << (a.hasAlpha ? "+a " : " ") << SampleFormatName(a.format) << " vs " << b.width << "x" << b.height
               << "x" << b.colourChannels << (b.hasAlpha ? "+a " : " ") << SampleFormatName(b.format);
    const size_t bytes = PixelBytes(a);
    for (size_t i = 0; i < bytes; ++i)
        if (a.pixels[i] != b.pixels[i])
            return testing::AssertionFailure() << "pixel bytes differ first at byte " << i << " of " << bytes;
    return testing::AssertionSuccess();
}

// The whole file as bytes; empty when it cannot be read.
inline std::string FileBytes(const std::string& path)
{
    std::FILE* file = std::fopen(path.c_str(), "rb");
    std::string bytes;
    if (file == nullptr)
        return bytes;
    char chunk[65536];
    size_t got;
    while ((got = std::fread(chunk, 1, sizeof chunk, file)) > 0)
        bytes.append(chunk, got);
    std::fclose(file);
    return bytes;
}

struct ChildResult
{
    int status = -1;       // exit status, or 128 + signal
    std::string errorText; // what the program printed on standard error
};

struct ChildSettings
{
    std::string dataHome;        // XDG_DATA_HOME of the child (keeps the user's folders out of tests)
    int pendingSignal = 0;       // raised (blocked) before exec: delivered as soon as the program unblocks it
    long fileSizeLimit = -1;     // bytes a file may grow to; writes past it fail as on a full disk
    std::string outputPath = {}; // where standard output goes, when given; "-" closes it
};

inline ChildResult RunCorvane(const std::vector<std::string>& arguments, const ChildSettings& settings)
{
    int pipeEnds[2];
    ChildResult result;
    if (pipe(pipeEnds) != 0)
        return result;
    sigset_t blocked, previous;
    sigemptyset(&blocked);
    if (settings.pendingSignal != 0)
        sigaddset(&blocked, settings.pendingSignal);
    sigprocmask(SIG_BLOCK, &blocked, &previous);
    pid_t child = fork();
    if (child == 0) {
        dup2(pipeEnds[1], STDERR_FILENO);
        close(pipeEnds[0]);
        close(pipeEnds[1]);
        if (settings.outputPath == "-")
            close(STDOUT_FILENO);
        else if (!settings.outputPath.empty())
            dup2(open(settings.outputPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644), STDOUT_FILENO);
        alarm(120); // a program that blocks ends the test instead of hanging it
        if (!settings.dataHome.empty())
            setenv("XDG_DATA_HOME", settings.dataHome.c_str(), 1);
        if (settings.fileSizeLimit >= 0) {
            signal(SIGXFSZ, SIG_IGN); // the write fails with EFBIG instead of killing the process
            struct rlimit limit = {rlim_t(settings.fileSizeLimit), rlim_t(settings.fileSizeLimit)};
            setrlimit(RLIMIT_FSIZE, &limit);
        }
        if (settings.pendingSignal != 0)
            raise(settings.pendingSignal); // stays pending across exec while blocked
        else
            sigprocmask(SIG_SETMASK, &previous, nullptr);
        std::vector<std::string> copies = arguments;
        copies.insert(copies.begin(), CORVANE_CLI_PATH);
        std::vector<char*> argv;
        for (std::string& argument : copies)
            argv.push_back(argument.data());
        argv.push_back(nullptr);
        execv(argv[0], argv.data());
        _exit(127);
    }
    sigprocmask(SIG_SETMASK, &previous, nullptr);
    close(pipeEnds[1]);
    char buffer[4096];
    ssize_t got;
    while ((got = read(pipeEnds[0], buffer, sizeof buffer)) > 0)
        result.errorText.append(buffer, size_t(got));
    close(pipeEnds[0]);
    int status = 0;
    waitpid(child, &status, 0);
    result.status = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    return result;
}
