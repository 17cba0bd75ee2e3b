#include "univariate/project_windows.h"

namespace {

constexpr int kViewOrder[] = {VIEW_ACF, VIEW_HISTOGRAM, VIEW_SPECTRUM, VIEW_CUM_SPECTRUM, 5, 6, 7, 8, 9,
                              10, 11, 12, 13, 14, 15, 16};

// Cuts UTF-8 text to at most `limit` bytes without splitting a character.
std::string Bounded(std::string text, size_t limit)
{
    if (text.size() <= limit) return text;
    size_t end = limit;
    while (end > 0 && (static_cast<unsigned char>(text[end]) & 0xC0) == 0x80) --end;
    text.resize(end);
    return text;
}

}  // namespace

std::vector<HWND__*> ProjectWindowOrder(const UnivariateProject& project)
{
    std::vector<HWND__*> windows;
    const auto add = [&](HWND__* window) {
        if (window) windows.push_back(window);
    };
    add(project.dataView.window);
    add(project.dataView.infoWindow);
    for (int k : kViewOrder) {
        add(project.views[k].window);
        add(project.views[k].infoWindow);
    }
    for (HWND__* window : project.textWindows) add(window);
    return windows;
}

std::vector<std::pair<HWND__*, std::string>> ProjectWindowTitles(const UnivariateProject& project,
                                                                 std::string_view title)
{
    size_t end = title.size();
    while (end > 0 && title[end - 1] == ' ') --end;
    const std::string trimmed(title.substr(0, end));
    std::vector<std::pair<HWND__*, std::string>> titles;
    const auto add = [&](HWND__* window, const char* prefix) {
        if (window) titles.emplace_back(window, Bounded(prefix + trimmed, 256));
    };
    add(project.dataView.infoWindow, kViewInfoTitlePrefix[VIEW_DATA]);
    for (int k : kViewOrder) {
        if (!project.views[k].window) continue;
        add(project.views[k].window, kViewTitlePrefix[k]);
        add(project.views[k].infoWindow, kViewInfoTitlePrefix[k]);
    }
    for (int k = 0; k < kTextWindowCount; ++k) add(project.textWindows[k], kTextWindowTitlePrefix[k]);
    return titles;
}
