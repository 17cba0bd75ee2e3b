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

// What ended the numbers of a row: its end, a slash or an item that is not a number (fault
// LEADING_NOTHING); a number the table cannot take (not finite, or with a decimal comma); or an
// empty cell, which would move every later value of the row one column to the left.
struct RowEnd {
    LeadingNumber fault = LEADING_NOTHING;
    bool emptyCell = false;
};

// The numbers a row begins with, appended to `numbers`. Blanks around items are no cells, and
// neither are TABs or commas after the last item; two TABs or two commas with no item between
// them, or one before the first item, are an empty cell.
RowEnd RowNumbers(std::string_view line, std::vector<double>& numbers)
{
    RowEnd ended;
    size_t k = 0;
    for (bool first = true;; first = false) {
        size_t tabs = 0, commas = 0;
        for (; k < line.size() && IsSeparator(line[k]); ++k) {
            tabs += line[k] == '\t';
            commas += line[k] == ',';
        }
        if (k >= line.size() || line[k] == '/') return ended;
        if (tabs > 1 || commas > 1 || (first && tabs + commas > 0)) {
            ended.emptyCell = true;
            return ended;
        }
        size_t end = k;
        while (end < line.size() && !IsSeparator(line[end])) ++end;
        // An item that begins after a comma is one of a comma-separated list, never the second
        // half of a decimal comma.
        const bool afterComma = k > 0 && line[k - 1] == ',';
        double v = 0.0;
        const LeadingNumber read = ReadLeadingFiniteNumber(afterComma ? line.substr(k, end - k) : line.substr(k), v);
        if (read != LEADING_NUMBER) {
            ended.fault = read;
            return ended;
        }
        numbers.push_back(v);
        k = end;
    }
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
        if (lines.size() > static_cast<size_t>(INT32_MAX)) return Refusal(0, "starts a table too large to read");
        // Every row is read before the table is made: it then holds no more cells than the text
        // holds numbers. The first row's numbers make the columns, whatever separates them.
        std::vector<double> numbers;
        std::vector<size_t> start(lines.size() + 1, 0);
        for (size_t i = 0; i < lines.size(); ++i) {
            const RowEnd end = RowNumbers(lines[i], numbers);
            start[i + 1] = numbers.size();
            const size_t count = start[i + 1] - start[i];
            if (end.emptyCell) return Refusal(i, "has an empty cell");
            if (end.fault != LEADING_NOTHING) return Refusal(i, LeadingNumberFault(end.fault));
            if (count == 0) return Refusal(i, LeadingNumberFault(LEADING_NOTHING));
            if (count < start[1]) return Refusal(i, "has fewer numbers than the first line");
            if (count > start[1]) return Refusal(i, "has more numbers than the first line");
        }
        const size_t width = start[1];
        if (width > static_cast<size_t>(INT32_MAX)) return Refusal(0, "starts a table too large to read");
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
