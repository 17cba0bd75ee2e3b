#include "univariate/transform_menu.h"

#include <cstdint>

#include "resources/resource.h"
#include "shell/number_format.h"

namespace {

constexpr size_t kTransformTextLength = 256;

std::string Trimmed(std::string text)
{
    text.erase(text.find_last_not_of(' ') + 1);
    return text;
}

// The item enabled or grayed state of each command the Transform menu rules touch.
struct ItemStates {
    bool boxCox = true, classical = true, subtractMean = true, difference = true, subsequence = true;
    bool showClassicalFit = false, undo = false;
    bool regressionSpecify = true, leastSquares = false, generalizedLs = false, remove = false, showFit = false;
};

const char* NameOf(int32_t kind)
{
    switch (kind) {
    case TRANSFORM_DIFFERENCE: return "Difference";
    case TRANSFORM_BOX_COX: return "Box-Cox";
    case TRANSFORM_CLASSICAL:
    case TRANSFORM_HARMONIC: return "Classical";
    case TRANSFORM_SUBTRACT_MEAN: return "Subtract Mean";
    case TRANSFORM_SUBSEQUENCE: return "Subsequence";
    default: return nullptr;
    }
}

std::string UndoTextOf(const TransformNode& node)
{
    switch (node.kind) {
    case TRANSFORM_DIFFERENCE: return "Undo Differencing(" + Trimmed(FormatInt(node.lag)) + ")";
    case TRANSFORM_BOX_COX: return "Undo Box-Cox(" + SignificantText(node.lambda, 3) + ")";
    case TRANSFORM_CLASSICAL:
    case TRANSFORM_HARMONIC: return "Undo Classical";
    case TRANSFORM_SUBTRACT_MEAN: return "Undo Subtract Mean";
    case TRANSFORM_SUBSEQUENCE: return "Undo Trimming";
    default: return "Undo";
    }
}

// What a node on the stack rules out (cumulative over the stack).
void GrayAfter(int32_t kind, ItemStates& s)
{
    switch (kind) {
    case TRANSFORM_DIFFERENCE:
        s.boxCox = s.classical = false;
        break;
    case TRANSFORM_BOX_COX:
        s.boxCox = false;
        break;
    case TRANSFORM_CLASSICAL:
    case TRANSFORM_HARMONIC:
        s.boxCox = s.classical = s.difference = false;
        s.showClassicalFit = true;
        break;
    case TRANSFORM_SUBTRACT_MEAN:
        s.boxCox = s.classical = s.subtractMean = s.difference = false;
        break;
    case TRANSFORM_SUBSEQUENCE:
        s.boxCox = s.classical = s.subtractMean = s.difference = s.subsequence = false;
        break;
    default:
        break;
    }
}

// Whether the menu offers a transform of `kind` in state `s`.
bool Offered(int32_t kind, const ItemStates& s)
{
    switch (kind) {
    case TRANSFORM_DIFFERENCE: return s.difference;
    case TRANSFORM_BOX_COX: return s.boxCox;
    case TRANSFORM_CLASSICAL:
    case TRANSFORM_HARMONIC: return s.classical;
    case TRANSFORM_SUBTRACT_MEAN: return s.subtractMean;
    case TRANSFORM_SUBSEQUENCE: return s.subsequence;
    default: return false;
    }
}

}  // namespace

bool TransformOrderBuildable(const std::vector<int32_t>& kinds)
{
    ItemStates s;
    bool meanTaken = false;
    for (int32_t kind : kinds) {
        // The estimation commands subtract the mean on any stack that has none yet.
        const bool offered = Offered(kind, s) || (kind == TRANSFORM_SUBTRACT_MEAN && !meanTaken);
        if (!offered) return false;
        meanTaken = meanTaken || kind == TRANSFORM_SUBTRACT_MEAN;
        GrayAfter(kind, s);
    }
    return true;
}

TransformMenuState ComputeTransformMenu(const UnivariateProject& project)
{
    TransformMenuState state;
    ItemStates s;
    if (!project.transforms) {
        state.undoText = "Undo";
        state.description = "None";
    } else {
        s.undo = true;
        state.undoText = UndoTextOf(*project.transforms);
        std::vector<const char*> names;  // newest first
        for (const TransformNode* node = project.transforms; node; node = node->next) {
            GrayAfter(node->kind, s);
            if (const char* name = NameOf(node->kind)) names.push_back(name);
        }
        // Oldest first; only the first 256 characters are kept.
        for (auto name = names.rbegin(); name != names.rend() && state.description.size() <= kTransformTextLength;
             ++name) {
            if (!state.description.empty()) state.description += "->";
            state.description += *name;
        }
        if (state.description.size() > kTransformTextLength) state.description.resize(kTransformTextLength);
    }
    if (project.regressionPresent > 0)
        s.boxCox = s.classical = s.subtractMean = s.difference = s.subsequence = false;
    if (project.regressionSpecified != 0) {
        s.regressionSpecify = false;
        s.leastSquares = s.generalizedLs = true;
        if (project.regressionPresent > 0) s.remove = s.showFit = true;
    }
    const std::pair<uint32_t, bool> items[] = {
        {IDM_BOX_COX, s.boxCox},
        {IDM_CLASSICAL, s.classical},
        {IDM_SUBTRACT_MEAN, s.subtractMean},
        {IDM_DIFFERENCE, s.difference},
        {IDM_SUBSEQUENCE, s.subsequence},
        {IDM_SHOW_CLASSICAL_FIT, s.showClassicalFit},
        {IDM_UNDO, s.undo},
        {IDM_REGRESSION_SPECIFY, s.regressionSpecify},
        {IDM_REGRESSION_LS, s.leastSquares},
        {IDM_REGRESSION_GLS, s.generalizedLs},
        {IDM_REGRESSION_REMOVE, s.remove},
        {IDM_REGRESSION_SHOW_FIT, s.showFit},
    };
    for (const auto& [id, enabled] : items) state.changes.push_back({MenuChange::COMMAND, id, "", "", enabled});
    return state;
}

std::string PaddedTransformText(const std::string& description)
{
    std::string text = description.substr(0, kTransformTextLength);
    text.resize(kTransformTextLength, ' ');
    return text;
}

bool TransformItemEnabled(const TransformMenuState& state, uint32_t command)
{
    for (const MenuChange& change : state.changes)
        if (change.target == MenuChange::COMMAND && change.command == command) return change.enabled;
    return false;
}
