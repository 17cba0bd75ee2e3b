#include "univariate/transforms.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <utility>

#include "numerics/acf.h"
#include "numerics/decomposition.h"
#include "numerics/status.h"
#include "platform/dialog_values.h"
#include "platform/typed_entry.h"
#include "resources/resource.h"
#include "shell/number_format.h"

const char* const kVeskErrorCaption = "KELO::Vesk Error";
const char* const kTransformRangeMessage = "The transformed values would be out of range";
const char* const kUndoImpossibleMessage = "The last transform cannot be undone: its stored values do not fit the series";
const char* const kUnknownTransformKind = "a transform is of a kind the program does not know";
const char* const kStackUndoFault = "the transforms cannot be undone: a value or index would be out of range";
const char* const kTransformLossMessage =
    "The transformed values would not give the series back: the transform could not be undone";

namespace {

std::string Int(int32_t value)
{
    std::string text = FormatInt(value);
    text.erase(text.find_last_not_of(' ') + 1);
    return text;
}

bool AllFinite(const std::vector<double>& values)
{
    for (double v : values)
        if (!std::isfinite(v)) return false;
    return true;
}

// A node of `kind` with the defaults, not yet on a stack.
TransformNode NewNode(int32_t kind)
{
    TransformNode node;
    InitTransformNode(node);
    node.kind = kind;
    return node;
}

void PushNode(UnivariateProject& project, TransformNode&& node)
{
    auto* top = new TransformNode(std::move(node));
    top->next = project.transforms;
    project.transforms = top;
}

void PopNode(UnivariateProject& project)
{
    TransformNode* top = project.transforms;
    project.transforms = top->next;
    FreeTransformNode(top);
}

TransformNode* Newest(UnivariateProject& project, int32_t kind)
{
    TransformNode* top = project.transforms;
    return top && top->kind == kind ? top : nullptr;
}

// Only a project whose series agrees with its count can be transformed.
bool HasSeries(const UnivariateProject& project)
{
    return project.n >= 1 && static_cast<size_t>(project.n) == project.series.size();
}

// The trend as the fit computes it, so that adding it back cancels the subtraction.
double TrendAt(const double c[3], int32_t t)
{
    const double x = t;
    return (c[2] * x + c[1]) * x + c[0];
}

bool TrendFits(int32_t degree, int64_t n) { return degree == 0 || (degree >= 1 && degree <= 2 && degree < n); }

// The limits of the Difference and Classical Decomposition dialogs on a series of n values, which
// the apply routines and the whole-stack check of a project file share: a lag 1..n - 2; a period
// 2..n/3, or -1 for a trend alone, which then has a degree; 1..4 harmonics at Fourier indices
// 1..n/2 - 1; a trend of degree 0..2 and below n.
bool LagFits(int64_t n, int64_t h) { return h >= 1 && h < n - 1; }

bool SeasonalFits(int32_t d, int32_t degree, int64_t n)
{
    return TrendFits(degree, n) && (d > 0 ? d >= 2 && d <= n / 3 : d == -1 && degree != 0);
}

bool HarmonicsFit(int32_t k, const int32_t indices[4], int32_t degree, int64_t n)
{
    if (!TrendFits(degree, n) || k < 1 || k > 4) return false;
    for (int32_t i = 0; i < k; ++i)
        if (indices[i] < 1 || indices[i] >= n / 2) return false;
    return true;
}

// Adds the node's trend back; a degree of 0 adds nothing.
void AddTrend(std::vector<double>& x, const TransformNode& node)
{
    if (node.degree < 1) return;
    for (size_t t = 1; t <= x.size(); ++t) x[t - 1] += TrendAt(node.polyCoef, static_cast<int32_t>(t));
}

// One step of the running sum that rebuilds differenced values: the value h places on from
// `previous`, whose difference is y. Undifference and the differencing share it, so that
// differences are taken against exactly what Undo will rebuild.
double RebuiltNext(double y, double previous) { return y + previous; }

// The lag-h differences of x (h < x.size()), each taken against the value Undo rebuilds rather
// than against x itself: y(t) = x(t + h) - r(t), where r(t) = x(t) for t <= h and
// r(t + h) = RebuiltNext(y(t), r(t)). Where a difference rounds, the rebuilt value misses x by
// that rounding, and the next difference takes it back; so the errors of Undo's running sum stay
// those of one step instead of adding up along the series. Until the first rounding y is
// x(t + h) - x(t) as computed directly; after it y can differ from that by the rebuilt value's
// miss, a unit in the last place of x. Two equal values still give exactly 0: the miss is then
// carried to the next step unchanged (it neither grows nor adds up) and taken back there.
std::vector<double> DifferencesAgainstRebuilt(const std::vector<double>& x, size_t h)
{
    std::vector<double> y(x.size() - h);
    std::vector<double> rebuilt(x.begin(), x.begin() + static_cast<std::ptrdiff_t>(h));  // r(t..t + h - 1)
    size_t k = 0;  // position of r(t) in the ring
    for (size_t t = 0; t < y.size(); ++t) {
        y[t] = x[t + h] == x[t] ? 0.0 : x[t + h] - rebuilt[k];
        rebuilt[k] = RebuiltNext(y[t], rebuilt[k]);
        if (++k == h) k = 0;
    }
    return y;
}

// The values before the transform of `node` (any kind but a subsequence, which moves values
// without changing them), from the transformed values y. The inverse of each apply routine,
// shared by its undo and by its own check before it commits. Returns false when the node's
// stored values do not fit y; x may then hold anything.
bool Restore(const TransformNode& node, const std::vector<double>& y, std::vector<double>& x)
{
    switch (node.kind) {
    case TRANSFORM_DIFFERENCE:
        if (node.lag < 1 || node.removed.size() != static_cast<size_t>(node.lag)) return false;
        Undifference(node.removed, y, x);
        return true;
    case TRANSFORM_BOX_COX: {
        if (!std::isfinite(node.lambda)) return false;
        const double lambda = node.lambda;
        x = y;
        for (double& v : x) v = BoxCoxInverse(v, lambda);
        return true;
    }
    case TRANSFORM_CLASSICAL: {
        if (node.period > 0 && node.seasonal.size() != static_cast<size_t>(node.period)) return false;
        x = y;
        if (node.period > 0)
            for (size_t t = 0; t < x.size(); ++t) x[t] += node.seasonal[t % static_cast<size_t>(node.period)];
        AddTrend(x, node);
        return true;
    }
    case TRANSFORM_HARMONIC: {
        if (node.harmonics < 0 || node.harmonics > 4) return false;
        x = y;
        const int32_t n = static_cast<int32_t>(x.size());
        if (node.harmonics > 0) {
            // The same expressions as the fit, so that the sum added back is the one removed.
            const double omega = 6.28318530718 / n;
            const double scale = 2.0 / n;
            for (int32_t t = 1; t <= n; ++t) {
                double sum = 0.0;
                for (int32_t i = 0; i < node.harmonics; ++i) {
                    const double arg = node.fourierIndex[i] * omega * t;
                    sum += std::cos(arg) * node.cosCoef[i] * scale + std::sin(arg) * node.sinCoef[i] * scale;
                }
                x[static_cast<size_t>(t - 1)] += sum + node.level;
            }
        }
        AddTrend(x, node);
        return true;
    }
    case TRANSFORM_SUBTRACT_MEAN:
        x = y;
        for (double& v : x) v += node.mean;
        return true;
    default:
        return false;
    }
}

// Whether `back` is x given back: as long, finite, and within a relative 1e-8 of the largest
// |x(t)| (exactly, for a series of zeros).
bool SameWithin(const std::vector<double>& x, const std::vector<double>& back)
{
    if (back.size() != x.size() || !AllFinite(back)) return false;
    // Both finite, so no NaN can arise and std::max needs none of fmax's care.
    double largest = 0.0, error = 0.0;
    for (size_t t = 0; t < x.size(); ++t) {
        largest = std::max(largest, std::fabs(x[t]));
        error = std::max(error, std::fabs(back[t] - x[t]));
    }
    // A difference that overflowed is no round trip either.
    return std::isfinite(error) && error <= kRoundTripTolerance * largest;
}

// The length of the series before `node`, from the length after it: what its undo gives (the
// lag of a difference is the count of its removed values wherever it can be undone).
int64_t LengthBefore(const TransformNode& node, int64_t after)
{
    switch (node.kind) {
    case TRANSFORM_DIFFERENCE: return after + static_cast<int64_t>(node.removed.size());
    case TRANSFORM_SUBSEQUENCE:
        return after + static_cast<int64_t>(node.head.size()) + static_cast<int64_t>(node.tail.size());
    default: return after;
    }
}

// Undoes `node` on `values`, which run from index `first` to `last`, as Undo does: the values
// and their range before the node, built in `scratch`, which then holds the old values. False,
// with `values` and the range unchanged, when the node does not fit them, a value comes back out
// of range or the first index would pass the int32 range the project keeps it in.
bool UndoOnto(const TransformNode& node, std::vector<double>& values, int64_t& first, int64_t& last,
              std::vector<double>& scratch)
{
    if (node.kind == TRANSFORM_SUBSEQUENCE) {
        if (first - node.first != static_cast<int64_t>(node.head.size()) ||
            node.last - last != static_cast<int64_t>(node.tail.size()))
            return false;
        scratch.assign(node.head.begin(), node.head.end());
        scratch.insert(scratch.end(), values.begin(), values.end());
        scratch.insert(scratch.end(), node.tail.begin(), node.tail.end());
        values.swap(scratch);
        first = node.first;
        last = node.last;
        return true;
    }
    if (node.kind == TRANSFORM_DIFFERENCE && first - node.lag < INT32_MIN) return false;
    if (!Restore(node, values, scratch) || !AllFinite(scratch)) return false;
    if (node.kind == TRANSFORM_DIFFERENCE) first -= node.lag;
    values.swap(scratch);
    return true;
}

// Undoes every node of a stack, newest first, on `values` (indices first..last, which receive the
// range before the oldest node), in two buffers sized once for the longest series on the way
// (undoing only lengthens it). Before each node, `check` (when given) may refuse it with a
// reason, given the values it made and the length of the series it was applied to. nullptr when
// done; else the reason, kStackUndoFault when a node cannot be undone.
const char* UndoNodes(const std::vector<const TransformNode*>& newestFirst, std::vector<double>& values,
                      int64_t& first, int64_t& last,
                      const char* (*check)(const TransformNode&, const std::vector<double>&, int64_t))
{
    int64_t longest = static_cast<int64_t>(values.size());
    for (const TransformNode* node : newestFirst) longest = LengthBefore(*node, longest);
    values.reserve(static_cast<size_t>(longest));
    std::vector<double> scratch;
    scratch.reserve(static_cast<size_t>(longest));
    for (const TransformNode* node : newestFirst) {
        if (check)
            if (const char* fault = check(*node, values, LengthBefore(*node, static_cast<int64_t>(values.size()))))
                return fault;
        if (!UndoOnto(*node, values, first, last, scratch)) return kStackUndoFault;
    }
    return nullptr;
}

// The nodes of a stack from `top` down to the oldest.
std::vector<const TransformNode*> NewestFirst(const TransformNode* top)
{
    std::vector<const TransformNode*> nodes;
    for (const TransformNode* node = top; node; node = node->next) nodes.push_back(node);
    return nodes;
}

// Undoes every node from `top` down to the oldest on `values` (indices first..last).
bool UndoStack(const TransformNode* top, std::vector<double>& values, int64_t first, int64_t last)
{
    return UndoNodes(NewestFirst(top), values, first, last, nullptr) == nullptr;
}

// The series before the oldest transform of a non-empty stack: kept by that node when it was
// pushed, else (a stack read from a file or built by hand) found by undoing the stack once and
// kept from then on. False when the stack cannot be undone.
bool Untransformed(UnivariateProject& project, const std::vector<double>*& series)
{
    TransformNode* oldest = project.transforms;
    while (oldest->next) oldest = oldest->next;
    if (oldest->untransformed.empty()) {
        std::vector<double> values(project.series);
        if (!UndoStack(project.transforms, values, project.firstIndex, project.lastIndex)) return false;
        oldest->untransformed = std::move(values);
    }
    series = &oldest->untransformed;
    return true;
}

// Whether a transform about to be pushed as `node`, having made y (indices first..last) of the
// project's series, can be undone. Its own inverse must give the series back: finite and within
// kRoundTripTolerance of the largest |x(t)|; this fails where the transform leaves too few
// digits (powers of values below the spacing of doubles near 1, trends and means of values near
// the largest double, whose inverse overflows). And undoing it and then the whole stack must
// give back, by the same rule, the series as it was before the oldest transform: a later node's
// rounding can push an older inverse out of range (a logarithm's values pushed past the log of
// the largest double overflow on Undo), and older differences add up a newer node's rounding.
// The cost is one undo pass of the stack with the node on top. Should the series have moved off
// what the stack was built from (a regression trend fitted and removed leaves a rounding error),
// what undoing the stack gives now is the measure instead, at the cost of a second pass: the
// new transform is not to blame for that.
bool RoundTripHolds(UnivariateProject& project, const TransformNode& node, const std::vector<double>& y,
                    int64_t first, int64_t last)
{
    std::vector<double> back(y), scratch;
    if (!UndoOnto(node, back, first, last, scratch) || !SameWithin(project.series, back)) return false;
    if (!project.transforms) return true;
    const std::vector<double>* untransformed = nullptr;
    if (!Untransformed(project, untransformed) || !UndoStack(project.transforms, back, first, last)) return false;
    if (SameWithin(*untransformed, back)) return true;
    std::vector<double> now(project.series);
    return UndoStack(project.transforms, now, project.firstIndex, project.lastIndex) && SameWithin(now, back);
}

// The refusal of an apply routine: `why` (when asked for) receives its message; returns 0.
int32_t Refuse(const char** why, const char* message)
{
    if (why) *why = message;
    return 0;
}

void Replace(UnivariateProject& project, std::vector<double>& values)
{
    project.series.swap(values);
    project.n = static_cast<int32_t>(project.series.size());
}

// Pushes the node and makes y the series. A node pushed on an empty stack keeps the series it
// was applied to (RoundTripHolds measures every later transform against it); y receives it.
void PushAndReplace(UnivariateProject& project, TransformNode&& node, std::vector<double>& y)
{
    const bool oldest = project.transforms == nullptr;
    PushNode(project, std::move(node));
    Replace(project, y);
    if (oldest) project.transforms->untransformed = std::move(y);
}

// Undoes the newest node when it is of `kind`, by UndoOnto, and pops it. Returns 1; 0 when the
// newest node is missing, of another kind or cannot be undone (nothing changed then).
int32_t UndoNewest(UnivariateProject& project, int32_t kind)
{
    const TransformNode* node = Newest(project, kind);
    if (!node || !HasSeries(project)) return 0;
    int64_t first = project.firstIndex, last = project.lastIndex;
    std::vector<double> scratch;
    if (!UndoOnto(*node, project.series, first, last, scratch)) return 0;
    project.n = static_cast<int32_t>(project.series.size());
    project.firstIndex = static_cast<int32_t>(first);
    project.lastIndex = static_cast<int32_t>(last);
    PopNode(project);
    return 1;
}

// The last step of both decompositions: removes the trend of `degree` (none for 0) from x, adds
// it to `removed` and checks that both are finite. Returns false when the trend cannot be fitted
// or a value is out of range.
bool RemoveTrend(std::vector<double>& x, std::vector<double>& removed, int32_t degree, std::vector<double>& c)
{
    c.assign(3, 0.0);
    if (degree >= 1 && PolynomialTrend(x, removed, c, degree) != kStatusDone) return false;
    return AllFinite(x) && AllFinite(removed);
}

void SetTrend(TransformNode& node, int32_t degree, const std::vector<double>& c)
{
    node.degree = degree;
    for (int k = 0; k < 3; ++k) node.polyCoef[k] = c[static_cast<size_t>(k)];
}

// Pushes a decomposition, commits the decomposed series and hands back its fit.
void Commit(UnivariateProject& project, TransformNode&& node, std::vector<double>& x, std::vector<double>& removed,
            std::vector<double>& fit)
{
    PushAndReplace(project, std::move(node), x);
    fit = std::move(removed);
}

}  // namespace

