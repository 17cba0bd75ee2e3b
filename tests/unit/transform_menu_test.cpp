#include "univariate/transform_menu.h"

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "resources/resource.h"

namespace {

void Push(UnivariateProject& u, int32_t kind, int32_t lag = 1, double lambda = 1.0)
{
    auto* node = new TransformNode;
    node->kind = kind;
    node->lag = lag;
    node->lambda = lambda;
    node->next = u.transforms;
    u.transforms = node;
}

}  // namespace

// From the stack and the regression to the enabled items, the Undo text and the description.
TEST(TransformMenu, StatesOfTheStack)
{
    struct Node { int32_t kind; int32_t lag; double lambda; };
    struct Case {
        const char* name;
        std::vector<Node> oldestFirst;
        int32_t regressionSpecified, regressionPresent;
        const char* undoText;
        const char* description;
        std::vector<uint32_t> enabled;
        std::vector<uint32_t> grayed;
    };
    const uint32_t kTransforms[] = {IDM_BOX_COX, IDM_CLASSICAL, IDM_SUBTRACT_MEAN, IDM_DIFFERENCE, IDM_SUBSEQUENCE};
    const Case cases[] = {
        {"new project", {}, 0, 0, "Undo", "None",
         {IDM_BOX_COX, IDM_CLASSICAL, IDM_SUBTRACT_MEAN, IDM_DIFFERENCE, IDM_SUBSEQUENCE, IDM_REGRESSION_SPECIFY},
         {IDM_UNDO, IDM_SHOW_CLASSICAL_FIT, IDM_REGRESSION_LS, IDM_REGRESSION_GLS, IDM_REGRESSION_REMOVE,
          IDM_REGRESSION_SHOW_FIT}},
        {"difference 12", {{TRANSFORM_DIFFERENCE, 12, 1}}, 0, 0, "Undo Differencing(12)", "Difference",
         {IDM_UNDO, IDM_SUBTRACT_MEAN, IDM_DIFFERENCE, IDM_SUBSEQUENCE}, {IDM_BOX_COX, IDM_CLASSICAL, IDM_SHOW_CLASSICAL_FIT}},
        {"Box-Cox 0.5", {{TRANSFORM_BOX_COX, 1, 0.5}}, 0, 0, "Undo Box-Cox(0.500)", "Box-Cox",
         {IDM_UNDO, IDM_CLASSICAL, IDM_SUBTRACT_MEAN, IDM_DIFFERENCE, IDM_SUBSEQUENCE}, {IDM_BOX_COX}},
        {"Box-Cox 0", {{TRANSFORM_BOX_COX, 1, 0.0}}, 0, 0, "Undo Box-Cox(0.00)", "Box-Cox", {IDM_UNDO}, {IDM_BOX_COX}},
        {"Box-Cox, Difference, Subtract Mean",
         {{TRANSFORM_BOX_COX, 1, 0.0}, {TRANSFORM_DIFFERENCE, 12, 1}, {TRANSFORM_SUBTRACT_MEAN, 1, 1}}, 0, 0,
         "Undo Subtract Mean", "Box-Cox->Difference->Subtract Mean", {IDM_UNDO, IDM_SUBSEQUENCE},
         {IDM_BOX_COX, IDM_CLASSICAL, IDM_SUBTRACT_MEAN, IDM_DIFFERENCE, IDM_SHOW_CLASSICAL_FIT}},
        {"classical", {{TRANSFORM_CLASSICAL, 1, 1}}, 0, 0, "Undo Classical", "Classical",
         {IDM_UNDO, IDM_SHOW_CLASSICAL_FIT, IDM_SUBTRACT_MEAN, IDM_SUBSEQUENCE},
         {IDM_BOX_COX, IDM_CLASSICAL, IDM_DIFFERENCE}},
        {"harmonic then subtract mean", {{TRANSFORM_HARMONIC, 1, 1}, {TRANSFORM_SUBTRACT_MEAN, 1, 1}}, 0, 0,
         "Undo Subtract Mean", "Classical->Subtract Mean", {IDM_UNDO, IDM_SHOW_CLASSICAL_FIT, IDM_SUBSEQUENCE},
         {IDM_BOX_COX, IDM_CLASSICAL, IDM_DIFFERENCE, IDM_SUBTRACT_MEAN}},
        {"subsequence", {{TRANSFORM_SUBSEQUENCE, 1, 1}}, 0, 0, "Undo Trimming", "Subsequence", {IDM_UNDO},
         {IDM_BOX_COX, IDM_CLASSICAL, IDM_SUBTRACT_MEAN, IDM_DIFFERENCE, IDM_SUBSEQUENCE}},
        {"regression specified", {{TRANSFORM_DIFFERENCE, 1, 1}}, 1, 0, "Undo Differencing(1)", "Difference",
         {IDM_UNDO, IDM_REGRESSION_LS, IDM_REGRESSION_GLS, IDM_SUBTRACT_MEAN},
         {IDM_REGRESSION_SPECIFY, IDM_REGRESSION_REMOVE, IDM_REGRESSION_SHOW_FIT}},
        {"regression present", {{TRANSFORM_DIFFERENCE, 1, 1}}, 1, 2, "Undo Differencing(1)", "Difference",
         {IDM_UNDO, IDM_REGRESSION_LS, IDM_REGRESSION_GLS, IDM_REGRESSION_REMOVE, IDM_REGRESSION_SHOW_FIT},
         {IDM_BOX_COX, IDM_CLASSICAL, IDM_SUBTRACT_MEAN, IDM_DIFFERENCE, IDM_SUBSEQUENCE, IDM_REGRESSION_SPECIFY}},
        {"regression present, no transform", {}, 1, 1, "Undo", "None",
         {IDM_REGRESSION_REMOVE, IDM_REGRESSION_SHOW_FIT}, {IDM_UNDO, IDM_BOX_COX, IDM_SUBSEQUENCE}},
        {"a node of an unknown kind", {{TRANSFORM_BOX_COX, 1, 1.0}, {64, 1, 1}}, 0, 0, "Undo", "Box-Cox", {IDM_UNDO},
         {IDM_BOX_COX}},
    };
    for (const Case& c : cases) {
        UnivariateProject u;
        for (const Node& node : c.oldestFirst) Push(u, node.kind, node.lag, node.lambda);
        u.regressionSpecified = c.regressionSpecified;
        u.regressionPresent = c.regressionPresent;
        const TransformMenuState state = ComputeTransformMenu(u);
        EXPECT_EQ(state.undoText, c.undoText) << c.name;
        EXPECT_EQ(state.description, c.description) << c.name;
        std::map<uint32_t, int> seen;
        for (const MenuChange& change : state.changes) {
            EXPECT_EQ(change.target, MenuChange::COMMAND) << c.name;
            ++seen[change.command];
        }
        for (uint32_t id : kTransforms) EXPECT_EQ(seen[id], 1) << c.name << ": " << id;
        for (uint32_t id : c.enabled) EXPECT_TRUE(TransformItemEnabled(state, id)) << c.name << ": " << id;
        for (uint32_t id : c.grayed) EXPECT_FALSE(TransformItemEnabled(state, id)) << c.name << ": " << id;
    }
}

