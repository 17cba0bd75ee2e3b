// The ASCII series reader and the free-format number reader beneath it, on any text.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "platform/fortran_format.h"
#include "shell/ascii_files.h"
#include "tests/fuzz/fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const AsciiSeries series = ParseAsciiSeries(text);
    FUZZ_CHECK(series.values.size() <= size && series.notes.stopLine <= static_cast<int64_t>(size) + 1);
    for (double v : series.values) FUZZ_CHECK(std::isfinite(v));
    const std::string report = AsciiSeriesReport(series);
    // The report is empty only when the whole text was read as it stands.
    FUZZ_CHECK(report.empty() ==
               (series.notes.stopLine == 0 && series.notes.longLine == 0 && !series.values.empty()));

    double values[8] = {};
    const int status = ReadFreeReals(text, 8, values);
    FUZZ_CHECK(status >= -1 && status <= 1);
    int32_t integers[8] = {};
    const int intStatus = ReadFreeInts(text, 8, integers);
    FUZZ_CHECK(intStatus >= -1 && intStatus <= 1);
    return 0;
}
