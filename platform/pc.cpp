#include "platform/pc.h"

#include "platform/pc_font.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <deque>
#include <vector>

const uint32_t kPcPalette[16] = {0x000000, 0x0000AA, 0x00AA00, 0x00AAAA, 0xAA0000, 0xAA00AA, 0xAA5500, 0xAAAAAA,
                                 0x555555, 0x5555FF, 0x55FF55, 0x55FFFF, 0xFF5555, 0xFF55FF, 0xFFFF55, 0xFFFFFF};

namespace {

void NoInput(void*)
{
    std::fputs("pc: a program waits for input, but no input backend is installed\n", stderr);
    PcStop(1);
}

int64_t NoClock(void*)
{
    return 0;
}

void ExitStop(void*, int code)
{
    std::exit(code);
}

struct Machine {
    PcBackend backend{nullptr, NoInput, nullptr, NoClock, ExitStop};
    int mode = kPcTextMode;
    int colour = 7;
    int writeMode = kPcWriteReplace;
    int graphicsX = 0;
    int graphicsY = 0;
    int cursorColumn = 0;
    int cursorRow = 0;
    bool wrapPending = false;  // the last character filled column 79 and moved the cursor on
    std::vector<unsigned char> pixels = std::vector<unsigned char>(kPcWidth * kPcHeight, 0);
    std::vector<char> shadow = std::vector<char>(kPcColumns * kPcRows, ' ');
    std::deque<unsigned char> keys;
    int presses = 0;
    int pressX = 0;
    int pressY = 0;
    int pointerCount = -1;  // the mouse driver's show count: visible at 0
    uint64_t events = 0;
};

Machine& M()
{
    static Machine machine;
    return machine;
}

void Present(bool now = false)
{
    if (M().backend.present)
        M().backend.present(M().backend.context, now);
}

void Plot(int x, int y)
{
    Machine& m = M();
    if (x < 0 || y < 0 || x >= kPcWidth || y >= kPcHeight)
        return;
    unsigned char& pixel = m.pixels[static_cast<size_t>(y) * kPcWidth + x];
    const unsigned char c = static_cast<unsigned char>(m.colour & 15);
    pixel = m.writeMode == kPcWriteXor ? static_cast<unsigned char>(pixel ^ c) : c;
}

void ClearScreen()
{
    Machine& m = M();
    std::fill(m.pixels.begin(), m.pixels.end(), 0);
    std::fill(m.shadow.begin(), m.shadow.end(), ' ');
}

void ScrollUp()
{
    Machine& m = M();
    const size_t rowPixels = static_cast<size_t>(kPcCellHeight) * kPcWidth;
    std::memmove(m.pixels.data(), m.pixels.data() + rowPixels, m.pixels.size() - rowPixels);
    std::fill(m.pixels.end() - static_cast<std::ptrdiff_t>(rowPixels), m.pixels.end(), 0);
    std::memmove(m.shadow.data(), m.shadow.data() + kPcColumns, m.shadow.size() - kPcColumns);
    std::fill(m.shadow.end() - kPcColumns, m.shadow.end(), ' ');
}

void LineFeed()
{
    Machine& m = M();
    if (m.cursorRow == kPcRows - 1)
        ScrollUp();
    else
        ++m.cursorRow;
}

void DrawCell(int column, int row, unsigned char c, int colour)
{
    Machine& m = M();
    const unsigned char* glyph = PcGlyph(c);
    const unsigned char ink = static_cast<unsigned char>(colour & 15);
    for (int r = 0; r < kPcCellHeight; ++r) {
        const unsigned char bits = glyph ? glyph[r] : 0;
        unsigned char* pixel = &m.pixels[static_cast<size_t>(row * kPcCellHeight + r) * kPcWidth + column * kPcCellWidth];
        for (int b = 0; b < kPcCellWidth; ++b)
            pixel[b] = (bits & (0x80 >> b)) ? ink : 0;
    }
    m.shadow[static_cast<size_t>(row) * kPcColumns + column] = static_cast<char>(c);
}

void PutChar(unsigned char c, int colour)
{
    Machine& m = M();
    m.wrapPending = false;
    switch (c) {
    case 7:
        return;
    case 8:
        if (m.cursorColumn > 0)
            --m.cursorColumn;
        return;
    case 10:
        LineFeed();
        return;
    case 13:
        m.cursorColumn = 0;
        return;
    default:
        break;
    }
    DrawCell(m.cursorColumn, m.cursorRow, c, colour);
    if (++m.cursorColumn == kPcColumns) {
        m.cursorColumn = 0;
        LineFeed();
        m.wrapPending = true;
    }
}

// The end of a line of text: a line that has just filled its last column is there already.
void EndLine()
{
    Machine& m = M();
    if (m.wrapPending) {
        m.wrapPending = false;
        return;
    }
    m.cursorColumn = 0;
    LineFeed();
}

// Lines reaching far off the screen are first cut to a box just around it (Liang-Barsky), so that
// drawing stays cheap whatever the coordinates; lines within the box are drawn exactly as given.
// Returns false when nothing of the line is near the screen.
bool ClipFarLine(int& x0, int& y0, int& x1, int& y1)
{
    constexpr int kNear = 32767;
    auto near = [](int v) { return v >= -kNear && v <= kNear; };
    if (near(x0) && near(y0) && near(x1) && near(y1))
        return true;
    const double left = -1, right = kPcWidth, top = -1, bottom = kPcHeight;
    const double ax = x0, ay = y0, dx = double(x1) - x0, dy = double(y1) - y0;
    double t0 = 0, t1 = 1;
    const double p[4] = {-dx, dx, -dy, dy};
    const double q[4] = {ax - left, right - ax, ay - top, bottom - ay};
    for (int i = 0; i < 4; ++i) {
        if (p[i] == 0) {
            if (q[i] < 0)
                return false;
            continue;
        }
        const double t = q[i] / p[i];
        if (p[i] < 0) {
            if (t > t1)
                return false;
            if (t > t0)
                t0 = t;
        } else {
            if (t < t0)
                return false;
            if (t < t1)
                t1 = t;
        }
    }
    x1 = static_cast<int>(std::lround(ax + t1 * dx));
    y1 = static_cast<int>(std::lround(ay + t1 * dy));
    x0 = static_cast<int>(std::lround(ax + t0 * dx));
    y0 = static_cast<int>(std::lround(ay + t0 * dy));
    return true;
}

void QueueEvent()
{
    ++M().events;
}

void WaitForInput()
{
    Machine& m = M();
    const uint64_t before = m.events;
    Present();
    m.backend.waitInput(m.backend.context);
    if (m.events == before) {
        // A backend that returns without input would make the caller spin.
        std::fputs("pc: the input backend returned without an input event\n", stderr);
        PcStop(1);
    }
}

}  // namespace

