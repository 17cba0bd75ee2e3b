#include "console/file_select.h"

#include "console/menu.h"
#include "console/screen.h"
#include "console/screen_io.h"
#include "platform/pc.h"

#include <algorithm>
#include <string>
#include <vector>

namespace {

constexpr char kChangeDir[] = "changedir";

// Why an entry is left out of the list: what is offered must open as shown, and a trailing blank
// would be lost with the field's padding.
enum class Hidden { No, TooLong, Characters };

Hidden HiddenReason(const std::string& name)
{
    if (name.size() > static_cast<size_t>(kFileNameField))
        return Hidden::TooLong;
    for (char c : name) {
        if (c < 32 || c > 126)
            return Hidden::Characters;
    }
    return name.empty() || name.back() == ' ' ? Hidden::Characters : Hidden::No;
}

// "1 entry is not listed: its name ..." or "3 entries are not listed: their names ...", added to
// `lines` for a count above 0.
void AddHiddenLine(std::vector<std::string>& lines, int count, const char* one, const char* many)
{
    if (count == 0)
        return;
    lines.push_back(count == 1 ? std::string("1 entry is not listed: ") + one
                               : std::to_string(count) + " entries are not listed: " + many);
}

std::string Field(const std::string& name)
{
    return name + std::string(static_cast<size_t>(kFileNameField) - name.size(), ' ');
}

void SetResult(std::string& name, const std::string& text)
{
    const size_t length = std::max(name.size(), static_cast<size_t>(kFileNameField));
    name = text;
    name.resize(length, ' ');
}

}  // namespace

void SelectFileFromListing(std::string& name, int (*first)(const std::string& pattern, DirectoryEntry& entry),
                           int (*next)(DirectoryEntry& entry))
{
    MenuClear();
    ScreenWrite("()", {});
    std::vector<DirectoryEntry> offered;
    bool parentListed = false;
    int tooLong = 0, characters = 0;
    DirectoryEntry entry;
    int code = first("*.*", entry);
    for (; code == kListingDone; code = next(entry)) {
        switch (HiddenReason(entry.name)) {
        case Hidden::TooLong:
            ++tooLong;
            continue;
        case Hidden::Characters:
            ++characters;
            continue;
        case Hidden::No:
            break;
        }
        parentListed = parentListed || entry.name == "..";
        offered.push_back(entry);
    }
    if (code == kListingOutOfMemory)
        ScreenWriteList({"UMBO: out of memory!"});
    else if (code != kListingNoMoreFiles)
        ScreenWriteList({"UMBO: Invalid specification or path name"});
    if (!parentListed)
        offered.insert(offered.begin(), DirectoryEntry{"..", kDirectoryAttribute});
    // The limits stay; the user is told what they leave out, a line for each reason, and an empty
    // line keeps the menu's frame, which reaches 2 pixels above its first row, off the last of
    // them. Where that would push a full menu past the screen's foot, one line tells all.
    std::vector<std::string> hidden;
    AddHiddenLine(hidden, tooLong, "its name is longer than 24 characters.",
                  "their names are longer than 24 characters.");
    AddHiddenLine(hidden, characters, "its name is not plain ASCII or ends in a blank.",
                  "their names are not plain ASCII or end in a blank.");
    const int pastLimit = std::max(0, static_cast<int>(offered.size()) - kMenuMaxItems);
    AddHiddenLine(hidden, pastLimit, "the list holds at most 69.", "the list holds at most 69.");
    if (!hidden.empty()) {
        int column = 0, row = 0;
        BiosGetCursor(column, row);
        const int listed = std::min(static_cast<int>(offered.size()), kMenuMaxItems);
        if (row + static_cast<int>(hidden.size()) + 1 + MenuRowsTaken(listed) > kPcRows)
            hidden = {std::to_string(tooLong + characters + pastLimit) +
                      " entries are not listed: long or unusual names, or past the 69th."};
        hidden.emplace_back();
        for (const std::string& line : hidden)
            ScreenWriteList({line});
    }
    for (size_t k = 0; k < offered.size() && k < static_cast<size_t>(kMenuMaxItems); ++k) {
        const DirectoryEntry& e = offered[k];
        const bool directory = (e.attributes & kDirectoryAttribute) != 0;
        MenuAdd(static_cast<int>(k + 1), directory ? "<" + Field(e.name) + ">" : Field(e.name));
    }
    int choice = 0, column = kMenuAtCursor, row = 0;
    MenuChoose(choice, column, row);
    // The entry itself, not the menu text, tells a directory: a file's name may begin with "<".
    if (choice < 1 || choice > static_cast<int>(offered.size())) {
        SetResult(name, kChangeDir);
        return;
    }
    const DirectoryEntry& chosen = offered[static_cast<size_t>(choice - 1)];
    if ((chosen.attributes & kDirectoryAttribute) != 0) {
        (void)ChangeDirectory(chosen.name);
        SetResult(name, kChangeDir);
        return;
    }
    SetResult(name, chosen.name);
}

void SelectFile(std::string& name)
{
    SelectFileFromListing(name, ListFirstEntry, ListNextEntry);
}
