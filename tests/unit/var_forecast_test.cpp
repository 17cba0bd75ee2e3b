#include "multivariate/var_forecast.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "multivariate/multivariate_transforms.h"
#include "multivariate/var_estimation.h"
#include "multivariate/var_fit_support.h"
#include "resources/resource.h"
#include "tests/unit/mv_command_fixtures.h"

namespace {

// Row i of the forecast table at position t.
double At(const MultivariateModel& model, int32_t m, int32_t i, int32_t t)
{
    return model.forecasts[static_cast<size_t>(t - 1) * m + (i - 1)];
}

class VarForecastTest : public testing::Test {
protected:
    void SetUp() override { SetVarDiagnosticCapture(&diagnostics_); }
    void TearDown() override { SetVarDiagnosticCapture(nullptr); }
    // The deaths table with a Yule-Walker model of order p.
    void Fit(MvTestProject& project, int32_t p)
    {
        LoadDeaths(project);
        MvFitOutcome outcome;
        ASSERT_EQ(MvFitModel(*project, MV_FIT_YULE_WALKER, p, outcome), 1);
        ASSERT_EQ(project.model().p, p);
    }
    std::string diagnostics_;
};

}  // namespace

// The whole chain, fit and recursion, against R's predict of its ar.yw fit; order 0 gives the
// means; origin 60 forecasts from observations 59 and 60 on.
TEST_F(VarForecastTest, ForecastsAgreeWithR)
{
    const ReferenceTable t = ReadReferenceTable("mvar_forecast_reference.csv");
    ASSERT_EQ(t.rows.size(), 58u);
    const int32_t cases[][3] = {{0, 72, 12}, {1, 72, 12}, {2, 72, 12}, {3, 72, 12}, {2, 60, 10}};  // p, origin, h
    for (const auto& c : cases) {
        const int32_t p = c[0], origin = c[1], h = c[2];
        MvTestProject project;
        Fit(project, p);
        ASSERT_EQ(MvForecast(*project, h, origin, origin < 72), 1);
        const MultivariateModel& model = project.model();
        EXPECT_EQ(model.forecastOrigin, origin);
        EXPECT_EQ(model.forecastEnd, origin + h);
        EXPECT_EQ(model.forecastCount, h);
        EXPECT_EQ(model.forecasts.size(), 2u * std::max(origin + h, 72));
        int32_t checked = 0;
        for (size_t r = 0; r < t.rows.size(); ++r) {
            if (t.Integer(r, "p") != p || t.Integer(r, "origin") != origin) continue;
            const int32_t time = t.Integer(r, "t");
            const std::vector<double> expected = t.List(r, "values");
            for (int32_t i = 1; i <= 2; ++i)
                EXPECT_NEAR(At(model, 2, i, time), expected[i - 1], 1e-9 * std::fabs(expected[i - 1]))
                    << "p=" << p << " origin=" << origin << " t=" << time;
            ++checked;
        }
        EXPECT_EQ(checked, h);
        // Every other position holds the observations, also those after the forecasts.
        for (int32_t time = 1; time <= 72; ++time) {
            if (time > origin && time <= origin + h) continue;
            for (int32_t i = 1; i <= 2; ++i) EXPECT_EQ(At(model, 2, i, time), project.data().at(i, time)) << time;
        }
    }
}

TEST(MvForecastCheckTest, EntriesOfTheDialog)
{
    struct Case {
        const char* count;
        bool subset;
        const char* last;
        bool accepted;
        int32_t h, lastRead;
        const char* message;
        int32_t focus;
    };
    const char* positive = "Number of predictors MUST be greater than 0";
    const char* needMore = "Need number of observations to > p.";
    const char* final = "Final point must be less than number of obs.";
    const char* tooMany = "Number of predictors must be at most 1000000";
    const int32_t count = IDC_MV_FORECAST_COUNT, last = IDC_MV_FORECAST_LAST;
    // N = 100 observations, order P = 2.
    const Case cases[] = {
        {"10", false, "ignored", true, 10, 100, "", 0},
        {"10", true, "60", true, 10, 60, "", 0},
        {"10", true, "100", true, 10, 100, "", 0},  // the last observation itself
        {"10", true, "101", false, 10, 101, final, last},
        {"10", true, "2", false, 10, 2, needMore, last},
        {"10", true, "-5", false, 10, -5, needMore, last},
        {"10", true, "abc", false, 10, -1, "Last index \"abc\" is not a number.", last},
        {"10", true, "6,5", false, 10, -1, "Last index \"6,5\" has a decimal comma: type a decimal point.", last},
        {"0", false, "", false, 0, 100, positive, count},
        {"-3", true, "50", false, -3, 50, positive, count},
        {"ten", true, "50", false, 0, 100, "Number of forecasts \"ten\" is not a number.", count},
        {"1.5", false, "", false, 0, 100, "Number of forecasts \"1.5\" is not a whole number.", count},
        {"0", true, "abc", false, 0, -1, positive, count},
        {"1000000", false, "", true, 1000000, 100, "", 0},
        {"1000001", false, "", false, 1000001, 100, tooMany, count},
    };
    for (const Case& c : cases) {
        const MvForecastCheck check = MvCheckForecastEntries(c.count, c.subset, c.last, 100, 2);
        const std::string where = std::string(c.count) + " / " + c.last;
        EXPECT_EQ(check.accepted, c.accepted) << where;
        EXPECT_EQ(check.h, c.h) << where;
        EXPECT_EQ(check.last, c.lastRead) << where;
        EXPECT_EQ(check.message, c.message) << where;
        EXPECT_EQ(check.focusControl, c.focus) << where;
    }
    EXPECT_EQ(MvForecastPrompt(60), "Enter number of predicted values past observation 60:");
    EXPECT_EQ(MvForecastSubsetLabel(100),
              "Enter index of last observation in subset  (total number of observations is 100)");
}

