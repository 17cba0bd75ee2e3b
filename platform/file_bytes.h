#pragma once
// Whole-file transfer of bytes. Readers and writers of the program's file formats work on byte
// buffers; these two routines are their only contact with the file system.
#include <cstdint>
#include <string>
#include <vector>

// Reads the whole regular file `name` (links followed) into `bytes` (replaced). Returns 1, or 0
// when it cannot be opened or read, is not a regular file (a folder, a device) or does not fit
// in memory (`bytes` then empty).
[[nodiscard]] int ReadFileBytes(const std::string& name, std::vector<unsigned char>& bytes);

// Results of ReplaceFileBytes.
constexpr int kReplaceDone = 1;
constexpr int kReplaceCannotCreate = 0;  // no temporary file could be made: nothing changed
constexpr int kReplaceWriteFailed = -1;  // writing, flushing or replacing failed: target untouched
constexpr int kReplaceReadOnly = -2;     // the target is read-only: nothing written

// Writes `bytes` as the new content of the file `name`: first into a temporary file of a unique
// name in the target's folder, which is flushed to the disk and then renamed over the target, so
// an old file survives a write that fails or a process that is killed. A name that is a symbolic
// link writes the file the link points to and leaves the link in place. Temporary files of this
// routine's own pattern for the same target that are older than ten minutes (left by a process
// that was killed) are removed on the way. A new file takes the permissions of the one it
// replaces. An existing target that is not a regular file (a folder, a pipe, a device) is left
// alone: kReplaceWriteFailed. Returns one of the kReplace codes.
[[nodiscard]] int ReplaceFileBytes(const std::string& name, const std::vector<unsigned char>& bytes);

// The user's message for a failed ReplaceFileBytes: "Cannot open file", "Cannot write to file"
// or "Cannot write to a read-only file".
const char* ReplaceFailureText(int status);

// Whether a file (or directory) of that name exists.
bool FileExists(const std::string& name);

// Appends the little-endian image of a value; the writers build files field by field with these.
void AppendInt32(std::vector<unsigned char>& bytes, int32_t value);
void AppendDouble(std::vector<unsigned char>& bytes, double value);

// Sequential little-endian reader over a byte buffer. Every read checks the remaining length
// first; a failed read returns false and leaves the position where it was.
struct ByteReader {
    const std::vector<unsigned char>& bytes;
    size_t position = 0;

    explicit ByteReader(const std::vector<unsigned char>& b, size_t start = 0) : bytes(b), position(start) {}
    size_t remaining() const { return position <= bytes.size() ? bytes.size() - position : 0; }
    [[nodiscard]] bool ReadInt32(int32_t& value);
    [[nodiscard]] bool ReadDouble(double& value);
    // Reads `count` doubles into `values` (replaced); false, with nothing allocated, when fewer
    // than 8 * count bytes remain or count is negative.
    [[nodiscard]] bool ReadDoubles(int64_t count, std::vector<double>& values);
    [[nodiscard]] bool Skip(int64_t count);
};
