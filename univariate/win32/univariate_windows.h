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
// The hourglass and `message` in the status bar's third part while a long step keeps the message
// loop waiting; EndBusy gives the arrow back and rewrites the current project's status bar.
void ShowBusy(const wchar_t* message);
void EndBusy();
