#include "univariate/univariate_project.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace {

// Records what the lifecycle asks of the windows.
struct FakeWindows {
    static std::vector<std::string> log;
    static int32_t Destroy(PlotRecord& view)
    {
        log.push_back("destroy " + std::to_string(view.slot));
        view.window = nullptr;
        return 1;
    }
    static void End(HWND__* window, bool close)
    {
        log.push_back(std::string(close ? "close " : "mdidestroy ") +
                      std::to_string(reinterpret_cast<uintptr_t>(window)));
    }
    static void Create(UnivariateProject& project, int32_t slot, const char* title)
    {
        InitPlotRecord(project.dataView);
        log.push_back("create " + std::to_string(slot) + " " + title);
    }
};
std::vector<std::string> FakeWindows::log;

class UnivariateProjectTest : public testing::Test {
protected:
    void SetUp() override
    {
        FakeWindows::log.clear();
        UnivariateWindows = {FakeWindows::Destroy, FakeWindows::End, FakeWindows::Create};
    }
    void TearDown() override { UnivariateWindows = {}; }

    // Marks every view and text window as open; view k answers with slot k in the log.
    static void OpenAllWindows(UnivariateProject& u)
    {
        for (int k = 0; k < kViewCount; ++k) {
            u.views[k].window = reinterpret_cast<HWND__*>(static_cast<uintptr_t>(100 + k));
            u.views[k].slot = k;
        }
        for (int k = 0; k < kTextWindowCount; ++k)
            u.textWindows[k] = reinterpret_cast<HWND__*>(static_cast<uintptr_t>(200 + k));
    }

    static TransformNode* Push(UnivariateProject& u, int32_t kind)
    {
        auto* node = new TransformNode;
        node->kind = kind;
        node->next = u.transforms;
        u.transforms = node;
        return node;
    }
};

}  // namespace

TEST_F(UnivariateProjectTest, NewRecordHasItsDefaultsAndDataWindow)
{
    std::unique_ptr<UnivariateProject> u(VeskNew(3));
    EXPECT_EQ(FakeWindows::log, (std::vector<std::string>{"create 3 New Univariate Project"}));
    EXPECT_EQ(u->inUse, 1);
    EXPECT_EQ(u->dataView.slot, 3);
    EXPECT_FALSE(u->hasData());
    struct IntField { const char* name; int32_t value, expected; };
    const IntField ints[] = {
        {"acfViewFlags", u->acfViewFlags, 24}, {"residualAcfViewFlags", u->residualAcfViewFlags, 24},
        {"acfLags", u->acfLags, 40}, {"modelAcfLags", u->modelAcfLags, 40},
        {"residualAcfLags", u->residualAcfLags, 40}, {"histogramBins", u->histogramBins, 10},
        {"M", u->M, 50}, {"optimiseD", u->optimiseD, 1}, {"intercept", u->intercept, 1},
        {"ararCount", u->ararCount, 10}, {"hwCount", u->hwCount, 10}, {"shwCount", u->shwCount, 10},
        {"ararFirst", u->ararFirst, 1}, {"ararLast", u->ararLast, 2}, {"ararCriterion", u->ararCriterion, 1},
        {"hwOptimise", u->hwOptimise, 1}, {"shwOptimise", u->shwOptimise, 1},
        {"spectrumIntervals", u->spectrumIntervals, 1024}, {"shwPeriod", u->shwPeriod, 0},
    };
    for (const IntField& f : ints) EXPECT_EQ(f.value, f.expected) << f.name;
    struct RealField { const char* name; double value, expected; };
    const RealField reals[] = {
        {"wnVariance", u->wnVariance, 1.0}, {"prelimWnVariance", u->prelimWnVariance, 1.0},
        {"sampleGamma0", u->sampleGamma0, 1.0}, {"fiStep", u->fiStep, 0.1},
        {"hwAlpha", u->hwAlpha, 0.2}, {"shwGamma", u->shwGamma, 0.2}, {"expAlpha", u->expAlpha, -1.0},
        {"fftFraction", u->fftFraction, 0.5}, {"hwRootMse", u->hwRootMse, 1.0}, {"maRootMse", u->maRootMse, 1.0},
    };
    for (const RealField& f : reals) EXPECT_EQ(f.value, f.expected) << f.name;
    EXPECT_EQ(u->transforms, nullptr);
    EXPECT_EQ(u->views[VIEW_ACF].panels[1].inUse, 1);
}

