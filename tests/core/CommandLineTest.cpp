#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/CommandLine.h"
#include "core/RunLog.h"
#include "tests/common/MachineFixture.h"

namespace zenthar::testing {
namespace {

using Words = std::vector<std::string>;

TEST(CommandLine, SplitsAsWindowsProgramsDo)
{
    EXPECT_EQ(SplitArguments(""), Words{});
    EXPECT_EQ(SplitArguments("  \t "), Words{});
    EXPECT_EQ(SplitArguments("/quiet  /clones 5"), (Words{"/quiet", "/clones", "5"}));
    EXPECT_EQ(SplitArguments("/model \"NORVA MTR444\" /log C:\\logs\\a.txt"),
              (Words{"/model", "NORVA MTR444", "/log", "C:\\logs\\a.txt"}));
    // Quotes may start mid-word and group what follows up to the closing one.
    EXPECT_EQ(SplitArguments("/log\"C:\\my logs\\a.txt\" x"), (Words{"/logC:\\my logs\\a.txt", "x"}));
    EXPECT_EQ(SplitArguments("\"\" a"), (Words{"", "a"}));
    // Backslashes count only before a quote: pairs halve, an odd one makes the quote literal.
    EXPECT_EQ(SplitArguments("\"C:\\dir\\\\\" next"), (Words{"C:\\dir\\", "next"}));
    EXPECT_EQ(SplitArguments("a\\\"b"), Words{"a\"b"});
    EXPECT_EQ(SplitArguments("\"say \"\"hi\"\"\""), Words{"say \"hi\""});
    // An unclosed quote runs to the end instead of losing the text.
    EXPECT_EQ(SplitArguments("/log \"C:\\a b"), (Words{"/log", "C:\\a b"}));
}

TEST(CommandLine, OptionsIgnoreCaseAndPrefix)
{
    EXPECT_EQ(OptionName("/Quiet"), "quiet");
    EXPECT_EQ(OptionName("-QUIET"), "quiet");
    EXPECT_EQ(OptionName("/?"), "?");
    EXPECT_EQ(OptionName("quiet"), "");
    EXPECT_EQ(OptionName("/"), "");
    EXPECT_EQ(OptionName(""), "");
}

// Both programs' windowless runs are asked for by their own word, anywhere, in any case.
TEST(CommandLine, AnOptionIsFoundByItsOwnWordInAnyCase)
{
    EXPECT_TRUE(HasOption({"/quiet"}, "quiet"));
    EXPECT_TRUE(HasOption({"/log", "C:\\u.log", "-QUIET"}, "quiet"));
    EXPECT_FALSE(HasOption({}, "quiet"));
    EXPECT_FALSE(HasOption({"quiet", "/quieter"}, "quiet"));
    EXPECT_EQ(OptionValue({"/quiet", "-LOG", "C:\\u.log"}, "log"), "C:\\u.log");
    EXPECT_EQ(OptionValue({"/quiet", "/log"}, "log"), "");
}

class RunLogTest : public MachineTest {};

TEST_F(RunLogTest, WritesLinesAsTheyComeAndReplacesAnOlderLog)
{
    machine.AddFile("C:\\logs\\run.log", "an older run\r\n");
    {
        RunLog log(Platform());
        ASSERT_TRUE(log.Open("C:\\logs\\run.log"));
        EXPECT_TRUE(log.Line("first"));
        EXPECT_EQ(machine.FileContents("C:\\logs\\run.log"), "first\r\n");
        EXPECT_TRUE(log.Line("second"));
    }
    EXPECT_EQ(machine.FileContents("C:\\logs\\run.log"), "first\r\nsecond\r\n");
}

TEST_F(RunLogTest, AFileThatCannotBeMadeGivesTheErrorAndDropsLines)
{
    RunLog log(Platform());
    EXPECT_FALSE(log.Open("C:\\no such folder\\run.log"));
    EXPECT_FALSE(log.IsOpen());
    EXPECT_FALSE(log.Line("lost"));

    ASSERT_TRUE(log.Open("C:\\run.log"));
    machine.FailNext("WriteFile", 112);
    EXPECT_FALSE(log.Line("disk full"));
    EXPECT_TRUE(log.Line("after"));
    EXPECT_EQ(machine.FileContents("C:\\run.log"), "after\r\n");
}

}  // namespace
}  // namespace zenthar::testing