// ---- Difference

void Undifference(const std::vector<double>& removed, const std::vector<double>& y, std::vector<double>& x)
{
    const size_t h = removed.size();
    x = removed;
    x.resize(h + y.size());
    for (size_t t = h; t < x.size(); ++t) x[t] = RebuiltNext(y[t - h], x[t - h]);
}

std::string DifferenceLagMessage(int32_t n, int32_t h)
{
    if (h < 1) return "Lag must be positive";
    if (!LagFits(n, h)) return "Lag too large for data set.";
    return "";
}

std::string ReadDifferenceLag(int32_t n, const std::string& text, int32_t& h)
{
    double lag = 0.0;
    const std::string refusal = ReadFieldEntry("Lag", text, EntryKind::Integer, lag);
    if (!refusal.empty()) return refusal;
    const std::string message = DifferenceLagMessage(n, static_cast<int32_t>(lag));
    if (message.empty()) h = static_cast<int32_t>(lag);
    return message;
}

int32_t ApplyDifference(UnivariateProject& project, int32_t h, const char** why)
{
    if (!HasSeries(project) || !LagFits(project.n, h)) return Refuse(why, kTransformRangeMessage);
    const std::vector<double>& x = project.series;
    std::vector<double> y = DifferencesAgainstRebuilt(x, static_cast<size_t>(h));
    if (!AllFinite(y)) return Refuse(why, kTransformRangeMessage);
    TransformNode node = NewNode(TRANSFORM_DIFFERENCE);
    node.lag = h;
    node.removed.assign(x.begin(), x.begin() + h);
    if (!RoundTripHolds(project, node, y, static_cast<int64_t>(project.firstIndex) + h, project.lastIndex))
        return Refuse(why, kTransformLossMessage);
    PushAndReplace(project, std::move(node), y);
    project.firstIndex += h;
    return 1;
}

