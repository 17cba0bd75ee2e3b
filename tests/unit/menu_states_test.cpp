#include "shell/menu_states.h"

#include <gtest/gtest.h>

#include <map>
#include <string>

#include "resources/resource.h"

namespace {

// The final enabled state of each target after applying the changes in order.
std::map<std::string, bool> Apply(const MenuState& state)
{
    std::map<std::string, bool> result;
    for (const MenuChange& c : state.changes) {
        std::string key = c.target == MenuChange::COMMAND ? std::to_string(c.command)
                          : c.target == MenuChange::CHECK     ? "check " + std::to_string(c.command)
                          : c.target == MenuChange::TOP_LEVEL ? c.menu
                                                              : c.menu + ">" + c.submenu;
        result[key] = c.enabled;
    }
    return result;
}

}  // namespace

TEST(MenuStates, TablesOfTheThreeKinds)
{
    struct Row { const char* target; bool enabled; };
    struct Case {
        const char* name;
        int32_t kind;
        bool hasData, spectrumOpen;
        int32_t bar;
        std::vector<Row> rows;
    };
    const Case cases[] = {
        {"no project", 0, false, false, 0,
         {{"40098", false}, {"Transform", false}, {"Model", false}, {"Spectrum", false}, {"Plot", false}}},
        {"univariate without data", 1, false, false, 1,
         {{"40005", false}, {"40006", false}, {"40098", true}, {"40152", true}, {"Transform", false},
          {"Model", true}, {"40045", true}, {"40087", true}, {"40090", true}, {"40078", false}, {"40079", false},
          {"40049", false}, {"Regression", false}, {"Statistics", false}, {"Forecasting", false},
          {"Smooth", false}, {"Spectrum", true}, {"40051", false}, {"40053", false}, {"40127", false},
          {"40128", false}, {"40129", false}, {"Spectrum>Cumulative Spectrum", false}, {"Plot", true},
          {"Window", true}}},
        {"univariate with data, no spectrum window", 1, true, false, 1,
         {{"40005", true}, {"40006", true}, {"Transform", true}, {"40078", true}, {"40079", true},
          {"40049", true}, {"Regression", true}, {"Smooth", true}, {"40051", true}, {"40128", false},
          {"Spectrum>Cumulative Spectrum", true}}},
        {"univariate with data and a spectrum window", 1, true, true, 1, {{"40128", true}}},
        {"multivariate without data", 2, false, false, 2,
         {{"40005", false}, {"40006", false}, {"40098", true}, {"Transform", false}, {"Plot", true}, {"Window", true}}},
        {"multivariate with data", 2, true, false, 2,
         {{"40005", true}, {"40006", true}, {"40098", true}, {"Transform", true}}},
    };
    for (const Case& c : cases) {
        const MenuState state = ComputeMenuState(c.kind, c.hasData, c.spectrumOpen);
        EXPECT_EQ(state.bar, c.bar) << c.name;
        const auto applied = Apply(state);
        for (const Row& row : c.rows) {
            auto it = applied.find(row.target);
            ASSERT_NE(it, applied.end()) << c.name << ": " << row.target;
            EXPECT_EQ(it->second, row.enabled) << c.name << ": " << row.target;
        }
        // The kind's own items (the Transform items and the Undo text) follow a project's menus.
        EXPECT_EQ(state.transformMenu, c.kind == 2 || (c.kind == 1 && c.hasData)) << c.name;
        // The model spectrum stays usable without data.
        EXPECT_EQ(applied.count(std::to_string(IDM_SPECTRUM_MODEL)), 0u) << c.name;
    }
}

TEST(MenuStates, LogSpectrumCheckFollowsTheCurrentProject)
{
    for (bool log : {false, true}) {
        for (bool hasData : {false, true}) {
            const auto applied = Apply(ComputeMenuState(1, hasData, hasData, log));
            const auto it = applied.find("check " + std::to_string(IDM_LOG_SPECTRUM));
            ASSERT_NE(it, applied.end());
            EXPECT_EQ(it->second, log);
        }
    }
    // Only a univariate project owns the mark.
    EXPECT_EQ(Apply(ComputeMenuState(2, true, false, true)).count("check " + std::to_string(IDM_LOG_SPECTRUM)), 0u);
}

TEST(MenuStates, TextWithoutMarks)
{
    EXPECT_EQ(MenuTextWithoutMarks("Smoot&h"), "Smooth");
    EXPECT_EQ(MenuTextWithoutMarks("&Cumulative Spectrum"), "Cumulative Spectrum");
    EXPECT_EQ(MenuTextWithoutMarks("A && B"), "A & B");
}
