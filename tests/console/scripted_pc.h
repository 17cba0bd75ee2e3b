#pragma once
// Drives the console library in this process from a headless script (ParseHeadlessScript's form)
// and keeps the screen as it was at every wait for input, so that a test can look at pages that a
// routine shows and clears again before it returns. A program stop or a script that runs out ends
// the run by an exception, not the process, so these tests also run under Wine.
#include <functional>
#include <string>
#include <vector>

struct ScreenPicture {
    std::string label;  // the input that followed, or "end"
    std::string text;   // the text shadow, rows joined by '\n'
    std::vector<unsigned char> pixels;
    bool pointerShown = false;

    unsigned char Pixel(int x, int y) const;
    std::string Row(int row) const;
    // The number of pixels of `colour` in the box (x0, y0)..(x1, y1).
    int Count(int x0, int y0, int x1, int y1, int colour) const;
    // Whether the frame of a menu `width` cells wide with `visible` items from text cell (column,
    // row) stands whole on the screen: its four lines complete in the frame colour.
    bool MenuFrameWhole(int column, int row, int width, int visible) const;
};

struct ScriptedRun {
    std::string ending;  // "returned", "stopped" or "script-used-up"
    int code = 0;        // the stop's code
    int inputsLeft = 0;
    std::vector<ScreenPicture> waits;  // the screen at each wait, before its input
    ScreenPicture end;                 // the screen when the run ended

    // For a failed expectation: the ending and the last screen.
    std::string Describe() const;
};

// Resets the PC to a cleared graphics screen, runs `program` with the inputs of `script` and
// returns what it showed. A malformed script is a test failure.
ScriptedRun RunScripted(const std::string& script, const std::function<void()>& program);

// Writes a picture as a PNG under the build tree's console dumps, for a person to look at; returns
// the file's name (empty when it could not be written).
std::string DumpPicture(const ScreenPicture& picture, const std::string& name);
