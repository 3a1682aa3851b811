#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <ctime>
#include <regex>
#include <string>

#include "common/TestDataRoots.h"
#include "diag/DebugLog.h"

namespace fs = std::filesystem;

namespace {

std::string LogName(int number)
{
    char name[64];
    std::snprintf(name, sizeof name, "Corvane Pro_%02d.log", number);
    return name;
}

std::string ReadAll(const fs::path& path)
{
    std::vector<uint8_t> bytes = ReadBytes(path);
    return std::string(bytes.begin(), bytes.end());
}

std::tm SaturdayAfternoon()
{
    std::tm time{};
    time.tm_year = 2026 - 1900;
    time.tm_mon = 11;
    time.tm_mday = 5;
    time.tm_hour = 13;
    time.tm_min = 57;
    time.tm_sec = 12;
    time.tm_wday = 6;
    time.tm_yday = 338;
    return time;
}

} // namespace

TEST(DebugLog, BannerAndClosingLineForAGivenTimeAndVersion)
{
    const uint32_t version[4] = {1, 3, 3, 0};
    char text[512];
    size_t length = FormatLogBanner(text, sizeof text, "Corvane Pro", version, SaturdayAfternoon());
    EXPECT_STREQ(text, "Corvane Pro version 1.3.3.0 (64 bit Release) Log opened on Saturday, December 05, 2026 at "
                       "13:57:12.\n\n");
    EXPECT_EQ(length, std::strlen(text));

    FormatLogClosing(text, sizeof text, "Corvane Pro", SaturdayAfternoon());
    EXPECT_STREQ(text, "\nCorvane Pro Log closed on Saturday, December 05, 2026 at 13:57:12.\n");

    EXPECT_EQ(FormatLogBanner(text, 20, "Corvane Pro", version, SaturdayAfternoon()), 0u);
}

TEST(DebugLog, FirstLogIsUtf16LeWithByteOrderMarkBannerAndClosingLine)
{
    TestDataRoots roots;
    roots.StartModule();
    fs::path log = roots.logs() / LogName(0);
    EXPECT_EQ(fs::path(DebugLogPath()), log);

    std::vector<uint8_t> bytes = ReadBytes(log);
    ASSERT_GE(bytes.size(), 4u);
    EXPECT_EQ(bytes[0], 0xFF);
    EXPECT_EQ(bytes[1], 0xFE);
    EXPECT_EQ(bytes.size() % 2, 0u);
    for (size_t i = 3; i < bytes.size(); i += 2)
        EXPECT_EQ(bytes[i], 0) << "at byte " << i; // all text is ASCII: every high byte is zero

    std::string text = ReadLogText(log);
    EXPECT_TRUE(
        std::regex_match(text, std::regex("Corvane Pro version \\d+\\.\\d+\\.\\d+\\.\\d+ \\(64 bit Release\\) "
                                          "Log opened on \\w+, \\w+ \\d\\d, \\d{4} at \\d\\d:\\d\\d:\\d\\d\\.\n\n")))
        << text;

    CloseDebugLog();
    text = ReadLogText(log);
    EXPECT_TRUE(std::regex_search(text, std::regex("\\.\n\n\nCorvane Pro Log closed on \\w+, \\w+ \\d\\d, \\d{4} at "
                                                   "\\d\\d:\\d\\d:\\d\\d\\.\n$")))
        << text;
    EXPECT_EQ(text.find('\r'), std::string::npos);
    EXPECT_EQ(DebugLogPath()[0], '\0');
}

// _09 makes room, _00 to _08 move up, and anything else with the log's name pattern is deleted; files
// of other names are left alone.
TEST(DebugLog, OpeningShiftsOlderLogsUpKeepsTenAndDeletesStrays)
{
    TestDataRoots roots;
    ASSERT_TRUE(SetupUserFolders("Corvane", "Corvane Pro"));
    for (int number = 0; number <= 9; ++number)
        WriteBytes(roots.logs() / LogName(number), {static_cast<uint8_t>('0' + number)});
    for (const char* stray : {"Corvane Pro_xx.log", "Corvane Pro_12.log", "Corvane Pro_0a.log"})
        WriteBytes(roots.logs() / stray, {'s'});
    for (const char* other : {"Other_00.log", "Corvane Pro_00.txt", "Corvane Pro_100.log"})
        WriteBytes(roots.logs() / other, {'o'});

    SetDebugLogProductName("Corvane Pro");
    OpenTestDebugLog(nullptr);
    CloseDebugLog();

    std::vector<std::string> names;
    for (const fs::directory_entry& entry : fs::directory_iterator(roots.logs()))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    std::vector<std::string> expected{"Corvane Pro_00.txt"};
    for (int number = 0; number <= 9; ++number)
        expected.push_back(LogName(number));
    expected.insert(expected.end(), {"Corvane Pro_100.log", "Other_00.log"});
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(names, expected);

    for (int number = 1; number <= 9; ++number)
        EXPECT_EQ(ReadAll(roots.logs() / LogName(number)), std::string(1, char('0' + number - 1))) << number;
    EXPECT_EQ(ReadBytes(roots.logs() / LogName(0))[0], 0xFF);
}

TEST(DebugLog, OpensOncePerModuleLoadAndWritesNothingAfterClose)
{
    TestDataRoots roots;
    roots.StartModule();
    fs::path log = DebugLogPath();
    ReportError(ErrorSite{7, MessageKind::Debug, 0}, kStyleError, kCaptionUnexpected, "before close");
    CloseDebugLog();
    std::vector<uint8_t> closed = ReadBytes(log);

    int owner = 0;
    OpenTestDebugLog(&owner);
    ReportError(ErrorSite{8, MessageKind::Debug, 0}, kStyleError, kCaptionUnexpected, "after close");
    WriteDebugLog("written after close\n");
    CloseDebugLog();

    EXPECT_EQ(ReadBytes(log), closed);
    EXPECT_FALSE(fs::exists(roots.logs() / LogName(1))); // no second log for the same module load
    EXPECT_EQ(DebugLogOwnerWindow(), &owner);            // the owner still follows every call
    std::vector<std::string> lines = ReportLines(ReadLogText(log));
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_NE(lines[0].find("'before close'"), std::string::npos);
}

TEST(DebugLog, WithoutLogsFolderTheModuleRunsWithoutLog)
{
    TestDataRoots roots; // folders never set up
    SetDebugLogProductName("Corvane Pro");
    OpenTestDebugLog(nullptr);
    EXPECT_EQ(DebugLogPath()[0], '\0');
    EXPECT_FALSE(fs::exists(roots.logs()));

    ReportError(USER_SITE, kStyleError, kCaptionExiting, "still shown");
    ASSERT_EQ(TestDataRoots::Messages().size(), 1u);
    EXPECT_EQ(TestDataRoots::Messages()[0].text, "still shown");
    CloseDebugLog();
}
