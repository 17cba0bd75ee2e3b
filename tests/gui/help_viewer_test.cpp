#include "shell/win32/help_viewer.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "gui_harness.h"
#include "platform/win32/wide_text.h"
#include "resources/resource.h"
#include "shell/help_file.h"
#include "shell/win32/frame.h"

namespace {

constexpr const wchar_t* kCaption = L"KELO::Vesk Help";

class HelpViewerTest : public FrameFixture {
protected:
    void SetUp() override
    {
        FrameFixture::SetUp();
        std::string message;
        ASSERT_EQ(LoadHelpFile(Utf8Text(HelpFilePath()), help_, message), 1) << message;
    }

    HWND Control(int id) const { return GetDlgItem(HelpViewerWindow(), id); }
    // The title of the topic the text pane shows.
    std::wstring Shown() const { return WindowText(Control(IDC_HELP_TEXT)); }
    std::wstring Title(std::string_view id) const
    {
        const int32_t k = FindHelpTopic(help_, id);
        return k < 0 ? L"" : WideText(help_.topics[static_cast<size_t>(k)].title);
    }
    // A key as the user presses it in the text pane: through the message loop.
    void PressInPane(WPARAM key)
    {
        PostMessageW(Control(IDC_HELP_TEXT), WM_KEYDOWN, key, 0);
        PostMessageW(Control(IDC_HELP_TEXT), WM_KEYUP, key, 0);
        PumpMessages();
    }
    std::vector<std::wstring> ListedTitles() const
    {
        std::vector<std::wstring> titles;
        const LRESULT count = SendMessageW(Control(IDC_HELP_LIST), LB_GETCOUNT, 0, 0);
        for (LRESULT row = 0; row < count; ++row) {
            std::wstring text(static_cast<size_t>(SendMessageW(Control(IDC_HELP_LIST), LB_GETTEXTLEN, row, 0)), L'\0');
            SendMessageW(Control(IDC_HELP_LIST), LB_GETTEXT, row, reinterpret_cast<LPARAM>(text.data()));
            titles.push_back(text);
        }
        return titles;
    }

    HelpFile help_;
};

// The first link of a topic and where it leads, in reading order.
int32_t FirstLink(const HelpTopic& topic)
{
    for (const HelpBlock& block : topic.blocks)
        for (const HelpSpan& span : block.spans)
            if (span.link >= 0) return span.link;
    return -1;
}

}  // namespace

// Help > Contents opens the viewer on the contents beside the frame; Tab and Enter in the text
// follow the first link, Back returns, and Help on Help turns the open viewer to its own topic.
TEST_F(HelpViewerTest, ContentsOpensAndItsFirstLinkIsFollowedAndUndoneByBack)
{
    ASSERT_EQ(HelpViewerWindow(), nullptr);
    EXPECT_EQ(SendCommand(IDM_HELP_CONTENTS), 0);
    PumpMessages();
    ASSERT_NE(HelpViewerWindow(), nullptr);
    EXPECT_TRUE(TakeSeenDialogs().empty());
    EXPECT_EQ(WindowText(HelpViewerWindow()), kCaption);
    EXPECT_EQ(GetWindow(HelpViewerWindow(), GW_OWNER), FrameWindow);
    EXPECT_EQ(Shown(), Title(kHelpContentsTopic));
    EXPECT_FALSE(IsWindowEnabled(Control(IDC_HELP_BACK)));
    EXPECT_EQ(ListedTitles().size(), help_.topics.size());
    SaveScreenshot(HelpViewerWindow(), "help-contents");

    const int32_t target = FirstLink(help_.topics[static_cast<size_t>(FindHelpTopic(help_, kHelpContentsTopic))]);
    ASSERT_GE(target, 0);
    PressInPane(VK_TAB);
    PressInPane(VK_RETURN);
    const std::wstring followed = WideText(help_.topics[static_cast<size_t>(target)].title);
    EXPECT_EQ(Shown(), followed);
    EXPECT_TRUE(IsWindowEnabled(Control(IDC_HELP_BACK)));
    // The list marks the topic shown.
    const LRESULT row = SendMessageW(Control(IDC_HELP_LIST), LB_GETCURSEL, 0, 0);
    ASSERT_GE(row, 0);
    EXPECT_EQ(ListedTitles()[static_cast<size_t>(row)], followed);
    SaveScreenshot(HelpViewerWindow(), "help-followed-link");

    SendMessageW(Control(IDC_HELP_BACK), BM_CLICK, 0, 0);
    PumpMessages();
    EXPECT_EQ(Shown(), Title(kHelpContentsTopic));
    EXPECT_FALSE(IsWindowEnabled(Control(IDC_HELP_BACK)));

    HWND viewer = HelpViewerWindow();
    EXPECT_EQ(SendCommand(IDM_HELP_ON_HELP), 0);
    PumpMessages();
    EXPECT_EQ(HelpViewerWindow(), viewer);  // the one viewer, turned to the topic
    EXPECT_EQ(Shown(), Title(kHelpOnHelpTopic));
    EXPECT_TRUE(TakeSeenDialogs().empty());

    SendMessageW(HelpViewerWindow(), WM_CLOSE, 0, 0);
    PumpMessages();
    EXPECT_EQ(HelpViewerWindow(), nullptr);
    EXPECT_EQ(SendCommand(IDM_HELP_ON_HELP), 0);
    PumpMessages();
    ASSERT_NE(HelpViewerWindow(), nullptr);
    EXPECT_EQ(Shown(), Title(kHelpOnHelpTopic));
}

