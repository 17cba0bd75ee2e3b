#include "univariate/project_file.h"

#include <cmath>

#include "platform/file_bytes.h"
#include "shell/ascii_files.h"
#include "univariate/constraints.h"
#include "univariate/regression.h"
#include "univariate/transform_menu.h"
#include "univariate/transforms.h"

namespace {

constexpr int32_t kMaxOrder = 26;
constexpr const char* kNotFiniteValue = "the model or the series holds a value that is not finite";
constexpr const char* kUnbuildableOrder = "the transforms are in an order the program never builds";
constexpr const char* kCutShort = "it is cut short";
static_assert(kMaxTransformNodes == 1000, "the messages below name the depth limit");

bool Finite(const double* values, size_t count)
{
    for (size_t i = 0; i < count; ++i)
        if (!std::isfinite(values[i])) return false;
    return true;
}

bool Finite(const std::vector<double>& values) { return Finite(values.data(), values.size()); }

// The limits the reader keeps to, on the fields of one node as they stand; the writer asks the
// same before it writes anything, so every file it writes reads back. nullptr when the node is
// within them, else what is wrong: a value that is not finite, or one the Transform menu's
// dialogs could not have given whatever the series (NodeOutsideDialogs).
const char* NodeFault(const TransformNode& node)
{
    bool finite = true;
    switch (node.kind) {
    case TRANSFORM_DIFFERENCE:
        if (!Finite(node.removed)) return "a difference holds a value that is not finite";
        break;
    case TRANSFORM_BOX_COX:
        if (!std::isfinite(node.lambda)) return "a Box-Cox parameter is not finite";
        break;
    case TRANSFORM_CLASSICAL:
        finite = Finite(node.seasonal) && Finite(node.polyCoef, 3);
        if (!finite) return "a decomposition holds a value that is not finite";
        break;
    case TRANSFORM_HARMONIC:
        finite = Finite(node.cosCoef, 4) && Finite(node.sinCoef, 4) && std::isfinite(node.level) &&
                 Finite(node.polyCoef, 3);
        if (!finite) return "a harmonic regression holds a value that is not finite";
        break;
    case TRANSFORM_SUBTRACT_MEAN:
        if (!std::isfinite(node.mean)) return "a subtracted mean is not finite";
        break;
    case TRANSFORM_SUBSEQUENCE:
        if (!Finite(node.head) || !Finite(node.tail)) return "a subsequence holds a value that is not finite";
        break;
    default:
        break;
    }
    return NodeOutsideDialogs(node);
}

// The model's limits: orders 0..26 and all 27 coefficients of each side finite, those beyond the
// orders too: they come into use when an order is raised.
bool OrderValid(int32_t order) { return order >= 0 && order <= kMaxOrder; }

bool ModelSound(int32_t p, int32_t q, const double* phi, const double* theta)
{
    return OrderValid(p) && OrderValid(q) && Finite(phi + 1, 27) && Finite(theta + 1, 27);
}

// The nodes of a stack, oldest first.
std::vector<const TransformNode*> OldestFirst(const TransformNode* top)
{
    std::vector<const TransformNode*> nodes;
    for (const TransformNode* node = top; node; node = node->next) nodes.push_back(node);
    return std::vector<const TransformNode*>(nodes.rbegin(), nodes.rend());
}

// Whether the reader would give this node back as it is.
bool NodeWritable(const TransformNode& node, int32_t firstIndex, int32_t lastIndex)
{
    switch (node.kind) {
    case TRANSFORM_DIFFERENCE:
        return node.lag >= 0 && node.removed.size() == static_cast<size_t>(node.lag);
    case TRANSFORM_CLASSICAL:
        return node.period >= 1 ? node.seasonal.size() == static_cast<size_t>(node.period)
                                : node.seasonal.empty();
    case TRANSFORM_SUBSEQUENCE:
        // No lengths are stored: the reader takes them from the final range.
        return static_cast<int64_t>(node.head.size()) == static_cast<int64_t>(firstIndex) - node.first &&
               static_cast<int64_t>(node.tail.size()) == static_cast<int64_t>(node.last) - lastIndex;
    default:
        return true;
    }
}

// Undoes the stack (nodes oldest first) from the series at indices first..last, checking every
// node against what the dialogs allow on the series it was applied to: nullptr, with `values` the
// series before the oldest transform, or what is wrong.
const char* StackFault(const std::vector<const TransformNode*>& oldestFirst, std::vector<double>& values,
                       int32_t firstIndex, int32_t lastIndex)
{
    const std::vector<const TransformNode*> newestFirst(oldestFirst.rbegin(), oldestFirst.rend());
    return UndoWholeStack(newestFirst, values, firstIndex, lastIndex);
}

// What a record that the format cannot give back holds, with `series` the series to be written,
// or nullptr when it can be written.
const char* RecordFault(const UnivariateProject& project, const std::vector<double>& series,
                        const std::vector<const TransformNode*>& nodes, int32_t firstIndex, int32_t lastIndex)
{
    if (!ModelSound(project.p, project.q, project.phi, project.theta))
        return "the model has an order outside 0..26 or a coefficient that is not finite";
    if (static_cast<int64_t>(lastIndex) - firstIndex + 1 != static_cast<int64_t>(series.size()))
        return "the series does not fill its index range";
    if (!Finite(series)) return "the series holds a value that is not finite";
    if (nodes.size() > static_cast<size_t>(kMaxTransformNodes)) return "the project holds more than 1000 transforms";
    std::vector<int32_t> kinds;
    for (const TransformNode* node : nodes) {
        if (const char* fault = NodeFault(*node)) return fault;
        if (!NodeWritable(*node, firstIndex, lastIndex)) return "a transform does not match the series it undoes";
        kinds.push_back(node->kind);
    }
    if (!TransformOrderBuildable(kinds)) return kUnbuildableOrder;
    std::vector<double> values(series);
    return StackFault(nodes, values, firstIndex, lastIndex);
}

void AppendDoubles(std::vector<unsigned char>& bytes, const double* values, size_t count)
{
    for (size_t i = 0; i < count; ++i) AppendDouble(bytes, values[i]);
}

void AppendNode(std::vector<unsigned char>& bytes, const TransformNode& node)
{
    AppendInt32(bytes, node.kind);
    switch (node.kind) {
    case TRANSFORM_DIFFERENCE:
        AppendInt32(bytes, node.lag);
        AppendDoubles(bytes, node.removed.data(), node.removed.size());
        break;
    case TRANSFORM_BOX_COX:
        AppendDouble(bytes, node.lambda);
        break;
    case TRANSFORM_CLASSICAL:
        AppendInt32(bytes, node.period);
        AppendDoubles(bytes, node.seasonal.data(), node.seasonal.size());
        AppendInt32(bytes, node.degree);
        AppendDoubles(bytes, node.polyCoef, 3);
        break;
    case TRANSFORM_HARMONIC:
        AppendInt32(bytes, node.harmonics);
        for (int32_t f : node.fourierIndex) AppendInt32(bytes, f);
        AppendDoubles(bytes, node.cosCoef, 4);
        AppendDoubles(bytes, node.sinCoef, 4);
        AppendDouble(bytes, node.level);
        AppendInt32(bytes, node.degree);
        AppendDoubles(bytes, node.polyCoef, 3);
        break;
    case TRANSFORM_SUBTRACT_MEAN:
        AppendDouble(bytes, node.mean);
        break;
    case TRANSFORM_SUBSEQUENCE:
        AppendInt32(bytes, node.first);
        AppendInt32(bytes, node.last);
        AppendDoubles(bytes, node.head.data(), node.head.size());
        AppendDoubles(bytes, node.tail.data(), node.tail.size());
        break;
    default:
        break;
    }
}

bool ReadDoubleArray(ByteReader& reader, double* values, int count)
{
    for (int i = 0; i < count; ++i)
        if (!reader.ReadDouble(values[i])) return false;
    return true;
}

// Reads the fields of one node after its kind. False when it is cut short (`fault` kCutShort), or
// when a field that tells how many values follow is out of range (`fault` names it).
bool ReadNodeFields(ByteReader& reader, TransformNode& node, int32_t firstIndex, int32_t lastIndex,
                    const char*& fault)
{
    fault = kCutShort;
    switch (node.kind) {
    case TRANSFORM_DIFFERENCE:
        if (!reader.ReadInt32(node.lag)) return false;
        if (node.lag < 0) {
            fault = NodeOutsideDialogs(node);
            return false;
        }
        return reader.ReadDoubles(node.lag, node.removed);
    case TRANSFORM_BOX_COX:
        return reader.ReadDouble(node.lambda);
    case TRANSFORM_CLASSICAL:
        if (!reader.ReadInt32(node.period)) return false;
        if (node.period >= 1 && !reader.ReadDoubles(node.period, node.seasonal)) return false;
        return reader.ReadInt32(node.degree) && ReadDoubleArray(reader, node.polyCoef, 3);
    case TRANSFORM_HARMONIC:
        if (!reader.ReadInt32(node.harmonics)) return false;
        for (int32_t& f : node.fourierIndex)
            if (!reader.ReadInt32(f)) return false;
        return ReadDoubleArray(reader, node.cosCoef, 4) && ReadDoubleArray(reader, node.sinCoef, 4) &&
               reader.ReadDouble(node.level) && reader.ReadInt32(node.degree) &&
               ReadDoubleArray(reader, node.polyCoef, 3);
    case TRANSFORM_SUBTRACT_MEAN:
        return reader.ReadDouble(node.mean);
    case TRANSFORM_SUBSEQUENCE: {
        if (!reader.ReadInt32(node.first) || !reader.ReadInt32(node.last)) return false;
        const int64_t headLength = static_cast<int64_t>(firstIndex) - node.first;
        const int64_t tailLength = static_cast<int64_t>(node.last) - lastIndex;
        if (headLength < 0 || tailLength < 0) {
            fault = "a subsequence's index range does not hold the range of the series it kept";
            return false;
        }
        if (headLength > 0 && !reader.ReadDoubles(headLength, node.head)) return false;
        if (tailLength > 0 && !reader.ReadDoubles(tailLength, node.tail)) return false;
        return true;
    }
    default:
        return true;
    }
}

}  // namespace

