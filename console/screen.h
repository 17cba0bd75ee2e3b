#pragma once
// The console programs' screen and input primitives, over the PC of platform/pc.h: the graphics
// screen (640 x 350, 16 colours, 80 x 25 text cells of 8 x 14) and text mode, drawing colour,
// pixels and lines, a plot frame 14 pixels below the screen's, the text cursor, keyboard and mouse,
// the video BIOS and mouse driver routines, random numbers and the program stop.
// Text positions are 0-based (column, row). State is process-wide; one dialogue at a time.
#include <string>

// Switches to video mode 16 (640 x 350, 16 colours), which clears the screen; `mode` is not read.
void SetGraphicsMode(int mode);
// Switches to 80-column text mode 3; used when a program ends.
void SetTextMode();
// Sets `kind` to 3, a colour screen.
void QueryAdapter(int& kind);
// Makes `colour` the drawing colour, 1 being drawn as 9 (light blue).
void SetDrawColor(int colour);
void SetPixel(int x, int y);
// A line from (x1, y1) to (x2, y2) in the drawing colour; the graphics position ends at (x2, y2).
void DrawLine(int x1, int y1, int x2, int y2);
// DrawLine and SetPixel in the plot frame, whose point (x, y) is the screen's (x, y + 14).
void DrawPlotLine(int x1, int y1, int x2, int y2);
void PlotPixel(int x, int y);
// Puts the text cursor in cell (column, row); all text output, BiosPutChar's too, starts there.
void SetTextCursor(int column, int row);
// Waits until a key is typed or the left button is pressed. A typed key is consumed (an extended
// key with its code); a press is consumed only as MouseButtonPress reports it.
void WaitKey();
// Reads a typed line (echoed, at most min(text.size(), 127) characters) into `text`, blank-padded
// to its length, which is the text's declared length; `length` is not used.
void ReadLine(std::string& text, int length);
// Waits for one key and stores its character (an extended key gives 0, its code on the next read).
void ReadKey(char& key);
// Seeds the uniform random numbers: -1 and 0 take the seed from the clock, any other value is the
// seed.
void SeedRandom(int seed);
// Does nothing (the start screen hands it a configuration file name).
void ConfigHook(const std::string& name);

// The video BIOS and the mouse driver.
// Writes a character at the cursor in `colour` (its low byte) by teletype output and advances.
void BiosPutChar(char c, int colour);
void BiosGetCursor(int& column, int& row);
void MouseReset();
void MouseShow();
void MouseHide();
// The left button's presses since the last call: the pointer position (screen pixels) of the last
// press and the number of presses.
void MouseButtonPress(int& x, int& y, int& count);

// Run-time services the programs use beside the primitives above.
// Write mode 3 draws normally, 4 by exclusive-or; other values change nothing.
void SetWriteMode(int mode);
// Whether a key is waiting, without reading it.
bool KeyWaiting();
// The next uniform random number, in (0, 1) as a float (never rounded up to 1).
float RandomUniform();
// Ends the program with the exit code.
[[noreturn]] void ProgramStop(int code);
