#pragma once
// Error machinery of the numerical library: a stack of the library routines currently running,
// an error type and code per stack level, messages assembled from templates with typed
// placeholders such as %(I1), and the printer that writes them, with a traceback for deep calls,
// to the library's error-message unit (UMACH item 3).
//
// Types: 1 NOTE, 2 ALERT, 3 WARNING, 4 FATAL (deferred: printed, and stopping for FATAL, when the
// routine the application called returns); 5 TERMINAL, 6 WARNING and 7 FATAL (printed when raised).
//
// Stops. Where a stopping message would end the program, the library calls the stop hook instead
// and never ends the process itself. When the hook returns, every routine of the call leaves
// through its normal exit (each one checks N1RCD(1) after the routines it calls), so the
// application's call returns without further computing; the application then sees
// LibraryCallAbandoned() true and must discard the call's results. Within one application call the
// hook runs once. Console programs install a hook that ends the process, as a run-time stop;
// the Windows program installs one that shows the messages in a message box.
#include <string>
#include <string_view>

// The hook receives the text the library wrote to its error-message unit during the abandoned
// call (each line ending in '\n'), and the context given to SetLibraryStopHook.
using LibraryStopHook = void (*)(const std::string& messages, void* context);

// Installs `hook`; nullptr restores the default, which leaves the messages on the error unit
// (already written there) and returns.
void SetLibraryStopHook(LibraryStopHook hook, void* context);

// Warnings. A WARNING message (type 3 or 6) is printed like any other; in addition, when the
// application's call returns normally, the warning hook receives every WARNING text that call
// printed (each line ending in '\n'), once. The console programs install none: their warnings
// stay on the error unit. The Windows program shows them in a message box and goes on.
using LibraryWarningHook = void (*)(const std::string& warnings, void* context);
void SetLibraryWarningHook(LibraryWarningHook hook, void* context);

// The console programs' stop hook: the messages are already on the error unit, and the run ends
// with exit code 1, as a run-time stop ends it.
[[noreturn]] void ConsoleLibraryStop(const std::string& messages, void* context);

// True when the latest library call made by the application (or, when none is running, the last
// one) reached a stop and was abandoned.
[[nodiscard]] bool LibraryCallAbandoned();

// Enter a library routine: push `name` (blank-padded or cut to 32 characters) with type and code
// 0. A push beyond level 50 is a TERMINAL error and a stop.
void E1PSH(std::string_view name);

// Leave a library routine: pass its error up, print it when due, stop when due, pop the level.
void E1POP(std::string_view name);

// Raise a message: type 1..7 (-1 keeps the current type, 0 clears), code > 0 (-1 or below keeps
// the current code, 0 clears), and a template with placeholders %(Xn), X one of ACDIKLRSZ and n
// 1..9; the parameters set before the call fill them and are then consumed.
void E1MES(int type, int code, std::string_view msgTemplate);

// Parameters of the next message, numbers 1..9 (others are ignored). MsgSetText with a negative
// number keeps trailing blanks; MsgSetReal writes the value in the form 1PD24.15.
void MsgSetInt(int number, int value);
void MsgSetText(int number, std::string_view text);
void MsgSetReal(int number, double value);

// The error code (N1RCD) or type (N1RTY) at the current level plus `option`: 0 the running
// routine's own, 1 the one left by the library routine it called last. Another option is a
// TERMINAL error and a stop; the result is then 1.
int N1RCD(int option);
int N1RTY(int option);

// Library-internal: writes text meant for the user to `unit` and keeps it for the stop hook.
void LibraryErrorText(int unit, std::string_view text);

// Library-internal: the run-time stop (calls the stop hook once per application call).
void LibraryRunTimeStop();