void PcReset()
{
    Machine& m = M();
    const PcBackend backend = m.backend;
    m = Machine();
    m.backend = backend;
}

void PcInstallBackend(const PcBackend& backend)
{
    Machine& m = M();
    m.backend = backend;
    if (!m.backend.waitInput)
        m.backend.waitInput = NoInput;
    if (!m.backend.clock)
        m.backend.clock = NoClock;
    if (!m.backend.stop)
        m.backend.stop = ExitStop;
}

void PcSetVideoMode(int mode)
{
    Machine& m = M();
    m.mode = mode == kPcGraphicsMode ? kPcGraphicsMode : kPcTextMode;
    ClearScreen();
    m.cursorColumn = 0;
    m.cursorRow = 0;
    m.graphicsX = 0;
    m.graphicsY = 0;
    m.colour = m.mode == kPcGraphicsMode ? 15 : 7;
    m.writeMode = kPcWriteReplace;
    Present();
}

int PcVideoMode()
{
    return M().mode;
}

void PcSetColor(int colour)
{
    M().colour = colour;
}

int PcColor()
{
    return M().colour;
}

void PcSetWriteMode(int mode)
{
    if (mode == kPcWriteReplace || mode == kPcWriteXor)
        M().writeMode = mode;
}

int PcWriteMode()
{
    return M().writeMode;
}

void PcSetPixel(int x, int y)
{
    if (M().mode != kPcGraphicsMode)
        return;
    Plot(x, y);
    Present();
}

void PcMoveTo(int x, int y)
{
    M().graphicsX = x;
    M().graphicsY = y;
}

void PcLineTo(int x, int y)
{
    Machine& m = M();
    int x0 = m.graphicsX;
    int y0 = m.graphicsY;
    m.graphicsX = x;
    m.graphicsY = y;
    if (m.mode != kPcGraphicsMode)
        return;
    if (!ClipFarLine(x0, y0, x, y))
        return;
    // Bresenham: every pixel once, so that drawing a line twice by exclusive-or restores the screen.
    const int dx = x > x0 ? x - x0 : x0 - x;
    const int dy = y > y0 ? y - y0 : y0 - y;
    const int sx = x0 < x ? 1 : -1;
    const int sy = y0 < y ? 1 : -1;
    int error = dx - dy;
    for (;;) {
        Plot(x0, y0);
        if (x0 == x && y0 == y)
            break;
        const int twice = 2 * error;
        if (twice > -dy) {
            error -= dy;
            x0 += sx;
        }
        if (twice < dx) {
            error += dx;
            y0 += sy;
        }
    }
    Present();
}