int32_t EncodeUnivariateFile(const UnivariateProject& project, const uint32_t* colors,
                             std::vector<unsigned char>& bytes, FileMessage& message)
{
    int32_t firstIndex = project.firstIndex, lastIndex = project.lastIndex;
    const std::vector<const TransformNode*> nodes = OldestFirst(project.transforms);
    // No values: the range 1..0. A stack on no values is one the program never builds, and is
    // refused below.
    if (project.series.empty()) firstIndex = 1, lastIndex = 0;
    // The regression trend is not stored: the series goes with the fitted trend added back, as the
    // transforms left it, so that the file reads back as the project after Regression > Remove and
    // its transforms undo from there (its residuals are no values the transforms gave).
    const bool trend = project.regressionPresent > 0 && project.n >= 0 &&
                       static_cast<size_t>(project.n) == project.series.size() &&
                       project.trendValues.size() == project.series.size();
    const std::vector<double> series = trend ? TrendFreeData(project) : project.series;
    if (const char* fault = RecordFault(project, series, nodes, firstIndex, lastIndex)) {
        message = {std::string("Cannot write to file: ") + fault, "VeskSave()"};
        return 0;
    }
    bytes.clear();
    AppendInt32(bytes, kUnivariateFileMagic);
    for (int32_t k = 1; k <= kPlotColorCount; ++k) AppendInt32(bytes, static_cast<int32_t>(colors[k]));
    AppendInt32(bytes, project.p);
    AppendInt32(bytes, project.q);
    AppendDoubles(bytes, project.phi + 1, 27);
    AppendDoubles(bytes, project.theta + 1, 27);
    AppendInt32(bytes, firstIndex);
    AppendInt32(bytes, lastIndex);
    AppendDoubles(bytes, series.data(), series.size());
    AppendInt32(bytes, static_cast<int32_t>(nodes.size()));
    for (const TransformNode* node : nodes) AppendNode(bytes, *node);
    return 1;
}

