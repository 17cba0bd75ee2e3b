#include "platform/win32/dialog_layer.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "gui_harness.h"
#include "test_resources.h"

namespace {

class DialogLayerTest : public FrameFixture {};

std::string TextOf(const DialogRecord& dialog, int id)
{
    std::string text;
    EXPECT_EQ(DialogGetText(dialog, id, text), 1) << "control " << id;
    return text;
}

int LogicalOf(const DialogRecord& dialog, int id, int selector = DIALOG_SELECT_CHECKED)
{
    int value = -1;
    EXPECT_EQ(DialogGetLogical(dialog, id, value, selector), 1) << "control " << id;
    return value;
}

// What the callbacks saw, reset before each case.
int callbackCalls = 0;
int lastCallbackType = 0;

void AcceptWhenYes(DialogRecord& dialog, int, int type)
{
    ++callbackCalls;
    lastCallbackType = type;
    if (TextOf(dialog, IDC_LAYER_EDIT) == "yes") DialogExit(dialog);
}

void Refuse(DialogRecord&, int, int) { ++callbackCalls; }

void BoxOwnedByDialog(DialogRecord& dialog, int, int type)
{
    ++callbackCalls;
    lastCallbackType = type;
    MessageBoxW(dialog.window, L"Inside the callback", L"Layer test", MB_OK);
    DialogSetText(dialog, IDC_LAYER_EDIT, "after the box");
}

void BoxWithoutOwner(DialogRecord& dialog, int, int)
{
    ++callbackCalls;
    MessageBoxW(nullptr, L"Inside the callback", L"Layer test", MB_OK);
    DialogSetText(dialog, IDC_LAYER_EDIT, "after the box");
}

// Copies the edit into the label; setting the label through the layer calls no routine.
void CopyToLabel(DialogRecord& dialog, int, int type)
{
    ++callbackCalls;
    lastCallbackType = type;
    DialogSetText(dialog, IDC_LAYER_LABEL, TextOf(dialog, IDC_LAYER_EDIT));
}

// The answer to the callback's message box, which the unowned case shows without an owner.
DialogAnswer Box(bool ownerless)
{
    DialogAnswer answer = Press(IDOK);
    answer.ownerless = ownerless;
    return answer;
}

struct LayerCase {
    const char* name;
    void (*stage)(DialogRecord&);
    std::vector<DialogAnswer> answers;
    int result;
    size_t dialogsSeen;
    void (*check)(const DialogRecord&);
};

std::vector<LayerCase> LayerCases()
{
    std::vector<LayerCase> cases;

    DialogAnswer staged = Press(IDOK);
    staged.inspect = [](HWND dialog) {
        EXPECT_EQ(ItemText(dialog, IDC_LAYER_EDIT), L"staged text");
        EXPECT_EQ(ItemText(dialog, IDC_LAYER_LABEL), L"staged label");
        EXPECT_TRUE(IsDlgButtonChecked(dialog, IDC_LAYER_CHECK) == BST_CHECKED);
        // Setting one radio button leaves the other of its group as it was.
        EXPECT_TRUE(IsDlgButtonChecked(dialog, IDC_LAYER_RADIO_FIRST) == BST_CHECKED);
        EXPECT_TRUE(IsDlgButtonChecked(dialog, IDC_LAYER_RADIO_SECOND) == BST_CHECKED);
    };
    cases.push_back({"staged values appear in the live dialog",
                     [](DialogRecord& d) {
                         DialogSetText(d, IDC_LAYER_EDIT, "staged text");
                         DialogSetText(d, IDC_LAYER_LABEL, "staged label");
                         DialogSetLogical(d, IDC_LAYER_CHECK, 1);
                         DialogSetLogical(d, IDC_LAYER_RADIO_FIRST, 1);
                         DialogSetLogical(d, IDC_LAYER_RADIO_SECOND, 1);
                     },
                     {staged}, 1, 1,
                     [](const DialogRecord& d) {
                         EXPECT_EQ(TextOf(d, IDC_LAYER_EDIT), "staged text");
                         EXPECT_EQ(LogicalOf(d, IDC_LAYER_RADIO_SECOND), 1);
                     }});

    DialogAnswer typed = Press(IDOK, {{IDC_LAYER_SECOND_EDIT, L"typed 4.5"}});
    typed.checks = {{IDC_LAYER_CHECK, true}};
    cases.push_back({"typed values are read after the run", [](DialogRecord&) {}, {typed}, 1, 1,
                     [](const DialogRecord& d) {
                         EXPECT_EQ(TextOf(d, IDC_LAYER_SECOND_EDIT), "typed 4.5");
                         EXPECT_EQ(TextOf(d, IDC_LAYER_EDIT), "");
                         EXPECT_EQ(LogicalOf(d, IDC_LAYER_CHECK), 1);
                         EXPECT_EQ(LogicalOf(d, IDC_LAYER_RADIO_FIRST), 0);
                     }});

    DialogAnswer disabled = Press(IDOK);
    disabled.inspect = [](HWND dialog) {
        EXPECT_FALSE(IsWindowEnabled(GetDlgItem(dialog, IDC_LAYER_SECOND_EDIT)));
        EXPECT_TRUE(IsWindowEnabled(GetDlgItem(dialog, IDC_LAYER_EDIT)));
    };
    cases.push_back({"selector -3 disables a control",
                     [](DialogRecord& d) { DialogSetLogical(d, IDC_LAYER_SECOND_EDIT, 0, DIALOG_SELECT_ENABLED); },
                     {disabled}, 1, 1,
                     [](const DialogRecord& d) {
                         EXPECT_EQ(LogicalOf(d, IDC_LAYER_SECOND_EDIT, DIALOG_SELECT_ENABLED), 0);
                         EXPECT_EQ(LogicalOf(d, IDC_LAYER_EDIT, DIALOG_SELECT_ENABLED), 1);
                     }});

    cases.push_back({"a callback on OK refuses, then accepts with 1",
                     [](DialogRecord& d) { DialogSetCallback(d, IDOK, AcceptWhenYes); },
                     {Press(IDOK, {{IDC_LAYER_EDIT, L"no"}}), Press(IDOK, {{IDC_LAYER_EDIT, L"yes"}})}, 1, 2,
                     [](const DialogRecord& d) {
                         EXPECT_EQ(TextOf(d, IDC_LAYER_EDIT), "yes");
                         EXPECT_EQ(callbackCalls, 2);
                         EXPECT_EQ(lastCallbackType, DIALOG_CLICKED);
                     }});

    cases.push_back({"a refusing callback on OK does not stop Cancel",
                     [](DialogRecord& d) { DialogSetCallback(d, IDOK, Refuse); }, {Press(IDOK), Press(IDCANCEL)},
                     2, 2, [](const DialogRecord&) { EXPECT_EQ(callbackCalls, 1); }});

    cases.push_back({"Cancel returns 2 and keeps the final values", [](DialogRecord&) {},
                     {Press(IDCANCEL, {{IDC_LAYER_EDIT, L"kept"}})}, 2, 1,
                     [](const DialogRecord& d) { EXPECT_EQ(TextOf(d, IDC_LAYER_EDIT), "kept"); }});

    // The close box turns into a posted Cancel; the label's "press" is a command nobody handles.
    DialogAnswer closeBox = Press(IDC_LAYER_LABEL);
    closeBox.inspect = [](HWND dialog) { SendMessageW(dialog, WM_SYSCOMMAND, SC_CLOSE, 0); };
    cases.push_back({"the close box returns 2", [](DialogRecord&) {}, {closeBox}, 2, 1, [](const DialogRecord&) {}});

    for (auto routine : {BoxOwnedByDialog, BoxWithoutOwner}) {
        cases.push_back({routine == BoxOwnedByDialog ? "a message box owned by the dialog in a callback"
                                                     : "a message box without owner in a callback",
                         routine == BoxOwnedByDialog
                             ? +[](DialogRecord& d) { DialogSetCallback(d, IDC_LAYER_ACTION, BoxOwnedByDialog); }
                             : +[](DialogRecord& d) { DialogSetCallback(d, IDC_LAYER_ACTION, BoxWithoutOwner); },
                         {Press(IDC_LAYER_ACTION), Box(routine == BoxWithoutOwner), Press(IDOK)}, 1, 3,
                         [](const DialogRecord& d) {
                             EXPECT_EQ(callbackCalls, 1);
                             EXPECT_EQ(TextOf(d, IDC_LAYER_EDIT), "after the box");
                         }});
    }

    cases.push_back({"an edit's callback runs when the user leaves it",
                     [](DialogRecord& d) {
                         DialogSetText(d, IDC_LAYER_EDIT, "staged");
                         DialogSetCallback(d, IDC_LAYER_EDIT, CopyToLabel);
                         DialogSetCallback(d, IDC_LAYER_LABEL, Refuse);
                     },
                     {Press(IDOK, {{IDC_LAYER_EDIT, L"typed"}})}, 1, 1,
                     [](const DialogRecord& d) {
                         EXPECT_EQ(callbackCalls, 1);
                         EXPECT_EQ(lastCallbackType, DIALOG_CHANGED);
                         EXPECT_EQ(TextOf(d, IDC_LAYER_LABEL), "typed");
                     }});
    return cases;
}

}  // namespace