void PcSetCursor(int column, int row)
{
    Machine& m = M();
    m.wrapPending = false;
    m.cursorColumn = column < 0 ? 0 : column >= kPcColumns ? kPcColumns - 1 : column;
    m.cursorRow = row < 0 ? 0 : row >= kPcRows ? kPcRows - 1 : row;
}

void PcGetCursor(int& column, int& row)
{
    column = M().cursorColumn;
    row = M().cursorRow;
}

void PcPutChar(unsigned char c, int colour)
{
    PutChar(c, colour);
    // Menus write their items a character at a time: showing each at once made a long menu take
    // seconds to appear in a window. The next wait, or the backend's interval, shows them.
    Present();
}

void PcWriteText(std::string_view text, int colour)
{
    for (char c : text) {
        if (c == '\n') {
            EndLine();
        } else {
            PutChar(static_cast<unsigned char>(c), colour);
        }
    }
    Present(true);
}

void PcQueueKey(unsigned char c)
{
    M().keys.push_back(c);
    QueueEvent();
}

void PcQueueExtendedKey(unsigned char code)
{
    M().keys.push_back(0);
    M().keys.push_back(code);
    QueueEvent();
}

bool PcKeyWaiting()
{
    Machine& m = M();
    if (m.keys.empty() && m.presses == 0)
        WaitForInput();
    return !m.keys.empty();
}

unsigned char PcReadKey()
{
    Machine& m = M();
    while (m.keys.empty())
        WaitForInput();
    const unsigned char c = m.keys.front();
    m.keys.pop_front();
    return c;
}

void PcReadLine(std::string& line, int maxChars)
{
    line.clear();
    for (;;) {
        const unsigned char c = PcReadKey();
        if (c == 13)
            break;
        if (c == 0) {
            (void)PcReadKey();  // the scan code of an extended key
        } else if (c == 8) {
            if (!line.empty()) {
                line.pop_back();
                // Step back over the echo, wiping it; at column 0 the echo is on the row above.
                Machine& m = M();
                m.wrapPending = false;
                if (m.cursorColumn == 0 && m.cursorRow > 0) {
                    m.cursorColumn = kPcColumns - 1;
                    --m.cursorRow;
                } else if (m.cursorColumn > 0) {
                    --m.cursorColumn;
                }
                const int column = m.cursorColumn;
                const int row = m.cursorRow;
                DrawCell(column, row, ' ', 0);
                Present(true);
            }
        } else if (c >= 32 && c <= 126 && static_cast<int>(line.size()) < maxChars) {
            line += static_cast<char>(c);
            PcPutChar(c, M().colour);
        }
    }
    EndLine();
    Present(true);
}

void PcQueuePress(int x, int y)
{
    Machine& m = M();
    ++m.presses;
    m.pressX = x;
    m.pressY = y;
    QueueEvent();
}

void PcMouseReset()
{
    Machine& m = M();
    m.presses = 0;
    m.pointerCount = -1;
    Present();
}

void PcMouseShow()
{
    Machine& m = M();
    if (m.pointerCount < 0)
        ++m.pointerCount;
    Present();
}

void PcMouseHide()
{
    --M().pointerCount;
    Present();
}

bool PcPointerVisible()
{
    return M().pointerCount == 0;
}

void PcTakePresses(int& x, int& y, int& count)
{
    Machine& m = M();
    x = m.pressX;
    y = m.pressY;
    count = m.presses;
    m.presses = 0;
}

uint64_t PcInputEventCount()
{
    return M().events;
}

bool PcInputPending()
{
    return !M().keys.empty() || M().presses > 0;
}

int64_t PcClock()
{
    return M().backend.clock(M().backend.context);
}

void PcStop(int code)
{
    M().backend.stop(M().backend.context, code);
    std::_Exit(code);  // a backend's stop that returned
}

const unsigned char* PcFramebuffer()
{
    return M().pixels.data();
}

unsigned char PcPixel(int x, int y)
{
    if (x < 0 || y < 0 || x >= kPcWidth || y >= kPcHeight)
        return 0;
    return M().pixels[static_cast<size_t>(y) * kPcWidth + x];
}

char PcShadowChar(int column, int row)
{
    if (column < 0 || row < 0 || column >= kPcColumns || row >= kPcRows)
        return ' ';
    return M().shadow[static_cast<size_t>(row) * kPcColumns + column];
}

std::string PcShadowRow(int row)
{
    if (row < 0 || row >= kPcRows)
        return {};
    std::string text(M().shadow.data() + static_cast<size_t>(row) * kPcColumns, kPcColumns);
    text.erase(text.find_last_not_of(' ') + 1);
    return text;
}

std::string PcShadowText()
{
    std::string text;
    int last = kPcRows - 1;
    while (last >= 0 && PcShadowRow(last).empty())
        --last;
    for (int row = 0; row <= last; ++row)
        text += PcShadowRow(row) + "\n";
    return text;
}
