#pragma once
// Printing of a real matrix as a labelled table on the library's output unit (UMACH item 2), with
// the page settings (PGOPT) and printing options (WROPT) that govern it, and the helpers that
// choose number formats (DFMTRR, DFMTX), find the largest element (DI1MAX) and read integers
// (CVTSI). Every error is a TERMINAL error of the routine's error-stack name; all argument checks
// of a routine run before it leaves, and on an error nothing is changed or printed.
#include <string>
#include <string_view>
#include <vector>

// Page settings: iopt -1 sets the page width (default 78, at least 10) to ipage, -2 the page
// length (default 60, at least 10); 1 returns the width in ipage, 2 the length.
// Errors of "PGOPT": 1 iopt not one of -2, -1, 1, 2; 2 width below 10; 3 length below 10.
void PGOPT(int iopt, int& ipage);

// Printing options 1..16, each with a current and a permanent value and a scope flag.
// iopt = -k sets option k to iset (iscope 0: current value only; 1: permanent too) and records
// iscope; iopt = k returns the current (iscope 0) or permanent (iscope 1) value in iset; iopt = 0
// resets every current value to its permanent value and every scope flag to 1, except option 3,
// which is reset only when its permanent value is negative.
// Options used here: 4 display of NaN and infinities (0 fills of dots, plus and minus signs;
// 1 NaN blank, infinities filled; 2 "NaN", "Inf", "-Inf" at the right; 3 NaN blank, "Inf",
// "-Inf"); 6 the format when FMT is blank; 8 the largest width of the row-label column (0: two
// thirds of the page width for text labels, a quarter for numbered rows); 10 the largest width of
// the heading over the row labels (0: a third of option 8's width); 11 the largest width of a
// column heading, never below the largest field width (0: 1.5 times that width, within 15..40).
// The others are kept but do not change the table.
// Errors of "WROPT": 1 |iopt| above 16; 2 iset outside the option's range (setting); 3 (setting)
// or 2 (reading) iscope neither 0 nor 1.
void WROPT(int iopt, int& iset, int iscope);

// Format, blank-padded to 10 characters, for the part of the nra by nca matrix a (leading
// dimension lda) that itring selects (0 all; 1 i <= j; 2 i < j; -1 i >= j; -2 i > j). NaNs and
// infinities are ignored (they print as fills). With nsig >= 0 and nwidth >= 1 and only whole
// numbers the format is "(I" |nwidth| ")"; otherwise DFMTX's format for the element of largest
// magnitude, of width |nwidth| with |nsig| significant digits.
// Errors of "DFMTRR": 1 nra < 0; 2 lda < 1; 3 nra > lda (nra >= 1, nca != 0); 4 nca < 0;
// 5 |nwidth| outside 3..40; 6 |nsig| outside 1..|nwidth|. The result is then blank.
std::string DFMTRR(int nra, int nca, const double* a, int lda, int itring, int nwidth, int nsig);

// Format, blank-padded to 10 characters, for one value in a field of width |nwidth| with |nsig|
// significant digits: "(0PFw.d)", or "(1PEw.d)" when w >= 7 and the magnitude is nonzero and
// below 0.001 or at least 1e7, or the value cannot be shown in fixed point.
// Errors of "DFMTX": 1 |nwidth| outside 3..40; 2 |nsig| outside 1..|nwidth|. The result is then
// blank.
std::string DFMTX(double value, int nwidth, int nsig);

// Ordinal of the element of largest magnitude among x(1), x(1+incx), ... (n elements), NaNs
// skipped, the first kept on ties; 0 when n = 0 or all are NaN.
// Errors of "DI1MAX": 1 n < 0; 2 incx < 1; result is then unchanged.
void DI1MAX(int n, const double* x, int incx, int& result);

// Decimal integer with optional blanks around it and an optional sign; magnitude at most
// 2147483647. Errors of "CVTSI": 1 empty text; 2 a nonnumeric character (its position);
// 3 too large; 4 no digits. result is then unchanged.
void CVTSI(std::string_view text, int& result);

// Prints rows 1..nra and columns 1..nca of a (leading dimension lda) as a table under `title`:
// the centred title, then for each block of columns that fits the page width a heading line and
// the rows, the heading line repeated after a blank line when a page is full.
// itring selects the part printed as for DFMTRR; the rest prints blank.
// fmt: edit descriptors D, E, F, G, I, V and W in parentheses (repeat counts, groups and kP scale
// factors allowed), used column by column and from the start again when the list runs out; blank
// selects option 6. Vw.d and Ww.d print the column with DFMTRR's format of width w and d
// significant digits; W uses an I format when the column holds only whole numbers, V never.
// rowLabels: {"NONE"} none, {"NUMBER"} rows numbered, else one label per row.
// colLabels: {"NONE"} no headings, {"NUMBER"} numbered columns; else the heading over the row
// labels followed by "NONE", "NUMBER" or the nca column headings.
// Errors of "DW2RRL": 1 nra < 0; 2 lda < 1; 3 nra > lda (nra >= 1, nca != 0); 4 nca < 0;
// 5 itring outside -2..2; 6 to 19 a malformed fmt (see matrix_print.cpp); 36 and 37 one column
// does not fit the page width; 38 page width above 255.
void DW2RRL(std::string_view title, int nra, int nca, const double* a, int lda, int itring, std::string_view fmt,
            const std::vector<std::string>& rowLabels, const std::vector<std::string>& colLabels);