int32_t UndoDifference(UnivariateProject& project) { return UndoNewest(project, TRANSFORM_DIFFERENCE); }

// ---- Box-Cox

int32_t BoxCoxSign(const std::vector<double>& series)
{
    int32_t sign = BOXCOX_POSITIVE;
    for (double x : series) {
        if (x < 0) return BOXCOX_NEGATIVES;
        if (x == 0) sign = BOXCOX_ZEROS;
    }
    return sign;
}

double BoxCoxInverse(double y, double lambda)
{
    if (lambda < kBoxCoxLogLimit) return std::exp(y);
    const double base = lambda * y + 1.0;
    return std::pow(base < 0.0 ? 0.0 : base, 1.0 / lambda);
}

namespace {

// Whether y could be the Box-Cox transform of values >= 0, which is never below -1/lambda (the
// logarithm has no such bound): lambda y + 1 >= 0 to within what the round trips of later
// transforms leave, taken as 1e-6 (a hundred times kRoundTripTolerance) of lambda times the
// largest |y|. BoxCoxInverse takes a base below 0 as 0, which for values further down would make
// zeros of what the transform never gave.
bool BoxCoxImageSound(const std::vector<double>& y, double lambda)
{
    if (lambda < kBoxCoxLogLimit) return true;
    double largest = 0.0;
    for (double v : y) largest = std::max(largest, std::fabs(v));
    const double slack = 1e-6 * lambda * largest;
    for (double v : y)
        if (lambda * v + 1.0 < -slack) return false;
    return true;
}

}  // namespace

