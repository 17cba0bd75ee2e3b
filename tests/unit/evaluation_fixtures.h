#pragma once
// Fixtures of the model evaluation and residual tests: the fixed models and series of
// scripts/reference/model_evaluation.R, and a record whose evaluation results hold markers, to
// see that a failed evaluation leaves them alone.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/unit/reference_table.h"
#include "univariate/univariate_project.h"

// The model of row `row` of evaluation_models.csv on its series, every likelihood setting at its
// default (tolerance 0: the recursion freezes only once it no longer changes).
inline UnivariateFields ReferenceModel(const ReferenceTable& models, size_t row)
{
    UnivariateFields u;
    u.series = ReferenceSeries(models.Text(row, "series"), "evaluation_series.csv");
    u.n = static_cast<int32_t>(u.series.size());
    u.firstIndex = 1;
    u.lastIndex = u.n;
    u.p = models.Integer(row, "p");
    u.q = models.Integer(row, "q");
    const std::vector<double> coef = models.List(row, "coef");
    for (int32_t i = 1; i <= u.p; ++i) u.phi[i] = coef.at(static_cast<size_t>(i - 1));
    for (int32_t j = 1; j <= u.q; ++j) u.theta[j] = coef.at(static_cast<size_t>(u.p + j - 1));
    const std::vector<double> relation = models.List(row, "relation");
    if (relation.size() == 3) {
        u.relationCount = 1;
        for (int k = 0; k < 3; ++k) u.relations[1][k + 1] = static_cast<int32_t>(relation[k]);
    }
    return u;
}

inline std::vector<double> ReferenceResiduals(const std::string& id)
{
    const ReferenceTable t = ReadReferenceTable("evaluation_residuals.csv");
    std::vector<double> values;
    for (size_t r = 0; r < t.rows.size(); ++r)
        if (t.Text(r, "id") == id) values.push_back(t.Number(r, "value"));
    return values;
}

// A record over `x` whose evaluation results are markers.
inline UnivariateFields Sentinels(const std::vector<double>& x)
{
    UnivariateFields u;
    u.series = x;
    u.n = static_cast<int32_t>(x.size());
    u.firstIndex = x.empty() ? 0 : 1;
    u.lastIndex = u.n;
    u.wnVariance = 123.0;
    u.reducedLikelihood = 456.0;
    u.objectiveValue = 789.0;
    u.settlingStep = 4242;
    u.residuals = {9.0, 9.0};
    u.armaForecasts = {8.0};
    u.armaForecastMse = {7.0};
    return u;
}

inline void ExpectSentinels(const UnivariateFields& u)
{
    EXPECT_EQ(u.wnVariance, 123.0);
    EXPECT_EQ(u.reducedLikelihood, 456.0);
    EXPECT_EQ(u.objectiveValue, 789.0);
    EXPECT_EQ(u.settlingStep, 4242);
    EXPECT_EQ(u.residuals, (std::vector<double>{9.0, 9.0}));
    EXPECT_EQ(u.armaForecasts, std::vector<double>{8.0});
    EXPECT_EQ(u.armaForecastMse, std::vector<double>{7.0});
}