// Forecasting needs a model fitted to the data as they are, and a view with room for the series.
TEST_F(VarForecastTest, ForecastsWithoutAMatchingModelAreRefused)
{
    MvTestProject empty;
    EXPECT_EQ(MvForecastRefusal(*empty), "There are no data to forecast.");

    MvTestProject project;
    LoadDeaths(project);
    const std::string noFit = "Fit an AR model to the data as they are now (Model > Estimation) before forecasting.";
    EXPECT_EQ(MvForecastRefusal(*project), noFit);
    EXPECT_EQ(MvForecast(*project, 5, 72, 0), 0);
    Fit(project, 1);
    EXPECT_EQ(MvForecastRefusal(*project), "");
    ASSERT_EQ(MvSubtractMeans(*project), 1);
    EXPECT_EQ(MvForecastRefusal(*project), noFit);
    // Undoing it does not make the fit belong to the data again.
    ASSERT_EQ(MvUndoNewest(*project), 1);
    EXPECT_EQ(MvForecastRefusal(*project), noFit);
    Fit(project, 1);
    // New data empty the model.
    LoadDeaths(project);
    EXPECT_EQ(MvForecastRefusal(*project), noFit);

    // Six series need twelve curves.
    std::vector<double> table;
    for (int32_t t = 1; t <= 40; ++t)
        for (int32_t i = 1; i <= 6; ++i) table.push_back(std::sin(0.7 * t * i) + 0.1 * i * (t % 3));
    MvTestProject six(table, 6, 40);
    MvFitOutcome outcome;
    ASSERT_EQ(MvFitModel(*six, MV_FIT_BURG, 0, outcome), 1);
    EXPECT_EQ(MvForecastRefusal(*six), "AR forecasts can be shown for at most 5 series.");
    EXPECT_EQ(MvForecast(*six, 3, 40, 0), 0);
}

TEST_F(VarForecastTest, OutOfRangeArgumentsAndResultsChangeNothing)
{
    MvTestProject project;
    Fit(project, 2);
    ASSERT_EQ(MvForecast(*project, 4, 72, 0), 1);
    const std::vector<double> before = project.model().forecasts;
    const int32_t refused[][2] = {{0, 72}, {kMvMaxForecasts + 1, 72}, {5, 2}, {5, 73}};  // h, origin
    for (const auto& r : refused) {
        EXPECT_EQ(MvForecast(*project, r[0], r[1], 1), 0) << r[0] << " " << r[1];
        EXPECT_EQ(project.model().forecasts, before);
        EXPECT_EQ(project.model().forecastCount, 4);
        EXPECT_EQ(project.model().useSubset, 0);
    }
    // An explosive model overflows within the million forecasts allowed.
    project.model().phi[0] = 3.0;
    EXPECT_EQ(MvForecast(*project, kMvMaxForecasts, 72, 0), 0);
    EXPECT_EQ(project.model().forecasts, before);
}

// Each panel shows the observations over the data's time indices and the forecasts at the time
// indices after the origin, also after a difference moved the first index.
TEST_F(VarForecastTest, CurvesFollowTheTimeIndices)
{
    MvTestProject project;
    LoadDeaths(project);
    ASSERT_EQ(MvDifference(*project, 12), 1);  // indices 13..72, 60 points
    MvFitOutcome outcome;
    ASSERT_EQ(MvFitModel(*project, MV_FIT_YULE_WALKER, 1, outcome), 1);
    ASSERT_EQ(MvForecast(*project, 10, 40, 1), 1);
    ASSERT_EQ(MvForecastCurves(*project), 1);
    const PlotRecord& view = project.record->forecastView;
    EXPECT_EQ(view.isView, 1);
    for (int32_t k = 1; k <= 2; ++k) {
        const PlotCurve& observed = view.curves[k];
        const PlotCurve& predicted = view.curves[2 + k];
        EXPECT_EQ(observed.panel, k);
        EXPECT_EQ(predicted.panel, k);
        ASSERT_EQ(observed.x.size(), 60u);
        EXPECT_EQ(observed.x.front(), 13);
        EXPECT_EQ(observed.x.back(), 72);
        ASSERT_EQ(predicted.x.size(), 10u);
        EXPECT_EQ(predicted.x.front(), 53);  // position 41 is time index 53
        EXPECT_EQ(predicted.x.back(), 62);
        EXPECT_EQ(predicted.y.front(), At(project.model(), 2, k, 41));
        EXPECT_EQ(observed.y.back(), project.data().at(k, 60));  // the observation after the forecasts
        EXPECT_EQ(PanelTitleText(view, k), "Series " + std::to_string(k));
    }
    EXPECT_EQ(view.curves[5].shown, 0);

    // A forecast of a narrower table takes the old curves away.
    MvTestProject one(std::vector<double>{1, 3, 2, 5, 4, 6, 5, 8, 7, 9}, 1, 10);
    ASSERT_EQ(MvFitModel(*one, MV_FIT_BURG, 1, outcome), 1);
    one.record->forecastView = view;
    ASSERT_EQ(MvForecast(*one, 2, 10, 0), 1);
    ASSERT_EQ(MvForecastCurves(*one), 1);
    EXPECT_EQ(one.record->forecastView.curves[2].x.size(), 2u);
    EXPECT_EQ(one.record->forecastView.curves[3].shown, 0);
    EXPECT_EQ(one.record->forecastView.panels[2].inUse, 0);

    MvTestProject none;
    EXPECT_EQ(MvForecastCurves(*none), 0);
}
