#include "console/start_screen.h"

#include "console/menu.h"
#include "console/screen.h"
#include "console/screen_io.h"

#include <filesystem>
#include <system_error>

namespace {

constexpr char kEscape = 27;

}  // namespace

void StartScreen(const std::string& name, int& adapter, int& layout, int& plotBottom)
{
    SetGraphicsMode(16);
    SetDrawColor(1);
    SetTextCursor(15, 7);
    ScreenWrite("(/,21X,'K E L O : PROGRAM  ',A12,/,/,18X,'    (Version 5.0, Feb. 1994)')", {name});
    DrawPlotLine(50, 10, 50, 234);
    DrawPlotLine(50, 234, 550, 234);
    DrawPlotLine(550, 234, 550, 10);
    DrawPlotLine(550, 10, 50, 10);
    SetTextCursor(11, 22);
    ScreenWrite("('         <Press any key to continue>',\\)", {});
    char key = 0;
    ReadKey(key);
    // An extended key's code would reach the next menu as a key of its own (80 is "P").
    if (key == 0) {
        char code = 0;
        ReadKey(code);
    }
    if (key == kEscape) {
        SetTextMode();
        ConfigHook("vesk.cfg~");
        ProgramStop(0);
    }
    adapter = 0;
    layout = 0;
    plotBottom = 234;
}

void AskYesNo(int& answer, YesNoItems items)
{
    const std::string mark(1, kMenuHotKeyMark);
    const bool narrow = items == YesNoItems::Narrow;
    MenuClear();
    MenuAdd(1, mark + (narrow ? "No ~" : "No  ~"));
    MenuAdd(2, mark + (narrow ? "Yes~" : "Yes ~"));
    int choice = 0, column = kMenuAtCursor, row = 0;
    MenuChoose(choice, column, row);
    answer = choice - 1;
}

int AskReplaceFile(const std::string& name, int indent, YesNoItems items)
{
    std::error_code error;
    if (!std::filesystem::is_regular_file(std::filesystem::u8path(name), error))
        return 1;
    int column = 0, row = 0;
    BiosGetCursor(column, row);
    if (column > 0)
        ScreenWrite("()", {});
    ScreenWrite("(A,\\)", {std::string(static_cast<size_t>(indent), ' ') + name + " exists. Replace it? "});
    int answer = 0;
    AskYesNo(answer, items);
    MenuStepBelow();
    return answer == 1 ? 1 : 0;
}
