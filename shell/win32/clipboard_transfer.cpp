#include "shell/win32/clipboard_transfer.h"

#include <cstring>
#include <string>

#include "shell/clipboard_text.h"
#include "shell/win32/frame.h"
#include "platform/win32/wide_text.h"

namespace {

int PutText(const std::string& text)
{
    bool done = false;
    if (OpenClipboard(FrameWindow)) {
        EmptyClipboard();
        // An empty series leaves the clipboard empty.
        if (text.empty()) {
            done = true;
        } else if (HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, text.size() + 1)) {
            if (void* target = GlobalLock(memory)) {
                std::memcpy(target, text.c_str(), text.size() + 1);
                GlobalUnlock(memory);
                done = SetClipboardData(CF_TEXT, memory) != nullptr;
            }
            if (!done) GlobalFree(memory);
        }
        CloseClipboard();
    }
    if (!done) MessageBoxW(MessageBoxOwner(), L"Clipboard not available", L"KLEO Error", MB_OK);
    return done ? 1 : 0;
}

// The clipboard's text, or false when it holds none or cannot be opened.
bool TakeText(std::string& text)
{
    if (!IsClipboardFormatAvailable(CF_TEXT) || !OpenClipboard(FrameWindow)) return false;
    bool found = false;
    if (HANDLE data = GetClipboardData(CF_TEXT)) {
        if (const char* source = static_cast<const char*>(GlobalLock(data))) {
            // Bounded by the memory block, in case the text lacks its final NUL.
            const size_t size = GlobalSize(data);
            text.assign(source, strnlen(source, size));
            GlobalUnlock(data);
            found = true;
        }
    }
    CloseClipboard();
    return found;
}

void Refused(const std::string& message)
{
    MessageBoxW(MessageBoxOwner(), WideText(message).c_str(), L"Import from clipboard", MB_OK);
}

}  // namespace

int CopySeriesToClipboard(const std::vector<double>& values) { return PutText(FormatClipboardSeries(values)); }

int CopyTableToClipboard(int32_t k, int32_t r, const std::vector<double>& table)
{
    return PutText(FormatClipboardTable(k, r, table));
}

void ReadClipboardSeries(std::vector<double>& values, int32_t& status)
{
    status = 0;
    std::string text;
    if (!TakeText(text)) return;
    const ClipboardParse result = ParseClipboardSeries(text, values);
    if (result.status == -1) Refused(result.message);
    status = result.status;
}

void ReadClipboardTable(std::vector<double>& table, int32_t& columns, int32_t& rows, int32_t& status)
{
    status = 0;
    std::string text;
    if (!TakeText(text)) return;
    const ClipboardParse result = ParseClipboardTable(text, columns, rows, table);
    if (result.status == -1) Refused(result.message);
    status = result.status;
}
