// A private application-data root for tests of folders, settings files and the debug log: a fresh
// temporary folder stands in for the per-user and common data roots, the module's folder and log state
// is forgotten before and after, and User messages are captured instead of shown.
#pragma once

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>

#include "common/CapturedMessages.h"
#include "diag/DebugLog.h"
#include "presets/UserFolders.h"

// Opens the debug log in the Logs folder, as the entry point does on its first call.
inline void OpenTestDebugLog(void* owner)
{
    char folder[kPathCapacity];
    OpenDebugLog(owner, GetDebugLogFolder(folder) ? folder : nullptr);
}

class TestDataRoots
{
public:
    TestDataRoots()
    {
        // Test cases may run in parallel processes: the name must differ between them.
        auto stamp = std::chrono::steady_clock::now().time_since_epoch().count();
        std::string unique = std::to_string(stamp) + "-" + std::to_string(std::random_device{}());
        root_ = std::filesystem::temp_directory_path() / ("corvane-test-" + unique);
        std::filesystem::create_directories(local());
        std::filesystem::create_directories(common());
        ResetDebugLog();
        ResetUserFolders();
        OverrideApplicationDataRoots(local().string().c_str(), common().string().c_str());
    }
    ~TestDataRoots()
    {
        ResetDebugLog();
        ResetUserFolders();
        std::error_code ignored;
        std::filesystem::remove_all(root_, ignored);
    }
    TestDataRoots(const TestDataRoots&) = delete;
    TestDataRoots& operator=(const TestDataRoots&) = delete;

    std::filesystem::path local() const { return root_ / "local"; }
    std::filesystem::path common() const { return root_ / "common"; }
    std::filesystem::path product() const { return local() / "Quillmark" / "Corvane"; }
    std::filesystem::path settings() const { return product() / "Settings"; }
    std::filesystem::path parameters() const { return product() / "Parameters"; }
    std::filesystem::path logs() const { return product() / "Logs"; }

    // Sets up the folders and opens the log, as the first call of the entry point does.
    void StartModule()
    {
        ASSERT_TRUE(SetupUserFolders("Corvane", "Corvane Pro"));
        SetDebugLogProductName("Corvane Pro");
        OpenTestDebugLog(nullptr);
        ASSERT_NE(DebugLogPath()[0], '\0');
    }

    static std::vector<CapturedMessage>& Messages() { return CapturedMessages::All(); }

private:
    std::filesystem::path root_;
    CapturedMessages messages_;
};

inline std::vector<uint8_t> ReadBytes(const std::filesystem::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

inline void WriteBytes(const std::filesystem::path& path, const std::vector<uint8_t>& bytes)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

// The text of a UTF-16LE log with its byte-order mark removed; characters beyond ASCII become '?'.
inline std::string ReadLogText(const std::filesystem::path& path)
{
    std::vector<uint8_t> bytes = ReadBytes(path);
    std::string text;
    for (size_t i = 2; i + 1 < bytes.size(); i += 2) {
        uint16_t unit = static_cast<uint16_t>(bytes[i] | (bytes[i + 1] << 8));
        text.push_back(unit < 0x80 ? static_cast<char>(unit) : '?');
    }
    return text;
}

// The lines of the log after the banner and its empty line.
inline std::vector<std::string> ReportLines(const std::string& logText)
{
    std::vector<std::string> lines;
    const size_t start = logText.find("\n\n");
    std::istringstream in(start == std::string::npos ? std::string() : logText.substr(start + 2));
    for (std::string line; std::getline(in, line);)
        if (!line.empty())
            lines.push_back(line);
    return lines;
}
