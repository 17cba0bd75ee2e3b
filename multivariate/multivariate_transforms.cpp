#include "multivariate/multivariate_transforms.h"

#include <cmath>
#include <cstddef>
#include <vector>

const char* const kMvDifferenceCaption = "KELO::Error";
const char* const kMvTrimCaption = "KELO::MultiVar Error";
const char* const kMvRangeMessage = "The transformed values would be out of range";

namespace {

size_t Count(int32_t columns, int32_t m) { return static_cast<size_t>(columns) * static_cast<size_t>(m); }

// Only a table that agrees with its counts and index range can be transformed.
bool HasTable(const MultivariateProject& project)
{
    const MultivariateData* data = project.data;
    return data && data->n >= 1 && data->m >= 1 && data->values.size() == Count(data->n, data->m) &&
           data->lastIndex - data->firstIndex + 1 == data->n;
}

bool AllFinite(const std::vector<double>& values)
{
    for (double v : values)
        if (!std::isfinite(v)) return false;
    return true;
}

MultivariateTransformNode& PushNode(MultivariateProject& project, int32_t kind)
{
    auto* node = new MultivariateTransformNode;
    InitMvTransformNode(*node);
    node->kind = kind;
    node->next = project.transforms;
    project.transforms = node;
    return *node;
}

void PopNode(MultivariateProject& project)
{
    MultivariateTransformNode* top = project.transforms;
    project.transforms = top->next;
    FreeMvTransformNode(top);
}

const MultivariateTransformNode* Newest(const MultivariateProject& project, int32_t kind)
{
    const MultivariateTransformNode* top = project.transforms;
    return top && top->kind == kind && HasTable(project) ? top : nullptr;
}

// Installs a new table of n columns; the model no longer belongs to the data.
void Replace(MultivariateProject& project, std::vector<double>& table, int32_t n)
{
    project.data->values.swap(table);
    project.data->n = n;
    if (project.model) project.model->fitted = 0;
}

}  // namespace

std::string MvDifferenceLagMessage(int32_t n, int32_t h)
{
    if (h < 1) return "Lag must be positive";
    if (h > n - 2) return "Lag too large for data set.";
    return "";
}

int32_t MvDifference(MultivariateProject& project, int32_t h)
{
    if (!HasTable(project) || !MvDifferenceLagMessage(project.data->n, h).empty()) return 0;
    MultivariateData& data = *project.data;
    const int32_t m = data.m, n = data.n;
    std::vector<double> table(Count(n - h, m));
    for (size_t k = 0; k < table.size(); ++k) table[k] = data.values[k + Count(h, m)] - data.values[k];
    if (!AllFinite(table)) return 0;
    std::vector<double> removed(data.values.begin(), data.values.begin() + static_cast<std::ptrdiff_t>(Count(h, m)));
    MultivariateTransformNode& node = PushNode(project, MV_TRANSFORM_DIFFERENCE);
    node.lag = h;
    node.removed.swap(removed);
    Replace(project, table, n - h);
    data.firstIndex += h;
    return 1;
}

int32_t MvUndoDifference(MultivariateProject& project)
{
    const MultivariateTransformNode* node = Newest(project, MV_TRANSFORM_DIFFERENCE);
    if (!node) return 0;
    MultivariateData& data = *project.data;
    const int32_t m = data.m, h = node->lag;
    if (h < 1 || node->removed.size() != Count(h, m)) return 0;
    const int32_t n = data.n + h;
    std::vector<double> table(node->removed);
    table.resize(Count(n, m));
    // Column t is column t - h of the differences plus column t - h already rebuilt.
    for (size_t k = Count(h, m); k < table.size(); ++k) table[k] = data.values[k - Count(h, m)] + table[k - Count(h, m)];
    if (!AllFinite(table)) return 0;
    Replace(project, table, n);
    data.firstIndex -= h;
    PopNode(project);
    return 1;
}

