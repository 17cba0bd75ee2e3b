#include "univariate/refresh.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

std::vector<std::string> calls;

#define LOG_ROUTINE(name) [](UnivariateProject&) { calls.push_back(name); }
#define LOG_MODE_ROUTINE(name) \
    [](UnivariateProject&, int32_t mode) { calls.push_back(std::string(name) + std::to_string(mode)); }

HWND__* Window(uintptr_t id) { return reinterpret_cast<HWND__*>(id); }

class RefreshTest : public testing::Test {
protected:
    void SetUp() override
    {
        calls.clear();
        RefreshRoutines& r = UnivariateRefresh;
        r.invalidate = [](HWND__* w) { calls.push_back("invalidate " + std::to_string(reinterpret_cast<uintptr_t>(w))); };
        r.windowExists = nullptr;
        r.infoData = LOG_ROUTINE("infoData");
        r.plotSampleAcf = LOG_ROUTINE("plotSampleAcf");
        r.infoAcf = LOG_ROUTINE("infoAcf");
        r.plotHistogram = LOG_ROUTINE("plotHistogram");
        r.infoHistogram = LOG_ROUTINE("infoHistogram");
        r.plotModelAcf = LOG_ROUTINE("plotModelAcf");
        r.infoArmaInfinity = LOG_ROUTINE("infoArmaInfinity");
        r.armaForecast = LOG_MODE_ROUTINE("armaForecast");
        r.infoArmaForecast = LOG_ROUTINE("infoArmaForecast");
        r.computeResiduals = LOG_ROUTINE("computeResiduals");
        r.testsOfRandomness = LOG_MODE_ROUTINE("tests");
        r.residualPlot = LOG_ROUTINE("residualPlot");
        r.infoResiduals = LOG_ROUTINE("infoResiduals");
        r.residualAcf = LOG_ROUTINE("residualAcf");
        r.infoResidualAcf = LOG_ROUTINE("infoResidualAcf");
        r.residualHistogram = LOG_MODE_ROUTINE("residualHistogram");
        r.infoResidualHistogram = LOG_ROUTINE("infoResidualHistogram");
        r.computeSpectra = LOG_ROUTINE("computeSpectra");
        r.plotSpectrum = LOG_ROUTINE("plotSpectrum");
        r.infoSpectrum = LOG_ROUTINE("infoSpectrum");
        r.plotCumulativeSpectrum = LOG_MODE_ROUTINE("cumulative");
        r.infoCumulativeSpectrum = LOG_ROUTINE("infoCumulative");
        VeskInit(project);
    }
    void TearDown() override { UnivariateRefresh = {}; }

    UnivariateProject project;
};

}  // namespace

TEST_F(RefreshTest, NoDataNoViewsOnlyClearsTheDataCurve)
{
    project.dataView.window = Window(1);
    VeskRefresh(project, 1, 1);
    EXPECT_EQ(calls, std::vector<std::string>{"invalidate 1"});
    EXPECT_EQ(project.dataView.curves[1].shown, 1);
    EXPECT_TRUE(project.dataView.curves[1].y.empty());
}

TEST_F(RefreshTest, DispatchFollowsOpenViewsFlagsAndChanges)
{
    struct Case {
        const char* name;
        int32_t acfFlags;
        int32_t dataChanged, modelChanged;
        std::vector<std::string> expected;
    };
    const Case cases[] = {
        {"model shown, data change", 26, 1, 0,
         {"invalidate 1", "plotHistogram", "computeResiduals", "tests0", "residualAcf", "computeSpectra", "plotSpectrum", "cumulative4"}},
        {"model shown, model change", 26, 0, 1,
         {"invalidate 1", "plotModelAcf", "infoAcf", "infoArmaInfinity", "armaForecast1", "computeResiduals", "tests0",
          "residualAcf", "computeSpectra", "plotSpectrum", "cumulative4"}},
        {"both shown, both change", 27, 1, 1,
         {"invalidate 1", "plotSampleAcf", "infoAcf", "plotHistogram", "plotModelAcf", "infoAcf", "infoArmaInfinity",
          "armaForecast1", "computeResiduals", "tests0", "residualAcf", "computeSpectra", "plotSpectrum", "cumulative4"}},
        {"nothing changed still redoes residuals and spectra", 27, 0, 0,
         {"invalidate 1", "computeResiduals", "tests0", "residualAcf", "computeSpectra", "plotSpectrum", "cumulative4"}},
    };
    for (const Case& c : cases) {
        calls.clear();
        project.series = {1, 2, 3};
        project.n = 3;
        project.firstIndex = 1;
        project.lastIndex = 3;
        project.acfViewFlags = c.acfFlags;
        project.dataView.window = Window(1);
        project.acfView.window = Window(2);
        project.histogramView.window = Window(3);
        project.views[VIEW_ARMA_FORECAST].window = Window(4);
        project.views[VIEW_RESIDUAL_ACF].window = Window(5);
        project.spectrumView.window = Window(6);
        project.cumSpectrumView.window = Window(7);
        project.cumSpectrumView.curves[1].shown = 1;
        project.cumSpectrumView.curves[2].shown = 1;
        project.textWindows[TEXT_INFINITY] = Window(8);
        project.textWindows[TEXT_TESTS] = Window(9);
        VeskRefresh(project, c.dataChanged, c.modelChanged);
        EXPECT_EQ(calls, c.expected) << c.name;
    }
}

