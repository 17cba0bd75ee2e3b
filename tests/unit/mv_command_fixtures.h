#pragma once
// What the tests of the multivariate commands share: a project without windows holding a series
// of tests/data/mvar_series.csv as it was read (not centred).
#include <memory>
#include <string>
#include <vector>

#include "multivariate/multivariate_project.h"
#include "tests/unit/reference_table.h"

// A multivariate project of its own, freed with the object.
struct MvTestProject {
    std::unique_ptr<MultivariateProject> record{MultivarNew(1)};
    MvTestProject() = default;
    MvTestProject(const std::vector<double>& table, int32_t m, int32_t n) { MultivarSetData(*record, table, m, n, 1); }
    ~MvTestProject() { MultivarFree(*record); }
    MvTestProject(const MvTestProject&) = delete;
    MvTestProject& operator=(const MvTestProject&) = delete;
    MultivariateProject& operator*() { return *record; }
    MultivariateData& data() { return *record->data; }
    MultivariateModel& model() { return *record->model; }
};

// The rows of series `name` of mvar_series.csv, the m values of each time together.
inline std::vector<double> RawVarSeries(const std::string& name, int32_t& m, int32_t& n)
{
    const ReferenceTable t = ReadReferenceTable("mvar_series.csv");
    std::vector<double> x;
    m = n = 0;
    for (size_t r = 0; r < t.rows.size(); ++r) {
        if (t.Text(r, "series") != name) continue;
        const std::vector<double> values = t.List(r, "values");
        m = static_cast<int32_t>(values.size());
        x.insert(x.end(), values.begin(), values.end());
        ++n;
    }
    return x;
}

// R's mdeaths and fdeaths, 72 months of two series.
inline void LoadDeaths(MvTestProject& project)
{
    int32_t m = 0, n = 0;
    const std::vector<double> x = RawVarSeries("mf", m, n);
    MultivarSetData(*project, x, m, n, 1);
}