TEST_F(UnivariateProjectTest, ClearDataKeepsModelAndFirstFiveViews)
{
    UnivariateProject u;
    VeskInit(u);
    u.series = {1, 2, 3};
    u.n = 3;
    u.firstIndex = 1;
    u.lastIndex = 3;
    u.modelAcf = {1, 0.5};
    u.modelSpectrum = {2, 2};
    u.periodogram = {1};
    u.residuals = {0.1};
    u.acfViewFlags = 27;
    u.showPeriodogram = 1;
    u.regressionPresent = 1;
    u.trendValues = {1, 1, 1};
    Push(u, TRANSFORM_SUBTRACT_MEAN);
    Push(u, TRANSFORM_DIFFERENCE);
    OpenAllWindows(u);

    VeskClearData(u);
    EXPECT_FALSE(u.hasData());
    EXPECT_EQ(u.n + u.firstIndex + u.lastIndex, 0);
    EXPECT_EQ(u.modelAcf.size(), 2u);
    EXPECT_EQ(u.modelSpectrum.size(), 2u);
    EXPECT_TRUE(u.periodogram.empty());
    EXPECT_TRUE(u.residuals.empty());
    EXPECT_TRUE(u.trendValues.empty());
    EXPECT_EQ(u.regressionPresent, 0);
    EXPECT_EQ(u.transforms, nullptr);
    EXPECT_EQ(u.acfViewFlags, 26);
    EXPECT_EQ(u.showPeriodogram, 0);
    EXPECT_EQ(u.showModelSpectrum, 1);
    for (int k = 0; k < VIEW_FIT; ++k) EXPECT_NE(u.views[k].window, nullptr) << k;
    for (int k = VIEW_FIT; k < kViewCount; ++k) EXPECT_EQ(u.views[k].window, nullptr) << k;
    std::vector<std::string> expected;
    for (int k = VIEW_FIT; k < kViewCount; ++k) expected.push_back("destroy " + std::to_string(k));
    for (int k = 0; k < kTextWindowCount; ++k) expected.push_back("mdidestroy " + std::to_string(200 + k));
    EXPECT_EQ(FakeWindows::log, expected);
    EXPECT_EQ(u.dataView.curves[1].shown, 1);  // "<NO DATA PRESENT>"
}

TEST_F(UnivariateProjectTest, FreeReleasesEverythingInItsOrder)
{
    UnivariateProject u;
    VeskInit(u);
    u.series = {1, 2};
    Push(u, TRANSFORM_BOX_COX);
    OpenAllWindows(u);
    VeskFree(u);
    std::vector<std::string> expected;
    for (int k : {0, 1, 4, 2, 3, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16})
        expected.push_back("destroy " + std::to_string(k));
    for (int k : {TEXT_PRELIMINARY, TEXT_MLE, TEXT_REGRESSION, TEXT_INFINITY, TEXT_TESTS})
        expected.push_back("close " + std::to_string(200 + k));
    EXPECT_EQ(FakeWindows::log, expected);
    EXPECT_TRUE(u.series.empty());
    EXPECT_EQ(u.transforms, nullptr);
}

TEST_F(UnivariateProjectTest, CopyTakesModelDataAndTransformsButNotForecastState)
{
    UnivariateProject s;
    VeskInit(s);
    s.p = 2;
    s.phi[1] = 0.5;
    s.phi[2] = -0.25;
    s.q = 1;
    s.theta[1] = 0.3;
    s.series = {1, 2, 3, 4};
    s.n = 4;
    s.firstIndex = 3;
    s.lastIndex = 6;
    s.wnVariance = 2.5;
    s.bestAicc = 7;
    s.ararCount = 33;
    s.expAlpha = 0.7;
    s.forecastSteps = 12;
    s.auxVariables = ColumnMatrix{4, 1, {1, 2, 3, 4}};
    s.regressionDesign = ColumnMatrix{4, 2, {1, 1, 1, 1, 1, 2, 3, 4}};
    TransformNode* oldest = Push(s, TRANSFORM_DIFFERENCE);
    oldest->lag = 12;
    oldest->removed = {9, 8};
    TransformNode* sub = Push(s, TRANSFORM_SUBSEQUENCE);
    sub->head = {1};
    sub->first = 1;
    sub->last = 10;
    Push(s, TRANSFORM_HARMONIC)->cosCoef[2] = 4.5;
    Push(s, 77)->lag = 5;  // an unknown kind keeps only its kind

    UnivariateProject t;
    VeskInit(t);
    VeskCopy(s, t);
    EXPECT_EQ(t.p, 2);
    EXPECT_EQ(t.phi[2], -0.25);
    EXPECT_EQ(t.theta[1], 0.3);
    EXPECT_EQ(t.series, s.series);
    EXPECT_EQ(t.firstIndex, 3);
    EXPECT_EQ(t.wnVariance, 2.5);
    EXPECT_EQ(t.auxVariables.values, s.auxVariables.values);
    EXPECT_EQ(t.regressionDesign.values, s.regressionDesign.values);
    EXPECT_EQ(t.bestAicc, 0);
    EXPECT_EQ(t.ararCount, 10);
    EXPECT_EQ(t.expAlpha, -1.0);
    EXPECT_EQ(t.fftFraction, 0.5);
    EXPECT_EQ(t.forecastSteps, 0);

    std::vector<int32_t> kinds;
    for (const TransformNode* node = t.transforms; node; node = node->next) kinds.push_back(node->kind);
    EXPECT_EQ(kinds, (std::vector<int32_t>{77, TRANSFORM_HARMONIC, TRANSFORM_SUBSEQUENCE, TRANSFORM_DIFFERENCE}));
    EXPECT_NE(t.transforms, s.transforms);
    EXPECT_EQ(t.transforms->lag, 1);
    EXPECT_EQ(t.transforms->next->cosCoef[2], 4.5);
    EXPECT_EQ(t.transforms->next->next->head, std::vector<double>{1});
    EXPECT_EQ(t.transforms->next->next->last, 10);
    EXPECT_EQ(t.transforms->next->next->next->lag, 12);
    EXPECT_EQ(t.transforms->next->next->next->removed, (std::vector<double>{9, 8}));
}
