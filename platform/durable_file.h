#pragma once
// The operating-system half of a durable file replacement: one implementation on POSIX systems
// (platform/posix_file.cpp) and one on Windows (platform/win32/durable_file.cpp).
#include <filesystem>
#include <vector>

// Creates `path`, which must not exist yet, writes `bytes`, forces them to the disk and closes
// the file. Returns 1 done; 0 when the file was not created (`exists` then tells whether a file
// of that name was in the way); -1 when writing, flushing or closing failed (the file is left
// for the caller to remove). `like`, when it names an existing file, lends its permissions.
int WriteNewFileDurably(const std::filesystem::path& path, const std::vector<unsigned char>& bytes,
                        const std::filesystem::path& like, bool& exists);

// Renames `from` over `to` (replacing it) and waits until the rename is on the disk. True when
// the rename was done.
bool RenameDurably(const std::filesystem::path& from, const std::filesystem::path& to);

// Whether the existing file `path` is marked read-only or cannot be written by this process.
bool FileIsReadOnly(const std::filesystem::path& path);