TEST_F(RefreshTest, CumulativeModeFollowsShownCurvesAndReportsFollowInfoWindows)
{
    struct Case { int32_t periodogram, model; std::vector<std::string> expected; };
    const Case cases[] = {
        {1, 0, {"cumulative1", "infoCumulative"}},
        {0, 1, {"cumulative2", "infoCumulative"}},
        {0, 0, {"infoCumulative"}},
    };
    for (const Case& c : cases) {
        calls.clear();
        project.cumSpectrumView.window = Window(7);
        project.cumSpectrumView.infoWindow = Window(17);
        project.cumSpectrumView.curves[1].shown = c.periodogram;
        project.cumSpectrumView.curves[2].shown = c.model;
        VeskRefresh(project, 0, 0);
        EXPECT_EQ(calls, c.expected);
    }
}

TEST_F(RefreshTest, InvalidateSkipsViewsWithoutWindowsInItsOrder)
{
    project.views[VIEW_FIT].window = Window(5);
    project.views[VIEW_RESIDUAL].window = Window(14);
    project.dataView.window = Window(1);
    VeskInvalidate(project);
    EXPECT_EQ(calls, (std::vector<std::string>{"invalidate 1", "invalidate 14", "invalidate 5"}));
}

// A change of data or model marks a project that holds data; a refresh that changes nothing, or
// one of a project without data, leaves the mark as it was.
TEST_F(RefreshTest, ChangesMarkAProjectThatHoldsData)
{
    struct Case {
        bool data;
        int32_t dataChanged, modelChanged, markBefore, markAfter;
    } const cases[] = {
        {false, 1, 1, 0, 0}, {true, 1, 0, 0, 1}, {true, 0, 1, 0, 1},
        {true, 0, 0, 0, 0},  {true, 0, 0, 1, 1}, {false, 0, 1, 1, 1},
    };
    for (const Case& c : cases) {
        VeskInit(project);
        if (c.data) project.series = {1, 2, 3};
        project.changed = c.markBefore;
        VeskRefresh(project, c.dataChanged, c.modelChanged);
        EXPECT_EQ(project.changed, c.markAfter) << c.data << c.dataChanged << c.modelChanged << c.markBefore;
    }
}

TEST_F(RefreshTest, ALongSeriesIsRefreshedBetweenBusyOnAndOff)
{
    UnivariateRefresh.busy = LOG_MODE_ROUTINE("busy");
    const struct {
        int32_t n;
        std::vector<std::string> expected;
    } cases[] = {
        {kBusyRefreshLength - 1, {"invalidate 1", "computeResiduals"}},
        {kBusyRefreshLength, {"busy1", "invalidate 1", "computeResiduals", "busy0"}},
    };
    for (const auto& c : cases) {
        calls.clear();
        VeskInit(project);
        project.dataView.window = Window(1);
        project.series.assign(static_cast<size_t>(c.n), 1.0);
        project.n = project.lastIndex = c.n;
        project.firstIndex = 1;
        VeskRefresh(project, 1, 0);
        EXPECT_EQ(calls, c.expected) << c.n;
    }
}
