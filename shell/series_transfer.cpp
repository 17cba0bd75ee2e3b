#include "shell/series_transfer.h"

#include <algorithm>

namespace {

bool Consistent(const SeriesTable& t)
{
    return t.n >= 0 && t.m >= 0 && t.values.size() == static_cast<size_t>(t.n) * static_cast<size_t>(t.m);
}

double At(const SeriesTable& t, int32_t i, int32_t pos)
{
    return t.values[static_cast<size_t>(pos - 1) * t.m + (i - 1)];
}

}  // namespace

int32_t PlanSeriesTransfer(const SeriesTable& source, int32_t s, const SeriesTable& target,
                           int32_t targetMultivariate, SeriesTransfer& out)
{
    if (!Consistent(source) || !Consistent(target) || s < 1 || s > source.m) return 0;
    out = SeriesTransfer{};
    for (int32_t t = 1; t <= source.n; ++t) out.moved.push_back(At(source, s, t));

    SeriesTable& rest = out.sourceRest;
    rest.m = source.m - 1;
    rest.n = rest.m > 0 ? source.n : 0;
    for (int32_t t = 1; t <= rest.n; ++t)
        for (int32_t i = 1; i <= source.m; ++i)
            if (i != s) rest.values.push_back(At(source, i, t));

    const int32_t movedRows = source.n;
    if (!targetMultivariate || target.m == 0 || target.n == 0) {
        out.targetReplaced = 1;
        out.target = SeriesTable{out.moved, movedRows, 1};
        return 1;
    }
    const int32_t rows = std::min(target.n, movedRows);
    out.cutMoved = movedRows - rows;
    out.cutTarget = target.n - rows;
    SeriesTable& widened = out.target;
    widened.n = rows;
    widened.m = target.m + 1;
    for (int32_t t = 1; t <= rows; ++t) {
        for (int32_t i = 1; i <= target.m; ++i) widened.values.push_back(At(target, i, t));
        widened.values.push_back(out.moved[static_cast<size_t>(t - 1)]);
    }
    return 1;
}

std::string TransferQuestion(const SeriesTransfer& plan)
{
    std::string text = "Confirm data transfer";
    if (plan.cutMoved > 0)
        text += "\n" + std::to_string(plan.cutMoved) + " rows of the moved series will be cut";
    if (plan.cutTarget > 0)
        text += "\n" + std::to_string(plan.cutTarget) + " rows of the target's series will be cut";
    return text;
}
