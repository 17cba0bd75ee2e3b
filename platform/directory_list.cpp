#include "platform/directory_list.h"

#include <algorithm>
#include <filesystem>
#include <exception>
#include <new>
#include <system_error>
#include <vector>

namespace {

struct Listing {
    std::vector<DirectoryEntry> entries;
    size_t next = 0;
};

Listing& CurrentListing()
{
    static Listing listing;
    return listing;
}

int ReadCurrentDirectory(std::vector<DirectoryEntry>& entries)
{
    namespace fs = std::filesystem;
    entries.clear();
    entries.push_back({".", kDirectoryAttribute});
    entries.push_back({"..", kDirectoryAttribute});
    std::error_code error;
    fs::directory_iterator it(fs::path("."), error);
    if (error)
        return kListingBadPath;
    std::vector<DirectoryEntry> found;
    for (; it != fs::directory_iterator(); it.increment(error)) {
        if (error)
            return kListingBadPath;
        std::error_code kindError;
        const bool directory = it->is_directory(kindError);
        found.push_back({it->path().filename().u8string(), directory ? kDirectoryAttribute : 0});
    }
    if (error)
        return kListingBadPath;
    std::sort(found.begin(), found.end(),
              [](const DirectoryEntry& a, const DirectoryEntry& b) { return a.name < b.name; });
    entries.insert(entries.end(), found.begin(), found.end());
    return kListingDone;
}

}  // namespace

int ListFirstEntry(const std::string& pattern, DirectoryEntry& entry)
{
    Listing& listing = CurrentListing();
    listing = Listing();
    if (pattern != "*.*")
        return kListingBadPath;
    try {
        const int status = ReadCurrentDirectory(listing.entries);
        if (status != kListingDone) {
            listing = Listing();
            return status;
        }
    } catch (const std::bad_alloc&) {
        listing = Listing();
        return kListingOutOfMemory;
    } catch (const std::exception&) {
        // A name that cannot be converted, say.
        listing = Listing();
        return kListingBadPath;
    }
    return ListNextEntry(entry);
}

int ListNextEntry(DirectoryEntry& entry)
{
    Listing& listing = CurrentListing();
    if (listing.next >= listing.entries.size())
        return kListingNoMoreFiles;
    entry = listing.entries[listing.next++];
    return kListingDone;
}

int ChangeDirectory(const std::string& name)
{
    std::error_code error;
    std::filesystem::current_path(std::filesystem::u8path(name), error);
    return error ? 0 : 1;
}
