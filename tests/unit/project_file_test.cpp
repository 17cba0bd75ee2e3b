#include "univariate/project_file.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

#include "file_test_support.h"
#include "platform/file_bytes.h"

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

// A project with a model, five values at indices 3..7 and one node of every kind, oldest first:
// a subsequence taken from 1..8 (the newest range change), a difference, Box-Cox, a seasonal and
// a trend-only decomposition, a harmonic regression, a mean and an unknown kind.
void FillProject(UnivariateProject& project)
{
    VeskInit(project);
    project.p = 2;
    project.q = 1;
    project.phi[1] = 0.5;
    project.phi[2] = -0.25;
    project.phi[27] = 7.0;  // all 27 are stored
    project.theta[1] = 0.125;
    project.firstIndex = 3;
    project.lastIndex = 7;
    project.n = 5;
    project.series = {1.5, -2.0, 3.25, 4.0, -5.5};
    TransformNode* node = Push(project, TRANSFORM_SUBSEQUENCE);
    node->first = 1;
    node->last = 8;
    node->head = {10, 11};
    node->tail = {12};
    node = Push(project, TRANSFORM_DIFFERENCE);
    node->lag = 2;
    node->removed = {0.5, 0.75};
    Push(project, TRANSFORM_BOX_COX)->lambda = 0.3;
    node = Push(project, TRANSFORM_CLASSICAL);
    node->period = 3;
    node->seasonal = {1, 2, -3};
    node->degree = 2;
    node->polyCoef[0] = 0.1, node->polyCoef[1] = 0.2, node->polyCoef[2] = 0.3;
    node = Push(project, TRANSFORM_CLASSICAL);
    node->period = -1;
    node->degree = 1;
    node = Push(project, TRANSFORM_HARMONIC);
    node->harmonics = 2;
    node->fourierIndex[0] = 4, node->fourierIndex[1] = 9;
    node->cosCoef[1] = 1.25, node->sinCoef[3] = -0.5, node->level = 8.5, node->degree = 0;
    node->polyCoef[2] = 3.5;
    Push(project, TRANSFORM_SUBTRACT_MEAN)->mean = -4.75;
    Push(project, 77);
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
    EXPECT_EQ(EncodeUnivariateFile(project, TestColors, bytes, message), 1);
    return bytes;
}

TEST(UnivariateFile, LayoutIsByteExact)
{
    UnivariateProject project;
    VeskInit(project);
    project.p = 1;
    project.phi[1] = 1.5;
    project.firstIndex = 1;
    project.lastIndex = 2;
    project.n = 2;
    project.series = {1.5, -2.0};
    Push(project, TRANSFORM_BOX_COX)->lambda = 1.5;
    Push(project, TRANSFORM_HARMONIC);
    const std::vector<unsigned char> bytes = Encoded(project);
    ASSERT_EQ(bytes.size(), 516u + 16 + 12 + 124);
    const std::vector<unsigned char> head = {0xDB, 0x08, 0, 0, 3, 2, 1, 0};
    EXPECT_TRUE(std::equal(head.begin(), head.end(), bytes.begin()));
    EXPECT_EQ(Int32At(bytes, 60), static_cast<int32_t>(0x000F1E2D));  // colour 15
    EXPECT_EQ(Int32At(bytes, 64), 1);
    EXPECT_EQ(Int32At(bytes, 68), 0);
    const std::vector<unsigned char> onePointFive = {0, 0, 0, 0, 0, 0, 0xF8, 0x3F};
    EXPECT_TRUE(std::equal(onePointFive.begin(), onePointFive.end(), bytes.begin() + 72));  // phi(1)
    EXPECT_EQ(Int32At(bytes, 504), 1);
    EXPECT_EQ(Int32At(bytes, 508), 2);
    EXPECT_TRUE(std::equal(onePointFive.begin(), onePointFive.end(), bytes.begin() + 512));
    EXPECT_EQ(Int32At(bytes, 528), 2);           // node count
    EXPECT_EQ(Int32At(bytes, 532), TRANSFORM_BOX_COX);  // oldest first
    EXPECT_EQ(Int32At(bytes, 544), TRANSFORM_HARMONIC);
}

