#include "shell/win32/clipboard_transfer.h"

#include <cstring>
#include <new>
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

void Told(const std::string& message)
{
    MessageBoxW(MessageBoxOwner(), WideText(message).c_str(), L"Import from clipboard", MB_OK);
}

// The clipboard's text parsed by `parse`; a text too large to hold is refused, not fatal.
template <typename Parse>
void ReadClipboard(int32_t& status, Parse parse)
{
    status = 0;
    ClipboardParse result;
    try {
        std::string text;
        if (!TakeText(text)) return;
        result = parse(text);
    } catch (const std::bad_alloc&) {
        result.status = -1;
        result.message = "Memory allocation error.";
    }
    // A refusal, or the notes of what a paste that was read left out.
    if (result.status == -1 || (result.status == 1 && !result.message.empty())) Told(result.message);
    status = result.status;
}

}  // namespace

int CopySeriesToClipboard(const std::vector<double>& values) { return PutText(FormatClipboardSeries(values)); }

int CopyTableToClipboard(int32_t k, int32_t r, const std::vector<double>& table)
{
    return PutText(FormatClipboardTable(k, r, table));
}

void ReadClipboardSeries(std::vector<double>& values, int32_t& status)
{
    ReadClipboard(status, [&](const std::string& text) { return ParseClipboardSeries(text, values); });
}

void ReadClipboardTable(std::vector<double>& table, int32_t& columns, int32_t& rows, int32_t& status)
{
    ReadClipboard(status, [&](const std::string& text) { return ParseClipboardTable(text, columns, rows, table); });
}
