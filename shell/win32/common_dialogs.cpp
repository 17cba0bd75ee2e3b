#include "shell/win32/common_dialogs.h"

#include <commdlg.h>

#include "shell/win32/wide_text.h"

int GetProjectFileName(HWND owner, std::string& name, int mode)
{
    const bool open = mode == kOpenFileMode;
    wchar_t buffer[256] = L"*.kdx";
    // The filter's "|" separators become NULs, ending in the double NUL the dialog expects.
    std::wstring filter = L"KELO Files (*.KDX)|*.KDX|All Files (*.*)|*.*||";
    for (wchar_t& c : filter)
        if (c == L'|') c = L'\0';
    OPENFILENAMEW request = {};
    request.lStructSize = sizeof request;
    request.hwndOwner = owner;
    request.lpstrFilter = filter.c_str();
    request.nFilterIndex = 1;
    request.lpstrFile = buffer;
    request.nMaxFile = 256;
    request.lpstrTitle = open ? L"Open file" : L"Save KELO file";
    request.lpstrDefExt = L"KDX";
    request.Flags = OFN_OVERWRITEPROMPT | OFN_HIDEREADONLY | OFN_PATHMUSTEXIST | (open ? OFN_FILEMUSTEXIST : 0);
    if (!(open ? GetOpenFileNameW(&request) : GetSaveFileNameW(&request))) return 0;
    name = Utf8Text(buffer);
    if (name.size() < 256) name.resize(256, ' ');
    return 1;
}

COLORREF ChoosePlotColor(HWND owner, COLORREF color)
{
    COLORREF custom[16];
    for (int k = 0; k < 16; ++k) custom[k] = RGB(16 * k, 16 * k, 16 * k);
    CHOOSECOLORW request = {};
    request.lStructSize = sizeof request;
    request.hwndOwner = owner;
    request.rgbResult = color;
    request.lpCustColors = custom;
    request.Flags = CC_RGBINIT;
    return ChooseColorW(&request) ? request.rgbResult : color;
}
