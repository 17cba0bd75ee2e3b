#include "shell/project_file_parts.h"

#include <cmath>
#include <utility>

#include "platform/file_bytes.h"

int32_t ResetFileParts(FilePartBuffer& buffer)
{
    buffer = FilePartBuffer{};
    return 1;
}

int32_t FindPart(const std::vector<unsigned char>& bytes, int32_t tag, size_t& bodyOffset)
{
    ByteReader reader(bytes);
    int32_t partTag = 0, length = 0;
    if (!reader.ReadInt32(partTag) || partTag != kHeaderPartTag) return -1;
    reader.position = 0;
    while (reader.ReadInt32(partTag) && reader.ReadInt32(length)) {
        if (partTag == tag) {
            bodyOffset = reader.position;
            return length;
        }
        if (length > 8 && !reader.Skip(static_cast<int64_t>(length) - 8)) return -1;
    }
    return -1;
}

int32_t ReadHeaderPart(const std::vector<unsigned char>& bytes, FilePartBuffer& buffer, FileMessage& message)
{
    size_t body = 0;
    if (FindPart(bytes, kHeaderPartTag, body) < 0) return 0;
    ByteReader reader(bytes, body);
    int32_t count = 0;
    if (!reader.ReadInt32(count)) {
        message = {"KELO file corrupt", "ReadHeaderPart()"};
        buffer.partCount = 0;
        return 0;
    }
    buffer.partCount = count;
    return 1;
}

int32_t ReadDataPart(const std::vector<unsigned char>& bytes, FilePartBuffer& buffer, FileMessage& message)
{
    size_t body = 0;
    const int32_t length = FindPart(bytes, kDataPartTag, body);
    if (length < 0) return 0;
    ByteReader reader(bytes, body);
    int32_t n = 0;
    std::vector<double> values;
    // The part must hold its count and values and lie inside the file: checked before allocating.
    const int64_t partEnd = static_cast<int64_t>(body) - 8 + length;
    if (!reader.ReadInt32(n) || n < 0 || static_cast<int64_t>(length) < 12 + 8 * static_cast<int64_t>(n) ||
        partEnd > static_cast<int64_t>(bytes.size()) || !reader.ReadDoubles(n, values)) {
        message = {"File corrupt", "ReadDataPart()"};
        return 0;
    }
    for (double v : values)
        if (!std::isfinite(v)) {
            message = {"Cannot read file: the series holds a value that is not finite", "ReadDataPart()"};
            return 0;
        }
    buffer.dataTag = kDataPartTag;
    buffer.dataLength = length;
    buffer.n = n;
    buffer.values = std::move(values);
    return 1;
}
