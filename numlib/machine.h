#pragma once
// Environment of the numerical library: its unit numbers (UMACH), integer and IEEE double
// machine constants (IMACH, DMACH), a NaN test, the option store (IUMAG), and the output
// channel that receives everything the library writes to its units.
#include <string_view>
#include <vector>

// Receives every piece of text the library writes, with the unit number it was written to.
// Text comes in whole lines, each ending in '\n'.
using LibraryWriter = void (*)(int unit, std::string_view text, void* context);

// Installs `writer`; nullptr restores the default, which writes every unit to standard output.
void SetLibraryWriter(LibraryWriter writer, void* context);

// Writes `text` to `unit` through the installed writer.
void LibraryWrite(int unit, std::string_view text);

// Unit table: n = 1..3 returns the unit of item n in `unit` (1 input 5, 2 output 6, 3 error
// messages 6); n = -1..-3 sets item |n| to `unit`. Any other n writes a TERMINAL notice to the
// error-message unit and stops.
void UMACH(int n, int& unit);

// Integer machine constants 1..12 (bits per integer, largest integer 2147483647, mantissa digits,
// exponent ranges). Any other n writes a TERMINAL notice to the output unit, stops, returns 0.
int IMACH(int n);

// IEEE double constants: 1 smallest normalised, 2 largest finite, 3 2^-53, 4 2^-52 (the machine
// epsilon), 5 log10(2), 6 quiet NaN, 7 +infinity, 8 -infinity. Any other n is a TERMINAL error of
// "DMACH" (code 5) and gives the quiet NaN.
double DMACH(int n);

// True when the exponent bits are all ones and the fraction is not zero (infinities are not NaN).
bool IsNaN(double x);

// Option store by product ("MATH" or "STAT", any case) and chapter. action 1 gets, 2 puts the
// values of the first `numOpt` option numbers of `options`; each option takes as many places of
// `values` as it has values, in list order (a get resizes `values` to the places it fills; a put
// reads the places present). A negative option number gets the defaults or, on a put, restores
// them. Every get and put is reported on the output unit. Argument errors are TERMINAL errors of
// "IUMAG" (codes 1 to 6); no value moves after one. Options used: MATH chapter 1 option 16
// (work-space padding: 1, 16, 0, 1) and 17 (condition-estimate flag: 1, 2).
void IUMAG(std::string_view product, int chapter, int action, int numOpt,
           const std::vector<int>& options, std::vector<int>& values);