TEST(UnivariateFile, EachNodeKindTakesItsBytes)
{
    // Bytes of each node of FillProject, oldest first, kind included.
    const size_t sizes[] = {
        4 + 8 + 2 * 8 + 1 * 8,  // subsequence: first, last, 2 head and 1 tail values
        4 + 4 + 2 * 8,          // difference at lag 2
        4 + 8,                  // Box-Cox
        4 + 4 + 3 * 8 + 4 + 24, // seasonal, period 3
        4 + 4 + 4 + 24,         // trend only: no seasonal values
        124,                    // harmonic
        4 + 8,                  // mean
        4,                      // unknown kind
    };
    UnivariateProject project;
    FillProject(project);
    const std::vector<unsigned char> bytes = Encoded(project);
    size_t offset = 516 + 5 * 8;
    for (size_t size : sizes) offset += size;
    EXPECT_EQ(bytes.size(), offset);
    EXPECT_EQ(Int32At(bytes, bytes.size() - 4), 77);  // the newest node is last
    EXPECT_EQ(Int32At(bytes, 556 + 36 + 24 + 12 + 60), TRANSFORM_CLASSICAL);
    EXPECT_EQ(Int32At(bytes, 556 + 36 + 24 + 12 + 60 + 4), -1);
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
    EXPECT_EQ(read.firstIndex, 3);
    EXPECT_EQ(read.lastIndex, 7);
    EXPECT_EQ(read.n, 5);
    EXPECT_EQ(read.series, project.series);
    EXPECT_EQ(read.wnVariance, 2.5);
    EXPECT_EQ(TransformCount(read.transforms), 8);
    ExpectSameNodes(read.transforms, project.transforms);
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

TEST(UnivariateFile, RecordsTheReaderWouldRefuseAreNotWritten)
{
    const double nan = std::nan("");
    const struct {
        const char* what;
        void (*spoil)(UnivariateProject&);
        const char* reason;
    } cases[] = {
        {"series shorter than its range", [](UnivariateProject& p) { p.lastIndex = 9; },
         "the series does not fill its index range"},
        {"removed values disagree with the lag", [](UnivariateProject& p) { Push(p, TRANSFORM_DIFFERENCE)->lag = 3; },
         "a transform does not match the series it undoes"},
        {"seasonal node without its vector", [](UnivariateProject& p) { Push(p, TRANSFORM_CLASSICAL)->period = 4; },
         "a transform does not match the series it undoes"},
        {"subsequence before a difference", [](UnivariateProject& p) {
             // A newer cut moves the range, so the older one's lengths cannot be derived.
             TransformNode* cut = Push(p, TRANSFORM_SUBSEQUENCE);
             cut->first = 3, cut->last = 7, cut->head = {1};
         },
         "a transform does not match the series it undoes"},
        {"p = 27", [](UnivariateProject& p) { p.p = 27; },
         "the model has an order outside 0..26 or a coefficient that is not finite"},
        {"q negative", [](UnivariateProject& p) { p.q = -1; },
         "the model has an order outside 0..26 or a coefficient that is not finite"},
        {"NaN coefficient in use", [](UnivariateProject& p) { p.theta[1] = std::nan(""); },
         "the model has an order outside 0..26 or a coefficient that is not finite"},
        {"infinite value in the series", [](UnivariateProject& p) { p.series[2] = HUGE_VAL; },
         "the series holds a value that is not finite"},
        {"decomposition of degree 3", [](UnivariateProject& p) { Push(p, TRANSFORM_CLASSICAL)->degree = 3; },
         "a decomposition has a trend degree outside 0..2"},
        {"harmonic degree -1", [](UnivariateProject& p) { Push(p, TRANSFORM_HARMONIC)->degree = -1; },
         "a harmonic regression has a trend degree outside 0..2"},
        {"five harmonics", [](UnivariateProject& p) { Push(p, TRANSFORM_HARMONIC)->harmonics = 5; },
         "a harmonic regression has a harmonic count outside 0..4"},
        {"NaN Box-Cox parameter", [](UnivariateProject& p) { Push(p, TRANSFORM_BOX_COX)->lambda = std::nan(""); },
         "a Box-Cox parameter is not finite"},
        {"NaN removed value", [](UnivariateProject& p) { p.transforms->next->next->next->next->next->next->removed[1] = std::nan(""); },
         "a difference holds a value that is not finite"},
        {"1001 transforms", [](UnivariateProject& p) {
             for (int k = 0; k < 993; ++k) Push(p, TRANSFORM_SUBTRACT_MEAN);
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
    // The unused coefficient slots are stored as they are, whatever they hold.
    UnivariateProject project;
    FillProject(project);
    project.phi[3] = nan;
    std::vector<unsigned char> bytes;
    FileMessage message;
    EXPECT_EQ(EncodeUnivariateFile(project, TestColors, bytes, message), 1);
    FreeTransformStack(project.transforms);
}

TEST(UnivariateFile, ProjectWithoutDataKeepsTheEmptyRangeItsCutsNeed)
{
    // A subsequence that left no values: range 5..4 after a cut of 1..10 (4 values before, 6 after).
    UnivariateProject project;
    VeskInit(project);
    TransformNode* cut = Push(project, TRANSFORM_SUBSEQUENCE);
    cut->first = 1, cut->last = 10;
    cut->head = {1, 2, 3, 4};
    cut->tail = {5, 6, 7, 8, 9, 10};
    Push(project, TRANSFORM_BOX_COX)->lambda = 0.5;
    const std::vector<unsigned char> bytes = Encoded(project);
    EXPECT_EQ(Int32At(bytes, 504), 5);
    EXPECT_EQ(Int32At(bytes, 508), 4);

    // Read back, committed and saved again: the same image.
    UnivariateFileContents contents;
    FileMessage message;
    ASSERT_EQ(DecodeUnivariateFile(bytes, contents, message), 1);
    UnivariateProject read;
    VeskInit(read);
    CommitUnivariateFile(contents, read, TestColors);
    EXPECT_FALSE(read.hasData());
    ExpectSameNodes(read.transforms, project.transforms);
    EXPECT_EQ(Encoded(read), bytes);
    FreeTransformStack(project.transforms);
    FreeTransformStack(read.transforms);
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

TEST(UnivariateFile, MalformedFilesGiveTheirMessagesAndChangeNothing)
{
    UnivariateProject project;
    FillProject(project);
    const std::vector<unsigned char> valid = Encoded(project);
    // Offsets of the fixture: series at 512, node count at 552, nodes from 556 (the subsequence
    // first: kind, first, last, two head values and one tail value).
    const auto withInt = [&](size_t offset, int32_t value) {
        std::vector<unsigned char> bytes = valid;
        std::vector<unsigned char> image;
        AppendInt32(image, value);
        std::copy(image.begin(), image.end(), bytes.begin() + offset);
        return bytes;
    };
    const auto withDouble = [&](size_t offset, double value) {
        std::vector<unsigned char> bytes = valid;
        std::vector<unsigned char> image;
        AppendDouble(image, value);
        std::copy(image.begin(), image.end(), bytes.begin() + offset);
        return bytes;
    };
    const auto cut = [&](size_t size) { return std::vector<unsigned char>(valid.begin(), valid.begin() + size); };
    // The fixture's series and model followed by `count` nodes of an unknown kind (4 bytes each).
    const auto deep = [&](int32_t count) {
        std::vector<unsigned char> bytes = cut(552);
        AppendInt32(bytes, count);
        for (int32_t k = 0; k < count; ++k) AppendInt32(bytes, 99);
        return bytes;
    };
    // The harmonic node, after the cut (36), difference (24), Box-Cox (12) and two decompositions (60, 36).
    const size_t harmonic = 556 + 36 + 24 + 12 + 60 + 36;
    const struct {
        const char* what;
        std::vector<unsigned char> bytes;
        int32_t status;
        const char* message;
    } cases[] = {
        {"empty file", cut(0), -1, ""},
        {"magic only in part", cut(3), -1, ""},
        {"another magic", withInt(0, 2268), -1, ""},
        {"cut in the colours", cut(40), 0, "Cannot read file"},
        {"cut before lastIndex", cut(510), 0, "Cannot read file"},
        {"p = 27", withInt(64, 27), 0, "Cannot read file"},
        {"q negative", withInt(68, -1), 0, "Cannot read file"},
        {"range of negative length", withInt(508, 1), 0, "Cannot open file"},
        {"range longer than the file", withInt(508, 0x7FFFFFF0), 0, "Cannot open file"},
        {"cut in the series", cut(530), 0, "Cannot open file"},
        {"no node count", cut(552), 0, "Cannot read file"},
        {"node count negative", withInt(552, -3), 0, "Cannot read file"},
        {"node count huge", withInt(552, 0x7FFFFFFF), 0, "Cannot read file"},
        {"cut inside a node", cut(valid.size() - 1), 0, "Cannot read file"},
        {"subsequence first after firstIndex", withInt(560, 4), 0, "Cannot read file"},
        {"subsequence head longer than the file", withInt(560, -0x7FFFFFF0), 0, "Cannot read file"},
        {"difference lag huge", withInt(596, 0x10000000), 0, "Cannot read file"},
        {"difference lag negative", withInt(596, -1), 0, "Cannot read file"},
        {"node count past the depth limit", deep(1001), 0, "Cannot read file: it holds more than 1000 transforms"},
        {"node count at the depth limit", deep(1000), 1, ""},
        {"NaN in the series", withDouble(512 + 16, std::nan("")), 0,
         "Cannot read file: the model or the series holds a value that is not finite"},
        {"infinite phi(2)", withDouble(72 + 8, -HUGE_VAL), 0,
         "Cannot read file: the model or the series holds a value that is not finite"},
        {"NaN in a cut-off value", withDouble(568, std::nan("")), 0,
         "Cannot read file: a subsequence holds a value that is not finite"},
        {"harmonics 5", withInt(harmonic + 4, 5), 0, "Cannot read file"},
        {"harmonic degree 3", withInt(harmonic + 96, 3), 0, "Cannot read file"},
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
    EXPECT_EQ(Int32At(valid, 552), 8);
    EXPECT_EQ(Int32At(valid, 556), TRANSFORM_SUBSEQUENCE);
    EXPECT_EQ(Int32At(valid, 592), TRANSFORM_DIFFERENCE);
    EXPECT_EQ(Int32At(valid, harmonic), TRANSFORM_HARMONIC);
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