int32_t DecodeUnivariateFile(const std::vector<unsigned char>& bytes, UnivariateFileContents& contents,
                             FileMessage& message)
{
    ByteReader reader(bytes);
    int32_t magic = 0;
    if (!reader.ReadInt32(magic) || magic != kUnivariateFileMagic) return -1;
    const auto refuse = [&message](const char* reason) {
        message = {std::string("Cannot read file: ") + reason, "VeskRead()"};
        return 0;
    };

    UnivariateFileContents read;
    bool sound = true;
    for (int32_t k = 1; k <= kPlotColorCount && sound; ++k) {
        int32_t color = 0;
        sound = reader.ReadInt32(color);
        read.colors[k] = static_cast<uint32_t>(color);
    }
    if (!sound || !reader.ReadInt32(read.p) || !reader.ReadInt32(read.q)) return refuse(kCutShort);
    if (!OrderValid(read.p)) return refuse("the AR order p is outside 0..26");
    if (!OrderValid(read.q)) return refuse("the MA order q is outside 0..26");
    if (!ReadDoubleArray(reader, read.phi + 1, 27) || !ReadDoubleArray(reader, read.theta + 1, 27) ||
        !reader.ReadInt32(read.firstIndex) || !reader.ReadInt32(read.lastIndex))
        return refuse(kCutShort);
    const int64_t n = static_cast<int64_t>(read.lastIndex) - read.firstIndex + 1;
    if (n < 0) return refuse("its last index lies before its first");
    if (!reader.ReadDoubles(n, read.series)) return refuse(kCutShort);
    if (!ModelSound(read.p, read.q, read.phi, read.theta) || !Finite(read.series)) return refuse(kNotFiniteValue);
    int32_t count = 0;
    if (!reader.ReadInt32(count)) return refuse(kCutShort);
    if (count < 0) return refuse("its count of transforms is negative");
    if (count > kMaxTransformNodes) return refuse("it holds more than 1000 transforms");
    // Every node takes at least its 4-byte kind.
    if (static_cast<uint64_t>(count) > reader.remaining() / 4) return refuse(kCutShort);
    for (int32_t i = 0; i < count; ++i) {
        TransformNode node;
        InitTransformNode(node);
        const char* fault = kCutShort;
        if (!reader.ReadInt32(node.kind) || !ReadNodeFields(reader, node, read.firstIndex, read.lastIndex, fault))
            return refuse(fault);
        if ((fault = NodeFault(node))) return refuse(fault);
        read.nodes.push_back(std::move(node));
    }
    if (reader.remaining() > 0) return refuse("bytes follow its last transform");
    // Undo and the forecasts take a stack in the orders the program builds.
    std::vector<int32_t> kinds;
    std::vector<const TransformNode*> nodes;
    for (const TransformNode& node : read.nodes) {
        kinds.push_back(node.kind);
        nodes.push_back(&node);
    }
    if (!TransformOrderBuildable(kinds)) return refuse(kUnbuildableOrder);
    // The stack must undo as Undo will undo it, down to the series it was applied to; that series
    // is kept for the round trips of later transforms.
    std::vector<double> untransformed(read.series);
    if (const char* fault = StackFault(nodes, untransformed, read.firstIndex, read.lastIndex)) return refuse(fault);
    if (!read.nodes.empty()) read.nodes.front().untransformed = std::move(untransformed);
    if (n == 0) read.firstIndex = read.lastIndex = 0;
    contents = std::move(read);
    return 1;
}

