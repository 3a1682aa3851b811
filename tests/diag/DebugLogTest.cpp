#include <cstring>
#include <ctime>
#include <set>

#include "common/TestDataRoots.h"

namespace fs = std::filesystem;

namespace {

std::string LogName(int number)
{
    char name[64];
    std::snprintf(name, sizeof name, "Corvane Pro_%02d.log", number);
    return name;
}

} // namespace

TEST(DebugLog, BannerAndClosingLineForAGivenTimeAndVersion)
{
    const uint32_t version[4] = {1, 3, 3, 0};
    std::tm saturday{};
    saturday.tm_year = 2026 - 1900;
    saturday.tm_mon = 11;
    saturday.tm_mday = 5;
    saturday.tm_hour = 13;
    saturday.tm_min = 57;
    saturday.tm_sec = 12;
    saturday.tm_wday = 6;
    saturday.tm_yday = 338;
    char text[512];
    const size_t length = FormatLogBanner(text, sizeof text, "Corvane Pro", version, saturday);
    EXPECT_STREQ(text, "Corvane Pro version 1.3.3.0 (64 bit Release) Log opened on Saturday, December 05, 2026 at "
                       "13:57:12.\n\n");
    EXPECT_EQ(length, std::strlen(text));
    FormatLogClosing(text, sizeof text, "Corvane Pro", saturday);
    EXPECT_STREQ(text, "\nCorvane Pro Log closed on Saturday, December 05, 2026 at 13:57:12.\n");
    EXPECT_EQ(FormatLogBanner(text, 20, "Corvane Pro", version, saturday), 0u);
}

// The log is UTF-16LE with a byte-order mark, opened once per module load: after it is closed nothing
// more is written, and no second log is started.
TEST(DebugLog, FirstLogIsUtf16LeAndOpensOncePerModuleLoad)
{
    TestDataRoots roots;
    roots.StartModule();
    const fs::path log = roots.logs() / LogName(0);
    EXPECT_EQ(fs::path(DebugLogPath()), log);
    ReportError(ErrorSite{7, MessageKind::Debug, 0}, kStyleError, kCaptionUnexpected, "before close");
    CloseDebugLog();
    EXPECT_EQ(DebugLogPath()[0], '\0');
    const std::vector<uint8_t> closed = ReadBytes(log);
    ASSERT_GE(closed.size(), 4u);
    EXPECT_TRUE(closed[0] == 0xFF && closed[1] == 0xFE);
    EXPECT_EQ(closed.size() % 2, 0u);
    for (size_t i = 3; i < closed.size(); i += 2)
        ASSERT_EQ(closed[i], 0) << "at byte " << i; // all text is ASCII: every high byte is zero
    const std::string text = ReadLogText(log);
    EXPECT_EQ(text.rfind("Corvane Pro version ", 0), 0u) << text;
    EXPECT_NE(text.find("close'\n\nCorvane Pro Log closed on "), std::string::npos) << text;
    EXPECT_EQ(text.find('\r'), std::string::npos);

    int owner = 0;
    OpenTestDebugLog(&owner);
    ReportError(ErrorSite{8, MessageKind::Debug, 0}, kStyleError, kCaptionUnexpected, "after close");
    WriteDebugLog("written after close\n");
    CloseDebugLog();
    EXPECT_EQ(ReadBytes(log), closed);
    EXPECT_FALSE(fs::exists(roots.logs() / LogName(1)));
    EXPECT_EQ(DebugLogOwnerWindow(), &owner); // the owner still follows every call
    const std::vector<std::string> lines = ReportLines(text);
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_NE(lines[0].find("'before close'"), std::string::npos);
}

// _09 makes room, _00 to _08 move up, and anything else with the log's name pattern is deleted; files
// of other names are left alone.
TEST(DebugLog, OpeningShiftsOlderLogsUpKeepsTenAndDeletesStrays)
{
    TestDataRoots roots;
    ASSERT_TRUE(SetupUserFolders("Corvane", "Corvane Pro"));
    std::set<std::string> expected{"Other_00.log", "Corvane Pro_00.txt", "Corvane Pro_100.log"};
    for (const std::string& name : expected)
        WriteBytes(roots.logs() / name, {'o'});
    for (const char* stray : {"Corvane Pro_xx.log", "Corvane Pro_12.log", "Corvane Pro_0a.log"})
        WriteBytes(roots.logs() / stray, {'s'});
    for (int number = 0; number <= 9; ++number) {
        WriteBytes(roots.logs() / LogName(number), {static_cast<uint8_t>('0' + number)});
        expected.insert(LogName(number));
    }

    SetDebugLogProductName("Corvane Pro");
    OpenTestDebugLog(nullptr);
    CloseDebugLog();

    std::set<std::string> names;
    for (const fs::directory_entry& entry : fs::directory_iterator(roots.logs()))
        names.insert(entry.path().filename().string());
    EXPECT_EQ(names, expected);
    for (int number = 1; number <= 9; ++number)
        EXPECT_EQ(ReadBytes(roots.logs() / LogName(number)), std::vector<uint8_t>{uint8_t('0' + number - 1)});
    EXPECT_EQ(ReadBytes(roots.logs() / LogName(0))[0], 0xFF);
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
