#include "console/screen_io.h"

#include "platform/pc.h"
#include "platform/text_file.h"

#include <string>

namespace {

// The longest line the run time's line input takes.
constexpr int kTypedLineLimit = 127;

bool TypedRecord(std::string& record)
{
    PcReadLine(record, kTypedLineLimit);
    return true;
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
    return ReadRecordSingles(TypedRecord, count, values);
}

int ScreenReadInts(int count, int32_t* values)
{
    return ReadRecordInts(TypedRecord, count, values);
}