TEST_F(DialogLayerTest, OperationsOnTheTestTemplate)
{
    for (LayerCase& c : LayerCases()) {
        SCOPED_TRACE(c.name);
        callbackCalls = 0;
        lastCallbackType = 0;
        DialogRecord dialog;
        ASSERT_EQ(DialogInit(dialog, IDD_LAYER_TEST), 1);
        c.stage(dialog);
        for (DialogAnswer& answer : c.answers) AnswerNextDialog(std::move(answer));
        EXPECT_EQ(DialogRunModal(dialog), c.result);
        EXPECT_EQ(dialog.window, nullptr);
        c.check(dialog);
        const std::vector<SeenDialog> seen = TakeSeenDialogs();
        EXPECT_EQ(seen.size(), c.dialogsSeen);
        for (const SeenDialog& s : seen) EXPECT_TRUE(s.expected) << "unanswered: " << testing::PrintToString(s.caption);
        EXPECT_EQ(DialogRelease(dialog), 1);
    }
}

TEST_F(DialogLayerTest, UnboundAndReleasedRecordsRefuseWork)
{
    DialogRecord dialog;
    std::string text;
    EXPECT_EQ(DialogInit(dialog, 8999), 0);  // no such template
    EXPECT_EQ(DialogSetText(dialog, IDC_LAYER_EDIT, "x"), 0);
    EXPECT_EQ(DialogRunModal(dialog), -1);
    EXPECT_EQ(DialogExit(dialog), 0);

    ASSERT_EQ(DialogInit(dialog, IDD_LAYER_TEST), 1);
    DialogSetText(dialog, IDC_LAYER_EDIT, "first");
    // Binding again without a release starts afresh, as a dialog shown again does.
    ASSERT_EQ(DialogInit(dialog, IDD_LAYER_TEST), 1);
    EXPECT_EQ(DialogGetText(dialog, IDC_LAYER_EDIT, text), 0);
    EXPECT_EQ(DialogSetLogical(dialog, IDC_LAYER_CHECK, 1, 7), 0);  // unknown selector

    AnswerNextDialog(Press(IDOK, {{IDC_LAYER_EDIT, L"typed"}}));
    ASSERT_EQ(DialogRunModal(dialog), 1);
    EXPECT_EQ(DialogGetText(dialog, 4242, text), 0);  // not a control of the template
    ASSERT_EQ(DialogRelease(dialog), 1);
    EXPECT_EQ(DialogGetText(dialog, IDC_LAYER_EDIT, text), 0);

    ASSERT_EQ(DialogInit(dialog, IDD_LAYER_TEST), 1);
    DialogAnswer answer = Press(IDCANCEL);
    answer.inspect = [](HWND d) { EXPECT_EQ(ItemText(d, IDC_LAYER_EDIT), L""); };
    AnswerNextDialog(answer);
    EXPECT_EQ(DialogRunModal(dialog), 2);
    EXPECT_EQ(DialogRelease(dialog), 1);
}

