#pragma once
// Character routines of the numerical library: case folding, searching, comparing, and integer
// text conversion in fixed fields. Positions count from 1; 0 means "not found".
#include <string>
#include <string_view>

// A letter a to z becomes A to Z; every other character is returned unchanged.
char UpperChar(char c);

// Character to code (0..255) and back; a negative code gives the character with code 0.
int CharCode(char c);
char CodeChar(int code);

// The character with code `code`. A negative code is a TERMINAL error (code 1) of "ACHAR" and
// yields the character with code 0.
char ACHAR(int code);

// First position of `pattern` in `text`; 0 when absent, when either is empty or when the pattern
// is longer than the text. IndexNoCase ignores letter case.
int IndexExact(std::string_view text, std::string_view pattern);
int IndexNoCase(std::string_view text, std::string_view pattern);

// Compares ignoring case, the shorter string padded with blanks: -1, 0 or 1.
int CompareNoCase(std::string_view a, std::string_view b);

// First position of `text` whose character is not in `set`; 0 if none; 1 when either is empty.
int FirstNotInSet(std::string_view text, std::string_view set);

// Writes `value` right-justified into `field` (its size is the field width): blanks, a minus
// sign when negative, the digits. Returns 0 when it fits, else the number of positions missing
// (the field is then left as it was).
int IntToText(int value, std::string& field);

// Reads an integer from `field`: blanks, an optional sign, blanks and leading zeros are skipped,
// then digits are read up to the first non-digit. Status: 0 the whole field was the number;
// the position after the digits when something followed them; 1 an all-blank field; the position
// of the sign when no digit follows it; -1 an empty field; -2 the value would exceed 2147483647.
// `value` receives the digits read (0 when none).
int TextToInt(std::string_view field, int& value);

// Copies source positions i1..i2 into target positions j1..j2, cutting the source to the target
// range and filling the rest of that range with blanks. Status: -2 a bad range, -1 the target
// range ends past the end of `target`, else 0.
int CopyChars(std::string_view source, int i1, int i2, std::string& target, int j1, int j2);
