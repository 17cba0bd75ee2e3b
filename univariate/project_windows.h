#pragma once
// The windows of a univariate project in the order Rename, Minimize and Restore visit them, and
// the titles Rename gives them. Only windows that exist (non-null handles) are listed.
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "univariate/univariate_project.h"

// The data window, its report window, then views 1, 4, 2, 3, 5..16 each followed by its report
// window, then the five text windows in their field order.
std::vector<HWND__*> ProjectWindowOrder(const UnivariateProject& project);

// Each window other than the data window with its new title, the view's prefix followed by
// `title` (trailing blanks removed), cut to at most 256 bytes at a character boundary. Order:
// the data window's report window, then views 1, 4, 2, 3, 5..16 (a report window only when its
// view's window exists), then the text windows.
std::vector<std::pair<HWND__*, std::string>> ProjectWindowTitles(const UnivariateProject& project,
                                                                 std::string_view title);