namespace {

int readStatus = -1;
double readValue = 0.0;
bool focusOnEdit = false;

void ReadEdit(DialogRecord& dialog, int, int)
{
    readStatus = ReadDialogReal(dialog.window, IDC_LAYER_EDIT, readValue);
    focusOnEdit = GetFocus() == GetDlgItem(dialog.window, IDC_LAYER_EDIT);
}

}  // namespace

TEST_F(DialogLayerTest, ReadDialogRealReportsUnreadableText)
{
    struct Case {
        const wchar_t* text;
        int status;
        double value;  // the start value is -7
        const wchar_t* reason = L"";
    } const cases[] = {
        {L"2.5", 1, 2.5},
        {L" -1E-3", 1, -0.001},
        {L"0.000000000000000000000000000000000001", 1, 1e-36},  // no digit is cut off
        {L"abc", 0, -7.0, L"Entry \"abc\" is not a number."},
        {L"", 0, -7.0, L"Entry is empty: type one number."},
        {L"4\u00e9", 0, -7.0, L"Entry \"4?\" is not a number."},
        {L"0,5", 0, -7.0, L"Entry \"0,5\" has a decimal comma: type a decimal point."},
        {L"1 2", 0, -7.0, L"Entry \"1 2\" holds more than one number: type one number."},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::PrintToString(std::wstring(c.text)));
        readStatus = -1;
        readValue = -7.0;
        focusOnEdit = false;
        DialogRecord dialog;
        ASSERT_EQ(DialogInit(dialog, IDD_LAYER_TEST), 1);
        DialogSetCallback(dialog, IDC_LAYER_ACTION, ReadEdit);
        AnswerNextDialog(Press(IDC_LAYER_ACTION, {{IDC_LAYER_EDIT, c.text}}));
        if (c.status == 0) AnswerNextDialog(Press(IDOK));  // the error message
        AnswerNextDialog(Press(IDOK));
        EXPECT_EQ(DialogRunModal(dialog), 1);
        EXPECT_EQ(readStatus, c.status);
        EXPECT_DOUBLE_EQ(readValue, c.value);
        const std::vector<SeenDialog> seen = TakeSeenDialogs();
        if (c.status == 0) {
            ASSERT_EQ(seen.size(), 3u);
            EXPECT_EQ(seen[1].message, std::wstring(L"Error reading dialog-item. ") + c.reason);
            EXPECT_EQ(seen[1].caption, L"KELO::Vesk Error");
            EXPECT_TRUE(focusOnEdit);
        } else {
            EXPECT_EQ(seen.size(), 2u);
        }
        DialogRelease(dialog);
    }
}
