#pragma once
// The numerical routines' diagnostic and progress text: to the program's standard output, or to
// a string a test has set up to capture it.
#include <string>
#include <string_view>

// Appends text to *capture when capture is not null; otherwise writes it to the standard output
// and flushes, so that the lines keep their order with the console's own output.
void WriteStandardOutput(std::string_view text, std::string* capture = nullptr);
