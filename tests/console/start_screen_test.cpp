// The start screen, the Yes/No question and the question before a file is replaced on the
// scripted PC; ESC's stop also in a child process.
#include "scratch_folder.h"
#include "scripted_pc.h"

#include "console/screen.h"
#include "console/screen_io.h"
#include "console/start_screen.h"
#include "platform/pc.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#ifndef _WIN32
#include "headless_runner.h"
#endif

namespace {

std::string Spaces(int n)
{
    return std::string(static_cast<size_t>(n), ' ');
}

TEST(StartScreen, AnyKeyButEscContinuesAndIsConsumed)
{
    struct Case {
        const char* name;
        std::string programName;
        std::string key;
        std::string shownName;  // on the package line, trailing blanks cut
    };
    const Case cases[] = {
        {"a letter", "M O L D A   ", "key a", "M O L D A"},
        {"Enter", " D R A V    ", "key enter", " D R A V"},
        {"an extended key with its code", "O S P E     ", "key down", "O S P E"},
        {"a name of 13 characters is cut to 12", "H A L V I R E", "key space", "H A L V I R"},
    };
    for (const Case& c : cases) {
        int adapter = -1, layout = -1, bottom = -1;
        char next = 0;
        const ScriptedRun run = RunScripted(c.key + "\nkey z", [&] {
            StartScreen(c.programName, adapter, layout, bottom);
            ReadKey(next);
        });
        ASSERT_EQ(run.ending, "returned") << c.name << "\n" << run.Describe();
        EXPECT_EQ(next, 'z') << c.name;
        EXPECT_EQ(adapter, 0) << c.name;
        EXPECT_EQ(layout, 0) << c.name;
        EXPECT_EQ(bottom, 234) << c.name;
        const ScreenPicture& shown = run.waits.at(0);
        EXPECT_EQ(shown.Row(7), "") << c.name;
        EXPECT_EQ(shown.Row(8), Spaces(21) + "K E L O : PROGRAM  " + c.shownName) << c.name;
        EXPECT_EQ(shown.Row(10), Spaces(18) + "    (Version 5.0, Feb. 1994)") << c.name;
        EXPECT_EQ(shown.Row(22), Spaces(11) + "         <Press any key to continue>") << c.name;
        // The frame in light blue, plot frame 10..234 (screen rows 24..248).
        for (auto [x, y] : {std::pair{50, 24}, {550, 24}, {50, 248}, {550, 248}, {300, 24}, {300, 248}, {50, 100},
                            {550, 100}})
            EXPECT_EQ(shown.Pixel(x, y), 9) << c.name << " " << x << "," << y;
        EXPECT_EQ(shown.Pixel(50, 249), 0) << c.name;
        EXPECT_EQ(shown.Pixel(49, 24), 0) << c.name;
        EXPECT_GT(shown.Count(51, 25, 549, 247, 9), 0) << c.name << ": the banner";
        EXPECT_EQ(shown.Count(0, 0, kPcWidth - 1, kPcHeight - 1, 1), 0) << c.name << ": colour 1 is drawn as 9";
    }
}

TEST(StartScreen, EscLeavesTextModeAndStops)
{
    bool returned = false;
    int adapter = -1, layout = -1, bottom = -1;
    const ScriptedRun run = RunScripted("key esc", [&] {
        StartScreen("M O L D A   ", adapter, layout, bottom);
        returned = true;
    });
    EXPECT_EQ(run.ending, "stopped");
    EXPECT_EQ(run.code, 0);
    EXPECT_FALSE(returned);
    EXPECT_EQ(PcVideoMode(), kPcTextMode);
    EXPECT_EQ(run.end.text, "");  // no message
}

#ifndef _WIN32
TEST(StartScreen, EscEndsTheProcessWithoutWritingAFile)
{
    const ScratchFolder folder("start-screen");
    const HeadlessRun run = RunHeadless("start-screen-esc", "key esc", [&] {
        int adapter = 0, layout = 0, bottom = 0;
        StartScreen("O S P E     ", adapter, layout, bottom);
        ScreenWrite("('not reached')", {});
    });
    ASSERT_EQ(run.ending, "stopped") << run.Describe();
    EXPECT_EQ(run.code, 0);
    EXPECT_EQ(run.screen, "");
    EXPECT_TRUE(std::filesystem::is_empty(folder.Path()));
}
#endif

TEST(AskYesNo, AnswersAtTheCursor)
{
    struct Case {
        const char* name;
        YesNoItems items;
        std::string script;
        int answer;
        std::string noRow;
    };
    const Case cases[] = {
        {"y chooses Yes at once", YesNoItems::Wide, "key y", 1, "  Again?  No"},
        {"Enter chooses No, barred first", YesNoItems::Wide, "key enter", 0, "  Again?  No"},
        {"upper-case N", YesNoItems::Narrow, "key N", 0, "  Again?  No"},
        {"down and Enter", YesNoItems::Narrow, "key down\nkey enter", 1, "  Again?  No"},
    };
    for (const Case& c : cases) {
        int answer = -1;
        const ScriptedRun run = RunScripted(c.script, [&] {
            SetTextCursor(0, 3);
            ScreenWrite("('  Again? ',\\)", {});
            AskYesNo(answer, c.items);
        });
        ASSERT_EQ(run.ending, "returned") << c.name << "\n" << run.Describe();
        EXPECT_EQ(answer, c.answer) << c.name;
        EXPECT_EQ(run.inputsLeft, 0) << c.name;
        EXPECT_EQ(run.end.Row(3), c.noRow) << c.name;
        EXPECT_EQ(run.end.Row(4), Spaces(10) + "Yes") << c.name;
    }
}

// The question comes only for a file that exists; a folder is left to the writer, which reports
// it. The question takes a row of its own, and after the answer the cursor stands at the start of
// the second row below it.
TEST(AskReplaceFile, AsksOnlyForAnExistingFile)
{
    struct Case {
        const char* name;
        const char* file;
        bool cursorBehind;  // the caller leaves the cursor behind the name, not on the next row
        YesNoItems items;
        std::string script;
        int result;
        std::vector<std::string> rows;  // rows 3.. at the end; "@" marks where the cursor stands
    };
    const std::vector<std::string> asked = {"  Name? old.txt", "   old.txt exists. Replace it?  No", Spaces(32) + "Yes",
                                            "", "@"};
    const Case cases[] = {
        {"no file: no question", "new.txt", true, YesNoItems::Wide, "", 1, {"  Name? new.txt@"}},
        {"a folder: no question", "sub", false, YesNoItems::Wide, "", 1, {"  Name? sub", "@"}},
        {"Enter keeps the file", "old.txt", false, YesNoItems::Wide, "key enter", 0, asked},
        {"Yes replaces it", "old.txt", true, YesNoItems::Narrow, "key y", 1, asked},
    };
    for (const Case& c : cases) {
        ScratchFolder folder("ask-replace");
        folder.Write("old.txt", "1\n");
        std::filesystem::create_directory("sub");
        int result = -1;
        const ScriptedRun run = RunScripted(c.script, [&] {
            SetTextCursor(0, 3);
            ScreenWrite(c.cursorBehind ? "('  Name? ',A,\\)" : "('  Name? ',A)", {std::string(c.file)});
            result = AskReplaceFile(c.file, 3, c.items);
            ScreenWrite("('@',\\)", {});
        });
        ASSERT_EQ(run.ending, "returned") << c.name << "\n" << run.Describe();
        EXPECT_EQ(result, c.result) << c.name;
        EXPECT_EQ(run.inputsLeft, 0) << c.name;
        for (size_t k = 0; k < c.rows.size(); ++k)
            EXPECT_EQ(run.end.Row(3 + static_cast<int>(k)), c.rows[k]) << c.name << " row " << 3 + k;
        EXPECT_EQ(run.end.Row(3 + static_cast<int>(c.rows.size())), "") << c.name;
    }
}

}  // namespace
