#pragma once
// The help viewer: one window with the list of topics, the text of the topic shown, its links,
// Back, and a search over titles and text. Help > Contents and Help > Help on Help open it on the
// help file beside the program.
#include <windows.h>

#include <cstdint>
#include <string>
#include <string_view>

// The help file beside the program: VESK.HLP in the folder of the running program.
std::wstring HelpFilePath();

// Reads the help file at `path` and shows topic `topicId` in the viewer, opening the viewer or
// bringing it forward. Returns 1; 0 when the file is missing or damaged, after a message box that
// names it (owner the active dialog or the frame); the viewer then stays as it was.
int32_t OpenHelpViewer(const std::wstring& path, std::string_view topicId);

// The viewer's window, null while it is closed.
HWND HelpViewerWindow();

// Gives the viewer a message of the message loop for its keyboard handling (Tab between the
// controls, Enter, Escape); true when the viewer took it.
bool HelpViewerMessage(MSG& message);

// The two Help menu commands.
void ShowHelpContents();
void ShowHelpOnHelp();
