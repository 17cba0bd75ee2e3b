#pragma once
// The window side of a univariate project: its status-bar texts, toolbar buttons and the window
// operations its record's lifecycle uses.
#include <cstdint>

struct UnivariateProject;

// Writes the three status-bar parts: the data window's title, the transform description or
// "None", and the iteration count. Returns 1.
int32_t VeskStatusBar(UnivariateProject& project);
// Replaces the project buttons behind the six fixed ones by the univariate set. Returns 1.
int32_t SetupUnivariateToolbar(UnivariateProject& project);
// Installs the window operations of the univariate record and of its refresh.
void InstallUnivariateWindowOps();
