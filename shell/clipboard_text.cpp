#include "shell/clipboard_text.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <new>

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

bool IsSeparator(char c) { return c == ' ' || c == '\t' || c == ','; }

// The numbers a row begins with, up to `limit` of them, appended to `numbers`. The row ends at its
// first item that is not a number (LEADING_NOTHING, returned with the numbers before it); an
// item that is a number the table cannot take (not finite, or with a decimal comma) is
// returned as the fault.
LeadingNumber RowNumbers(std::string_view line, size_t limit, std::vector<double>& numbers)
{
    size_t k = 0;
    for (size_t taken = 0; taken < limit; ++taken) {
        while (k < line.size() && IsSeparator(line[k])) ++k;
        if (k >= line.size() || line[k] == '/') break;
        size_t end = k;
        while (end < line.size() && !IsSeparator(line[end])) ++end;
        // An item that begins after a comma is one of a comma-separated list, never the second
        // half of a decimal comma.
        const bool afterComma = k > 0 && line[k - 1] == ',';
        double v = 0.0;
        const LeadingNumber read = ReadLeadingFiniteNumber(afterComma ? line.substr(k, end - k) : line.substr(k), v);
        if (read == LEADING_NOTHING) break;
        if (read != LEADING_NUMBER) return read;
        numbers.push_back(v);
        k = end;
    }
    return LEADING_NOTHING;
}

ClipboardParse Refusal(size_t index, const std::string& what)
{
    ClipboardParse result;
    result.status = -1;
    result.message = "Line " + std::to_string(index + 1) + " " + what;
    return result;
}

ClipboardParse OutOfMemory()
{
    ClipboardParse result;
    result.status = -1;
    result.message = "Memory allocation error.";
    return result;
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
    char buffer[40];
    auto result = std::to_chars(buffer, buffer + sizeof buffer, x, std::chars_format::scientific, 4);
    text.assign(buffer, result.ptr);
    if (ReadLeadingNumber(text, shown) && std::isfinite(shown)) return text;
    // Within 0.003 % of the largest double, rounding to 5 digits passes it and Paste would refuse
    // the text: the 5 digits are then cut instead, the nearest 5-digit value that Paste reads.
    result = std::to_chars(buffer, buffer + sizeof buffer, x, std::chars_format::scientific, 16);
    const std::string exact(buffer, result.ptr);
    const size_t exponent = exact.find('e');
    return exact.substr(0, (x < 0 ? 1 : 0) + 6) + exact.substr(exponent);
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
    try {
        const std::vector<std::string_view> lines = SplitLines(SkipByteOrderMark(text));
        std::vector<double> read;
        read.reserve(lines.size());
        for (size_t i = 0; i < lines.size(); ++i) {
            double v = 0.0;
            const LeadingNumber kind = ReadLeadingFiniteNumber(lines[i], v);
            if (kind != LEADING_NUMBER) return Refusal(i, LeadingNumberFault(kind));
            read.push_back(v);
        }
        if (read.empty()) return result;
        values = std::move(read);
    } catch (const std::bad_alloc&) {
        return OutOfMemory();
    }
    result.status = 1;
    return result;
}

ClipboardParse ParseClipboardTable(std::string_view text, int32_t& columns, int32_t& rows,
                                   std::vector<double>& table)
{
    ClipboardParse result;
    try {
        const std::vector<std::string_view> lines = SplitLines(SkipByteOrderMark(text));
        if (lines.empty()) return result;
        size_t tabs = 0;
        for (char c : lines[0]) tabs += c == '\t';
        const size_t width = tabs + 1;
        if (lines.size() > static_cast<size_t>(INT32_MAX) || width > static_cast<size_t>(INT32_MAX))
            return Refusal(0, "starts a table too large to read");
        // Every row is read before the table is made, and the first must fill all its columns
        // but a last one left empty by a trailing TAB: the table then holds no more cells than
        // the text holds numbers, plus one a row.
        std::vector<double> numbers;
        std::vector<size_t> start(lines.size() + 1, 0);
        for (size_t i = 0; i < lines.size(); ++i) {
            const LeadingNumber fault = RowNumbers(lines[i], width, numbers);
            start[i + 1] = numbers.size();
            const size_t count = start[i + 1] - start[i];
            if (fault != LEADING_NOTHING) return Refusal(i, LeadingNumberFault(fault));
            if (count == 0) return Refusal(i, LeadingNumberFault(LEADING_NOTHING));
            if (i == 0 && count + 1 < width) return Refusal(0, "has fewer numbers than columns");
            if (count < start[1]) return Refusal(i, "has fewer numbers than the first line");
        }
        std::vector<double> cells(width * lines.size(), 0.0);
        for (size_t i = 0; i < lines.size(); ++i)
            std::copy(numbers.begin() + start[i], numbers.begin() + start[i + 1], cells.begin() + i * width);
        columns = static_cast<int32_t>(width);
        rows = static_cast<int32_t>(lines.size());
        table = std::move(cells);
    } catch (const std::bad_alloc&) {
        return OutOfMemory();
    }
    result.status = 1;
    return result;
}