std::string BoxCoxLambdaMessage(bool zeroAllowed, double lambda)
{
    if (zeroAllowed) {
        if (lambda >= 0.0 && lambda <= 1.5) return "";
        return "Box-Cox parameter must be in [0.0, 1.5]";
    }
    // Below 1e-7 the transform is the logarithm, which a zero cannot take.
    if (lambda >= kBoxCoxLogLimit && lambda <= 1.5) return "";
    return "Box-Cox parameter must be in (0.0, 1.5]";
}

std::string ReadBoxCoxEntry(bool zeroAllowed, const std::string& text, double& lambda)
{
    double value = 0.0;
    const EntryFault fault = ReadEntryNumber(text, EntryKind::Real, value);
    if (fault == EntryFault::Blank) return "";
    if (fault != EntryFault::None) return EntryRefusal("Box-Cox parameter", text, fault);
    const std::string message = BoxCoxLambdaMessage(zeroAllowed, value);
    if (message.empty()) lambda = value;
    return message;
}

int32_t BoxCoxPosition(double lambda) { return static_cast<int32_t>(std::floor(10.0 * lambda + 0.5)); }

int32_t ApplyBoxCox(UnivariateProject& project, double lambda, const char** why)
{
    if (!HasSeries(project) || !BoxCoxLambdaMessage(true, lambda).empty() ||
        BoxCoxSign(project.series) == BOXCOX_NEGATIVES)
        return Refuse(why, kTransformRangeMessage);
    std::vector<double> y(project.series);
    for (double& x : y) x = lambda < kBoxCoxLogLimit ? std::log(x) : (std::pow(x, lambda) - 1.0) / lambda;
    if (!AllFinite(y)) return Refuse(why, kTransformRangeMessage);
    TransformNode node = NewNode(TRANSFORM_BOX_COX);
    node.lambda = lambda;
    if (!RoundTripHolds(project, node, y, project.firstIndex, project.lastIndex))
        return Refuse(why, kTransformLossMessage);
    PushAndReplace(project, std::move(node), y);
    return 1;
}

