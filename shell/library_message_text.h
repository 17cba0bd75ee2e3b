#pragma once
// Text of the numerical library's printed messages for a message box: each message as one
// paragraph, its continuation lines joined back and the " *** " margins removed.
#include <string>

// `printed` is what the library wrote for the user during one call (lines ending in '\n').
// A message's first line " *** FATAL    ERROR 2 from DLINDS.  The ..." becomes
// "FATAL ERROR 2 from DLINDS.  The ...", its continuation lines are appended to it, other
// non-empty lines (a traceback) are kept as lines of their own, and paragraphs are separated by
// an empty line. Lines end in '\n' except the last.
std::string LibraryMessageText(const std::string& printed);
