#include "console/screen_io.h"

#include "platform/number_text.h"
#include "platform/pc.h"
#include "platform/typed_entry.h"

#include <string>

namespace {

// The longest line the run time's line input takes.
constexpr int kTypedLineLimit = 127;

// Reads `count` typed numbers into `values`: one number is the whole of its line, several may go
// on over lines (blank lines are passed over). A refused entry is named under it, with the reason,
// and nothing is stored; the caller asks again.
int ReadTypedNumbers(int count, EntryKind kind, std::vector<double>& values)
{
    values.clear();
    std::string record;
    while (static_cast<int>(values.size()) < count) {
        PcReadLine(record, kTypedLineLimit);
        if (IsBlankLine(record)) continue;
        double value = 0.0;
        const EntryFault fault =
            count == 1 ? ReadEntryNumber(record, kind, value) : ReadEntryLine(record, count, kind, values);
        if (fault != EntryFault::None) {
            PcWriteText(" " + EntryRefusal("Entry", record, fault, count) + "\n", PcColor());
            return -1;
        }
        if (count == 1) values.push_back(value);
    }
    return 1;
}

int CursorColumn()
{
    int column = 0, row = 0;
    PcGetCursor(column, row);
    return column;
}

}  // namespace

int ScreenWrite(std::string_view format, const std::vector<FormatValue>& values)
{
    std::string text;
    const int status = WriteFormatted(format, values, text);
    PcWriteText(text, PcColor());
    return status;
}

void ScreenWriteList(const std::vector<FormatValue>& items)
{
    int column = CursorColumn();
    std::string out = " ";
    ++column;
    bool lineOpen = false;  // an item stands on the line already
    bool lastWasText = false;
    for (const FormatValue& item : items) {
        const std::string text = FreeFormatItem(item);
        const bool isText = item.kind == FormatValue::Kind::Text;
        // Items are parted by one blank, except two texts, which run on as the program wrote them.
        const bool separated = lineOpen && !(isText && lastWasText);
        int width = static_cast<int>(text.size()) + (separated ? 1 : 0);
        // A list that began behind a prompt may also move its first item to a fresh line.
        if (column + width > kPcColumns && (lineOpen || column > 1)) {
            out += "\n ";
            column = 1;
            lineOpen = false;
            width = static_cast<int>(text.size());
        }
        out += (lineOpen && separated ? " " : "") + text;
        column += width;
        lineOpen = true;
        lastWasText = isText;
    }
    out += '\n';
    PcWriteText(out, PcColor());
}

int ScreenReadSingles(int count, float* values)
{
    if (count <= 0) return 1;
    std::vector<double> read;
    if (values == nullptr || ReadTypedNumbers(count, EntryKind::Single, read) != 1) return -1;
    for (int i = 0; i < count; ++i) values[i] = static_cast<float>(read[static_cast<size_t>(i)]);
    return 1;
}

int ScreenReadInts(int count, int32_t* values)
{
    if (count <= 0) return 1;
    std::vector<double> read;
    if (values == nullptr || ReadTypedNumbers(count, EntryKind::Integer, read) != 1) return -1;
    for (int i = 0; i < count; ++i) values[i] = static_cast<int32_t>(read[static_cast<size_t>(i)]);
    return 1;
}
