#include "shell/ascii_files.h"

#include <new>

#include "platform/file_bytes.h"
#include "platform/fortran_format.h"
#include "platform/text_file.h"

// Writes `text` into the file `name` through a temporary file; fills the message on failure.
int32_t WriteText(const std::string& name, const std::string& text, const char* caption,
                  FileMessage& message)
{
    const std::vector<unsigned char> bytes(text.begin(), text.end());
    const int status = ReplaceFileBytes(TrimFileName(name), bytes);
    if (status == kReplaceDone) return 1;
    message = {ReplaceFailureText(status), caption};
    return 0;
}

AsciiSeries ParseAsciiSeries(std::string_view text)
{
    AsciiSeries series;
    NumberVectorReader reader(text, 1, NumberPrecision::Double);
    double v = 0.0;
    while (reader.Next([&v](int64_t, int64_t, double x) { v = x; }, &series.notes)) series.values.push_back(v);
    return series;
}

std::string AsciiSeriesReport(const AsciiSeries& series)
{
    if (series.notes.stopLine > 0 && series.values.empty())
        return NumberFaultSentence(series.notes.stopLine, series.notes.fault, NumberUnit::Value) + " No values were read.";
    if (series.values.empty()) return "The file holds no numbers";
    return NumberReadQuestion(series.notes, NumberUnit::Value, static_cast<int64_t>(series.values.size()), "value");
}

std::string FormatAsciiSeries(const std::vector<double>& values)
{
    std::string text;
    for (double v : values) text += FreeFormatReal(v) + "\r\n";
    return text;
}

std::string FormatAsciiTable(int32_t k, int32_t r, const std::vector<double>& table)
{
    std::string text;
    for (int32_t c = 1; c <= r; ++c) {
        for (int32_t j = 1; j <= k; ++j) {
            if (j > 1) text += ' ';
            text += FreeFormatReal(table[static_cast<size_t>(c - 1) * k + (j - 1)]);
        }
        text += "\r\n";
    }
    return text;
}

int32_t ReadRawData(const std::string& name, std::vector<double>& values, FileMessage& message)
{
    try {
        std::vector<unsigned char> bytes;
        if (!ReadFileBytes(TrimFileName(name), bytes)) {
            message = {"Cannot open file", "ReadRawData()"};
            return 0;
        }
        AsciiSeries series =
            ParseAsciiSeries(std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()));
        const std::string report = AsciiSeriesReport(series);
        if (!report.empty()) message = {report, "ReadRawData()"};
        values = std::move(series.values);
    } catch (const std::bad_alloc&) {
        message = {"Memory allocation error.", "ERROR"};
        return 0;
    }
    return 1;
}

int32_t WriteRawData(const std::string& name, const std::vector<double>& values, FileMessage& message)
{
    return WriteText(name, FormatAsciiSeries(values), "WriteRawData()", message);
}

int32_t WriteAsciiArray(const std::string& name, int32_t k, int32_t r, const std::vector<double>& table,
                        FileMessage& message)
{
    if (k < 0 || r < 0 || table.size() != static_cast<size_t>(k) * static_cast<size_t>(r)) {
        message = {"Cannot write to file", "WriteAsciiArray()"};
        return 0;
    }
    return WriteText(name, FormatAsciiTable(k, r, table), "WriteAsciiArray()", message);
}

std::string TrimFileName(std::string_view name)
{
    size_t end = name.size();
    while (end > 0 && (name[end - 1] == ' ' || name[end - 1] == '\0')) --end;
    return std::string(name.substr(0, end));
}
