#pragma once
// The program's start: the frame with the shell's commands, then the project kinds' modules.
#include <windows.h>

// Starts the frame (StartFrame) and registers the univariate and multivariate modules. Returns
// the frame, or null when it could not be created.
HWND StartProgram(HINSTANCE instance, HINSTANCE previousInstance);
