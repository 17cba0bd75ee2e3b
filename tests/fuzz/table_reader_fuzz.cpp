// The multivariate table reader on any text, with a count of numbers a vector chosen by the
// first two bytes: small counts, counts taken from the file, and counts a user may type far
// beyond it. The rest of the input is the file.
#include <algorithm>
#include <climits>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "multivariate/table_reader.h"
#include "shell/number_format.h"
#include "tests/fuzz/fuzz_support.h"

namespace {

int32_t ColumnsOf(uint8_t kind, uint8_t detail, const MvTableFile& file)
{
    const int64_t numbers = std::min<int64_t>(file.numbers, INT32_MAX);
    switch (kind % 16) {
    case 0: return static_cast<int32_t>(std::max<int64_t>(numbers, 1));
    case 1: return static_cast<int32_t>(std::min<int64_t>(numbers + 1, INT32_MAX));
    case 2: return static_cast<int32_t>(std::max<int64_t>(file.lines, 1));
    case 3: return static_cast<int32_t>(file.lines + 1);
    case 4: return INT32_MAX;
    case 5: return 100000000;
    // One vector past the largest table; the largest itself, slow to fill, is a unit test's.
    case 6: return static_cast<int32_t>(kMvMaxTableValues + 1);
    case 7: return 1 << 20;
    case 8: return 1 << (detail % 13);  // up to 4096: square tables of the largest size
    case 9: return -static_cast<int32_t>(detail);
    default: return 1 + detail % 16;
    }
}

// The preview text of the values: two blanks, the 5-digit text and a comma each.
std::string PreviewOf(const std::vector<double>& values)
{
    std::string text;
    for (double v : values) text += "  " + SignificantText(v, 5) + ",";
    return text;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 2) return 0;
    const std::string_view text(reinterpret_cast<const char*>(data) + 2, size - 2);
    const MvTableFile file = MvTableFromText(text);
    FUZZ_CHECK(file.numbers >= file.lines && file.numbers <= (int64_t{1} << 62));
    FUZZ_CHECK(file.lines >= 0 && static_cast<size_t>(file.lines) <= file.records.size());
    const int32_t m = ColumnsOf(data[0], data[1], file);

    // The table: n by m finite values, no more than the file holds nor than the largest table.
    std::vector<double> table = {42};
    const int32_t n = MultivarReadTable(file, m, table);
    FUZZ_CHECK(n >= kMvTableTooLarge);
    if (n > 0) {
        FUZZ_CHECK(m >= 1);
        const int64_t cells = static_cast<int64_t>(n) * m;
        FUZZ_CHECK(table.size() == static_cast<size_t>(cells));
        FUZZ_CHECK(cells <= file.numbers && cells <= kMvMaxTableValues && n <= file.lines);
        for (double v : table) FUZZ_CHECK(std::isfinite(v));
    } else {
        FUZZ_CHECK(table.empty());
    }

    // The counting pass agrees with the reading pass, and a store pass with room for every
    // vector fills the same table.
    int32_t count = -5;
    std::vector<double> none;
    const int32_t counted = MultivarReadColumns(file, none, m, count, 0);
    FUZZ_CHECK(count >= 0 && (counted == 0 || counted == 1));
    if (n > 0) FUZZ_CHECK(count == n && counted == 0);
    if (n == 0) FUZZ_CHECK(count == 0);
    if (n == kMvTableTooLarge) FUZZ_CHECK(count >= 1 && static_cast<int64_t>(count) * m > kMvMaxTableValues);
    if (n > 0) {
        std::vector<double> stored(table.size(), -1.0);
        int32_t limit = n;
        FUZZ_CHECK(MultivarReadColumns(file, stored, m, limit, 1) == 1);
        FUZZ_CHECK(limit == n && stored == table);
    }

    // The previews show the first and the m-th value of the first five vectors.
    std::string first = "kept", last = "kept";
    const int32_t previewed = MultivarPreviewTexts(file, m, first, last);
    FUZZ_CHECK(previewed == ((count > 0 && m <= kMvMaxTableValues) ? 1 : 0));
    if (previewed == 0) FUZZ_CHECK(first == "kept" && last == "kept");
    if (n > 0) {
        const int32_t shown = std::min(n, 5);
        std::vector<double> firsts, lasts;
        for (int32_t t = 0; t < shown; ++t) {
            firsts.push_back(table[static_cast<size_t>(t) * m]);
            lasts.push_back(table[static_cast<size_t>(t) * m + (m - 1)]);
        }
        FUZZ_CHECK(first == PreviewOf(firsts) + "  etc ...");
        FUZZ_CHECK(last == PreviewOf(lasts) + "  etc ... ");
    }

    // The dialog's read: the same table, with a question when it did not take the file as it
    // stands, or a refusal that says why; never fewer time points than the file could hold series.
    std::vector<double> dialogTable = {42};
    std::string message = "old";
    const int32_t dialogN = MultivarReadDialogTable(file, m, dialogTable, message);
    const std::string_view ask = "Keep them?";
    FUZZ_CHECK(dialogN >= 0 && (dialogN > 0 || !message.empty()));
    FUZZ_CHECK(dialogN == 0 || message.empty() ||
               (message.size() > ask.size() && message.compare(message.size() - ask.size(), ask.size(), ask) == 0));
    const bool fits = m >= 1 && std::min<int64_t>(file.lines, file.numbers / m) >= m;
    if (n > 0 && fits) FUZZ_CHECK(dialogN == n);
    if (dialogN > 0) {
        FUZZ_CHECK(fits && dialogN == n && dialogTable == table);
    } else {
        FUZZ_CHECK(dialogTable.empty());
    }
    return 0;
}
