// Every reader of number text on the same texts: univariate Open, Paste of a series and of a table,
// multivariate Read Data and the console programs' data file. Each keeps the shape its command
// gives it (the first number of a line, m numbers a vector, the columns of a table), but none may
// turn a date, a thousands separator or a decimal comma into other numbers, and each names the
// line where it stopped or that it refused.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "console/data_file.h"
#include "multivariate/table_reader.h"
#include "platform/number_text.h"
#include "shell/ascii_files.h"
#include "shell/clipboard_text.h"

namespace {

// What one reader gave: the numbers read (a table row after row, vectors one after another), the
// line it named (where it stopped, or the line of a refusal), the fault there, and the first line
// whose items it did not all read.
struct Reading {
    std::vector<double> values;
    int64_t line = 0;
    NumberFault fault = NumberFault::None;
    int64_t longLine = 0;
    bool single = false;  // read in single precision
};

// The line a refusal's message names ("Line 3 ...").
int64_t NamedLine(const std::string& message)
{
    if (message.rfind("Line ", 0) != 0) return -1;
    return std::stoll(message.substr(5));
}

Reading ByOpen(const std::string& text)
{
    const AsciiSeries series = ParseAsciiSeries(text);
    return {series.values, series.notes.stopLine, series.notes.fault, series.notes.longLine};
}

Reading ByPasteSeries(const std::string& text)
{
    Reading r;
    std::vector<double> values;
    const ClipboardParse parse = ParseClipboardSeries(text, values);
    if (parse.status == 1) r.values = values;
    if (parse.status == -1) r.line = NamedLine(parse.message);
    if (parse.status == 1 && !parse.message.empty()) r.longLine = NamedLine(parse.message);
    return r;
}

Reading ByPasteTable(const std::string& text)
{
    Reading r;
    int32_t columns = 0, rows = 0;
    std::vector<double> table;
    const ClipboardParse parse = ParseClipboardTable(text, columns, rows, table);
    if (parse.status == 1) r.values = table;
    if (parse.status == -1) r.line = NamedLine(parse.message);
    if (parse.status == 1 && !parse.message.empty()) r.longLine = NamedLine(parse.message);
    return r;
}

Reading ByReadData(const std::string& text, int32_t m)
{
    Reading r;
    MvReadNotes notes;
    MultivarReadTable(MvTableFromText(text), m, r.values, &notes);
    r.line = notes.stopLine;
    r.fault = notes.fault;
    r.longLine = notes.longLine;
    return r;
}

Reading ByConsole(const std::string& text, int m)
{
    Reading r;
    const DataFileRead read = ReadDataText(text, m, 20000);
    // A refused file gives no data at all.
    if (!DataFaultRefuses(read.fault)) r.values.assign(read.values.begin(), read.values.end());
    r.line = read.stopLine;
    r.fault = read.fault;
    r.longLine = read.longLine;
    r.single = true;
    return r;
}

// An expected reading: the numbers, then "@N" for the line named and "+N" for the first line
// whose items were not all read; "-" for a reader not given the text.
struct Expected {
    bool given = true;
    std::vector<double> values;
    int64_t line = 0;
    int64_t longLine = 0;
};

Expected Parse(const std::string& spec)
{
    Expected e;
    if (spec == "-") {
        e.given = false;
        return e;
    }
    std::istringstream in(spec);
    std::string word;
    while (in >> word) {
        if (word[0] == '@') e.line = std::stoll(word.substr(1));
        else if (word[0] == '+') e.longLine = std::stoll(word.substr(1));
        else e.values.push_back(std::stod(word));
    }
    return e;
}

void Check(const char* reader, const Reading& got, const Expected& want, NumberFault fault)
{
    SCOPED_TRACE(reader);
    ASSERT_EQ(got.values.size(), want.values.size());
    for (size_t k = 0; k < want.values.size(); ++k) {
        if (got.single) EXPECT_EQ(static_cast<float>(got.values[k]), static_cast<float>(want.values[k])) << k;
        else EXPECT_DOUBLE_EQ(got.values[k], want.values[k]) << k;
    }
    EXPECT_EQ(got.line, want.line);
    // The pastes give their fault in words only; the others name it.
    if (want.line > 0 && fault != NumberFault::None && std::string(reader).rfind("paste", 0) != 0) {
        EXPECT_EQ(static_cast<int>(got.fault), static_cast<int>(fault));
    }
    EXPECT_EQ(got.longLine, want.longLine);
}

struct Row {
    const char* name;
    std::string text;
    int m;  // numbers a vector, for Read Data and the console data file
    NumberFault fault;
    const char* open;
    const char* pasteSeries;
    const char* pasteTable;
    const char* readData;
    const char* console;
    NumberFault single = NumberFault::None;  // the console's fault where single precision differs
};

void RunRow(const Row& row)
{
    SCOPED_TRACE(row.name);
    Check("open", ByOpen(row.text), Parse(row.open), row.fault);
    Check("paste series", ByPasteSeries(row.text), Parse(row.pasteSeries), row.fault);
    const Expected table = Parse(row.pasteTable);
    if (table.given) Check("paste table", ByPasteTable(row.text), table, row.fault);
    Check("read data", ByReadData(row.text, row.m), Parse(row.readData), row.fault);
    Check("console", ByConsole(row.text, row.m), Parse(row.console),
          row.single != NumberFault::None ? row.single : row.fault);
}

std::string Slurp(const std::string& name)
{
    std::ifstream in(name, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

}  // namespace

TEST(NumberReaders, EveryReaderReadsTheSameTextsByTheSameRules)
{
    using F = NumberFault;
    const Row rows[] = {
        // Dates and fractions: digits joined to '/' or '-' are never read as the number before them.
        {"a US date, CSV, one column", "01/01/1990,580.38\n02/01/1990,581.86\n", 1, F::DateOrFraction, "@1", "@1", "@1",
         "@1", "@1"},
        {"a US date, CSV, two columns", "01/01/1990,580.38\n02/01/1990,581.86\n", 2, F::DateOrFraction, "@1", "@1",
         "@1", "@1", "@1"},
        {"year and month", "1990/01,580.38\n", 2, F::DateOrFraction, "@1", "@1", "@1", "@1", "@1"},
        {"an ISO date", "2020/01/15\n", 1, F::DateOrFraction, "@1", "@1", "@1", "@1", "@1"},
        {"a date with a dash", "1990-01 580.38\n", 2, F::DateOrFraction, "@1", "@1", "@1", "@1", "@1"},
        {"a fraction", "0.5\n1/2\n", 1, F::DateOrFraction, "0.5 @2", "@2", "@2", "0.5 @2", "0.5 @2"},
        // A '/' joined to anything but a blank or a comma is part of its item, which is no number.
        {"a date with a month name", "12/Jan/2020 5.5\n13/Jan/2020 6.5\n14/Jan/2020 7.5\n", 2, F::DateOrFraction, "@1",
         "@1", "@1", "@1", "@1"},
        {"a year and quarter", "2020/Q1\n", 1, F::DateOrFraction, "@1", "@1", "@1", "@1", "@1"},
        {"a unit after a slash", "5/hr\n", 1, F::Text, "@1", "@1", "@1", "@1", "@1"},
        {"a fraction with a blank", "1/ 2\n", 1, F::DateOrFraction, "@1", "@1", "@1", "@1", "@1"},
        {"a date with a blank", "02/ 12/1967\n", 1, F::DateOrFraction, "@1", "@1", "@1", "@1", "@1"},
        // A '/' standing apart ends the record; the items after it are counted as not read.
        {"items after a slash", "1.5 / 2.5\n", 1, F::None, "1.5 +1", "1.5 +1", "1.5 +1", "1.5 +1", "1.5 +1"},
        {"items after a slash, two columns", "1 2 / 3 4\n5 6\n", 2, F::None, "1 5 +1", "1 5 +1", "1 2 5 6 +1",
         "1 2 5 6 +1", "1 2 5 6 +1"},
        // An empty first TAB cell: the row's value is not taken from the next column.
        {"an empty first cell", "1\t2\n\t4\n5\t6\n", 1, F::EmptyCell, "1 @2 +1", "@2", "@2", "1 @2 +1", "@2 +1"},
        {"an empty first cell, two columns", "1\t2\n\t4\n5\t6\n", 2, F::EmptyCell, "1 @2 +1", "@2", "@2", "1 2 @2",
         "@2"},
        {"an indented column", "\t1.5\n\t2.5\n", 1, F::None, "1.5 2.5", "1.5 2.5", "@1", "1.5 2.5", "1.5 2.5"},
        // A first row that ends in an empty cell is named when a later row fills it.
        {"an empty last cell in the first row", "1\t2\t\n3\t4\t5\n", 3, F::None, "1 3 +1", "1 3 +1", "@1",
         "1 2 3 +2", "1 2 3 +2"},
        {"a text cell and NaN", "1\tnote\tNaN\n", 1, F::None, "1 +1", "1 +1", "@1", "1 +1", "1 +1"},
        {"too large after a point", ".5e999\n", 1, F::NotFinite, "@1", "@1", "@1", "@1", "@1", F::TooLarge},
        // Thousands separators.
        {"a thousands separator", "580.38\n1,234.5\n", 1, F::Thousands, "580.38 @2", "@2", "@2", "580.38 @2", "@2"},
        {"a European thousands separator", "1.234,5\n", 1, F::Thousands, "@1", "@1", "@1", "@1", "@1"},
        {"groups of three", "1,234,567\n", 1, F::Thousands, "@1", "@1", "@1", "@1", "@1"},
        {"thousands separators in two rows", "1,234.5\n2,345.5\n", 1, F::Thousands, "@1", "@1", "@1", "@1", "@1"},
        {"European thousands separators in two rows", "1.234,5\n2.345,5\n", 1, F::Thousands, "@1", "@1", "@1", "@1",
         "@1"},
        {"a thousands separator after a decimal comma", "1,5;1,234.5\n", 1, F::Thousands, "@1", "@1", "@1", "@1",
         "@1"},
        {"a thousands separator before a decimal comma", "1,234.5 1,5\n", 2, F::Thousands, "@1", "@1", "@1", "@1",
         "@1"},
        // Whole numbers of three digits parted by commas: a CSV table when every row gives the same count.
        {"a CSV table of whole numbers", "112,118,132\n148,148,136\n136,119,104\n", 3, F::Thousands, "@1", "@1",
         "112 118 132 148 148 136 136 119 104", "112 118 132 148 148 136 136 119 104",
         "112 118 132 148 148 136 136 119 104"},
        {"a CSV row of whole numbers alone", "112,118,132\n", 3, F::Thousands, "@1", "@1", "@1", "112 118 132",
         "112 118 132"},
        {"a CSV table whose rows differ", "112,118,132\n148,148,136,119\n", 3, F::Thousands, "@1", "@1", "@2",
         "112 118 132 @2", "@2"},
        // Decimal commas, and commas that part more numbers than the line must give.
        {"a decimal comma with an exponent", "1,5e3\n", 1, F::DecimalComma, "@1", "@1", "@1", "@1", "@1"},
        {"a European CSV file", "42,904762;304,85714\n39,5;300,1\n", 1, F::DecimalComma, "@1", "@1", "@1", "@1",
         "@1"},
        {"negative decimal commas", "-3,75\n1,25\n", 1, F::DecimalComma, "@1", "@1", "@1", "@1", "@1"},
        {"decimal commas, two columns", "1,5 2,5\n3,5 4,5\n", 2, F::DecimalComma, "@1", "@1", "@1", "@1", "@1"},
        {"decimal commas, one column", "12,5 13,5\n14,25 15,75\n", 1, F::DecimalComma, "@1", "@1", "@1", "@1", "@1"},
        {"decimal commas and a TAB", "580,38\t1,0\n581,86\t1,0\n", 1, F::DecimalComma, "@1", "@1", "@1", "@1", "@1"},
        {"decimal commas and a semicolon", "580,38;1,0\n581,86;1,0\n", 1, F::DecimalComma, "@1", "@1", "@1", "@1",
         "@1"},
        {"an index and decimal commas", "1 12,5 13,5\n", 2, F::DecimalComma, "@1", "@1", "@1", "@1", "@1"},
        {"integers parted by a comma, one column", "2134,901\n", 1, F::DecimalComma, "@1", "@1", "@1", "@1", "@1"},
        // Commas between digits part items where that gives exactly the numbers the line must give.
        {"integers parted by a comma, two columns", "1,2\n3,4\n", 2, F::DecimalComma, "@1", "@1", "@1", "1 2 3 4",
         "1 2 3 4"},
        {"three integers parted by commas, three columns", "1,2,3\n", 3, F::None, "1 +1", "1 +1", "1 2 3", "1 2 3",
         "1 2 3"},
        {"three integers parted by commas, two columns", "1,2,3\n", 2, F::None, "1 +1", "1 +1", "1 2 3", "1 2 +1",
         "1 2 +1"},
        // Text.
        {"a text column", "2134\tx\t901\n2135\ty\t902\n", 1, F::Text, "2134 2135 +1", "2134 2135 +1", "@1",
         "2134 2135 +1", "2134 2135 +1"},
        {"a missing value in the first row", "2134\tNA\n2135\t13\n", 2, F::Text, "2134 2135 +1", "2134 2135 +1", "@1",
         "@1", "@1"},
        {"a number cut by a letter", "580.38x\n", 1, F::Text, "@1", "@1", "@1", "@1", "@1"},
        // Ctrl-Z that more numbers follow, and one at the end.
        {"a Ctrl-Z that numbers follow", "1\n2\n\x1A" "3\n4\n", 1, F::EndMark, "1 2 @3", "@3", "@3", "1 2 @3",
         "1 2 @3"},
        {"a Ctrl-Z as the last byte", "1\n2\n\x1A", 1, F::None, "1 2", "1 2", "1 2", "1 2", "1 2"},
        // Too small for single precision: the console programs say so.
        {"too small for single precision", "1e-50\n2e-50\n", 1, F::TooSmall, "1e-50 2e-50", "1e-50 2e-50",
         "1e-50 2e-50", "1e-50 2e-50", "@1"},
        // Items not read: the first number of a line, the rest of a repeat.
        {"five values a line", "1 2 3 4 5\n6 7 8 9 10\n", 5, F::None, "1 6 +1", "1 6 +1", "1 2 3 4 5 6 7 8 9 10",
         "1 2 3 4 5 6 7 8 9 10", "1 2 3 4 5 6 7 8 9 10"},
        {"a repeat count", "3*1.5\n", 1, F::None, "1.5 +1", "1.5 +1", "1.5 1.5 1.5", "1.5 +1", "1.5 +1"},
        // Blank lines.
        {"a spreadsheet column with an empty cell below", "112\n118\n132\n\n", 1, F::None, "112 118 132",
         "112 118 132", "112 118 132", "112 118 132", "112 118 132"},
        {"an empty item", "1\n,2\n", 1, F::EmptyItem, "1 @2", "@2", "@2", "1 @2", "@2"},
    };
    for (const Row& row : rows) RunRow(row);
}

// The ordinary files read as R reads them (scripts/reference/number_texts.R): the first numbers of
// their lines, and their numbers m a line.
TEST(NumberReaders, OrdinaryFilesReadAsRReadsThem)
{
    const std::string folder = std::string(VESK_TEST_DATA) + "/number_texts/";
    std::ifstream table(folder + "readings.csv");
    ASSERT_TRUE(table.good());
    std::string line;
    std::getline(table, line);
    int checked = 0;
    while (std::getline(table, line)) {
        std::istringstream fields(line);
        std::string file, reading, m, values;
        std::getline(fields, file, ',');
        std::getline(fields, reading, ',');
        std::getline(fields, m, ',');
        std::getline(fields, values);
        SCOPED_TRACE(file + " " + reading);
        const std::string text = Slurp(folder + file + ".txt");
        ASSERT_FALSE(text.empty());
        const Expected expected = Parse(values);
        const int width = std::stoi(m);
        // Lines of one value are read whole by every reader; lines of more give their first.
        const int64_t longLine = reading == "first" && width > 1 ? 1 : 0;
        if (reading == "first") {
            Expected first = expected;
            first.longLine = longLine;
            Check("open", ByOpen(text), first, NumberFault::None);
            Check("paste series", ByPasteSeries(text), first, NumberFault::None);
        } else {
            Check("paste table", ByPasteTable(text), expected, NumberFault::None);
            Check("read data", ByReadData(text, width), expected, NumberFault::None);
            if (file == "fortran_forms") {
                // 0.123456-100 is too small for the console programs' single precision.
                Expected single;
                single.values = {expected.values[0]};
                single.line = 2;
                Check("console", ByConsole(text, width), single, NumberFault::TooSmall);
            } else {
                Check("console", ByConsole(text, width), expected, NumberFault::None);
            }
        }
        ++checked;
    }
    EXPECT_EQ(checked, 18);
}
