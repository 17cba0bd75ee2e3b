#pragma once
// The console programs' start screen and their Yes/No question.
#include <string>

// Shows the start screen: the package line "K E L O : PROGRAM  " with the program's spaced name
// (written A12: its first 12 characters, blank-padded), the version line and a frame, then
// "<Press any key to continue>" and one key, which is consumed (an extended key with its code).
// ESC switches to text mode and stops the program without a message; otherwise returns 0, 0 and
// 234 in adapter, layout and plotBottom, which the programs keep for their plots.
void StartScreen(const std::string& name, int& adapter, int& layout, int& plotBottom);

// The two forms of the Yes/No items: molda's "No ~" and "Yes~", the other programs' "No  ~" and
// "Yes ~" (a menu one character wider).
enum class YesNoItems { Narrow, Wide };

// Asks No / Yes in a menu one column right of the cursor (the caller writes its question first):
// 0 for No, 1 for Yes; No is barred when the menu opens, N and Y are hot keys in either case.
void AskYesNo(int& answer, YesNoItems items = YesNoItems::Wide);

// Before the file `name` is written: when a file of that name exists (a folder or a device is not
// replaced: writing to it fails and is reported as such), asks "NAME exists. Replace it?" on a row
// of its own, `indent` blanks in, with AskYesNo, and leaves the cursor at the start of the second
// row below the answer. Returns 1 when the file may be written (there is none, or Yes), 0 for No.
[[nodiscard]] int AskReplaceFile(const std::string& name, int indent, YesNoItems items = YesNoItems::Wide);
