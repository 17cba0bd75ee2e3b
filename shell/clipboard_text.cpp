#include "shell/clipboard_text.h"

#include <charconv>
#include <cmath>

#include "shell/ascii_files.h"
#include "shell/number_format.h"

namespace {

std::string TrimBlanks(std::string text)
{
    const size_t start = text.find_first_not_of(' ');
    if (start == std::string::npos) return "";
    const size_t end = text.find_last_not_of(' ');
    return text.substr(start, end - start + 1);
}

// The numbers a row begins with, up to `limit` of them.
std::vector<double> RowNumbers(std::string_view line, size_t limit)
{
    std::vector<double> numbers;
    size_t k = 0;
    while (numbers.size() < limit) {
        while (k < line.size() && (line[k] == ' ' || line[k] == '\t' || line[k] == ',')) ++k;
        if (k >= line.size() || line[k] == '/') break;
        double v = 0.0;
        if (!ReadLeadingNumber(line.substr(k), v)) break;
        numbers.push_back(v);
        while (k < line.size() && line[k] != ' ' && line[k] != '\t' && line[k] != ',') ++k;
    }
    return numbers;
}

std::string LineRefused(size_t index)
{
    return "Line " + std::to_string(index + 1) + " does not begin with a number";
}

}  // namespace

std::string ClipboardNumberText(double x)
{
    if (std::isnan(x)) return "NaN";
    if (std::isinf(x)) return x > 0 ? "Infinity" : "-Infinity";
    std::string text = TrimBlanks(FormatSignificant(x, 5));
    double shown = 0.0;
    const bool asterisks = text.find('*') != std::string::npos;
    if (!asterisks && (x == 0.0 || (ReadLeadingNumber(text, shown) && shown != 0.0))) return text;
    char buffer[32];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, x, std::chars_format::scientific, 4);
    return std::string(buffer, result.ptr);
}

std::string FormatClipboardSeries(const std::vector<double>& values)
{
    std::string text;
    for (size_t i = 0; i < values.size(); ++i) {
        if (i > 0) text += "\r\n";
        text += ClipboardNumberText(values[i]);
    }
    return text;
}

std::string FormatClipboardTable(int32_t k, int32_t r, const std::vector<double>& table)
{
    std::string text;
    if (k < 0 || r < 0 || table.size() != static_cast<size_t>(k) * static_cast<size_t>(r)) return text;
    for (int32_t c = 1; c <= r; ++c) {
        if (c > 1) text += "\r\n";
        for (int32_t j = 1; j <= k; ++j) {
            if (j > 1) text += '\t';
            text += ClipboardNumberText(table[static_cast<size_t>(c - 1) * k + (j - 1)]);
        }
    }
    return text;
}

ClipboardParse ParseClipboardSeries(std::string_view text, std::vector<double>& values)
{
    ClipboardParse result;
    const std::vector<std::string_view> lines = SplitLines(text);
    std::vector<double> read;
    read.reserve(lines.size());
    for (size_t i = 0; i < lines.size(); ++i) {
        double v = 0.0;
        if (!ReadLeadingNumber(lines[i], v)) {
            result.status = -1;
            result.message = LineRefused(i);
            return result;
        }
        read.push_back(v);
    }
    if (read.empty()) return result;
    values = std::move(read);
    result.status = 1;
    return result;
}

ClipboardParse ParseClipboardTable(std::string_view text, int32_t& columns, int32_t& rows,
                                   std::vector<double>& table)
{
    ClipboardParse result;
    const std::vector<std::string_view> lines = SplitLines(text);
    if (lines.empty()) return result;
    size_t tabs = 0;
    for (char c : lines[0]) tabs += c == '\t';
    const size_t width = tabs + 1;
    std::vector<double> read(width * lines.size(), 0.0);
    size_t firstRowCount = 0;
    for (size_t i = 0; i < lines.size(); ++i) {
        const std::vector<double> numbers = RowNumbers(lines[i], width);
        if (numbers.empty()) {
            result.status = -1;
            result.message = LineRefused(i);
            return result;
        }
        if (i == 0) firstRowCount = numbers.size();
        if (numbers.size() < firstRowCount) {
            result.status = -1;
            result.message = "Line " + std::to_string(i + 1) + " has fewer numbers than the first line";
            return result;
        }
        for (size_t j = 0; j < numbers.size(); ++j) read[i * width + j] = numbers[j];
    }
    columns = static_cast<int32_t>(width);
    rows = static_cast<int32_t>(lines.size());
    table = std::move(read);
    result.status = 1;
    return result;
}
