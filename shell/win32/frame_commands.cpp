#include "shell/win32/frame_commands.h"

#include "platform/win32/dialog_layer.h"
#include "resources/resource.h"

namespace {

// The About box's record lives for the whole run and is bound anew on every call.
void ShowAbout()
{
    static DialogRecord about;
    if (!DialogInit(about, IDD_ABOUT)) return;
    (void)DialogRunModal(about);
    DialogRelease(about);
}

}  // namespace

bool FrameCommand(HWND frame, UINT id)
{
    switch (id) {
    case IDM_EXIT:
        SendMessageW(frame, WM_CLOSE, 0, 0);
        return true;
    case IDM_ABOUT:
        ShowAbout();
        return true;
    default:
        return false;
    }
}
