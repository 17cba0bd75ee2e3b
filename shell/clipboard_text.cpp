#include "shell/clipboard_text.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <new>

#include "platform/number_text.h"
#include "platform/text_file.h"
#include "shell/number_format.h"

namespace {

ClipboardParse Refusal(int64_t line, const std::string& what)
{
    ClipboardParse result;
    result.status = -1;
    result.message = "Line " + std::to_string(line) + " " + what;
    return result;
}

ClipboardParse Refusal(int64_t line, NumberFault fault, NumberUnit unit)
{
    return Refusal(line, NumberFaultText(fault, unit));
}

// The notes of a paste that was read: the sentences of the rules that took effect.
std::string Notes(const NumberReadNotes& notes, NumberUnit unit)
{
    std::string text;
    for (const std::string& line : NumberRuleLines(notes, unit)) text += (text.empty() ? "" : " ") + line;
    return text;
}

// One row of a pasted table: its numbers, appended to `numbers`, and the items after them.
struct Row {
    NumberFault fault = NumberFault::None;
    int64_t numbers = 0;
    int64_t itemsAfter = 0;   // items after the row's numbers, which a table does not read
    bool textAfter = false;   // the numbers ended at text
};

// The numbers a row begins with. A row's numbers end at the end of its line, at a slash or at text
// that no number follows (a last column of notes); any other item that is not a finite number, and
// text with numbers after it (a text column in the middle), refuse the row. A repeat "r*v" gives
// r numbers, up to `room`, beyond which the table would be too large.
Row RowNumbers(std::string_view line, int64_t need, int64_t room, std::vector<double>& numbers)
{
    Row row;
    const LineItems split = SplitNumberLine(line, need, true);
    row.fault = split.fault;
    if (row.fault != NumberFault::None) return row;
    size_t k = 0;
    for (; k < split.items.size(); ++k) {
        const LineItem& item = split.items[k];
        const NumberFault fault = ItemFault(item.item, NumberPrecision::Double);
        if (fault == NumberFault::Text) break;
        if (fault != NumberFault::None) {
            row.fault = fault;
            return row;
        }
        if (item.repeat > room - row.numbers) {
            row.fault = NumberFault::TooLarge;
            return row;
        }
        numbers.insert(numbers.end(), static_cast<size_t>(item.repeat), item.item.value);
        row.numbers += item.repeat;
    }
    for (size_t rest = k; rest < split.items.size(); ++rest) {
        const NumberItemKind kind = split.items[rest].item.kind;
        if (kind == NumberItemKind::EndMark) {
            row.fault = NumberFault::EndMark;
            return row;
        }
        if (kind == NumberItemKind::Number || kind == NumberItemKind::NotFinite) {
            row.fault = NumberFault::Text;
            return row;
        }
        if (kind != NumberItemKind::Empty) ++row.itemsAfter;
    }
    row.textAfter = k < split.items.size();
    return row;
}

// Whether Paste reads the text of one value as a finite number, `value`.
bool ReadsAsFinite(const std::string& text, double& value)
{
    const NumberItem item = ClassifyNumberItem(text);
    value = item.value;
    return item.kind == NumberItemKind::Number;
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
    const std::string text = SignificantText(x, 5);
    double shown = 0.0;
    if (ReadsAsFinite(text, shown)) return text;
    // Within 0.003 % of the largest double, rounding to 5 digits passes it and Paste would refuse
    // the text: the 5 digits are then cut instead, the nearest 5-digit value that Paste reads.
    char buffer[40];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, x, std::chars_format::scientific, 16);
    const std::string exact(buffer, result.ptr);
    const size_t exponent = exact.find('e');
    return exact.substr(0, (x < 0 ? 1 : 0) + 6) + "E+" + exact.substr(exponent + 2);
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
        const std::vector<std::string> records = SplitRecords(text);
        std::vector<double> read;
        read.reserve(records.size());
        NumberVectorReader reader(records, 1, NumberPrecision::Double);
        NumberReadNotes notes;
        double v = 0.0;
        while (reader.Next([&v](int64_t, int64_t, double x) { v = x; }, &notes)) read.push_back(v);
        if (notes.stopLine > 0) return Refusal(notes.stopLine, notes.fault, NumberUnit::Value);
        if (read.empty()) return result;
        values = std::move(read);
        result.message = Notes(notes, NumberUnit::Value);
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
        const std::vector<std::string> records = SplitRecords(text);
        // Every row is read before the table is made: it then holds no more cells than the text
        // holds numbers, repeats bounded by the largest table. The first row's numbers make the
        // columns, whatever separates them; blank lines are passed over as a file's are.
        std::vector<double> numbers;
        int64_t width = -1;
        int64_t count = 0;
        int64_t firstLine = 0;
        bool firstEndsInText = false;
        NumberReadNotes notes;
        for (size_t i = 0; i < records.size(); ++i) {
            if (IsBlankLine(records[i])) continue;
            const int64_t line = static_cast<int64_t>(i) + 1;
            const Row row = RowNumbers(records[i], width, kClipboardMaxValues - static_cast<int64_t>(numbers.size()), numbers);
            if (row.fault == NumberFault::TooLarge) return Refusal(line, "starts a table too large to read");
            if (row.fault != NumberFault::None) return Refusal(line, row.fault, NumberUnit::Row);
            if (row.numbers == 0) return Refusal(line, NumberFault::Text, NumberUnit::Row);
            if (width < 0) {
                width = row.numbers;
                firstLine = line;
                firstEndsInText = row.textAfter;
            } else if (row.numbers < width) {
                return Refusal(line, row.textAfter ? NumberFaultText(NumberFault::Text, NumberUnit::Row)
                                                   : std::string("has fewer numbers than the first line"));
            } else if (row.numbers > width) {
                // The first row's numbers ended early: its text stands where this row has a number.
                if (firstEndsInText) return Refusal(firstLine, NumberFault::Text, NumberUnit::Row);
                return Refusal(line, "has more numbers than the first line");
            }
            if (row.itemsAfter > 0) {
                if (notes.longLine == 0) notes.longLine = line;
                notes.itemsNotRead += row.itemsAfter;
            }
            ++count;
        }
        if (count == 0) return result;
        if (count > INT32_MAX || width > INT32_MAX) return Refusal(firstLine, "starts a table too large to read");
        columns = static_cast<int32_t>(width);
        rows = static_cast<int32_t>(count);
        table = std::move(numbers);
        result.message = Notes(notes, NumberUnit::Row);
    } catch (const std::bad_alloc&) {
        return OutOfMemory();
    }
    result.status = 1;
    return result;
}
