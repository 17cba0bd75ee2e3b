#pragma once
// Reader of the multi-part project file: a header part (tag 9923) followed by parts of any tag,
// each an int32 tag, an int32 length (of the whole part, its 8-byte head included) and a body.
// Only the data part (tag 9924: int32 n, then n doubles) is taken. The file is read whole into
// memory and parsed from there; nothing in the program writes this format.
#include <cstdint>
#include <vector>

#include "shell/file_message.h"

constexpr int32_t kHeaderPartTag = 9923;
constexpr int32_t kDataPartTag = 9924;

struct FilePartBuffer {
    int32_t headerTag = kHeaderPartTag;
    int32_t headerLength = 12;
    int32_t partCount = 0;  // parts after the header, as stored
    int32_t dataTag = 0;    // kDataPartTag once a data part was read
    int32_t dataLength = 0;
    int32_t n = 0;
    std::vector<double> values;  // n values once a data part was read
};

// A fresh buffer: header tag 9923, length 12, count 0, no values. Returns 1.
int32_t ResetFileParts(FilePartBuffer& buffer);

// The length of the first part with tag `tag`, with `bodyOffset` the offset of its body; -1 when
// the bytes do not begin with a header part or no whole part head with that tag is found.
// A part length below 8 skips no body; a length that runs past the end ends the search.
int32_t FindPart(const std::vector<unsigned char>& bytes, int32_t tag, size_t& bodyOffset);

// 1 and the part count in the buffer; 0 when there is no header part (no message) or its count
// cannot be read ("KELO file corrupt", "ReadHeaderPart()"; count 0).
[[nodiscard]] int32_t ReadHeaderPart(const std::vector<unsigned char>& bytes, FilePartBuffer& buffer,
                                     FileMessage& message);

// 1 and n, length and values in the buffer; 0 when there is no data part (no message) or it is
// not sound ("File corrupt", "ReadDataPart()"): n negative, the length below 12 + 8 n, or the
// part not inside the file; or when a value is NaN or infinite ("Cannot read file: the series
// holds a value that is not finite", "ReadDataPart()"). On 0 the buffer's data part is left as
// it was.
[[nodiscard]] int32_t ReadDataPart(const std::vector<unsigned char>& bytes, FilePartBuffer& buffer,
                                   FileMessage& message);
