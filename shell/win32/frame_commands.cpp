#include "shell/win32/frame_commands.h"

#include "resources/resource.h"

bool FrameCommand(HWND frame, UINT id)
{
    switch (id) {
    case IDM_EXIT:
        SendMessageW(frame, WM_CLOSE, 0, 0);
        return true;
    default:
        return false;
    }
}
