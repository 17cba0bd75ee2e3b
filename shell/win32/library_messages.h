#pragma once
// The numerical library's stop hook for the Windows program.

// Installs the hook: when a library call reaches a stopping error, the messages it printed are
// shown in a message box (caption "KELO::Error") over the active window and the hook returns; the
// library call then returns early and its caller, seeing LibraryCallAbandoned(), abandons the
// command without changing the project. The program goes on running. Called once at start.
void InstallLibraryMessageHook();