void CommitUnivariateFile(UnivariateFileContents& contents, UnivariateProject& project, uint32_t* colors)
{
    for (int32_t k = 1; k <= kPlotColorCount; ++k) colors[k] = contents.colors[k];
    project.p = contents.p;
    project.q = contents.q;
    for (int32_t j = 1; j <= 27; ++j) {
        project.phi[j] = contents.phi[j];
        project.theta[j] = contents.theta[j];
    }
    // The old constraints would address coefficients of another model.
    FreeNonZeroCoefficients(project);
    project.firstIndex = contents.firstIndex;
    project.lastIndex = contents.lastIndex;
    project.n = static_cast<int32_t>(contents.series.size());
    project.series = std::move(contents.series);
    FreeTransformStack(project.transforms);
    for (TransformNode& node : contents.nodes) {
        auto* fresh = new TransformNode(std::move(node));
        fresh->next = project.transforms;
        project.transforms = fresh;
    }
    contents.nodes.clear();
}

int32_t WriteUnivariateFile(const UnivariateProject& project, const std::string& name, FileMessage& message)
{
    std::vector<unsigned char> bytes;
    if (!EncodeUnivariateFile(project, PlotColors, bytes, message)) return 0;
    const int status = ReplaceFileBytes(TrimFileName(name), bytes);
    if (status == kReplaceDone) return 1;
    message = {ReplaceFailureText(status), "VeskSave()"};
    return 0;
}
