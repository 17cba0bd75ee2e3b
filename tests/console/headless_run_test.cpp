// Whole runs on the headless PC, each in a child process: how a run ends (returned, stopped with a
// code, script used up) and what it leaves for a person to look at.
#ifndef _WIN32
#include "headless_runner.h"

#include "console/screen.h"
#include "console/screen_io.h"
#include "platform/file_bytes.h"
#include "platform/pc.h"
#include "platform/pc_headless.h"

#include <gtest/gtest.h>

namespace {

size_t Count(const std::string& text, const std::string& part)
{
    size_t count = 0;
    for (size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1))
        ++count;
    return count;
}

void AskTwice()
{
    SetGraphicsMode(16);
    SetDrawColor(1);
    DrawPlotLine(50, 200, 550, 200);
    for (int ask = 0; ask < 2; ++ask) {
        ScreenWrite("(3X,'ENTER DIMENSION (<12): ',\\)", {});
        int32_t m = 0;
        (void)ScreenReadInts(1, &m);
    }
}

TEST(HeadlessRun, AProgramThatReturnsLeavesItsScreenAndTranscript)
{
    const HeadlessRun run = RunHeadless("returns", "line 3\nline 11", AskTwice);
    ASSERT_EQ(run.ending, "returned") << run.Describe();
    EXPECT_EQ(run.code, 0);
    EXPECT_EQ(run.screen, "   ENTER DIMENSION (<12): 3\n   ENTER DIMENSION (<12): 11\n");
    // One transcript entry at each wait, showing the screen before the input.
    EXPECT_EQ(Count(run.transcript, "=== input "), 2u);
    EXPECT_NE(run.transcript.find("=== input 2: line 11 ===\n   ENTER DIMENSION (<12): 3\n   ENTER DIMENSION (<12):\n"),
              std::string::npos)
        << run.transcript;
    EXPECT_EQ(run.Pixel(50, 214), 9);
    EXPECT_EQ(run.Pixel(550, 214), 9);
    EXPECT_EQ(run.Pixel(50, 213), 0);
}

TEST(HeadlessRun, AScriptThatRunsOutFailsAtOnceWithADump)
{
    const HeadlessRun run = RunHeadless("runs-out", "line 3", AskTwice);
    ASSERT_EQ(run.ending, "script-used-up") << run.Describe();
    EXPECT_EQ(run.code, kHeadlessScriptUsedUp);
    EXPECT_EQ(run.screen, "   ENTER DIMENSION (<12): 3\n   ENTER DIMENSION (<12):\n");
    EXPECT_NE(run.transcript.find("input 2: none left in the script"), std::string::npos) << run.transcript;
    std::vector<unsigned char> png;
    ASSERT_EQ(ReadFileBytes(run.dir + "/screen.png", png), 1);
    ASSERT_GT(png.size(), 8u);
    EXPECT_EQ(std::string(png.begin() + 1, png.begin() + 4), "PNG");
}

TEST(HeadlessRun, AProgramStopEndsTheRunWithItsCode)
{
    const HeadlessRun run = RunHeadless("stops", "key q", [] {
        SetGraphicsMode(16);
        char key = 0;
        ReadKey(key);
        ScreenWrite("('key ',A)", {std::string(1, key)});
        ProgramStop(3);
        ScreenWrite("('not reached')", {});
    });
    ASSERT_EQ(run.ending, "stopped") << run.Describe();
    EXPECT_EQ(run.code, 3);
    EXPECT_EQ(run.screen, "key q\n");
}

TEST(HeadlessRun, EachRunHasAFolderOfItsOwnRemovedWhenTheTestPasses)
{
    std::string first, second;
    {
        const HeadlessRun a = RunHeadless("same", "line 3\nline 4", AskTwice);
        const HeadlessRun b = RunHeadless("same", "line 5\nline 6", AskTwice);
        ASSERT_EQ(a.ending, "returned") << a.Describe();
        ASSERT_EQ(b.ending, "returned") << b.Describe();
        first = a.dir;
        second = b.dir;
        EXPECT_NE(first, second);
        // Neither run touched the other's files.
        EXPECT_EQ(a.screen, "   ENTER DIMENSION (<12): 3\n   ENTER DIMENSION (<12): 4\n");
        std::vector<unsigned char> bytes;
        EXPECT_EQ(ReadFileBytes(first + "/screen.txt", bytes), 1);
        EXPECT_EQ(std::string(bytes.begin(), bytes.end()), a.screen);
        EXPECT_EQ(ReadFileBytes(second + "/screen.txt", bytes), 1);
        EXPECT_EQ(std::string(bytes.begin(), bytes.end()), b.screen);
    }
    EXPECT_FALSE(FileExists(first));
    EXPECT_FALSE(FileExists(second));
}

TEST(HeadlessRun, ACrashIsToldApart)
{
    const HeadlessRun run = RunHeadless("crashes", "", [] { std::_Exit(7); });
    EXPECT_EQ(run.ending, "crashed");
    EXPECT_EQ(run.code, 7);
}

}  // namespace
#endif
