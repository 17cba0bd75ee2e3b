#pragma once
// Moving one series between two projects, as a pure data operation: what the source keeps, what
// the target receives and how many rows a widening cuts. The Project Editor applies the result
// through the projects' own services.
#include <cstdint>
#include <string>
#include <vector>

// A project's data: a univariate series is a table of one column. Element (i, t), series i at
// position t, lies at values[(t - 1) * m + (i - 1)], as in a multivariate project.
struct SeriesTable {
    std::vector<double> values;
    int32_t n = 0;  // positions
    int32_t m = 0;  // series
};

struct SeriesTransfer {
    std::vector<double> moved;   // the series taken from the source
    SeriesTable sourceRest;      // the source without it (m = 0: the source has no data)
    SeriesTable target;          // the target's data afterwards
    int32_t targetReplaced = 0;  // 1: the target takes the moved series whole (univariate, or empty)
    int32_t cutMoved = 0;        // rows of the moved series beyond the target's length
    int32_t cutTarget = 0;       // rows of the target's series beyond the moved series' length
};

// Plans moving series s (1..source.m) of `source` into `target`, which is univariate
// (targetMultivariate 0: its series is replaced) or multivariate (1: the series is appended,
// keeping the smaller row count; an empty target takes it whole). Returns 1, or 0 when s is out of
// range or a table's size does not match its n and m.
[[nodiscard]] int32_t PlanSeriesTransfer(const SeriesTable& source, int32_t s, const SeriesTable& target,
                                         int32_t targetMultivariate, SeriesTransfer& out);

// The confirmation question: "Confirm data transfer", followed, when rows are cut, by how many.
std::string TransferQuestion(const SeriesTransfer& plan);