int32_t UndoBoxCox(UnivariateProject& project) { return UndoNewest(project, TRANSFORM_BOX_COX); }

// ---- Classical decomposition

ClassicalChoice CheckClassicalEntries(const ClassicalEntries& entries, int32_t n)
{
    ClassicalChoice choice;
    choice.degree = entries.polynomial ? (entries.quadratic ? 2 : 1) : 0;
    const auto refuse = [&](std::string message, int32_t control) {
        choice.kind = -1;
        choice.message = std::move(message);
        choice.focusControl = control;
        return choice;
    };
    if (entries.seasonal) {
        double d = 0;
        const std::string refusal = ReadFieldEntry("Period", entries.period, EntryKind::Whole, d);
        if (!refusal.empty()) return refuse(refusal, IDC_CLASSICAL_PERIOD);
        if (d < 2 || d > n / 3) return refuse("Period must be in: (2," + Int(n / 3) + "]", IDC_CLASSICAL_PERIOD);
        choice.kind = TRANSFORM_CLASSICAL;
        choice.period = static_cast<int32_t>(d);
    } else if (entries.harmonic) {
        double harmonics = 0;
        const std::string refusal = ReadFieldEntry("Number of harmonics", entries.harmonics, EntryKind::Whole, harmonics);
        if (!refusal.empty()) return refuse(refusal, IDC_CLASSICAL_HARMONICS);
        // Only four harmonics can be stored: a count outside 1..4 ends the check here.
        if (harmonics < 1 || harmonics > 4) return refuse("Number of harmonics must be in [1, 4]", IDC_CLASSICAL_HARMONICS);
        const int32_t k = static_cast<int32_t>(harmonics);
        for (int32_t i = 0; i < 4; ++i) {
            int32_t j = 0;
            if (!ParseDialogInteger(entries.index[i], j)) j = 0;
            choice.fourierIndex[i] = j;
        }
        for (int32_t i = 0; i < k; ++i) {
            double typed = 0;
            const std::string why = ReadFieldEntry("Index(" + Int(i + 1) + ")", entries.index[i], EntryKind::Whole, typed);
            if (!why.empty()) return refuse(why, IDC_CLASSICAL_INDEX_1);
            const int32_t j = choice.fourierIndex[i];
            if (j < 1 || j >= n / 2)
                return refuse("Index(" + Int(i + 1) + ") must be in (1, " + Int(n / 2) + ")", IDC_CLASSICAL_INDEX_1);
        }
        choice.kind = TRANSFORM_HARMONIC;
        choice.harmonics = k;
    } else if (choice.degree >= 1) {
        choice.kind = TRANSFORM_CLASSICAL;
        choice.period = -1;
    }
    // The least-squares trend needs more observations than its degree.
    if (choice.kind > 0 && !TrendFits(choice.degree, n))
        return refuse(std::string("The series is too short for a ") + (choice.degree == 2 ? "quadratic" : "linear") +
                          " trend",
                      IDC_CLASSICAL_POLYNOMIAL);
    return choice;
}

