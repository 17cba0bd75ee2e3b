#include "shell/ascii_files.h"

#include <charconv>
#include <cmath>
#include <new>
#include <system_error>

#include "platform/file_bytes.h"
#include "platform/fortran_format.h"

namespace {

bool IsSpace(char c) { return c == ' ' || c == '\t'; }

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// Digits, one comma, digits, optionally signed: a number written with a decimal comma, which
// free format would read as two values and so silently cut.
bool IsDecimalComma(std::string_view item)
{
    size_t k = item.size() > 0 && (item[0] == '+' || item[0] == '-') ? 1 : 0;
    const size_t comma = item.find(',', k);
    if (comma == std::string_view::npos || comma == k || comma + 1 == item.size()) return false;
    for (size_t i = k; i < item.size(); ++i)
        if (i != comma && !IsDigit(item[i])) return false;
    return true;
}

// Whether an item that free format refused has the shape of a number: then its exponent is out
// of range, and the value is too large for a double.
bool LooksNumeric(std::string_view item)
{
    size_t k = item.size() > 0 && (item[0] == '+' || item[0] == '-') ? 1 : 0;
    bool digits = false;
    for (; k < item.size() && (IsDigit(item[k]) || item[k] == '.'); ++k) digits = digits || IsDigit(item[k]);
    if (!digits || k == item.size()) return false;
    const char e = item[k];
    if (e != 'e' && e != 'E' && e != 'd' && e != 'D') return false;
    ++k;
    if (k < item.size() && (item[k] == '+' || item[k] == '-')) ++k;
    if (k == item.size()) return false;
    for (; k < item.size(); ++k)
        if (!IsDigit(item[k])) return false;
    return true;
}

}  // namespace

bool ReadLeadingNumber(std::string_view text, double& value)
{
    size_t start = 0;
    while (start < text.size() && IsSpace(text[start])) ++start;
    size_t end = start;
    while (end < text.size() && !IsSpace(text[end]) && text[end] != ',' && text[end] != '/') ++end;
    if (end == start) return false;  // blank, or a separator first
    const std::string_view token = text.substr(start, end - start);
    // A plain decimal number, the common case of a long series file, read once; anything else
    // (a Fortran D exponent, a repeat count, a leading plus, a value out of range) goes through
    // the list-directed reader below.
    double plain = 0.0;
    const auto [stop, error] = std::from_chars(token.data(), token.data() + token.size(), plain);
    if (error == std::errc() && stop == token.data() + token.size() && std::isfinite(plain)) {
        value = plain;
        return true;
    }
    // A null item such as "3*" leaves its target unchanged: two different starting values tell it.
    double a = 0.0, b = 1.0;
    if (ReadFreeReals(token, 1, &a) != 1 || ReadFreeReals(token, 1, &b) != 1) return false;
    if (a == 0.0 && b == 1.0) return false;
    value = a;
    return true;
}

LeadingNumber ReadLeadingFiniteNumber(std::string_view text, double& value)
{
    size_t start = 0;
    while (start < text.size() && IsSpace(text[start])) ++start;
    size_t end = start;
    while (end < text.size() && !IsSpace(text[end])) ++end;
    const std::string_view item = text.substr(start, end - start);
    if (IsDecimalComma(item)) return LEADING_DECIMAL_COMMA;
    double v = 0.0;
    if (!ReadLeadingNumber(text, v)) {
        const size_t stop = item.find_first_of(",/");
        return LooksNumeric(item.substr(0, stop)) ? LEADING_NOT_FINITE : LEADING_NOTHING;
    }
    if (!std::isfinite(v)) return LEADING_NOT_FINITE;
    value = v;
    return LEADING_NUMBER;
}

const char* LeadingNumberFault(LeadingNumber reason)
{
    switch (reason) {
    case LEADING_NOT_FINITE:
        return "holds a value that is not a finite number";
    case LEADING_DECIMAL_COMMA:
        return "holds a number with a decimal comma";
    default:
        return "does not begin with a number";
    }
}

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

std::string_view SkipByteOrderMark(std::string_view text)
{
    constexpr std::string_view mark = "\xEF\xBB\xBF";
    return text.substr(0, mark.size()) == mark ? text.substr(mark.size()) : text;
}

std::vector<std::string_view> SplitLines(std::string_view text)
{
    std::vector<std::string_view> lines;
    size_t start = 0;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '\r' && text[i] != '\n') continue;
        lines.push_back(text.substr(start, i - start));
        if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
        start = i + 1;
    }
    if (start < text.size()) lines.push_back(text.substr(start));
    return lines;
}

AsciiSeries ParseAsciiSeries(std::string_view text)
{
    AsciiSeries series;
    const std::vector<std::string_view> lines = SplitLines(SkipByteOrderMark(text));
    for (size_t i = 0; i < lines.size(); ++i) {
        const std::string_view line = lines[i];
        size_t k = 0;
        while (k < line.size() && IsSpace(line[k])) ++k;
        if (k == line.size()) continue;
        double v = 0.0;
        const LeadingNumber read = ReadLeadingFiniteNumber(line, v);
        if (read != LEADING_NUMBER) {
            series.stopLine = i + 1;
            series.stopReason = read;
            break;
        }
        series.values.push_back(v);
    }
    return series;
}

std::string AsciiSeriesReport(const AsciiSeries& series)
{
    const std::string count = std::to_string(series.values.size());
    if (series.stopLine == 0) return series.values.empty() ? "The file holds no numbers" : "";
    std::string text = "Line " + std::to_string(series.stopLine) + " " + LeadingNumberFault(series.stopReason);
    if (series.values.empty()) return text + ". No values were read.";
    return text + ". Reading stopped there after " + count + (series.values.size() == 1 ? " value" : " values") +
           ". Keep them?";
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
