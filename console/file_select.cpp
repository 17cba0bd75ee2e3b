#include "console/file_select.h"

#include "console/menu.h"
#include "console/screen_io.h"

#include <algorithm>
#include <vector>

namespace {

constexpr char kChangeDir[] = "changedir";

bool Offered(const std::string& name)
{
    if (name.empty() || name.size() > static_cast<size_t>(kFileNameField) || name.back() == ' ')
        return false;
    for (char c : name) {
        if (c < 32 || c > 126)
            return false;
    }
    return true;
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
    DirectoryEntry entry;
    int code = first("*.*", entry);
    for (; code == kListingDone; code = next(entry)) {
        if (!Offered(entry.name))
            continue;
        parentListed = parentListed || entry.name == "..";
        offered.push_back(entry);
    }
    if (code == kListingOutOfMemory)
        ScreenWriteList({"UMBO: out of memory!"});
    else if (code != kListingNoMoreFiles)
        ScreenWriteList({"UMBO: Invalid specification or path name"});
    if (!parentListed)
        offered.insert(offered.begin(), DirectoryEntry{"..", kDirectoryAttribute});
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