int32_t ApplyClassicalSeasonal(UnivariateProject& project, int32_t d, std::vector<double>& fit, int32_t degree,
                               const char** why)
{
    if (!HasSeries(project) || !SeasonalFits(d, degree, project.n)) return Refuse(why, kTransformRangeMessage);
    const int32_t n = project.n;
    std::vector<double> x(project.series);
    std::vector<double> removed(static_cast<size_t>(n), 0.0);
    std::vector<double> seasonal;
    if (d > 0 && ClassicalDecomposition(x, removed, seasonal, d) != kStatusDone)
        return Refuse(why, kTransformRangeMessage);
    std::vector<double> c;
    if (!RemoveTrend(x, removed, degree, c)) return Refuse(why, kTransformRangeMessage);
    TransformNode node = NewNode(TRANSFORM_CLASSICAL);
    node.period = d;
    node.seasonal = std::move(seasonal);
    SetTrend(node, degree, c);
    if (!RoundTripHolds(project, node, x, project.firstIndex, project.lastIndex))
        return Refuse(why, kTransformLossMessage);
    Commit(project, std::move(node), x, removed, fit);
    return 1;
}

int32_t UndoClassicalSeasonal(UnivariateProject& project) { return UndoNewest(project, TRANSFORM_CLASSICAL); }

int32_t ApplyClassicalHarmonic(UnivariateProject& project, std::vector<double>& fit, int32_t k,
                               const int32_t indices[4], int32_t degree, const char** why)
{
    if (!HasSeries(project) || !HarmonicsFit(k, indices, degree, project.n)) return Refuse(why, kTransformRangeMessage);
    std::vector<int> f(indices, indices + k);
    std::vector<double> x(project.series);
    std::vector<double> removed, a, b;
    double level = 0.0;
    if (HarmonicRegression(x, removed, a, b, k, level, f) != kStatusDone) return Refuse(why, kTransformRangeMessage);
    std::vector<double> c;
    if (!RemoveTrend(x, removed, degree, c)) return Refuse(why, kTransformRangeMessage);
    TransformNode node = NewNode(TRANSFORM_HARMONIC);
    node.harmonics = k;
    for (int32_t i = 0; i < k; ++i) {
        node.fourierIndex[i] = indices[i];
        node.cosCoef[i] = a[static_cast<size_t>(i)];
        node.sinCoef[i] = b[static_cast<size_t>(i)];
    }
    node.level = level;
    SetTrend(node, degree, c);
    if (!RoundTripHolds(project, node, x, project.firstIndex, project.lastIndex))
        return Refuse(why, kTransformLossMessage);
    Commit(project, std::move(node), x, removed, fit);
    return 1;
}

int32_t UndoClassicalHarmonic(UnivariateProject& project) { return UndoNewest(project, TRANSFORM_HARMONIC); }

int32_t ApplyClassicalChoice(UnivariateProject& project, const ClassicalChoice& choice, std::vector<double>& fit,
                             const char** why)
{
    if (choice.kind == TRANSFORM_CLASSICAL)
        return ApplyClassicalSeasonal(project, choice.period, fit, choice.degree, why);
    if (choice.kind == TRANSFORM_HARMONIC)
        return ApplyClassicalHarmonic(project, fit, choice.harmonics, choice.fourierIndex, choice.degree, why);
    return Refuse(why, kTransformRangeMessage);
}