// Typing in the search box narrows the list to topics holding every word, titles first; choosing
// a found topic shows it, and an emptied box lists every topic again.
TEST_F(HelpViewerTest, SearchNarrowsTheListAndAChosenTopicIsShown)
{
    SendCommand(IDM_HELP_CONTENTS);
    PumpMessages();
    ASSERT_NE(HelpViewerWindow(), nullptr);

    const struct {
        const wchar_t* query;
        const char* firstId;  // the topic listed first: the one whose title holds the words
    } cases[] = {
        {L"mouse", "mouse-zoom"},
        {L"SPECTRUM menu", "spectrum-menu"},
        {L"halvire", "halvire"},
    };
    for (const auto& c : cases) {
        SetWindowTextW(Control(IDC_HELP_SEARCH), c.query);
        PumpMessages();
        const std::vector<int32_t> expected = SearchHelpTopics(help_, Utf8Text(c.query));
        const std::vector<std::wstring> listed = ListedTitles();
        ASSERT_EQ(listed.size(), expected.size()) << c.query;
        for (size_t k = 0; k < listed.size(); ++k)
            EXPECT_EQ(listed[k], WideText(help_.topics[static_cast<size_t>(expected[k])].title)) << c.query;
        ASSERT_FALSE(listed.empty()) << c.query;
        EXPECT_LT(listed.size(), help_.topics.size()) << c.query;
        EXPECT_NE(WindowText(Control(IDC_HELP_LIST_LABEL)).find(L"found"), std::wstring::npos) << c.query;
        EXPECT_EQ(listed.front(), Title(c.firstId)) << c.query;

        SendMessageW(Control(IDC_HELP_LIST), LB_SETCURSEL, 0, 0);
        SendMessageW(HelpViewerWindow(), WM_COMMAND, MAKEWPARAM(IDC_HELP_LIST, LBN_SELCHANGE),
                     reinterpret_cast<LPARAM>(Control(IDC_HELP_LIST)));
        PumpMessages();
        EXPECT_EQ(Shown(), Title(c.firstId)) << c.query;
    }
    SaveScreenshot(HelpViewerWindow(), "help-search");

    SetWindowTextW(Control(IDC_HELP_SEARCH), L"nowhere-to-be-found");
    PumpMessages();
    EXPECT_TRUE(ListedTitles().empty());
    EXPECT_EQ(WindowText(Control(IDC_HELP_LIST_LABEL)), L"No topic holds every word");

    SetWindowTextW(Control(IDC_HELP_SEARCH), L"");
    PumpMessages();
    EXPECT_EQ(ListedTitles().size(), help_.topics.size());
    EXPECT_EQ(WindowText(Control(IDC_HELP_LIST_LABEL)), L"All topics");
}

// A missing or damaged help file gives one message box over the frame that names the file, and
// nothing else: no viewer opens, and an open viewer keeps its topic.
TEST_F(HelpViewerTest, MissingOrDamagedFileIsNamedInAMessageAndChangesNothing)
{
    const std::filesystem::path folder =
        std::filesystem::temp_directory_path() / ("vesk-help-" + std::to_string(GetCurrentProcessId()));
    std::filesystem::create_directories(folder);
    const std::filesystem::path missing = folder / "VESK.HLP";
    const std::filesystem::path damaged = folder / "damaged.hlp";
    std::ofstream(damaged, std::ios::binary) << "@topic contents Contents\nSee [[nowhere]].\n";

    const struct {
        std::filesystem::path path;
        const wchar_t* says;
    } cases[] = {
        {missing, L"cannot be opened"},
        {damaged, L"is damaged: line 2: link to unknown topic \"nowhere\""},
    };
    for (bool viewerOpen : {false, true}) {
        if (viewerOpen) {
            SendCommand(IDM_HELP_ON_HELP);
            PumpMessages();
            ASSERT_NE(HelpViewerWindow(), nullptr);
        }
        HWND viewer = HelpViewerWindow();
        for (const auto& c : cases) {
            AnswerWith(IDOK);
            EXPECT_EQ(OpenHelpViewer(c.path.wstring(), kHelpContentsTopic), 0) << c.path;
            PumpMessages();
            const std::vector<SeenDialog> seen = TakeSeenDialogs();
            ASSERT_EQ(seen.size(), 1u) << c.path;
            EXPECT_TRUE(seen[0].expected);
            EXPECT_EQ(seen[0].caption, kCaption);
            EXPECT_EQ(seen[0].owner, FrameWindow);
            EXPECT_NE(seen[0].message.find(c.path.wstring()), std::wstring::npos) << seen[0].message;
            EXPECT_NE(seen[0].message.find(c.says), std::wstring::npos) << seen[0].message;
            EXPECT_EQ(HelpViewerWindow(), viewer);
            if (viewer) {
                EXPECT_EQ(Shown(), Title(kHelpOnHelpTopic));
            }
        }
    }
    std::error_code error;
    std::filesystem::remove_all(folder, error);
}
