#include "console/data_file.h"

#include "platform/file_bytes.h"
#include "platform/fortran_format.h"
#include "platform/text_file.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdint>
#include <filesystem>
#include <new>
#include <system_error>

bool DataFaultRefuses(DataFault fault)
{
    return fault == DataFault::DecimalComma || fault == DataFault::Thousands || fault == DataFault::EmptyItem ||
           fault == DataFault::EmptyCell;
}

DataFileRead ReadDataRecords(const std::vector<std::string>& records, int m, int limit)
{
    DataFileRead read;
    if (m < 1 || limit < 0)
        return read;
    read.unit = m == 1 ? NumberUnit::Value : NumberUnit::Vector;
    NumberVectorReader reader(records, m, NumberPrecision::Single);
    std::vector<float> vector(static_cast<size_t>(m));
    const auto fill = [&vector](int64_t k, int64_t r, double x) {
        std::fill_n(vector.begin() + static_cast<std::ptrdiff_t>(k), static_cast<size_t>(r), static_cast<float>(x));
    };
    NumberReadNotes notes;
    NumberReadNotes past;
    for (;;) {
        // The rules are told for the vectors kept. Once a complete vector has followed the limit,
        // vectors are only counted, up to the first item that would end the data.
        const bool kept = read.count < limit;
        if (!reader.Next(fill, kept ? &notes : &past)) {
            if (!kept) {
                notes.stopLine = past.stopLine;
                notes.fault = past.fault;
            }
            break;
        }
        if (read.total < INT_MAX)
            ++read.total;
        if (!kept) {
            read.more = true;
            continue;
        }
        read.values.insert(read.values.end(), vector.begin(), vector.end());
        ++read.count;
    }
    const auto line = [](int64_t k) { return static_cast<int>(std::min<int64_t>(k, INT_MAX)); };
    if (!read.more) {
        read.stopLine = line(notes.stopLine);
        read.fault = notes.fault;
    }
    read.longLine = line(notes.longLine);
    read.itemsNotRead = notes.itemsNotRead;
    read.shortLine = line(notes.shortLine);
    return read;
}

DataFileRead ReadDataText(std::string_view text, int m, int limit)
{
    return ReadDataRecords(SplitRecords(text), m, limit);
}

int ReadDataFile(const std::string& name, int m, int limit, DataFileRead& read)
{
    read = DataFileRead();
    try {
        std::vector<unsigned char> bytes;
        std::error_code error;
        if (name.empty() || std::filesystem::is_directory(std::filesystem::u8path(name), error) ||
            ReadFileBytes(name, bytes) != 1)
            return 0;
        read = ReadDataText(std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()), m, limit);
    } catch (const std::bad_alloc&) {
        read = DataFileRead();
        return 0;
    }
    return 1;
}

DataFault FirstItemFault(std::string_view record)
{
    const LineItems split = SplitNumberLine(record, 1);
    DataFault fault = split.fault;
    if (fault == DataFault::None && !split.items.empty())
        fault = ItemFault(split.items.front().item, NumberPrecision::Single);
    else if (fault == DataFault::None && split.slash)
        fault = DataFault::EmptyItem;
    // Free format would read a date or a fraction as the number before its slash.
    return DataFaultRefuses(fault) || fault == DataFault::DateOrFraction ? fault : DataFault::None;
}

std::string DataFaultText(DataFault fault)
{
    return NumberFaultText(fault, NumberUnit::Value);
}

std::string DataFileProblem(const DataFileRead& read)
{
    if (read.stopLine == 0)
        return "It holds no numbers.";
    return NumberFaultSentence(read.stopLine, read.fault, read.unit);
}

std::vector<std::string> DataStopLines(const DataFileRead& read, const std::string& unit)
{
    if (read.stopLine == 0)
        return {};
    const std::string kept = read.count == 1 ? "the " + unit + " before it was kept."
                                             : "the " + std::to_string(read.count) + " " + unit + "s before it were kept.";
    return {DataFileProblem(read), "Reading stopped there; " + kept};
}

std::vector<std::string> DataReadLines(const DataFileRead& read, const std::string& unit)
{
    NumberReadNotes notes;
    notes.longLine = read.longLine;
    notes.itemsNotRead = read.itemsNotRead;
    notes.shortLine = read.shortLine;
    std::vector<std::string> lines = NumberRuleLines(notes, unit == "value" ? NumberUnit::Value : NumberUnit::Vector);
    for (std::string& stop : DataStopLines(read, unit))
        lines.push_back(std::move(stop));
    return lines;
}

bool IsSameFile(const std::string& name, const std::string& path)
{
    std::error_code error;
    return !name.empty() && !path.empty() &&
           std::filesystem::equivalent(std::filesystem::u8path(name), std::filesystem::u8path(path), error) && !error;
}

std::string DataFilePath(const std::string& name)
{
    std::error_code error;
    const std::filesystem::path path = std::filesystem::absolute(std::filesystem::u8path(name), error);
    return error ? name : path.u8string();
}
