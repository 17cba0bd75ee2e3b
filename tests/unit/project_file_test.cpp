#include "univariate/project_file.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

#include "file_test_support.h"
#include "platform/file_bytes.h"
#include "univariate/transforms.h"

namespace {

uint32_t TestColors[kPlotColorCount + 1];

int32_t Int32At(const std::vector<unsigned char>& bytes, size_t offset)
{
    ByteReader reader(bytes, offset);
    int32_t v = 0;
    EXPECT_TRUE(reader.ReadInt32(v));
    return v;
}

TransformNode* Push(UnivariateProject& project, int32_t kind)
{
    auto* node = new TransformNode;
    InitTransformNode(*node);
    node->kind = kind;
    node->next = project.transforms;
    project.transforms = node;
    return node;
}

// A project with a model, five values at indices 5..9 and a stack the program builds, oldest
// first: Box-Cox (of values at 1..10), a difference at lag 2, a subsequence taken from 3..10 (the
// newest range change) and a mean (which the estimation commands subtract after a subsequence).
void FillProject(UnivariateProject& project)
{
    VeskInit(project);
    project.p = 2;
    project.q = 1;
    project.phi[1] = 0.5;
    project.phi[2] = -0.25;
    project.phi[27] = 7.0;  // all 27 are stored
    project.theta[1] = 0.125;
    project.firstIndex = 5;
    project.lastIndex = 9;
    project.n = 5;
    project.series = {1.5, -2.0, 3.25, 4.0, -5.5};
    Push(project, TRANSFORM_BOX_COX)->lambda = 0.3;
    TransformNode* node = Push(project, TRANSFORM_DIFFERENCE);
    node->lag = 2;
    node->removed = {0.5, 0.75};
    node = Push(project, TRANSFORM_SUBSEQUENCE);
    node->first = 3;
    node->last = 10;
    node->head = {10, 11};
    node->tail = {12};
    Push(project, TRANSFORM_SUBTRACT_MEAN)->mean = 4.75;
}

// Fills the one node of a single-node stack.
using NodeFill = void (*)(TransformNode&);

// The fixture's model with nine values (long enough for a seasonal period of 3) and one node of
// `kind`, filled by `fill`: at indices 3..11 after a difference at lag 2 or a cut of 2 values
// before them, else at 1..9.
void SingleNodeProject(UnivariateProject& project, int32_t kind, NodeFill fill)
{
    FillProject(project);
    FreeTransformStack(project.transforms);
    project.series = {1.5, -2.0, 3.25, 4.0, -5.5, 6.0, 2.5, -1.0, 0.75};
    project.n = 9;
    project.firstIndex = kind == TRANSFORM_DIFFERENCE || kind == TRANSFORM_SUBSEQUENCE ? 3 : 1;
    project.lastIndex = project.firstIndex + 8;
    fill(*Push(project, kind));
}

void ExpectSameNodes(const TransformNode* a, const TransformNode* b)
{
    for (; a && b; a = a->next, b = b->next) {
        ASSERT_EQ(a->kind, b->kind);
        EXPECT_EQ(a->lag, b->lag);
        EXPECT_EQ(a->removed, b->removed);
        EXPECT_EQ(a->lambda, b->lambda);
        EXPECT_EQ(a->period, b->period);
        EXPECT_EQ(a->seasonal, b->seasonal);
        EXPECT_EQ(a->harmonics, b->harmonics);
        EXPECT_EQ(0, std::memcmp(a->fourierIndex, b->fourierIndex, sizeof a->fourierIndex));
        EXPECT_EQ(0, std::memcmp(a->cosCoef, b->cosCoef, sizeof a->cosCoef));
        EXPECT_EQ(0, std::memcmp(a->sinCoef, b->sinCoef, sizeof a->sinCoef));
        EXPECT_EQ(a->level, b->level);
        EXPECT_EQ(a->degree, b->degree);
        EXPECT_EQ(0, std::memcmp(a->polyCoef, b->polyCoef, sizeof a->polyCoef));
        EXPECT_EQ(a->mean, b->mean);
        EXPECT_EQ(a->head, b->head);
        EXPECT_EQ(a->tail, b->tail);
        EXPECT_EQ(a->first, b->first);
        EXPECT_EQ(a->last, b->last);
    }
    EXPECT_EQ(a, nullptr);
    EXPECT_EQ(b, nullptr);
}

std::vector<unsigned char> Encoded(const UnivariateProject& project)
{
    for (int32_t k = 1; k <= kPlotColorCount; ++k) TestColors[k] = 0x00010203u * k;
    std::vector<unsigned char> bytes;
    FileMessage message;
    EXPECT_EQ(EncodeUnivariateFile(project, TestColors, bytes, message), 1) << message.text;
    return bytes;
}

TEST(UnivariateFile, LayoutIsByteExact)
{
    UnivariateProject project;
    VeskInit(project);
    project.p = 1;
    project.phi[1] = 1.5;
    project.firstIndex = 1;
    project.lastIndex = 4;
    project.n = 4;
    project.series = {1.5, -0.5, 0.5, 1.0};
    Push(project, TRANSFORM_BOX_COX)->lambda = 1.5;
    TransformNode* harmonic = Push(project, TRANSFORM_HARMONIC);
    harmonic->harmonics = 1;
    harmonic->fourierIndex[0] = 1;
    const std::vector<unsigned char> bytes = Encoded(project);
    ASSERT_EQ(bytes.size(), 516u + 32 + 12 + 124);
    const std::vector<unsigned char> head = {0xDB, 0x08, 0, 0, 3, 2, 1, 0};
    EXPECT_TRUE(std::equal(head.begin(), head.end(), bytes.begin()));
    EXPECT_EQ(Int32At(bytes, 60), static_cast<int32_t>(0x000F1E2D));  // colour 15
    EXPECT_EQ(Int32At(bytes, 64), 1);
    EXPECT_EQ(Int32At(bytes, 68), 0);
    const std::vector<unsigned char> onePointFive = {0, 0, 0, 0, 0, 0, 0xF8, 0x3F};
    EXPECT_TRUE(std::equal(onePointFive.begin(), onePointFive.end(), bytes.begin() + 72));  // phi(1)
    EXPECT_EQ(Int32At(bytes, 504), 1);
    EXPECT_EQ(Int32At(bytes, 508), 4);
    EXPECT_TRUE(std::equal(onePointFive.begin(), onePointFive.end(), bytes.begin() + 512));
    EXPECT_EQ(Int32At(bytes, 544), 2);           // node count
    EXPECT_EQ(Int32At(bytes, 548), TRANSFORM_BOX_COX);  // oldest first
    EXPECT_EQ(Int32At(bytes, 560), TRANSFORM_HARMONIC);
    EXPECT_EQ(Int32At(bytes, 564), 1);           // one harmonic
    FreeTransformStack(project.transforms);
}

// Every kind of node alone on the stack of SingleNodeProject, with the bytes it takes, kind
// included.
struct NodeCase {
    const char* what;
    int32_t kind;
    NodeFill fill;
    size_t size;
};
const NodeCase kNodeCases[] = {
    {"subsequence of 1..12", TRANSFORM_SUBSEQUENCE,
     [](TransformNode& n) {
         n.first = 1, n.last = 12;
         n.head = {10, 11};
         n.tail = {12};
     },
     4 + 8 + 2 * 8 + 1 * 8},
    {"difference at lag 2", TRANSFORM_DIFFERENCE,
     [](TransformNode& n) {
         n.lag = 2;
         n.removed = {0.5, 0.75};
     },
     4 + 4 + 2 * 8},
    {"Box-Cox", TRANSFORM_BOX_COX, [](TransformNode& n) { n.lambda = 0.1; }, 4 + 8},
    {"seasonal, period 3", TRANSFORM_CLASSICAL,
     [](TransformNode& n) {
         n.period = 3;
         n.seasonal = {1, 2, -3};
         n.degree = 2;
         n.polyCoef[0] = 0.1, n.polyCoef[1] = 0.2, n.polyCoef[2] = 0.3;
     },
     4 + 4 + 3 * 8 + 4 + 24},
    {"trend only", TRANSFORM_CLASSICAL, [](TransformNode& n) { n.period = -1, n.degree = 1; }, 4 + 4 + 4 + 24},
    {"harmonic", TRANSFORM_HARMONIC,
     [](TransformNode& n) {
         n.harmonics = 2;
         n.fourierIndex[0] = 1, n.fourierIndex[1] = 3;
         n.cosCoef[1] = 1.25, n.sinCoef[3] = -0.5, n.level = 8.5, n.degree = 0;
         n.polyCoef[2] = 3.5;
     },
     124},
    {"mean", TRANSFORM_SUBTRACT_MEAN, [](TransformNode& n) { n.mean = -4.75; }, 4 + 8},
};

// Each node takes its bytes after the series and its count, and reads back as it was.
TEST(UnivariateFile, EachNodeKindTakesItsBytesAndReadsBack)
{
    for (const NodeCase& c : kNodeCases) {
        UnivariateProject project, read;
        SingleNodeProject(project, c.kind, c.fill);
        const std::vector<unsigned char> bytes = Encoded(project);
        EXPECT_EQ(bytes.size(), 516 + 9 * 8 + c.size) << c.what;
        EXPECT_EQ(Int32At(bytes, 584), 1) << c.what;
        EXPECT_EQ(Int32At(bytes, 588), c.kind) << c.what;
        UnivariateFileContents contents;
        FileMessage message;
        ASSERT_EQ(DecodeUnivariateFile(bytes, contents, message), 1) << c.what << ": " << message.text;
        VeskInit(read);
        CommitUnivariateFile(contents, read, TestColors);
        ExpectSameNodes(read.transforms, project.transforms);
        FreeTransformStack(project.transforms);
        FreeTransformStack(read.transforms);
    }
    // A trend-only decomposition writes its period -1 and no seasonal values.
    UnivariateProject trend;
    SingleNodeProject(trend, TRANSFORM_CLASSICAL, kNodeCases[4].fill);
    EXPECT_EQ(Int32At(Encoded(trend), 592), -1);
    FreeTransformStack(trend.transforms);
}

TEST(UnivariateFile, EveryNodeKindRoundTripsThroughAFile)
{
    UnivariateProject project, read;
    FillProject(project);
    VeskInit(read);
    read.wnVariance = 2.5;  // not stored: stays as the record holds it
    Push(read, TRANSFORM_BOX_COX);

    ScratchFolder folder("kdx");
    const std::string name = folder.File("project.kdx");
    FileMessage message;
    SetDefaultPlotColors();
    PlotColors[11] = 0x00123456;
    ASSERT_EQ(WriteUnivariateFile(project, name, message), 1);
    PlotColors[11] = 0;
    std::vector<unsigned char> bytes;
    ASSERT_EQ(ReadFileBytes(name, bytes), 1);
    UnivariateFileContents contents;
    ASSERT_EQ(DecodeUnivariateFile(bytes, contents, message), 1);
    CommitUnivariateFile(contents, read, PlotColors);

    EXPECT_EQ(PlotColors[11], 0x00123456u);
    EXPECT_EQ(read.p, 2);
    EXPECT_EQ(read.q, 1);
    EXPECT_EQ(0, std::memcmp(read.phi, project.phi, sizeof read.phi));
    EXPECT_EQ(0, std::memcmp(read.theta, project.theta, sizeof read.theta));
    EXPECT_EQ(read.firstIndex, 5);
    EXPECT_EQ(read.lastIndex, 9);
    EXPECT_EQ(read.n, 5);
    EXPECT_EQ(read.series, project.series);
    EXPECT_EQ(read.wnVariance, 2.5);
    EXPECT_EQ(TransformCount(read.transforms), 4);
    ExpectSameNodes(read.transforms, project.transforms);
}

// The stack Difference, Subsequence, Subtract Mean as the program builds it (the estimation
// commands subtract the mean after a cut): saved, reopened and undone, it gives the series back.
TEST(UnivariateFile, MeanAfterASubsequenceReadsBackAndUndoes)
{
    std::vector<double> x;
    for (int t = 1; t <= 30; ++t) x.push_back(98 + 3 * t + std::cos(1.3 * t));
    UnivariateProject project;
    VeskInit(project);
    project.series = x;
    project.n = 30;
    project.firstIndex = 1;
    project.lastIndex = 30;
    ASSERT_TRUE(ApplyDifference(project, 1));
    ASSERT_TRUE(ApplySubsequence(project, 6, 25));
    ASSERT_TRUE(ApplySubtractMean(project));

    UnivariateFileContents contents;
    FileMessage message;
    ASSERT_EQ(DecodeUnivariateFile(Encoded(project), contents, message), 1) << message.text;
    UnivariateProject read;
    VeskInit(read);
    CommitUnivariateFile(contents, read, TestColors);
    EXPECT_EQ(read.firstIndex, 6);
    EXPECT_EQ(read.lastIndex, 25);
    EXPECT_EQ(read.series, project.series);
    ExpectSameNodes(read.transforms, project.transforms);
    for (int k = 0; k < 3; ++k) ASSERT_TRUE(UndoNewestTransform(read)) << k;
    EXPECT_EQ(read.transforms, nullptr);
    EXPECT_EQ(read.firstIndex, 1);
    ASSERT_EQ(read.series.size(), x.size());
    for (size_t t = 0; t < x.size(); ++t) EXPECT_NEAR(read.series[t], x[t], 1e-12 * x[t]) << t;
    FreeTransformStack(project.transforms);
}

TEST(UnivariateFile, ProjectWithoutDataReadsBackWithoutData)
{
    UnivariateProject project, read;
    VeskInit(project);
    project.q = 3;
    const std::vector<unsigned char> bytes = Encoded(project);
    EXPECT_EQ(bytes.size(), 516u);
    EXPECT_EQ(Int32At(bytes, 512), 0);
    UnivariateFileContents contents;
    FileMessage message;
    ASSERT_EQ(DecodeUnivariateFile(bytes, contents, message), 1);
    VeskInit(read);
    CommitUnivariateFile(contents, read, TestColors);
    EXPECT_FALSE(read.hasData());
    EXPECT_EQ(read.n, 0);
    EXPECT_EQ(read.firstIndex, 0);
    EXPECT_EQ(read.lastIndex, 0);
    EXPECT_EQ(read.q, 3);
}

// The regression trend is not stored: the series is written with the fitted trend added back, as
// the Box-Cox transform left it, and reads back as after Regression > Remove. Its residuals, some
// below -1/lambda, would be taken for transformed values and refused.
TEST(UnivariateFile, AFittedTrendIsAddedBackToTheSeriesWritten)
{
    UnivariateProject project;
    VeskInit(project);
    project.firstIndex = 1;
    project.lastIndex = project.n = 4;
    Push(project, TRANSFORM_BOX_COX)->lambda = 1.0;  // of 3, 6, 10 and 15
    const std::vector<double> transformed = {2.0, 5.0, 9.0, 14.0};
    project.trendValues = {4.0, 6.0, 10.0, 12.0};
    for (size_t t = 0; t < transformed.size(); ++t) project.series.push_back(transformed[t] - project.trendValues[t]);
    project.regressionSpecified = project.regressionPresent = 1;
    UnivariateFileContents contents;
    FileMessage message;
    ASSERT_EQ(DecodeUnivariateFile(Encoded(project), contents, message), 1) << message.text;
    EXPECT_EQ(contents.series, transformed);
    FreeTransformStack(project.transforms);
}

TEST(UnivariateFile, RecordsTheReaderWouldRefuseAreNotWritten)
{
    // The oldest node of the fixture's stack: its Box-Cox transform.
    static const auto OldestNode = [](UnivariateProject& p) -> TransformNode& {
        TransformNode* node = p.transforms;
        while (node->next) node = node->next;
        return *node;
    };
    const struct {
        const char* what;
        void (*spoil)(UnivariateProject&);
        const char* reason;
    } cases[] = {
        {"series shorter than its range", [](UnivariateProject& p) { p.lastIndex = 11; },
         "the series does not fill its index range"},
        {"removed values disagree with the lag", [](UnivariateProject& p) { Push(p, TRANSFORM_DIFFERENCE)->lag = 3; },
         "a transform does not match the series it undoes"},
        {"seasonal node without its vector", [](UnivariateProject& p) { Push(p, TRANSFORM_CLASSICAL)->period = 4; },
         "a transform does not match the series it undoes"},
        {"subsequence before a difference", [](UnivariateProject& p) {
             // A newer cut moves the range, so the older one's lengths cannot be derived.
             TransformNode* cut = Push(p, TRANSFORM_SUBSEQUENCE);
             cut->first = 5, cut->last = 9, cut->head = {1};
         },
         "a transform does not match the series it undoes"},
        {"p = 27", [](UnivariateProject& p) { p.p = 27; },
         "the model has an order outside 0..26 or a coefficient that is not finite"},
        {"q negative", [](UnivariateProject& p) { p.q = -1; },
         "the model has an order outside 0..26 or a coefficient that is not finite"},
        {"NaN coefficient in use", [](UnivariateProject& p) { p.theta[1] = std::nan(""); },
         "the model has an order outside 0..26 or a coefficient that is not finite"},
        // The reader would refuse them: they come into use when an order is raised.
        {"NaN coefficient beyond the order", [](UnivariateProject& p) { p.phi[3] = std::nan(""); },
         "the model has an order outside 0..26 or a coefficient that is not finite"},
        {"infinite coefficient beyond the order", [](UnivariateProject& p) { p.theta[27] = -HUGE_VAL; },
         "the model has an order outside 0..26 or a coefficient that is not finite"},
        {"a transform of an unknown kind", [](UnivariateProject& p) { Push(p, 77); },
         "a transform is of a kind the program does not know"},
        {"a difference after the mean",
         [](UnivariateProject& p) {
             TransformNode* difference = Push(p, TRANSFORM_DIFFERENCE);
             difference->removed = {1.0};
         },
         "the transforms are in an order the program never builds"},
        {"infinite value in the series", [](UnivariateProject& p) { p.series[2] = HUGE_VAL; },
         "the series holds a value that is not finite"},
        {"decomposition of degree 3", [](UnivariateProject& p) { Push(p, TRANSFORM_CLASSICAL)->degree = 3; },
         "a decomposition has a trend degree outside 0..2"},
        {"harmonic degree -1", [](UnivariateProject& p) { Push(p, TRANSFORM_HARMONIC)->degree = -1; },
         "a harmonic regression has a trend degree outside 0..2"},
        {"five harmonics", [](UnivariateProject& p) { Push(p, TRANSFORM_HARMONIC)->harmonics = 5; },
         "a harmonic regression has a harmonic count outside 1..4"},
        {"no harmonics", [](UnivariateProject& p) { Push(p, TRANSFORM_HARMONIC)->harmonics = 0; },
         "a harmonic regression has a harmonic count outside 1..4"},
        // Refused on the node's own, whatever the series it stands on.
        {"harmonic index 0", [](UnivariateProject& p) { Push(p, TRANSFORM_HARMONIC)->harmonics = 1; },
         "a harmonic regression has a Fourier index outside 1..n/2-1, n its length"},
        {"period 1",
         [](UnivariateProject& p) {
             TransformNode* node = Push(p, TRANSFORM_CLASSICAL);
             node->period = 1;
             node->seasonal = {0.0};
         },
         "a decomposition has a period outside 2..n/3 (or -1 with a trend), n its length"},
        {"a trend of degree 0 alone",
         [](UnivariateProject& p) {
             TransformNode* node = Push(p, TRANSFORM_CLASSICAL);
             node->period = -1;
             node->degree = 0;
         },
         "a decomposition has a period outside 2..n/3 (or -1 with a trend), n its length"},
        {"a difference at lag 0", [](UnivariateProject& p) { Push(p, TRANSFORM_DIFFERENCE)->lag = 0; },
         "a difference has a lag outside 1..n-2, n the length it was taken of"},
        // Values the dialogs could not have given, and stacks that Undo could not undo.
        {"Box-Cox parameter 1e300", [](UnivariateProject& p) { OldestNode(p).lambda = 1e300; },
         "a Box-Cox parameter is outside 0..1.5"},
        {"Box-Cox parameter below 0", [](UnivariateProject& p) { OldestNode(p).lambda = -0.25; },
         "a Box-Cox parameter is outside 0..1.5"},
        {"logarithms whose undo overflows",
         [](UnivariateProject& p) {
             OldestNode(p).lambda = 0.0;
             p.series[0] = 800.0;
         },
         "the transforms cannot be undone: a value or index would be out of range"},
        {"a project without data that holds a transform",
         [](UnivariateProject& p) {
             FreeTransformStack(p.transforms);
             p.series.clear();
             p.n = p.firstIndex = p.lastIndex = 0;
             Push(p, TRANSFORM_SUBTRACT_MEAN)->mean = 0.5;
         },
         "a transform was applied to no values"},
        {"NaN Box-Cox parameter", [](UnivariateProject& p) { Push(p, TRANSFORM_BOX_COX)->lambda = std::nan(""); },
         "a Box-Cox parameter is not finite"},
        {"NaN removed value", [](UnivariateProject& p) { p.transforms->next->next->removed[1] = std::nan(""); },
         "a difference holds a value that is not finite"},
        // The series as loaded starts at index 1, and Box-Cox gives nothing below -1/lambda.
        {"no transform and first index 0",
         [](UnivariateProject& p) {
             FreeTransformStack(p.transforms);
             p.firstIndex = 0, p.lastIndex = 4;
         },
         "its first index, with the transforms undone, is not 1"},
        {"Box-Cox of a value below -1/lambda",
         [](UnivariateProject& p) {
             FreeTransformStack(p.transforms);
             p.firstIndex = 1, p.lastIndex = 5;
             Push(p, TRANSFORM_BOX_COX)->lambda = 0.5;
         },
         "a Box-Cox transform holds a value below -1/lambda, which it never gives"},
        {"1001 transforms", [](UnivariateProject& p) {
             for (int k = 0; k < 997; ++k) Push(p, TRANSFORM_SUBTRACT_MEAN);
         },
         "the project holds more than 1000 transforms"},
    };
    for (const auto& c : cases) {
        UnivariateProject project;
        FillProject(project);
        c.spoil(project);
        std::vector<unsigned char> bytes = {1};
        FileMessage message;
        EXPECT_EQ(EncodeUnivariateFile(project, TestColors, bytes, message), 0) << c.what;
        EXPECT_EQ(message.text, std::string("Cannot write to file: ") + c.reason) << c.what;
        EXPECT_EQ(message.caption, "VeskSave()");
        EXPECT_EQ(bytes, std::vector<unsigned char>{1}) << c.what;
        FreeTransformStack(project.transforms);
    }
}

// A random record: orders, values and node fields drawn partly outside the reader's limits.
void RandomProject(std::mt19937& random, UnivariateProject& project)
{
    VeskInit(project);
    const auto pick = [&](int n) { return static_cast<int>(random() % static_cast<unsigned>(n)); };
    const double specials[] = {0.0, -0.0, 1.5, -1e300, 4.9e-324, 1e-310, std::nan(""), HUGE_VAL};
    const auto value = [&]() {
        return pick(40) == 0 ? specials[pick(8)] : std::ldexp(static_cast<double>(random()) - 2147483648.0, pick(80) - 60);
    };
    const auto values = [&](int n) {
        std::vector<double> v(static_cast<size_t>(std::max(n, 0)));
        for (double& x : v) x = value();
        return v;
    };
    project.p = pick(30) - 1;
    project.q = pick(30) - 1;
    for (int j = 1; j <= 27; ++j) project.phi[j] = value(), project.theta[j] = value();
    const int n = pick(4) == 0 ? 0 : pick(12);
    project.series = values(n);
    project.firstIndex = pick(20) - 5;
    project.lastIndex = project.firstIndex + n - 1 + (pick(10) == 0 ? 1 : 0);
    project.n = n;
    for (int k = pick(6); k > 0; --k) {
        const int kinds[] = {TRANSFORM_DIFFERENCE, TRANSFORM_BOX_COX, TRANSFORM_CLASSICAL, TRANSFORM_HARMONIC,
                             TRANSFORM_SUBTRACT_MEAN, TRANSFORM_SUBSEQUENCE, 3, 0};
        TransformNode* node = Push(project, kinds[pick(8)]);
        // Only the fields of its kind, as a transform fills them.
        switch (node->kind) {
        case TRANSFORM_DIFFERENCE:
            node->lag = pick(6) - 1;
            node->removed = values(node->lag + (pick(8) == 0 ? 1 : 0));
            break;
        case TRANSFORM_BOX_COX:
            node->lambda = value();
            break;
        case TRANSFORM_CLASSICAL:
        case TRANSFORM_HARMONIC:
            if (node->kind == TRANSFORM_CLASSICAL) {
                node->period = pick(6) - 1;
                node->seasonal = values(node->period >= 1 ? node->period : 0);
            } else {
                node->harmonics = pick(7) - 1;
                for (int j = 0; j < 4; ++j)
                    node->fourierIndex[j] = pick(9) - 2, node->cosCoef[j] = value(), node->sinCoef[j] = value();
                node->level = value();
            }
            node->degree = pick(5) - 1;
            for (double& c : node->polyCoef) c = value();
            break;
        case TRANSFORM_SUBTRACT_MEAN:
            node->mean = value();
            break;
        case TRANSFORM_SUBSEQUENCE:
            node->first = project.firstIndex - pick(4);
            node->last = project.lastIndex + pick(4);
            node->head = values(project.firstIndex - node->first);
            node->tail = values(node->last - project.lastIndex);
            break;
        default:
            break;
        }
    }
    // Mostly moved so that the series as loaded starts at index 1.
    int64_t first = project.firstIndex;
    for (const TransformNode* node = project.transforms; node; node = node->next) {
        if (node->kind == TRANSFORM_DIFFERENCE) first -= static_cast<int64_t>(node->removed.size());
        if (node->kind == TRANSFORM_SUBSEQUENCE) first = node->first;
    }
    if (pick(8) == 0) return;
    const int32_t shift = static_cast<int32_t>(1 - first);
    project.firstIndex += shift;
    project.lastIndex += shift;
    for (TransformNode* node = project.transforms; node; node = node->next)
        if (node->kind == TRANSFORM_SUBSEQUENCE) node->first += shift, node->last += shift;
}

TEST(UnivariateFile, EveryRecordTheWriterAcceptsReadsBackBitForBit)
{
    std::mt19937 random(4102);
    int accepted = 0;
    for (int trial = 0; trial < 1000; ++trial) {
        UnivariateProject project;
        RandomProject(random, project);
        std::vector<unsigned char> bytes;
        FileMessage message;
        if (EncodeUnivariateFile(project, TestColors, bytes, message) != 1) {
            EXPECT_EQ(message.text.rfind("Cannot write to file: ", 0), 0u) << message.text;
            FreeTransformStack(project.transforms);
            continue;
        }
        ++accepted;
        UnivariateFileContents contents;
        ASSERT_EQ(DecodeUnivariateFile(bytes, contents, message), 1) << "trial " << trial << ": " << message.text;
        EXPECT_EQ(contents.p, project.p);
        EXPECT_EQ(contents.q, project.q);
        EXPECT_EQ(0, std::memcmp(contents.phi, project.phi, sizeof project.phi));
        EXPECT_EQ(0, std::memcmp(contents.theta, project.theta, sizeof project.theta));
        ASSERT_EQ(contents.series.size(), project.series.size());
        if (!project.series.empty()) {
            EXPECT_EQ(0, std::memcmp(contents.series.data(), project.series.data(), 8 * project.series.size()));
        }
        UnivariateProject read;
        VeskInit(read);
        CommitUnivariateFile(contents, read, TestColors);
        ExpectSameNodes(read.transforms, project.transforms);
        std::vector<unsigned char> again;
        ASSERT_EQ(EncodeUnivariateFile(read, TestColors, again, message), 1) << "trial " << trial;
        EXPECT_EQ(again, bytes) << "trial " << trial;
        FreeTransformStack(project.transforms);
        FreeTransformStack(read.transforms);
    }
    EXPECT_GT(accepted, 100);  // the draw reaches both sides of the limits
    EXPECT_LT(accepted, 900);
}

// Files the program would never write: cut short, out of range, with a value that is not finite
// in any stored part, or with a transform stack the program never builds. Each is refused with its
// reason, and nothing of it reaches the caller.
TEST(UnivariateFile, MalformedFilesGiveTheirMessagesAndChangeNothing)
{
    UnivariateProject project;
    FillProject(project);
    const std::vector<unsigned char> valid = Encoded(project);
    // Offsets of the fixture: p at 64, q at 68, phi from 72, theta from 288, the series at 512, the
    // node count at 552, nodes from 556: Box-Cox (kind, lambda at 560), the difference at 568 (lag
    // at 572, removed values at 576 and 584), the subsequence at 592 (first, last, two head values
    // from 604, one tail value at 620) and the mean at 628 (its value at 632).
    const auto withInt = [](std::vector<unsigned char> bytes, size_t offset, int32_t value) {
        std::vector<unsigned char> image;
        AppendInt32(image, value);
        std::copy(image.begin(), image.end(), bytes.begin() + static_cast<std::ptrdiff_t>(offset));
        return bytes;
    };
    const auto withDouble = [](std::vector<unsigned char> bytes, size_t offset, double value) {
        std::vector<unsigned char> image;
        AppendDouble(image, value);
        std::copy(image.begin(), image.end(), bytes.begin() + static_cast<std::ptrdiff_t>(offset));
        return bytes;
    };
    const auto cut = [&](size_t size) { return std::vector<unsigned char>(valid.begin(), valid.begin() + size); };
    // The fixture's model and series followed by these nodes, oldest first, as a crafted file may
    // hold them.
    const auto withNodes = [&](const std::vector<std::vector<unsigned char>>& nodes) {
        std::vector<unsigned char> bytes = cut(552);
        AppendInt32(bytes, static_cast<int32_t>(nodes.size()));
        for (const std::vector<unsigned char>& node : nodes) bytes.insert(bytes.end(), node.begin(), node.end());
        return bytes;
    };
    const auto node = [](int32_t kind, std::vector<int32_t> ints, std::vector<double> reals) {
        std::vector<unsigned char> bytes;
        AppendInt32(bytes, kind);
        for (int32_t v : ints) AppendInt32(bytes, v);
        for (double v : reals) AppendDouble(bytes, v);
        return bytes;
    };
    const std::vector<unsigned char> mean = node(TRANSFORM_SUBTRACT_MEAN, {}, {2.5});
    const std::vector<unsigned char> difference = node(TRANSFORM_DIFFERENCE, {1}, {4.0});
    const std::vector<unsigned char> boxCox = node(TRANSFORM_BOX_COX, {}, {0.5});
    // These bytes with the fixture's five values moved to start at index `first`.
    const auto atFirst = [&](std::vector<unsigned char> bytes, int32_t first) {
        return withInt(withInt(std::move(bytes), 504, first), 508, first + 4);
    };
    // 1000 differences at lag 1: the deepest stack a file may hold.
    const auto deep = [&](int32_t count) {
        return atFirst(withNodes(std::vector<std::vector<unsigned char>>(static_cast<size_t>(count),
                                                                         node(TRANSFORM_DIFFERENCE, {1}, {0.0}))),
                       count + 1);
    };
    // The fixture's model with other values at indices first..last, then these nodes.
    const auto onValues = [&](int32_t first, int32_t last, const std::vector<double>& values,
                              const std::vector<std::vector<unsigned char>>& nodes) {
        std::vector<unsigned char> bytes = cut(504);
        AppendInt32(bytes, first);
        AppendInt32(bytes, last);
        for (double v : values) AppendDouble(bytes, v);
        AppendInt32(bytes, static_cast<int32_t>(nodes.size()));
        for (const std::vector<unsigned char>& node : nodes) bytes.insert(bytes.end(), node.begin(), node.end());
        return bytes;
    };
    // The model of SingleNodeProject with a single node (kNodeCases), which starts at 588.
    const auto single = [](size_t k) {
        UnivariateProject one;
        SingleNodeProject(one, kNodeCases[k].kind, kNodeCases[k].fill);
        std::vector<unsigned char> bytes = Encoded(one);
        FreeTransformStack(one.transforms);
        return bytes;
    };
    // Seasonal: period at 592, its values from 596, degree at 620, trend from 624. Harmonic:
    // count at 592, indices from 596, cosine sums from 612, sine sums from 644, level at 676,
    // degree at 684, trend from 688.
    const std::vector<unsigned char> seasonal = single(3), harmonic = single(5);
    const double inf = HUGE_VAL, nan = std::nan("");
    const std::string notFinite = "Cannot read file: the model or the series holds a value that is not finite";
    const std::string unbuildable = "Cannot read file: the transforms are in an order the program never builds";
    const std::string cutShort = "Cannot read file: it is cut short";
    const std::string lagOutside = "Cannot read file: a difference has a lag outside 1..n-2, n the length it was taken of";
    const std::string cannotUndo =
        "Cannot read file: the transforms cannot be undone: a value or index would be out of range";
    const std::vector<unsigned char> logarithm = node(TRANSFORM_BOX_COX, {}, {0.0});
    const std::vector<unsigned char> squareRoot = node(TRANSFORM_BOX_COX, {}, {0.5});
    const std::string belowBoxCox =
        "Cannot read file: a Box-Cox transform holds a value below -1/lambda, which it never gives";
    const std::string firstNotOne = "Cannot read file: its first index, with the transforms undone, is not 1";
    const std::string lastTooLarge = "Cannot read file: its last index, with the transforms undone, is above "
                                     "2147383647: the indices of 100000 forecasts after it would not fit";
    // A series of 144 values differenced at lag 1 (2..144), and the values the difference removed.
    std::vector<double> differenced(143), removed(200);
    for (size_t t = 0; t < differenced.size(); ++t) differenced[t] = std::fmod(7.0 * double(t), 23.0) - 11.0;
    for (size_t t = 0; t < removed.size(); ++t) removed[t] = 100.0 + double(t);
    // A seasonal node of these components and a linear trend of zeros.
    const auto seasonalNode = [&](int32_t period, std::vector<double> components) {
        std::vector<unsigned char> bytes = node(TRANSFORM_CLASSICAL, {period}, components);
        AppendInt32(bytes, 1);
        for (int k = 0; k < 3; ++k) AppendDouble(bytes, 0.0);
        return bytes;
    };
    const std::vector<double> nine(9, 1.0);
    const struct {
        const char* what;
        std::vector<unsigned char> bytes;
        int32_t status;
        std::string message;
    } cases[] = {
        {"empty file", cut(0), -1, ""},
        {"magic only in part", cut(3), -1, ""},
        {"another magic", withInt(valid, 0, 2268), -1, ""},
        {"cut in the colours", cut(40), 0, cutShort},
        {"cut before lastIndex", cut(510), 0, cutShort},
        {"p = 27", withInt(valid, 64, 27), 0, "Cannot read file: the AR order p is outside 0..26"},
        {"q negative", withInt(valid, 68, -1), 0, "Cannot read file: the MA order q is outside 0..26"},
        {"range of negative length", withInt(valid, 508, 1), 0, "Cannot read file: its last index lies before its first"},
        {"range longer than the file", withInt(valid, 508, 0x7FFFFFF0), 0, cutShort},
        {"cut in the series", cut(530), 0, cutShort},
        {"no node count", cut(552), 0, cutShort},
        {"node count negative", withInt(valid, 552, -3), 0, "Cannot read file: its count of transforms is negative"},
        {"node count huge", withInt(valid, 552, 0x7FFFFFFF), 0, "Cannot read file: it holds more than 1000 transforms"},
        {"node count beyond the bytes", withInt(valid, 552, 30), 0, cutShort},
        {"cut inside a node", cut(valid.size() - 1), 0, cutShort},
        {"cut after a node's kind", cut(572), 0, cutShort},
        {"four bytes after the last node", [&] {
             std::vector<unsigned char> bytes = valid;
             AppendInt32(bytes, 0);
             return bytes;
         }(), 0, "Cannot read file: bytes follow its last transform"},
        {"one byte after the last node", [&] {
             std::vector<unsigned char> bytes = valid;
             bytes.push_back(7);
             return bytes;
         }(), 0, "Cannot read file: bytes follow its last transform"},
        {"subsequence first after firstIndex", withInt(valid, 596, 6), 0,
         "Cannot read file: a subsequence's index range does not hold the range of the series it kept"},
        {"subsequence last before lastIndex", withInt(valid, 600, 8), 0,
         "Cannot read file: a subsequence's index range does not hold the range of the series it kept"},
        {"subsequence head longer than the file", withInt(valid, 596, -0x7FFFFFF0), 0, cutShort},
        {"difference lag huge", withInt(valid, 572, 0x10000000), 0, cutShort},
        {"difference lag negative", withInt(valid, 572, -1), 0, lagOutside},
        {"node count past the depth limit", deep(1001), 0, "Cannot read file: it holds more than 1000 transforms"},
        {"node count at the depth limit", deep(1000), 1, ""},
        {"harmonics 5", withInt(harmonic, 592, 5), 0,
         "Cannot read file: a harmonic regression has a harmonic count outside 1..4"},
        {"harmonics 0", withInt(harmonic, 592, 0), 0,
         "Cannot read file: a harmonic regression has a harmonic count outside 1..4"},
        {"harmonic degree 3", withInt(harmonic, 684, 3), 0,
         "Cannot read file: a harmonic regression has a trend degree outside 0..2"},
        // Values the dialogs could not have given on the series each transform was applied to.
        {"Box-Cox parameter 1e300", withDouble(valid, 560, 1e300), 0,
         "Cannot read file: a Box-Cox parameter is outside 0..1.5"},
        {"Box-Cox parameter above 1.5", withDouble(valid, 560, 1.5000000000000002), 0,
         "Cannot read file: a Box-Cox parameter is outside 0..1.5"},
        {"Box-Cox parameter below 0", withDouble(valid, 560, -1e-9), 0,
         "Cannot read file: a Box-Cox parameter is outside 0..1.5"},
        {"Box-Cox parameter 1.5", withDouble(valid, 560, 1.5), 1, ""},
        {"Box-Cox parameter 0", withDouble(valid, 560, 0.0), 1, ""},
        {"difference lag 0", withNodes({node(TRANSFORM_DIFFERENCE, {0}, {})}), 0, lagOutside},
        {"a difference that left one value", onValues(2, 2, {1.0}, {difference}), 0, lagOutside},
        {"a difference that left two values", onValues(2, 3, {1.0, 2.0}, {difference}), 1, ""},
        {"period 1", onValues(3, 11, nine, {seasonalNode(1, {0.0})}), 0,
         "Cannot read file: a decomposition has a period outside 2..n/3 (or -1 with a trend), n its length"},
        {"period 0", onValues(3, 11, nine, {seasonalNode(0, {})}), 0,
         "Cannot read file: a decomposition has a period outside 2..n/3 (or -1 with a trend), n its length"},
        {"period above n/3", onValues(3, 10, std::vector<double>(8, 1.0), {seasonalNode(3, {1, 2, -3})}), 0,
         "Cannot read file: a decomposition has a period outside 2..n/3 (or -1 with a trend), n its length"},
        {"period n/3", onValues(1, 9, nine, {seasonalNode(3, {1, 2, -3})}), 1, ""},
        {"a trend of degree 0 alone", withInt(single(4), 596, 0), 0,
         "Cannot read file: a decomposition has a period outside 2..n/3 (or -1 with a trend), n its length"},
        {"a quadratic trend of two values",
         onValues(1, 2, {1.0, 2.0}, {node(TRANSFORM_CLASSICAL, {-1, 2}, {0, 0, 0})}), 0,
         "Cannot read file: a trend has a degree of n or more, n the length it was fitted to"},
        {"a linear trend of two values",
         onValues(1, 2, {1.0, 2.0}, {node(TRANSFORM_CLASSICAL, {-1, 1}, {0, 0, 0})}), 1, ""},
        {"Fourier index n/2", withInt(harmonic, 600, 4), 0,
         "Cannot read file: a harmonic regression has a Fourier index outside 1..n/2-1, n its length"},
        {"Fourier index 0", withInt(harmonic, 596, 0), 0,
         "Cannot read file: a harmonic regression has a Fourier index outside 1..n/2-1, n its length"},
        {"a subsequence keeping one value", onValues(3, 3, {1.0}, {node(TRANSFORM_SUBSEQUENCE, {1, 4}, {5, 6, 7})}),
         0, "Cannot read file: a subsequence keeps fewer than 2 values"},
        {"a subsequence keeping two values", onValues(3, 4, {1, 2}, {node(TRANSFORM_SUBSEQUENCE, {1, 6}, {5, 6, 7, 8})}),
         1, ""},
        {"a mean of no values", onValues(1, 0, {}, {mean}), 0, "Cannot read file: a transform was applied to no values"},
        // Stacks that Undo could not undo, down to the series they were applied to.
        {"logarithms whose undo overflows", withDouble(withNodes({logarithm}), 520, 710.0), 0, cannotUndo},
        {"differenced logarithms whose undo overflows", withNodes({logarithm, node(TRANSFORM_DIFFERENCE, {1}, {705.0})}),
         0, cannotUndo},
        {"logarithms whose undo stays in range", withDouble(atFirst(withNodes({logarithm}), 1), 520, 709.0), 1, ""},
        {"a difference past the least first index",
         withInt(withInt(withNodes({node(TRANSFORM_DIFFERENCE, {2}, {0.0, 0.0})}), 504, INT32_MIN + 1), 508,
                 INT32_MIN + 5),
         0, cannotUndo},
        {"a difference down to the least first index",
         withInt(withInt(withNodes({node(TRANSFORM_DIFFERENCE, {1}, {0.0})}), 504, INT32_MIN + 1), 508,
                 INT32_MIN + 5),
         0, firstNotOne},
        // The series as loaded starts at index 1, and its last index leaves int32 indices to the
        // most forecasts after it.
        {"first index 0", atFirst(withNodes({}), 0), 0, firstNotOne},
        {"first index -100", atFirst(withNodes({}), -100), 0, firstNotOne},
        {"first index 1", atFirst(withNodes({}), 1), 1, ""},
        {"a lag-1 difference", onValues(2, 144, differenced, {node(TRANSFORM_DIFFERENCE, {1}, {removed[0]})}), 1, ""},
        {"a lag-1 difference edited to lag 200",
         onValues(2, 144, differenced, {node(TRANSFORM_DIFFERENCE, {200}, removed)}), 0, firstNotOne},
        {"AR(1) on 60 values up to the largest int32",
         withInt(onValues(2147483588, 2147483647, std::vector<double>(60, 1.0), {}), 64, 1), 0, lastTooLarge},
        {"a last index that leaves room for the forecasts",
         onValues(kMaxLastSeriesIndex - 1, kMaxLastSeriesIndex, {1.0, 2.0}, {}), 0, firstNotOne},
        {"a last index one past it", onValues(kMaxLastSeriesIndex, kMaxLastSeriesIndex + 1, {1.0, 2.0}, {}), 0,
         lastTooLarge},
        // Box-Cox gives nothing below -1/lambda, but for the rounding of later round trips.
        {"Box-Cox values at -1/lambda", onValues(1, 2, {-2.0, 3.0}, {squareRoot}), 1, ""},
        {"Box-Cox values below -1/lambda by rounding", onValues(1, 2, {-2.000002, 3.0}, {squareRoot}), 1, ""},
        {"Box-Cox values below -1/lambda", onValues(1, 2, {-2.5, 3.0}, {squareRoot}), 0, belowBoxCox},
        {"Box-Cox values just past the rounding", onValues(1, 2, {-2.00001, 3.0}, {squareRoot}), 0, belowBoxCox},
        {"Box-Cox values below -1/lambda under a mean",
         onValues(1, 2, {-12.5, 3.0}, {squareRoot, node(TRANSFORM_SUBTRACT_MEAN, {}, {10.0})}), 0, belowBoxCox},
        {"logarithms far below 0", onValues(1, 2, {-50.0, 3.0}, {logarithm}), 1, ""},
        {"logarithms of a parameter below the logarithm's limit, below -1/lambda",
         onValues(1, 2, {-3e7, 3.0}, {node(TRANSFORM_BOX_COX, {}, {5e-8})}), 1, ""},
        // A value that is not finite, in every stored part: the model beyond its orders too.
        {"NaN phi(2) with p = 1", withDouble(withInt(valid, 64, 1), 80, nan), 0, notFinite},
        {"infinite phi(2) in use", withDouble(valid, 80, -inf), 0, notFinite},
        {"infinite theta(27) beyond q", withDouble(valid, 496, inf), 0, notFinite},
        {"NaN in the series", withDouble(valid, 528, nan), 0, notFinite},
        {"infinite value in the series", withDouble(valid, 520, inf), 0, notFinite},
        {"infinite Box-Cox parameter", withDouble(valid, 560, inf), 0, "Cannot read file: a Box-Cox parameter is not finite"},
        {"infinite removed value", withDouble(valid, 584, -inf), 0,
         "Cannot read file: a difference holds a value that is not finite"},
        {"NaN in a cut-off value", withDouble(valid, 604, nan), 0,
         "Cannot read file: a subsequence holds a value that is not finite"},
        {"infinite cut-off value", withDouble(valid, 620, inf), 0,
         "Cannot read file: a subsequence holds a value that is not finite"},
        {"infinite mean", withDouble(valid, 632, -inf), 0, "Cannot read file: a subtracted mean is not finite"},
        {"infinite seasonal value", withDouble(seasonal, 604, inf), 0,
         "Cannot read file: a decomposition holds a value that is not finite"},
        {"infinite seasonal trend", withDouble(seasonal, 632, -inf), 0,
         "Cannot read file: a decomposition holds a value that is not finite"},
        {"infinite cosine sum", withDouble(harmonic, 620, inf), 0,
         "Cannot read file: a harmonic regression holds a value that is not finite"},
        {"infinite sine sum", withDouble(harmonic, 668, -inf), 0,
         "Cannot read file: a harmonic regression holds a value that is not finite"},
        {"infinite harmonic level", withDouble(harmonic, 676, inf), 0,
         "Cannot read file: a harmonic regression holds a value that is not finite"},
        {"infinite harmonic trend", withDouble(harmonic, 704, inf), 0,
         "Cannot read file: a harmonic regression holds a value that is not finite"},
        // Stacks: the forecasts and Undo take them in the orders the program builds.
        {"a mean, then a difference", withNodes({mean, difference}), 0, unbuildable},
        {"a difference, then Box-Cox", withNodes({difference, boxCox}), 0, unbuildable},
        {"Box-Cox twice", withNodes({boxCox, boxCox}), 0, unbuildable},
        {"a mean twice", withNodes({mean, mean}), 0, unbuildable},
        {"a kind the program does not know", withNodes({boxCox, node(77, {}, {})}), 0,
         "Cannot read file: a transform is of a kind the program does not know"},
        {"Box-Cox, two differences and a mean", atFirst(withNodes({boxCox, difference, difference, mean}), 3), 1, ""},
        {"a subsequence, then a mean", atFirst(withNodes({node(TRANSFORM_SUBSEQUENCE, {1, 5}, {}), mean}), 1), 1, ""},
    };
    for (const auto& c : cases) {
        UnivariateFileContents contents;
        contents.p = 5;
        FileMessage message;
        EXPECT_EQ(DecodeUnivariateFile(c.bytes, contents, message), c.status) << c.what;
        EXPECT_EQ(message.text, c.message) << c.what;
        if (c.status == 0) {
            EXPECT_EQ(message.caption, "VeskRead()");
        }
        if (c.status != 1) {
            EXPECT_EQ(contents.p, 5) << c.what;  // nothing of a failed read reaches the caller
        }
    }
    // The offsets above point where the comments say.
    EXPECT_EQ(valid.size(), 640u);
    EXPECT_EQ(Int32At(valid, 552), 4);
    EXPECT_EQ(Int32At(valid, 556), TRANSFORM_BOX_COX);
    EXPECT_EQ(Int32At(valid, 568), TRANSFORM_DIFFERENCE);
    EXPECT_EQ(Int32At(valid, 592), TRANSFORM_SUBSEQUENCE);
    EXPECT_EQ(Int32At(valid, 628), TRANSFORM_SUBTRACT_MEAN);
    EXPECT_EQ(Int32At(seasonal, 592), 3);
    EXPECT_EQ(Int32At(seasonal, 620), 2);
    EXPECT_EQ(Int32At(harmonic, 592), 2);
    EXPECT_EQ(Int32At(harmonic, 600), 3);
    EXPECT_EQ(Int32At(harmonic, 684), 0);
    EXPECT_EQ(harmonic.size(), 712u);
    FreeTransformStack(project.transforms);
}

TEST(UnivariateFile, RandomMutantsAreReadOrRefusedSafely)
{
    UnivariateProject project;
    FillProject(project);
    const std::vector<unsigned char> valid = Encoded(project);
    std::mt19937 random(2267);
    for (int trial = 0; trial < 4000; ++trial) {
        const std::vector<unsigned char> bytes = Mutate(valid, random);
        UnivariateFileContents contents;
        FileMessage message;
        const int32_t status = DecodeUnivariateFile(bytes, contents, message);
        if (status != 1) continue;
        EXPECT_TRUE(contents.p >= 0 && contents.p <= 26 && contents.q >= 0 && contents.q <= 26);
        EXPECT_LE(contents.series.size() * 8, bytes.size());
        UnivariateProject read;
        VeskInit(read);
        CommitUnivariateFile(contents, read, TestColors);
        EXPECT_EQ(read.n, static_cast<int32_t>(read.series.size()));
    }
}

}  // namespace
