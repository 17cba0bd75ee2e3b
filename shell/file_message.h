#pragma once
// A message for the user from a portable file reader or writer. The window code shows it in a
// message box (no owner, OK button); an empty text means there is nothing to show.
#include <string>

struct FileMessage {
    std::string text;
    std::string caption;
    bool empty() const { return text.empty(); }
};
