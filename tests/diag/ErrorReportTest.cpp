#include <regex>

#include "common/TestDataRoots.h"

TEST(ErrorReport, EachKindWritesItsLineOnlyUserReportsReachTheUserOtherKindsDoNothing)
{
    TestDataRoots roots;
    int owner = 0;
    ASSERT_TRUE(SetupUserFolders("Corvane", "Corvane Pro"));
    OpenTestDebugLog(&owner);

    ReportError(ErrorSite{42, MessageKind::Debug, 0}, kStyleError, kCaptionUnexpected, "value %d of %s", 7, "x");
    EXPECT_TRUE(TestDataRoots::Messages().empty());
    ReportError(ErrorSite{43, MessageKind::System, 0xDEADBEEFu}, kStyleError, kCaptionUnexpected, "no text");
    EXPECT_TRUE(TestDataRoots::Messages().empty());
    for (uint32_t kind : {3u, 0xFFFFFFFFu}) // no effect at all
        ReportError(ErrorSite{1, static_cast<MessageKind>(kind), 0}, kStyleError, "Caption", "ignored");
    ReportError(ErrorSite{44, MessageKind::User, 0}, kStyleWarning, "Warning - Caption", "shown %s", "once");

    std::vector<std::string> lines = ReportLines(ReadLogText(DebugLogPath()));
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_TRUE(std::regex_match(
        lines[0],
        std::regex("\\d\\d:\\d\\d:\\d\\d : Line 42: Debug Message: 'Debug:  Unexpected Error' - 'value 7 of x'")))
        << lines[0];
    EXPECT_TRUE(
        std::regex_match(lines[1], std::regex("\\d\\d:\\d\\d:\\d\\d : Line 43: System Error: 'Unidentified System "
                                              "Error' : 'Debug:  Unexpected Error' - 'no text'")))
        << lines[1];
    EXPECT_TRUE(std::regex_match(
        lines[2], std::regex("\\d\\d:\\d\\d:\\d\\d : Line 44: User Message: 'Warning - Caption' - 'shown once'")))
        << lines[2];

    ASSERT_EQ(TestDataRoots::Messages().size(), 1u);
    EXPECT_EQ(TestDataRoots::Messages()[0].caption, "Warning - Caption");
    EXPECT_EQ(TestDataRoots::Messages()[0].text, "shown once");
    EXPECT_EQ(TestDataRoots::Messages()[0].style, kStyleWarning);
}

// The system's texts for common codes end in a line break (and some span lines): the log keeps one line.
// Text is measured before it is formatted, so a long path or message is logged whole.
TEST(ErrorReport, SystemTextIsCutAtItsFirstLineBreakAndLongTextNever)
{
    TestDataRoots roots;
    roots.StartModule();
    ReportError(ErrorSite{9, MessageKind::System, 2}, kStyleError, kCaptionUnexpected, "missing file");
    const std::string longText(5000, 'a');
    ReportError(DEBUG_SITE, kStyleError, kCaptionUnexpected, "%s|", longText.c_str());
    const std::vector<std::string> lines = ReportLines(ReadLogText(DebugLogPath()));
    ASSERT_EQ(lines.size(), 2u);
    std::smatch match;
    ASSERT_TRUE(std::regex_match(lines[0], match,
                                 std::regex("\\d\\d:\\d\\d:\\d\\d : Line 9: System Error: '([^']+)' : "
                                            "'Debug:  Unexpected Error' - 'missing file'")))
        << lines[0];
    EXPECT_NE(match[1].str(), "Unidentified System Error");
    EXPECT_EQ(ReadLogText(DebugLogPath()).find('\r'), std::string::npos);
    EXPECT_NE(lines[1].find("'" + longText + "|'"), std::string::npos);
}
