#include "shell/ascii_files.h"

#include <charconv>
#include <cmath>
#include <system_error>

#include "platform/file_bytes.h"
#include "platform/fortran_format.h"

namespace {

bool IsSpace(char c) { return c == ' ' || c == '\t'; }

// Writes `text` into the file `name` through a temporary file; fills the message on failure.
int32_t WriteText(const std::string& name, const std::string& text, const char* caption,
                  FileMessage& message)
{
    const std::vector<unsigned char> bytes(text.begin(), text.end());
    const int status = ReplaceFileBytes(TrimFileName(name), bytes);
    if (status == 1) return 1;
    message = {status == 0 ? "Cannot open file" : "Cannot write to file", caption};
    return 0;
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

std::vector<double> ParseAsciiSeries(std::string_view text)
{
    std::vector<double> values;
    for (std::string_view line : SplitLines(text)) {
        size_t k = 0;
        while (k < line.size() && IsSpace(line[k])) ++k;
        if (k == line.size()) continue;
        double v = 0.0;
        if (!ReadLeadingNumber(line, v)) break;
        values.push_back(v);
    }
    return values;
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
    std::vector<unsigned char> bytes;
    if (!ReadFileBytes(TrimFileName(name), bytes)) {
        message = {"Cannot open file", "ReadRawData()"};
        return 0;
    }
    values = ParseAsciiSeries(std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()));
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
