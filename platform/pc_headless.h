#pragma once
// The PC's headless backend: input from a script, a transcript of the screen's text at every wait
// for input, and files that tell how the run ended. A run whose program asks for input after the
// script is used up ends at once as failed, with the screen dumped: never a hang. For the tests and
// the native builds of the console programs.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// One input of a script: key bytes queued together (a typed line ends with Enter, 13; an extended
// key is 0 and its code), or a left-button press at a screen pixel.
struct HeadlessInput {
    enum class Kind { Keys, Click };
    Kind kind = Kind::Keys;
    std::string keys;
    int x = 0;
    int y = 0;
    std::string label;  // the script line, for the transcript
};

struct HeadlessScript {
    std::vector<HeadlessInput> inputs;
    int64_t clock = 0;
};

// Reads a script, one item a line (blank lines and lines starting with '#' are skipped):
//   key C       one key: a single character, or enter, esc, backspace, tab, space, up, down, left,
//               right, home, end, pgup, pgdn, ins, del, f1 .. f10
//   line TEXT   TEXT typed (all that follows "line "), then Enter
//   click X Y   a left-button press at screen pixel (X, Y)
//   clock N     the clock value, wherever it stands
// Returns 1, or 0 with a message naming the line in `error` (`script` then unspecified).
[[nodiscard]] int ParseHeadlessScript(std::string_view text, HeadlessScript& script, std::string& error);

// Queues one script input on the PC (its keys, or its press).
void QueueHeadlessInput(const HeadlessInput& input);

enum class HeadlessEnding { Returned, Stopped, ScriptUsedUp };
constexpr int kHeadlessScriptUsedUp = 125;

// Installs the headless backend: each wait for input takes the next input of `script` after
// noting the screen's text in the transcript; the clock is the script's. The end of the run writes
// its files into `outputDir` (created when missing; no files when it is empty).
void PcInstallHeadless(const HeadlessScript& script, const std::string& outputDir);
int HeadlessInputsLeft();
const std::string& HeadlessTranscript();

// Ends the run: writes "ending.txt" ("returned 0", "stopped CODE" or "script-used-up CODE"),
// "screen.txt" (the shadow), "screen.png", "framebuffer.bin" (640 x 350 colour numbers) and
// "transcript.txt" into the output folder; a used-up script also writes the framed screen to
// stderr. Then ends the process with `code` without running exit handlers.
[[noreturn]] void HeadlessEnd(HeadlessEnding ending, int code);

// The screen's text in a frame with row numbers, for people.
std::string FramedScreenText();

// The main program of a console program's native build: `PROGRAM SCRIPT [FOLDER]` runs `program`
// on the headless PC with the inputs of the script file and leaves the run's files in FOLDER
// (default "console-run"). Ends the process: with the program's code, 125 for a used-up script, or
// 2 for a missing or malformed script (a message on stderr).
[[noreturn]] void HeadlessProgramMain(int argc, char** argv, void (*program)());