int32_t MvSubtractMeans(MultivariateProject& project)
{
    if (!HasTable(project)) return 0;
    MultivariateData& data = *project.data;
    const int32_t m = data.m, n = data.n;
    std::vector<double> means(static_cast<size_t>(m), 0.0);
    for (int32_t j = 1; j <= m; ++j) {
        double sum = 0.0;
        for (int32_t t = 1; t <= n; ++t) sum += data.at(j, t);
        means[static_cast<size_t>(j - 1)] = sum / n;
    }
    std::vector<double> table(data.values);
    for (size_t k = 0; k < table.size(); ++k) table[k] -= means[k % static_cast<size_t>(m)];
    if (!AllFinite(means) || !AllFinite(table)) return 0;
    MultivariateTransformNode& node = PushNode(project, MV_TRANSFORM_SUBTRACT_MEANS);
    node.means.swap(means);
    Replace(project, table, n);
    return 1;
}

int32_t MvUndoSubtractMeans(MultivariateProject& project)
{
    const MultivariateTransformNode* node = Newest(project, MV_TRANSFORM_SUBTRACT_MEANS);
    if (!node) return 0;
    MultivariateData& data = *project.data;
    const size_t m = static_cast<size_t>(data.m);
    if (node->means.size() != m) return 0;
    std::vector<double> table(data.values);
    for (size_t k = 0; k < table.size(); ++k) table[k] += node->means[k % m];
    if (!AllFinite(table)) return 0;
    Replace(project, table, data.n);
    PopNode(project);
    return 1;
}

std::string MvTrimMessage(int32_t firstIndex, int32_t lastIndex)
{
    return "Select a subsequence in [" + IntText(firstIndex) + "," + IntText(lastIndex) + "]";
}

int32_t MvTrim(MultivariateProject& project, int32_t a, int32_t b)
{
    if (!HasTable(project)) return 0;
    MultivariateData& data = *project.data;
    if (a < data.firstIndex || a >= b || b > data.lastIndex) return 0;
    const int32_t m = data.m;
    const auto column = [&](int32_t index) {
        return data.values.begin() + static_cast<std::ptrdiff_t>(Count(index - data.firstIndex, m));
    };
    std::vector<double> head(column(data.firstIndex), column(a));
    std::vector<double> table(column(a), column(b + 1));
    std::vector<double> tail(column(b + 1), data.values.end());
    MultivariateTransformNode& node = PushNode(project, MV_TRANSFORM_TRIM);
    node.oldFirst = data.firstIndex;
    node.oldLast = data.lastIndex;
    node.head.swap(head);
    node.tail.swap(tail);
    Replace(project, table, b - a + 1);
    data.firstIndex = a;
    data.lastIndex = b;
    return 1;
}

int32_t MvUndoTrim(MultivariateProject& project)
{
    const MultivariateTransformNode* node = Newest(project, MV_TRANSFORM_TRIM);
    if (!node) return 0;
    MultivariateData& data = *project.data;
    const int32_t m = data.m, a = data.firstIndex, b = data.lastIndex;
    if (node->oldFirst > a || node->oldLast < b || node->head.size() != Count(a - node->oldFirst, m) ||
        node->tail.size() != Count(node->oldLast - b, m))
        return 0;
    std::vector<double> table;
    table.reserve(node->head.size() + data.values.size() + node->tail.size());
    table.insert(table.end(), node->head.begin(), node->head.end());
    table.insert(table.end(), data.values.begin(), data.values.end());
    table.insert(table.end(), node->tail.begin(), node->tail.end());
    Replace(project, table, node->oldLast - node->oldFirst + 1);
    data.firstIndex = node->oldFirst;
    data.lastIndex = node->oldLast;
    PopNode(project);
    return 1;
}

int32_t MvUndoNewest(MultivariateProject& project)
{
    if (!project.transforms) return 0;
    switch (project.transforms->kind) {
    case MV_TRANSFORM_DIFFERENCE:
        return MvUndoDifference(project);
    case MV_TRANSFORM_SUBTRACT_MEANS:
        return MvUndoSubtractMeans(project);
    case MV_TRANSFORM_TRIM:
        return MvUndoTrim(project);
    default:
        return 0;
    }
}

MvUndoItem MvUndoMenuItem(const MultivariateProject& project)
{
    const MultivariateTransformNode* top = project.transforms;
    if (!top) return {"Undo", false};
    switch (top->kind) {
    case MV_TRANSFORM_DIFFERENCE:
        return {"Undo Differencing (" + IntText(top->lag) + ")", true};
    case MV_TRANSFORM_SUBTRACT_MEANS:
        return {"Undo Subtract Mean", true};
    case MV_TRANSFORM_TRIM:
        return {"Undo Trimming", true};
    default:
        return {"Undo", true};
    }
}