// Names of the oldest transforms are kept when the description passes 256 characters.
TEST(TransformMenu, LongDescriptionKeepsItsFirst256Characters)
{
    UnivariateProject u;
    Push(u, TRANSFORM_BOX_COX);
    for (int k = 0; k < 40; ++k) Push(u, TRANSFORM_SUBTRACT_MEAN);
    const TransformMenuState state = ComputeTransformMenu(u);
    ASSERT_EQ(state.description.size(), 256u);
    EXPECT_EQ(state.description.rfind("Box-Cox->Subtract Mean->Subtract Mean", 0), 0u);
    EXPECT_EQ(PaddedTransformText("None"), "None" + std::string(252, ' '));
}

// The orders a project file may hold: those the Transform menu builds, and the mean the
// estimation commands subtract on any stack without one.
TEST(TransformMenu, OrdersTheProgramBuilds)
{
    const int32_t D = TRANSFORM_DIFFERENCE, B = TRANSFORM_BOX_COX, C = TRANSFORM_CLASSICAL, H = TRANSFORM_HARMONIC,
                  M = TRANSFORM_SUBTRACT_MEAN, S = TRANSFORM_SUBSEQUENCE;
    const struct {
        const char* name;
        std::vector<int32_t> oldestFirst;
        bool buildable;
    } cases[] = {
        {"no transform", {}, true},
        {"every menu kind in its order", {B, D, D, M, S}, true},
        {"Box-Cox, harmonic, mean, subsequence", {B, H, M, S}, true},
        {"seasonal, then a subsequence", {C, S}, true},
        {"a mean after a subsequence (estimation)", {D, S, M}, true},
        {"a mean after Box-Cox (estimation or menu)", {B, M}, true},
        {"a difference after a mean", {M, D}, false},
        {"Box-Cox after a difference", {D, B}, false},
        {"a decomposition after a difference", {D, C}, false},
        {"a difference after a decomposition", {H, D}, false},
        {"two decompositions", {C, H}, false},
        {"Box-Cox twice", {B, B}, false},
        {"a mean twice, around a subsequence", {M, S, M}, false},
        {"anything after a subsequence but a mean", {S, D}, false},
        {"two subsequences", {S, S}, false},
        {"an unknown kind", {77}, false},
        {"kind 0 after Box-Cox", {B, 0}, false},
    };
    for (const auto& c : cases) EXPECT_EQ(TransformOrderBuildable(c.oldestFirst), c.buildable) << c.name;
}
