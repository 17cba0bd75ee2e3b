#pragma once
// Our own PC for the console programs: an EGA screen of 640 x 350 pixels in 16 colours, laid out
// as 80 x 25 text cells of 8 x 14 pixels, with a text shadow that keeps the character written into
// each cell; one text cursor for all text output; a keyboard queue; the left mouse button; a clock;
// and the program stop. A backend decides where input comes from and where the picture goes: the
// headless one (pc_headless.h) for tests, the window one (win32/pc_window.h) for users.
// One machine per process, used from one thread.
#include <cstdint>
#include <string>
#include <string_view>

constexpr int kPcWidth = 640;
constexpr int kPcHeight = 350;
constexpr int kPcCellWidth = 8;
constexpr int kPcCellHeight = 14;
constexpr int kPcColumns = 80;
constexpr int kPcRows = 25;

constexpr int kPcGraphicsMode = 16;  // 640 x 350, 16 colours
constexpr int kPcTextMode = 3;       // 80 x 25 colour text
constexpr int kPcWriteReplace = 3;
constexpr int kPcWriteXor = 4;

// The EGA's default palette as 0xRRGGBB, by colour number.
extern const uint32_t kPcPalette[16];

// What a backend provides. Every function gets `context`.
struct PcBackend {
    void* context = nullptr;
    // Blocks until at least one new input event has been queued with PcQueueKey,
    // PcQueueExtendedKey or PcQueuePress. Called only when the program has to wait.
    void (*waitInput)(void* context) = nullptr;
    // The picture or the pointer's visibility changed (may be null). `now` asks for the picture
    // to be shown at once (text, which may announce a long computation); otherwise the backend may
    // wait for more drawing.
    void (*present)(void* context, bool now) = nullptr;
    // The clock value that seeds the random numbers.
    int64_t (*clock)(void* context) = nullptr;
    // Ends the program with the exit code; must not return.
    void (*stop)(void* context, int code) = nullptr;
};

// Switches the machine on again: text mode, blank screen, cursor home, drawing colour 7, normal
// writing, empty keyboard queue, no presses, pointer hidden. The backend stays.
void PcReset();
void PcInstallBackend(const PcBackend& backend);

// Screen. Video mode 16 or 3 (any other value is taken as 3); setting a mode clears the screen and
// the shadow, homes the cursor and resets the drawing colour (15 in graphics mode, 7 in text mode)
// and the write mode. Pixels and lines draw only in graphics mode and are clipped to the screen.
void PcSetVideoMode(int mode);
int PcVideoMode();
// The drawing colour as given; pixels take its low four bits.
void PcSetColor(int colour);
int PcColor();
// kPcWriteReplace or kPcWriteXor; other values leave the mode as it is.
void PcSetWriteMode(int mode);
int PcWriteMode();
void PcSetPixel(int x, int y);
// The graphics position, and a line from it (both ends drawn) that leaves it at the end point.
void PcMoveTo(int x, int y);
void PcLineTo(int x, int y);

// Text. The cursor is a cell (column 0..79, row 0..24); positions outside are clamped.
void PcSetCursor(int column, int row);
void PcGetCursor(int& column, int& row);
// Teletype output of one byte at the cursor: BEL (7) does nothing, BS (8) steps back within the
// row, LF (10) goes down a row, CR (13) to column 0; any other byte fills its cell with its glyph
// in the colour's low four bits on colour 0 (a blank glyph for bytes outside printable ASCII),
// enters the shadow and advances the cursor, wrapping after column 79. Going down from row 24
// scrolls the screen and the shadow up by one row. The picture is shown as other drawing is (at
// the next wait, or when the backend chooses), PcWriteText's at once.
void PcPutChar(unsigned char c, int colour);
// PcPutChar of each byte, where '\n' ends the line: the cursor goes to column 0 of the next row,
// unless the line has just filled its last column and so moved there already.
void PcWriteText(std::string_view text, int colour);

// Keyboard. Keys are bytes; an extended key is 0 followed by its scan code (72 up, 80 down).
void PcQueueKey(unsigned char c);
void PcQueueExtendedKey(unsigned char code);
// Whether a key is waiting. When neither a key nor a press is pending, the machine first waits for
// the next input event, so that a program polling for a key or a click does not spin.
bool PcKeyWaiting();
// The next key byte, waiting for one.
unsigned char PcReadKey();
// Reads a typed line of at most `maxChars` characters into `line` (replaced): printable characters
// are echoed at the cursor in the drawing colour, backspace removes the last one, extended and
// control keys are ignored, characters beyond the limit are refused, Enter ends the line as
// PcWriteText's '\n' does.
void PcReadLine(std::string& line, int maxChars);

// Mouse: the left button's presses since the last report, with the position of the last one in
// screen pixels; a pointer that is shown while its show count is 0 (reset hides it).
void PcQueuePress(int x, int y);
void PcMouseReset();
void PcMouseShow();
void PcMouseHide();
bool PcPointerVisible();
void PcTakePresses(int& x, int& y, int& count);

// The number of input events queued so far (backends wait for it to change).
uint64_t PcInputEventCount();
bool PcInputPending();

int64_t PcClock();
// Ends the program with the exit code through the backend.
[[noreturn]] void PcStop(int code);

// What the screen shows: colour numbers row by row (640 x 350) and the shadow's characters.
const unsigned char* PcFramebuffer();
unsigned char PcPixel(int x, int y);  // 0 outside the screen
char PcShadowChar(int column, int row);
// One shadow row without trailing blanks, and all rows joined by '\n' without trailing empty rows.
std::string PcShadowRow(int row);
std::string PcShadowText();