int32_t ClassicalFitOfStack(const UnivariateProject& project, ClassicalFit& out)
{
    UnivariateProject copy;
    VeskInit(copy);
    VeskCopy(project, copy);
    ClassicalChoice found;
    while (copy.transforms && found.kind == 0) {
        const TransformNode& top = *copy.transforms;
        int32_t undone = 0;
        switch (top.kind) {
        case TRANSFORM_DIFFERENCE: undone = UndoDifference(copy); break;
        case TRANSFORM_BOX_COX: undone = UndoBoxCox(copy); break;
        case TRANSFORM_SUBTRACT_MEAN: undone = UndoSubtractMean(copy); break;
        case TRANSFORM_SUBSEQUENCE: undone = UndoSubsequence(copy); break;
        case TRANSFORM_CLASSICAL:
            found.kind = TRANSFORM_CLASSICAL;
            found.period = top.period;
            found.degree = top.degree;
            undone = UndoClassicalSeasonal(copy);
            break;
        case TRANSFORM_HARMONIC:
            found.kind = TRANSFORM_HARMONIC;
            found.harmonics = top.harmonics;
            for (int i = 0; i < 4; ++i) found.fourierIndex[i] = top.fourierIndex[i];
            found.degree = top.degree;
            undone = UndoClassicalHarmonic(copy);
            break;
        default:
            break;
        }
        if (!undone) return 0;
    }
    if (found.kind == 0) return 0;
    ClassicalFit fitted;
    fitted.data = copy.series;
    fitted.firstIndex = copy.firstIndex;
    fitted.lastIndex = copy.lastIndex;
    if (!ApplyClassicalChoice(copy, found, fitted.fit)) return 0;
    out = std::move(fitted);
    return 1;
}

// ---- Subtract mean

int32_t ApplySubtractMean(UnivariateProject& project, const char** why)
{
    if (!HasSeries(project)) return Refuse(why, kTransformRangeMessage);
    const double mean = SeriesMean(project.series.data(), project.n);
    std::vector<double> x(project.series);
    for (double& v : x) v -= mean;
    if (!std::isfinite(mean) || !AllFinite(x)) return Refuse(why, kTransformRangeMessage);
    TransformNode node = NewNode(TRANSFORM_SUBTRACT_MEAN);
    node.mean = mean;
    if (!RoundTripHolds(project, node, x, project.firstIndex, project.lastIndex))
        return Refuse(why, kTransformLossMessage);
    PushAndReplace(project, std::move(node), x);
    return 1;
}

int32_t UndoSubtractMean(UnivariateProject& project) { return UndoNewest(project, TRANSFORM_SUBTRACT_MEAN); }

// ---- Subsequence

std::string SubsequenceMessage(int32_t firstIndex, int32_t lastIndex)
{
    return "Select a subsequence in [" + Int(firstIndex) + "," + Int(lastIndex) + "]";
}

int32_t ApplySubsequence(UnivariateProject& project, int32_t a, int32_t b)
{
    if (!HasSeries(project) || a < project.firstIndex || a >= b || b > project.lastIndex) return 0;
    const std::vector<double>& x = project.series;
    const size_t from = static_cast<size_t>(a - project.firstIndex);
    const size_t to = static_cast<size_t>(b - project.firstIndex) + 1;
    std::vector<double> kept(x.begin() + static_cast<std::ptrdiff_t>(from), x.begin() + static_cast<std::ptrdiff_t>(to));
    TransformNode node = NewNode(TRANSFORM_SUBSEQUENCE);
    node.first = project.firstIndex;
    node.last = project.lastIndex;
    node.head.assign(x.begin(), x.begin() + static_cast<std::ptrdiff_t>(from));
    node.tail.assign(x.begin() + static_cast<std::ptrdiff_t>(to), x.end());
    PushAndReplace(project, std::move(node), kept);
    project.firstIndex = a;
    project.lastIndex = b;
    return 1;
}

int32_t UndoSubsequence(UnivariateProject& project) { return UndoNewest(project, TRANSFORM_SUBSEQUENCE); }

// ---- Undo of the newest transform

int32_t UndoNewestTransform(UnivariateProject& project)
{
    if (!project.transforms) return 0;
    switch (project.transforms->kind) {
    case TRANSFORM_DIFFERENCE: return UndoDifference(project);
    case TRANSFORM_BOX_COX: return UndoBoxCox(project);
    case TRANSFORM_CLASSICAL:
    case TRANSFORM_HARMONIC: {
        const int32_t undone = project.transforms->kind == TRANSFORM_CLASSICAL ? UndoClassicalSeasonal(project)
                                                                               : UndoClassicalHarmonic(project);
        if (undone && UnivariateWindows.destroyPlotWindow) UnivariateWindows.destroyPlotWindow(project.views[VIEW_FIT]);
        return undone;
    }
    case TRANSFORM_SUBTRACT_MEAN: return UndoSubtractMean(project);
    case TRANSFORM_SUBSEQUENCE: return UndoSubsequence(project);
    default: return 0;
    }
}

