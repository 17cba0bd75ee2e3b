// Open and Paste of a million numbers: a series of one value a line read from its file (Open), the
// same text pasted as a series, and a table of four TAB-parted columns pasted. Reported in
// milliseconds of CPU, the best of five runs. scripts/bench/number_text_vs_r.sh runs them beside
// R's scan() of the same files (VESK_BENCH_NUMBER_SERIES and VESK_BENCH_NUMBER_TABLE name them).
#include "bench/bench_series.h"
#include "shell/ascii_files.h"
#include "shell/clipboard_text.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace {

constexpr int kValues = 1000000;
constexpr int kColumns = 4;

// The text of the file named by `variable`, or the bench series with six decimals, `columns` a
// line parted by TABs, as R's write.table writes it.
std::string NumberText(const char* variable, int columns)
{
    if (const char* path = std::getenv(variable)) {
        std::ifstream in(path, std::ios::binary);
        std::ostringstream text;
        text << in.rdbuf();
        if (!text.str().empty()) return text.str();
    }
    const std::vector<double> x = BenchSeries(kValues);
    std::string text;
    char buffer[32];
    for (int i = 0; i < kValues; ++i) {
        std::snprintf(buffer, sizeof buffer, "%.6f", x[i]);
        text += buffer;
        text += (i + 1) % columns == 0 ? '\n' : '\t';
    }
    return text;
}

// The series text in a file, made once, for Open to read as a user's file is read.
const std::string& SeriesFile()
{
    static const std::string name = [] {
        if (const char* path = std::getenv("VESK_BENCH_NUMBER_SERIES")) return std::string(path);
        const std::string made = "vesk_bench_series.txt";
        std::ofstream(made, std::ios::binary) << NumberText("VESK_BENCH_NUMBER_SERIES", 1);
        return made;
    }();
    return name;
}

void OpenSeries(benchmark::State& state)
{
    const std::string& name = SeriesFile();
    std::vector<double> values;
    for (auto _ : state) {
        FileMessage message;
        benchmark::DoNotOptimize(ReadRawData(name, values, message));
        benchmark::DoNotOptimize(values.data());
    }
    state.counters["values"] = static_cast<double>(values.size());
}

void PasteSeries(benchmark::State& state)
{
    const std::string text = NumberText("VESK_BENCH_NUMBER_SERIES", 1);
    std::vector<double> values;
    for (auto _ : state) {
        benchmark::DoNotOptimize(ParseClipboardSeries(text, values).status);
        benchmark::DoNotOptimize(values.data());
    }
    state.counters["values"] = static_cast<double>(values.size());
}

void PasteTable(benchmark::State& state)
{
    const std::string text = NumberText("VESK_BENCH_NUMBER_TABLE", kColumns);
    std::vector<double> table;
    int32_t columns = 0, rows = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(ParseClipboardTable(text, columns, rows, table).status);
        benchmark::DoNotOptimize(table.data());
    }
    state.counters["values"] = static_cast<double>(table.size());
}

double Least(const std::vector<double>& v) { return *std::min_element(v.begin(), v.end()); }

}  // namespace

BENCHMARK(OpenSeries)->Unit(benchmark::kMillisecond)->Repetitions(5)->ComputeStatistics("min", Least)->ReportAggregatesOnly();
BENCHMARK(PasteSeries)->Unit(benchmark::kMillisecond)->Repetitions(5)->ComputeStatistics("min", Least)->ReportAggregatesOnly();
BENCHMARK(PasteTable)->Unit(benchmark::kMillisecond)->Repetitions(5)->ComputeStatistics("min", Least)->ReportAggregatesOnly();
