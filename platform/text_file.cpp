#include "platform/text_file.h"

#include "platform/file_bytes.h"

#include <algorithm>
#include <filesystem>
#include <system_error>

namespace {

template <typename T, typename Read>
int ReadOverRecords(const std::function<bool(std::string&)>& nextRecord, int count, T* values, Read read)
{
    if (count <= 0)
        return 1;
    if (values == nullptr)
        return -1;
    // Blank records are passed over, so every joined record holds at least one item and a read
    // joins at most `count` of them.
    std::vector<T> taken(values, values + count);
    std::string joined;
    std::string record;
    for (;;) {
        if (!nextRecord(record))
            return 0;
        if (record.find_first_not_of(" \t\r") == std::string::npos)
            continue;
        joined += record;
        joined += '\n';
        const int status = read(joined, count, taken.data());
        if (status == 1)
            std::copy(taken.begin(), taken.end(), values);
        if (status != 0)
            return status;
    }
}

std::function<bool(std::string&)> FileRecords(TextFile& file)
{
    return [&file](std::string& record) {
        if (file.nextRecord >= file.records.size())
            return false;
        record = file.records[file.nextRecord++];
        return true;
    };
}

}  // namespace

RecordCursor::RecordCursor(std::string_view text)
{
    constexpr std::string_view byteOrderMark = "\xEF\xBB\xBF";
    if (text.substr(0, byteOrderMark.size()) == byteOrderMark)
        text.remove_prefix(byteOrderMark.size());
    // A DOS end-of-file mark ends the text when no digit follows it (padding of the last block,
    // an editor's leftovers); one that digits follow stays, for the reader to say that the file
    // goes on after it.
    const size_t endMark = text.find('\x1A');
    if (endMark != std::string_view::npos &&
        std::none_of(text.begin() + static_cast<std::ptrdiff_t>(endMark), text.end(), [](char c) { return c >= '0' && c <= '9'; }))
        text = text.substr(0, endMark);
    rest_ = text;
}

bool RecordCursor::Next(std::string_view& record)
{
    if (rest_.empty())
        return false;
    const char* const start = rest_.data();
    const char* const end = start + rest_.size();
    const char* stop = start;
    // Most bytes are above CR: one comparison passes them.
    while (stop < end && (static_cast<unsigned char>(*stop) > '\r' || (*stop != '\r' && *stop != '\n')))
        ++stop;
    record = std::string_view(start, static_cast<size_t>(stop - start));
    if (stop < end)
        stop += *stop == '\r' && stop + 1 < end && stop[1] == '\n' ? 2 : 1;
    rest_ = std::string_view(stop, static_cast<size_t>(end - stop));
    return true;
}

std::vector<std::string> SplitRecords(std::string_view text)
{
    RecordCursor cursor(text);
    std::vector<std::string> records;
    records.reserve(cursor.LineEnds() + 1);
    for (std::string_view record; cursor.Next(record);)
        records.emplace_back(record);
    return records;
}

int ReadRecordSingles(const std::function<bool(std::string&)>& nextRecord, int count, float* values)
{
    return ReadOverRecords(nextRecord, count, values, ReadFreeSingles);
}

int ReadRecordInts(const std::function<bool(std::string&)>& nextRecord, int count, int32_t* values)
{
    return ReadOverRecords(nextRecord, count, values, ReadFreeInts);
}

int OpenInputFile(TextFile& file, const std::string& name)
{
    file = TextFile();
    std::vector<unsigned char> bytes;
    std::error_code error;
    if (name.empty() || std::filesystem::is_directory(std::filesystem::u8path(name), error) ||
        ReadFileBytes(name, bytes) != 1)
        return 0;
    file.records = SplitRecords(std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()));
    file.name = name;
    file.mode = TextFile::Mode::Reading;
    return 1;
}

int OpenOutputFile(TextFile& file, const std::string& name)
{
    file = TextFile();
    std::error_code error;
    if (name.empty() || std::filesystem::is_directory(std::filesystem::u8path(name), error))
        return 0;
    file.name = name;
    file.mode = TextFile::Mode::Writing;
    return 1;
}

int ReadFileSingles(TextFile& file, int count, float* values)
{
    if (file.mode != TextFile::Mode::Reading)
        return -1;
    return ReadRecordSingles(FileRecords(file), count, values);
}

int ReadFileInts(TextFile& file, int count, int32_t* values)
{
    if (file.mode != TextFile::Mode::Reading)
        return -1;
    return ReadRecordInts(FileRecords(file), count, values);
}

int WriteFileFormatted(TextFile& file, std::string_view format, const std::vector<FormatValue>& values)
{
    if (file.mode != TextFile::Mode::Writing)
        return 0;
    std::string out;
    const int status = WriteFormatted(format, values, out);
    for (char c : out) {
        if (c == '\n')
            file.text += "\r\n";
        else
            file.text += c;
    }
    return status;
}

int CloseFile(TextFile& file)
{
    int status = 1;
    if (file.mode == TextFile::Mode::Writing)
        status = ReplaceFileBytes(file.name, std::vector<unsigned char>(file.text.begin(), file.text.end()));
    file = TextFile();
    return status;
}
