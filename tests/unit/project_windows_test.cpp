#include "univariate/project_windows.h"

#include <gtest/gtest.h>

namespace {

HWND__* Handle(uintptr_t k) { return reinterpret_cast<HWND__*>(k); }

TEST(ProjectWindows, OrderAndTitlesOfExistingWindows)
{
    UnivariateProject project;
    VeskInit(project);
    project.dataView.window = Handle(1);
    project.dataView.infoWindow = Handle(2);
    project.views[VIEW_SPECTRUM].window = Handle(3);
    project.views[VIEW_ACF].window = Handle(4);
    project.views[VIEW_ACF].infoWindow = Handle(5);
    project.views[VIEW_HISTOGRAM].infoWindow = Handle(6);  // its view is gone: not retitled
    project.views[VIEW_RESIDUAL].window = Handle(7);
    project.textWindows[TEXT_MLE] = Handle(8);

    const std::vector<HWND__*> order = ProjectWindowOrder(project);
    EXPECT_EQ(order, (std::vector<HWND__*>{Handle(1), Handle(2), Handle(4), Handle(5), Handle(6), Handle(3),
                                            Handle(7), Handle(8)}));

    const auto titles = ProjectWindowTitles(project, "Sales  ");
    const std::vector<std::pair<HWND__*, std::string>> expected = {
        {Handle(2), "INFO: Sales"},        {Handle(4), "ACF/PACF:Sales"}, {Handle(5), "ACF.PACF:INFO: Sales"},
        {Handle(3), "SPECTRUM: Sales"},    {Handle(7), "Residuals: Sales"},
        {Handle(8), "ML estimates: Sales"},
    };
    EXPECT_EQ(titles, expected);
}

TEST(ProjectWindows, LongTitlesAreCutAtACharacterBoundary)
{
    UnivariateProject project;
    VeskInit(project);
    project.textWindows[TEXT_TESTS] = Handle(9);
    std::string title;
    for (int k = 0; k < 200; ++k) title += "\xC3\xA9";  // 2 bytes each
    const auto titles = ProjectWindowTitles(project, title);
    ASSERT_EQ(titles.size(), 1u);
    const std::string& text = titles[0].second;
    EXPECT_LE(text.size(), 256u);
    EXPECT_EQ(text.size(), 255u);  // 21 bytes of prefix + 117 whole characters
    EXPECT_EQ(text.rfind("\xC3\xA9"), text.size() - 2);
}

}  // namespace
