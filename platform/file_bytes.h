#pragma once
// Whole-file transfer of bytes. Readers and writers of the program's file formats work on byte
// buffers; these two routines are their only contact with the file system.
#include <cstdint>
#include <string>
#include <vector>

// Reads the whole file `name` into `bytes` (replaced). Returns 1, or 0 when the file cannot be
// opened or read (`bytes` then empty).
[[nodiscard]] int ReadFileBytes(const std::string& name, std::vector<unsigned char>& bytes);

// Writes `bytes` as the new content of the file `name`: first into a temporary file beside it,
// which then replaces the target, so an old file survives a write that fails. Returns 1 when
// every byte was written, flushed and closed and the target replaced; 0 when the temporary file
// cannot be created (nothing changed), -1 when writing, closing or replacing failed (the target
// is untouched and the temporary file removed).
[[nodiscard]] int ReplaceFileBytes(const std::string& name, const std::vector<unsigned char>& bytes);

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
