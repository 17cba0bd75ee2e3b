#pragma once
// The numerical library's stop and warning hooks for the Windows program.

// Installs both hooks (called once at start):
// - Stop: when a library call reaches a stopping error, the messages it printed are shown in a
//   message box (caption "KELO::Error") and the hook returns; the library call then returns early
//   and its caller, seeing LibraryCallAbandoned(), abandons the command without changing the
//   project. The program goes on running.
// - Warning: when a library call that printed a WARNING returns, the warning is shown in a message
//   box (caption "KELO::Warning") and the command goes on with the call's results. Within one
//   frame command only the first such box is shown.
void InstallLibraryMessageHook();

// Marks one frame command for as long as it lives: library warnings raised inside it share one box.
// Scopes may nest (a command sent from within a command belongs to the outer one).
struct LibraryWarningScope {
    LibraryWarningScope();
    ~LibraryWarningScope();
    LibraryWarningScope(const LibraryWarningScope&) = delete;
    LibraryWarningScope& operator=(const LibraryWarningScope&) = delete;
};
