// What a transform costs with its check that the whole stack can still be undone, beside one undo
// pass of that stack: 200,000 values differenced at lags 12 and 1, then a third transform
// (a difference at lag 1, or Subtract Mean) applied and undone again in each iteration. The check
// undoes the new node and every older one once, so Apply + Undo should cost about the transform
// itself, one undo pass of the stack (UndoWholeStack) and one Undo of the new node. Each pass
// takes fresh buffers of the series' length; where the first touch of fresh memory is dear (a
// virtual machine), GLIBC_TUNABLES=glibc.malloc.mmap_threshold=4294967295:glibc.malloc.
// trim_threshold=4294967295 keeps freed memory for reuse and shows the arithmetic alone.
#include "bench/bench_series.h"
#include "univariate/transforms.h"

#include <benchmark/benchmark.h>

#include <vector>

namespace {

// The bench series summed into a walk (positive, so that it looks like a level), at indices
// 1..n, with the differences at lags 12 and 1 applied.
void DifferencedProject(UnivariateProject& u, int n)
{
    VeskInit(u);
    u.series = BenchSeries(n);
    double level = 1000.0;
    for (double& x : u.series) x = level += x;
    u.n = n;
    u.firstIndex = 1;
    u.lastIndex = n;
    if (!ApplyDifference(u, 12) || !ApplyDifference(u, 1)) u.series.clear();
}

void ApplyAndUndo(benchmark::State& state, int32_t (*apply)(UnivariateProject&))
{
    UnivariateProject u;
    DifferencedProject(u, static_cast<int>(state.range(0)));
    if (u.series.empty()) state.SkipWithError("the stack was refused");
    for (auto _ : state) {
        if (!apply(u) || !UndoNewestTransform(u)) {
            state.SkipWithError("refused");
            break;
        }
        benchmark::DoNotOptimize(u.series.data());
    }
}

void DifferenceOnTheStack(benchmark::State& state)
{
    ApplyAndUndo(state, [](UnivariateProject& u) { return ApplyDifference(u, 1); });
}

void SubtractMeanOnTheStack(benchmark::State& state)
{
    ApplyAndUndo(state, [](UnivariateProject& u) { return ApplySubtractMean(u); });
}

// One undo pass of the three-node stack the two cases above build, from a copy of their series.
void UndoPassOfTheStack(benchmark::State& state)
{
    UnivariateProject u;
    DifferencedProject(u, static_cast<int>(state.range(0)));
    if (u.series.empty() || !ApplyDifference(u, 1)) state.SkipWithError("the stack was refused");
    std::vector<const TransformNode*> nodes;
    for (const TransformNode* node = u.transforms; node; node = node->next) nodes.push_back(node);
    for (auto _ : state) {
        std::vector<double> values(u.series);
        if (UndoWholeStack(nodes, values, u.firstIndex, u.lastIndex)) {
            state.SkipWithError("cannot be undone");
            break;
        }
        benchmark::DoNotOptimize(values.data());
    }
}

}  // namespace

BENCHMARK(DifferenceOnTheStack)->Arg(200000)->Unit(benchmark::kMillisecond);
BENCHMARK(SubtractMeanOnTheStack)->Arg(200000)->Unit(benchmark::kMillisecond);
BENCHMARK(UndoPassOfTheStack)->Arg(200000)->Unit(benchmark::kMillisecond);
