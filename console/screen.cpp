#include "console/screen.h"

#include "platform/pc.h"
#include "platform/random.h"

#include <algorithm>
#include <cmath>

namespace {

// The plot frame leaves the first text row free above every plot.
constexpr int kPlotFrameShift = 14;
// The longest line the run time's line input takes.
constexpr int kLineInputLimit = 127;

}  // namespace

void SetGraphicsMode(int)
{
    PcSetVideoMode(kPcGraphicsMode);
}

void SetTextMode()
{
    PcSetVideoMode(kPcTextMode);
}

void QueryAdapter(int& kind)
{
    kind = 3;
}

void SetDrawColor(int colour)
{
    PcSetColor(colour == 1 ? 9 : colour);
}

void SetPixel(int x, int y)
{
    PcSetPixel(x, y);
}

void DrawLine(int x1, int y1, int x2, int y2)
{
    PcMoveTo(x1, y1);
    PcLineTo(x2, y2);
}

void DrawPlotLine(int x1, int y1, int x2, int y2)
{
    DrawLine(x1, y1 + kPlotFrameShift, x2, y2 + kPlotFrameShift);
}

void PlotPixel(int x, int y)
{
    SetPixel(x, y + kPlotFrameShift);
}

void SetTextCursor(int column, int row)
{
    PcSetCursor(column, row);
}

void WaitKey()
{
    bool waiting = false;
    int count = 0;
    do {
        waiting = PcKeyWaiting();
        int x = 0, y = 0;
        MouseButtonPress(x, y, count);
    } while (!waiting && count == 0);
    // The whole key: a code left behind would reach the next reader as a key of its own (the down
    // arrow's 80 as "P", a menu's hot key).
    if (waiting && PcReadKey() == 0)
        (void)PcReadKey();
}

void ReadLine(std::string& text, [[maybe_unused]] int length)
{
    const int limit = static_cast<int>(std::min<size_t>(text.size(), kLineInputLimit));
    std::string typed;
    PcReadLine(typed, limit);
    std::fill(text.begin(), text.end(), ' ');
    std::copy(typed.begin(), typed.end(), text.begin());
}

void ReadKey(char& key)
{
    key = static_cast<char>(PcReadKey());
}

void SeedRandom(int seed)
{
    SetLehmerSeed(seed == -1 || seed == 0 ? PcClock() : seed);
}

void ConfigHook(const std::string&)
{
}

void BiosPutChar(char c, int colour)
{
    PcPutChar(static_cast<unsigned char>(c), colour & 0xFF);
}

void BiosGetCursor(int& column, int& row)
{
    PcGetCursor(column, row);
}

void MouseReset()
{
    PcMouseReset();
}

void MouseShow()
{
    PcMouseShow();
}

void MouseHide()
{
    PcMouseHide();
}

void MouseButtonPress(int& x, int& y, int& count)
{
    PcTakePresses(x, y, count);
}

void SetWriteMode(int mode)
{
    PcSetWriteMode(mode);
}

bool KeyWaiting()
{
    return PcKeyWaiting();
}

float RandomUniform()
{
    // A double just below 1 would round to 1.0f.
    const float u = static_cast<float>(UniformRandom(0));
    return u < 1.0f ? u : std::nextafter(1.0f, 0.0f);
}

void ProgramStop(int code)
{
    PcStop(code);
}
