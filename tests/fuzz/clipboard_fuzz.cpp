// The pasted-text readers of series and tables, on any text.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

#include "shell/clipboard_text.h"
#include "tests/fuzz/fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    std::vector<double> values = {42};
    const ClipboardParse series = ParseClipboardSeries(text, values);
    FUZZ_CHECK(series.status >= -1 && series.status <= 1);
    // A refusal names its line; a paste that is read may carry notes; an empty one says nothing.
    FUZZ_CHECK(series.status == -1 ? !series.message.empty() : series.status == 1 || series.message.empty());
    if (series.status == 1) {
        FUZZ_CHECK(!values.empty() && values.size() <= size);
        for (double v : values) FUZZ_CHECK(std::isfinite(v));
    } else {
        FUZZ_CHECK(values == std::vector<double>{42});
    }

    int32_t columns = -1, rows = -1;
    std::vector<double> table = {42};
    const ClipboardParse parsed = ParseClipboardTable(text, columns, rows, table);
    FUZZ_CHECK(parsed.status >= -1 && parsed.status <= 1);
    if (parsed.status == 1) {
        FUZZ_CHECK(columns >= 1 && rows >= 1);
        FUZZ_CHECK(table.size() == static_cast<size_t>(columns) * static_cast<size_t>(rows));
        // Sized by the text: at most one cell a row beyond the numbers a text of this size holds,
        // and by the largest table where repeat counts ("r*v") stand for many.
        FUZZ_CHECK(table.size() <= static_cast<size_t>(kClipboardMaxValues));
        if (text.find('*') == std::string_view::npos) FUZZ_CHECK(table.size() <= size + static_cast<size_t>(rows));
        for (double v : table) FUZZ_CHECK(std::isfinite(v));
    } else {
        FUZZ_CHECK(table == std::vector<double>{42} && columns == -1 && rows == -1);
    }
    return 0;
}
