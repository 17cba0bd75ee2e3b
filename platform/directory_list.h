#pragma once
// The current directory as the console programs' run time lists it: one entry at a time, with an
// attribute word and a DOS error code at the end.
#include <string>

constexpr int kDirectoryAttribute = 0x10;

// DOS error codes of a listing.
constexpr int kListingDone = 0;          // an entry was delivered
constexpr int kListingNoMoreFiles = 2;   // the normal end
constexpr int kListingBadPath = 3;       // the directory cannot be read, or an unknown pattern
constexpr int kListingOutOfMemory = 12;

struct DirectoryEntry {
    std::string name;    // UTF-8
    int attributes = 0;  // kDirectoryAttribute for a directory
};

// Starts a listing of the current directory for `pattern` and delivers its first entry. Only the
// pattern "*.*" (every entry) is known. The entries come as "." and ".." (both directories),
// then every other entry in byte order of the names. Returns kListingDone with `entry` filled, or an
// error code: kListingNoMoreFiles, kListingBadPath, kListingOutOfMemory.
[[nodiscard]] int ListFirstEntry(const std::string& pattern, DirectoryEntry& entry);
// The next entry of the listing, with the same codes (kListingNoMoreFiles after the last one, and
// with no listing started).
[[nodiscard]] int ListNextEntry(DirectoryEntry& entry);

// Makes `name` the current directory. Returns 1, or 0 when it cannot (nothing changed).
[[nodiscard]] int ChangeDirectory(const std::string& name);
