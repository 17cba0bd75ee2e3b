// A console program for screenshots and trying the window: a framed text page like a start screen,
// a small plot with markers, a list with an inverted bar, free-format and formatted text below.
#include "console/screen.h"
#include "console/screen_io.h"
#include "platform/win32/pc_window.h"

#include <cmath>

namespace {

void Marker(int x, int y)
{
    for (int dx = -2; dx <= 2; ++dx) {
        for (int dy = -2; dy <= 2; ++dy) {
            if (dx == -2 || dx == 2 || dy == -2 || dy == 2)
                PlotPixel(x + dx, y + dy);
        }
    }
}

void Demo()
{
    SetGraphicsMode(16);
    SetDrawColor(1);
    SetTextCursor(15, 1);
    ScreenWrite("(21X,'K E L O : PROGRAM  ',A12,/,/,18X,'    (Version 5.0, Feb. 1994)')", {"D E M O     "});
    DrawPlotLine(50, 10, 50, 234);
    DrawPlotLine(50, 234, 550, 234);
    DrawPlotLine(550, 234, 550, 10);
    DrawPlotLine(550, 10, 50, 10);

    // A series: frame, ticks, markers joined by lines.
    SetDrawColor(15);
    DrawPlotLine(90, 80, 510, 80);
    DrawPlotLine(90, 80, 90, 200);
    DrawPlotLine(510, 80, 510, 200);
    DrawPlotLine(90, 200, 510, 200);
    for (int x = 90; x <= 510; x += 42) {
        DrawPlotLine(x, 199, x, 201);
        DrawPlotLine(x, 79, x, 81);
    }
    SetDrawColor(9);
    int lastX = 0, lastY = 0;
    for (int i = 0; i <= 30; ++i) {
        const int x = 90 + i * 14;
        const int y = static_cast<int>(std::lround(140 - 45 * std::sin(i * 0.35)));
        Marker(x, y);
        if (i > 0)
            DrawPlotLine(lastX, lastY, x, y);
        lastX = x;
        lastY = y;
    }

    // A list in a frame with its first line inverted by exclusive-or, as a menu shows its bar.
    const char* items[] = {"Continue", "Plot a subset of the data", "Rescale the vertical axis"};
    const int column = 25, row = 17;
    SetDrawColor(7);
    DrawLine(column * 8 - 2, row * 14 - 2, column * 8 + 2 + 26 * 8, row * 14 - 2);
    DrawLine(column * 8 + 2 + 26 * 8, row * 14 - 2, column * 8 + 2 + 26 * 8, row * 14 + 2 + 3 * 14);
    DrawLine(column * 8 + 2 + 26 * 8, row * 14 + 2 + 3 * 14, column * 8 - 2, row * 14 + 2 + 3 * 14);
    DrawLine(column * 8 - 2, row * 14 + 2 + 3 * 14, column * 8 - 2, row * 14 - 2);
    for (int k = 0; k < 3; ++k) {
        SetTextCursor(column, row + k);
        BiosPutChar(items[k][0], 14);
        for (const char* c = items[k] + 1; *c; ++c)
            BiosPutChar(*c, 9);
    }
    SetWriteMode(4);
    SetDrawColor(15);
    for (int y = row * 14; y < row * 14 + 14; ++y)
        DrawLine(column * 8, y, column * 8 + 8 * 8, y);
    SetWriteMode(3);

    SetDrawColor(9);
    SetTextCursor(0, 21);
    ScreenWriteList({"  Free-format output:", 0.1f, 12, 1.5e-7f, "and text"});
    ScreenWrite("(2X,'Mean of series ',3X,'Std. dev. of series',/,F14.5,8X,F14.5)", {0.02345f, 1.5f});
    ScreenWrite("(9X,'<Press any key to continue>',\\)", {});
    WaitKey();
    SetTextMode();
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int)
{
    PcWindowRun(instance, L"console demo", Demo);
}
