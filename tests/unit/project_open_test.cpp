#include "univariate/project_open.h"

#include <gtest/gtest.h>

#include <cstdio>

#include "platform/file_bytes.h"
#include "shell/project_file_parts.h"
#include "shell/report_text.h"
#include "tests/unit/evaluation_fixtures.h"
#include "univariate/data_report.h"

namespace {

std::vector<unsigned char> Text(const std::string& text) { return {text.begin(), text.end()}; }

std::vector<unsigned char> ProjectImage(int32_t p, const std::vector<double>& series)
{
    UnivariateProject project;
    VeskInit(project);
    project.p = p;
    project.firstIndex = 1;
    project.n = project.lastIndex = static_cast<int32_t>(series.size());
    project.series = series;
    uint32_t colors[kPlotColorCount + 1] = {};
    colors[3] = 0x00ABCDEF;
    std::vector<unsigned char> bytes;
    FileMessage message;
    EXPECT_EQ(EncodeUnivariateFile(project, colors, bytes, message), 1);
    return bytes;
}

std::vector<unsigned char> MultiPartImage(int32_t n, const std::vector<double>& values)
{
    std::vector<unsigned char> bytes;
    for (int32_t v : {kHeaderPartTag, 12, 1, kDataPartTag, 12 + 8 * n, n}) AppendInt32(bytes, v);
    for (double v : values) AppendDouble(bytes, v);
    return bytes;
}

std::vector<unsigned char> HeaderOnly()
{
    const std::vector<unsigned char> bytes = MultiPartImage(0, {});
    return std::vector<unsigned char>(bytes.begin(), bytes.begin() + 12);
}

TEST(ProjectOpen, ReaderChainChoosesOneReader)
{
    std::vector<unsigned char> corruptProject = ProjectImage(1, {1, 2});
    corruptProject.resize(520);  // magic matched, cut in the series
    const struct {
        const char* what;
        std::vector<unsigned char> bytes;
        int32_t kind;
        std::vector<double> values;
        size_t messages;
    } cases[] = {
        {"ASCII numbers", Text("1.5\n2.5\nend\n"), LOADED_ASCII, {1.5, 2.5}, 0},
        {"ASCII without numbers", Text("hello\n"), LOADED_NOTHING, {}, 1},
        {"empty file", {}, LOADED_NOTHING, {}, 0},
        {"ASCII after a byte-order mark", Text("\xEF\xBB\xBF" "6\n7\n"), LOADED_ASCII, {6, 7}, 0},
        {"ASCII stopped by a NaN", Text("1\nNaN\n2\n"), LOADED_ASCII, {1}, 0},
        {"multi-part", MultiPartImage(2, {4, 5}), LOADED_MULTIPART, {4, 5}, 0},
        {"multi-part with no values", MultiPartImage(0, {}), LOADED_NOTHING, {}, 0},
        {"multi-part cut in the values", MultiPartImage(2, {4}), LOADED_NOTHING, {}, 1},
        {"multi-part header only", HeaderOnly(), LOADED_NOTHING, {}, 0},
        {"project file", ProjectImage(1, {1, 2}), LOADED_PROJECT, {}, 0},
        {"project file cut after its magic", corruptProject, LOADED_NOTHING, {}, 1},
    };
    for (const auto& c : cases) {
        LoadedProjectFile loaded;
        std::vector<FileMessage> messages;
        EXPECT_EQ(ReadProjectBytes(c.bytes, loaded, messages), c.kind) << c.what;
        EXPECT_EQ(loaded.kind, c.kind) << c.what;
        if (c.kind != LOADED_PROJECT) {
            EXPECT_EQ(loaded.values, c.values) << c.what;
        }
        EXPECT_EQ(messages.size(), c.messages) << c.what;
    }
}

TEST(ProjectOpen, TextReadOnlyInPartAsksBeforeItIsKept)
{
    const struct {
        std::string text;
        const char* partial;
        const char* message;
    } cases[] = {
        {"1\n2\n", "", ""},
        {"1\n2\n1e400\n3\n", "Line 3 holds a value that is not a finite number. Reading stopped there after 2 values. Keep them?", ""},
        {"NaN\n1\n", "", "Line 1 holds a value that is not a finite number. No values were read."},
        {"\n\n", "", ""},
    };
    for (const auto& c : cases) {
        LoadedProjectFile loaded;
        std::vector<FileMessage> messages;
        (void)ReadProjectBytes(Text(c.text), loaded, messages);
        EXPECT_EQ(loaded.partial.text, c.partial) << c.text;
        if (*c.partial) {
            EXPECT_EQ(loaded.partial.caption, "ReadRawData()");
        }
        ASSERT_EQ(messages.size(), *c.message ? 1u : 0u) << c.text;
        if (*c.message) {
            EXPECT_EQ(messages[0].text, c.message);
            EXPECT_EQ(messages[0].caption, "ReadRawData()");
        }
    }
}

TEST(ProjectOpen, CommitTakesTheDataAndSetsTheProjectsOwnFile)
{
    uint32_t colors[kPlotColorCount + 1] = {};
    const struct {
        std::vector<unsigned char> bytes;
        int32_t hasFileName;
        int32_t p;
        uint32_t color3;
    } cases[] = {
        {Text("3\n4\n5\n"), 0, 0, 0},                 // a text file is not rewritten as a project
        {MultiPartImage(3, {3, 4, 5}), 0, 0, 0},      // nor is a multi-part file
        {ProjectImage(2, {3, 4, 5}), 1, 2, 0x00ABCDEF},
    };
    for (const auto& c : cases) {
        UnivariateProject project;
        VeskInit(project);
        LoadedProjectFile loaded;
        std::vector<FileMessage> messages;
        ASSERT_NE(ReadProjectBytes(c.bytes, loaded, messages), LOADED_NOTHING);
        ASSERT_EQ(CommitLoadedFile(loaded, project, "C:\\data\\x.kdx   ", colors), 1);
        EXPECT_EQ(project.series, (std::vector<double>{3, 4, 5}));
        EXPECT_EQ(project.originalSeries, project.series);
        EXPECT_EQ(project.firstIndex, 1);
        EXPECT_EQ(project.lastIndex, 3);
        EXPECT_EQ(project.n, 3);
        EXPECT_EQ(project.p, c.p);
        EXPECT_EQ(colors[3], c.color3);
        EXPECT_EQ(project.fileName, "C:\\data\\x.kdx");
        EXPECT_EQ(project.hasFileName, c.hasFileName);
    }
}

// The white-noise variance is not stored: a model opened with its series is evaluated on it, so
// that the reports show its fitted variance (R's arima with the coefficients fixed: S/n). A
// white-noise model, which nothing fits, and a fractionally integrated one keep the record's.
TEST(ProjectOpen, AnOpenedModelIsEvaluatedOnItsSeries)
{
    const ReferenceTable models = ReadReferenceTable("evaluation_models.csv");
    ASSERT_FALSE(models.rows.empty());
    const auto row = [&models](const std::string& id) {
        for (size_t r = 0; r < models.rows.size(); ++r)
            if (models.Text(r, "id") == id) return r;
        ADD_FAILURE() << id;
        return size_t{0};
    };
    const struct {
        const char* id;
        int32_t fracIntegrated;
        bool evaluated;
    } cases[] = {
        {"arma11", 0, true},
        {"arma22", 0, true},
        {"wn", 0, false},
        {"arma11", 1, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.id) + (c.fracIntegrated ? ", fractionally integrated" : ""));
        const size_t r = row(c.id);
        const UnivariateFields model = ReferenceModel(models, r);
        UnivariateProject saved;
        VeskInit(saved);
        saved.p = model.p;
        saved.q = model.q;
        std::copy(std::begin(model.phi), std::end(model.phi), saved.phi);
        std::copy(std::begin(model.theta), std::end(model.theta), saved.theta);
        saved.series = model.series;
        saved.n = model.n;
        saved.firstIndex = 1;
        saved.lastIndex = model.n;
        uint32_t colors[kPlotColorCount + 1] = {};
        std::vector<unsigned char> bytes;
        FileMessage message;
        ASSERT_EQ(EncodeUnivariateFile(saved, colors, bytes, message), 1);

        UnivariateProject project;
        VeskInit(project);
        project.fracIntegrated = c.fracIntegrated;
        project.wnVariance = 2.5;
        LoadedProjectFile loaded;
        std::vector<FileMessage> messages;
        ASSERT_EQ(ReadProjectBytes(bytes, loaded, messages), LOADED_PROJECT);
        ASSERT_EQ(CommitLoadedFile(loaded, project, "fitted.kdx", colors), 1);
        if (c.evaluated) {
            EXPECT_NEAR(project.wnVariance / models.Number(r, "sigma2"), 1.0, 1e-9);
        } else {
            EXPECT_EQ(project.wnVariance, 2.5);
        }
        // The data report shows it.
        char line[64];
        std::snprintf(line, sizeof line, "WN Variance = %.6f", project.wnVariance);
        const std::string report = ReportWindowText(DataReport(project));
        EXPECT_NE(report.find(line), std::string::npos) << report;
    }
}

TEST(ProjectOpen, NothingLoadedLeavesTheProjectAsItWas)
{
    UnivariateProject project;
    VeskInit(project);
    project.series = {9};
    project.n = project.firstIndex = project.lastIndex = 1;
    project.fileName = "old.kdx";
    project.hasFileName = 1;
    uint32_t colors[kPlotColorCount + 1] = {};
    colors[1] = 77;
    std::vector<unsigned char> bytes = ProjectImage(1, {1, 2});
    bytes.resize(530);  // node count cut off
    LoadedProjectFile loaded;
    std::vector<FileMessage> messages;
    EXPECT_EQ(ReadProjectBytes(bytes, loaded, messages), LOADED_NOTHING);
    EXPECT_EQ(CommitLoadedFile(loaded, project, "new.kdx", colors), 0);
    EXPECT_EQ(project.series, std::vector<double>{9});
    EXPECT_EQ(project.fileName, "old.kdx");
    EXPECT_EQ(colors[1], 77u);
}

}  // namespace