// ---- The whole stack of a project file

namespace {

constexpr const char* kLagFault = "a difference has a lag outside 1..n-2, n the length it was taken of";
constexpr const char* kPeriodFault = "a decomposition has a period outside 2..n/3 (or -1 with a trend), n its length";
constexpr const char* kFourierIndexFault = "a harmonic regression has a Fourier index outside 1..n/2-1, n its length";
constexpr const char* kTrendLengthFault = "a trend has a degree of n or more, n the length it was fitted to";

}  // namespace

const char* NodeOutsideDialogs(const TransformNode& node)
{
    switch (node.kind) {
    case TRANSFORM_DIFFERENCE:
        return node.lag >= 1 ? nullptr : kLagFault;
    case TRANSFORM_BOX_COX:
        return BoxCoxLambdaMessage(true, node.lambda).empty() ? nullptr : "a Box-Cox parameter is outside 0..1.5";
    case TRANSFORM_CLASSICAL:
        if (node.degree < 0 || node.degree > 2) return "a decomposition has a trend degree outside 0..2";
        return node.period >= 2 || (node.period == -1 && node.degree != 0) ? nullptr : kPeriodFault;
    case TRANSFORM_HARMONIC:
        if (node.degree < 0 || node.degree > 2) return "a harmonic regression has a trend degree outside 0..2";
        if (node.harmonics < 1 || node.harmonics > 4) return "a harmonic regression has a harmonic count outside 1..4";
        for (int32_t i = 0; i < node.harmonics; ++i)
            if (node.fourierIndex[i] < 1) return kFourierIndexFault;
        return nullptr;
    case TRANSFORM_SUBTRACT_MEAN:
    case TRANSFORM_SUBSEQUENCE:
        return nullptr;
    default:
        return kUnknownTransformKind;
    }
}

const char* NodeOutsideDialogs(const TransformNode& node, int64_t n)
{
    if (const char* fault = NodeOutsideDialogs(node)) return fault;
    switch (node.kind) {
    case TRANSFORM_DIFFERENCE:
        return LagFits(n, node.lag) ? nullptr : kLagFault;
    case TRANSFORM_CLASSICAL:
        if (!TrendFits(node.degree, n)) return kTrendLengthFault;
        return SeasonalFits(node.period, node.degree, n) ? nullptr : kPeriodFault;
    case TRANSFORM_HARMONIC:
        if (!TrendFits(node.degree, n)) return kTrendLengthFault;
        return HarmonicsFit(node.harmonics, node.fourierIndex, node.degree, n) ? nullptr : kFourierIndexFault;
    case TRANSFORM_SUBSEQUENCE:
        return n - static_cast<int64_t>(node.head.size()) - static_cast<int64_t>(node.tail.size()) >= 2
                   ? nullptr
                   : "a subsequence keeps fewer than 2 values";
    default:
        return n >= 1 ? nullptr : "a transform was applied to no values";
    }
}

namespace {

// NodeOutsideDialogs on the length of the series the node was applied to, and whether the values
// it left could have come from its transform.
const char* NodeOutsideTransform(const TransformNode& node, const std::vector<double>& after, int64_t n)
{
    if (const char* fault = NodeOutsideDialogs(node, n)) return fault;
    if (node.kind == TRANSFORM_BOX_COX && !BoxCoxImageSound(after, node.lambda))
        return "a Box-Cox transform holds a value below -1/lambda, which it never gives";
    return nullptr;
}

// Why a series could not run from index `first` to `last` as loaded, or nullptr when it can:
// every series is loaded at index 1 and ends at kMaxLastSeriesIndex at most.
const char* SeriesRangeFault(int64_t first, int64_t last)
{
    static_assert(kMaxLastSeriesIndex == 2147383647 && kMaxForecastSteps == 100000, "the messages name the limits");
    if (last > kMaxLastSeriesIndex)
        return "its last index, with the transforms undone, is above 2147383647: the indices of 100000 forecasts "
               "after it would not fit";
    if (first != kFirstSeriesIndex) return "its first index, with the transforms undone, is not 1";
    return nullptr;
}

}  // namespace

const char* UndoWholeStack(const std::vector<const TransformNode*>& newestFirst, std::vector<double>& values,
                           int64_t first, int64_t last)
{
    if (const char* fault = UndoNodes(newestFirst, values, first, last, NodeOutsideTransform)) return fault;
    return SeriesRangeFault(first, last);
}
