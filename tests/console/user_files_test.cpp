// The files and mistakes real users bring to molda, drav, halvire and ospe, each a whole run on
// the scripted PC over a small fixture folder: files that give no value, byte-order marks and CR
// line ends, decimal commas and empty items in data and model files, reading that stops part way,
// halvire's model-source menu after a model file it cannot use, output written over the data
// read, pages that would stand over a menu, the limits of single precision, and the entries the
// file list leaves out.
#include "scripted_pc.h"
#include "var_reference.h"

#include "console/drav.h"
#include "console/halvire.h"
#include "console/molda.h"
#include "console/ospe.h"
#include "platform/pc.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <string>
#include <utility>
#include <vector>

namespace {

// One input of a script, "key a" or "line 12", optionally named by a trailing " @name" so that
// the screen before it can be looked at.
struct Step {
    std::string input;
    std::string tag;
};

class Script {
public:
    Script() = default;
    Script(std::initializer_list<std::string> lines) { Add(lines); }
    Script& Add(std::initializer_list<std::string> lines)
    {
        for (const std::string& line : lines) Add(line);
        return *this;
    }
    Script& Add(const std::string& line)
    {
        const size_t at = line.find(" @");
        steps_.push_back(at == std::string::npos ? Step{line, ""} : Step{line.substr(0, at), line.substr(at + 2)});
        return *this;
    }
    Script& Add(const Script& more)
    {
        steps_.insert(steps_.end(), more.steps_.begin(), more.steps_.end());
        return *this;
    }
    std::string Text() const
    {
        std::string text;
        for (const Step& step : steps_) text += step.input + "\n";
        return text;
    }
    // The index of the input named `tag`, or -1.
    int Index(const std::string& tag) const
    {
        for (size_t i = 0; i < steps_.size(); ++i)
            if (steps_[i].tag == tag) return static_cast<int>(i);
        return -1;
    }

private:
    std::vector<Step> steps_;
};

// The file at position k of the listing (".", "..", then the files by name from 3).
Script Choose(int k, const std::string& tag = "")
{
    Script s;
    for (int i = 1; i < k; ++i) s.Add("key down");
    s.Add(tag.empty() ? "key enter" : "key enter @" + tag);
    return s;
}

// From the start to the file list: ospe's start screen, introduction and "Enter a new data set.";
// molda's and drav's start screen, introduction, "Enter data" and the dimension; halvire's start
// screen, introduction and "Input data and model".
Script OspeList()
{
    return {"key x", "key enter", "key enter"};
}
Script VarList(int m)
{
    return {"key a", "key enter", "key e", "line " + std::to_string(m)};
}
Script HalvireList()
{
    return {"key a", "key a", "key i"};
}
// molda's and drav's answers from the count page to the model menu, without differencing.
Script VarToModelMenu()
{
    return {"key a @count", "key c", "key n", "key a @means", "key c", "key n"};
}

std::string Numbers(const std::vector<double>& values, const char* end = "\n")
{
    std::string text;
    for (double v : values) text += FreeFormatReal(v) + end;
    return text;
}

std::vector<double> Wave(int n)
{
    std::vector<double> x;
    for (int t = 1; t <= n; ++t)
        x.push_back(100 + 10 * std::sin(6.283185307179586 * t / 12) + 3 * std::sin(1.7 * t) + 0.01 * t);
    return x;
}

// n vectors of two whole numbers in -50..50 from a Lehmer generator, one a line.
std::string Pairs(int n)
{
    uint64_t state = 12345;
    std::string text;
    for (int t = 0; t < n; ++t) {
        for (int j = 0; j < 2; ++j) {
            state = state * 48271 % 2147483647;
            text += std::to_string(static_cast<int>(state % 101) - 50) + (j == 0 ? " " : "\n");
        }
    }
    return text;
}

std::string Repeated(const std::string& line, int times)
{
    std::string text;
    for (int i = 0; i < times; ++i) text += line;
    return text;
}

// 4 KB of bytes as a program's binary file might hold them, beginning with NUL.
std::string Binary()
{
    std::string bytes;
    for (int i = 0; i < 4096; ++i) bytes += static_cast<char>((i * 37) % 256);
    return bytes;
}

int RowOf(const ScreenPicture& picture, const std::string& row)
{
    for (int r = 0; r < kPcRows; ++r)
        if (picture.Row(r) == row) return r;
    return -1;
}

struct Rows {
    std::string tag;                // the screen before the input of this name
    std::vector<std::string> rows;  // shown one under the other
};

struct Absent {
    std::string tag;  // "" for every screen of the run
    std::string text;
};

struct Case {
    const char* name;
    void (*program)();
    std::vector<std::pair<std::string, std::string>> files;
    Script script;
    std::vector<Rows> rows;
    std::vector<Absent> absent;
    // Further checks, with the screen before a named input and the fixture folder.
    std::function<void(const std::function<const ScreenPicture&(const std::string&)>&, const ScratchFolder&)> more;
};

void Run(const Case& c)
{
    SCOPED_TRACE(c.name);
    ScratchFolder folder("user-files");
    for (const auto& [name, text] : c.files) folder.Write(name, text);
    const ScriptedRun run = RunScripted(c.script.Text(), c.program);
    // Each script ends where its last check is made: the program may still wait for input.
    ASSERT_NE(run.ending, "bad-script");
    EXPECT_EQ(run.inputsLeft, 0) << run.Describe();
    static const ScreenPicture none;
    auto screen = [&](const std::string& tag) -> const ScreenPicture& {
        const int index = c.script.Index(tag);
        if (index < 0 || index >= static_cast<int>(run.waits.size())) {
            ADD_FAILURE() << "no screen before the input named " << tag << "\n" << run.Describe();
            return none;
        }
        return run.waits[static_cast<size_t>(index)];
    };
    for (const Rows& expected : c.rows) {
        const ScreenPicture& shown = screen(expected.tag);
        const int first = RowOf(shown, expected.rows.front());
        ASSERT_GE(first, 0) << "before " << expected.tag << ": no row [" << expected.rows.front() << "] in\n"
                            << shown.text;
        for (size_t k = 1; k < expected.rows.size(); ++k)
            EXPECT_EQ(shown.Row(first + static_cast<int>(k)), expected.rows[k])
                << "before " << expected.tag << ", row " << first + static_cast<int>(k) << " of\n" << shown.text;
    }
    for (const Absent& absent : c.absent) {
        if (absent.tag.empty()) {
            for (const ScreenPicture& shown : run.waits)
                EXPECT_EQ(shown.text.find(absent.text), std::string::npos) << absent.text << " in\n" << shown.text;
        } else {
            EXPECT_EQ(screen(absent.tag).text.find(absent.text), std::string::npos)
                << absent.text << " before " << absent.tag << " in\n" << screen(absent.tag).text;
        }
    }
    if (c.more) c.more(screen, folder);
}

void RunAll(const std::vector<Case>& cases)
{
    for (const Case& c : cases) Run(c);
}

const char* const kOspeAny = "      <Press any key to continue>";
const char* const kVarAny = "  <Press any key to continue>";
const char* const kHalvireAny = "   <Press any key to continue>";

TEST(UserFiles, AFileThatYieldsNoValueIsNamedWithTheReason)
{
    RunAll({
        {"ospe: an empty file",
         OspeMain,
         {{"empty.dat", ""}},
         Script(OspeList()).Add(Choose(3)).Add({"key x @message", "key down @list"}),
         {{"message", {"", " The file empty.dat cannot be used.", " It holds no numbers.", "", kOspeAny}},
          {"list", {"SELECT NAME OF FILE ..."}}},
         {},
         nullptr},
        {"ospe: a number of two megabytes",
         OspeMain,
         {{"huge.dat", std::string(2 << 20, '9') + "\n"}},
         Script(OspeList()).Add(Choose(3)).Add({"key x @message", "key down @list"}),
         {{"message", {" The file huge.dat cannot be used.", " Line 1 holds a number beyond the single-precision range."}},
          {"list", {"SELECT NAME OF FILE ..."}}},
         {},
         nullptr},
        {"halvire: NaN first",
         HalvireMain,
         {{"nan.dat", "NaN\n1\n2\n"}},
         Script(HalvireList()).Add(Choose(3)).Add({"key a @message", "key down @list"}),
         {{"message", {"   FILE CANNOT BE USED: nan.dat", "   LINE 1 HOLDS A VALUE THAT IS NOT A FINITE NUMBER.", kHalvireAny}},
          {"list", {"  SELECT NAME OF FILE ..."}}},
         {},
         nullptr},
        {"molda: 1e308 in a single-precision program",
         MoldaMain,
         {{"big.dat", "1e308\n"}},
         Script(VarList(1)).Add(Choose(3)).Add({"key a @message", "key down @list"}),
         {{"message", {"   The file big.dat cannot be used.", "   Line 1 holds a number beyond the single-precision range.",
                       kVarAny}},
          {"list", {"  SELECT NAME OF FILE ..."}}},
         {},
         nullptr},
        {"drav: a binary file of 4 KB",
         DravMain,
         {{"binary.dat", Binary()}},
         Script(VarList(2)).Add(Choose(3)).Add({"key a @message", "key down @list"}),
         {{"message", {"   The file binary.dat cannot be used.",
                       "   Line 1 holds a control character where a number should stand.", kVarAny}},
          {"list", {"  SELECT NAME OF FILE ..."}}},
         {},
         nullptr},
    });
}

// A dated first column ("1990-01,123.4") once read as 199, 19.9, 1.99, ...: each program now
// refuses the file and names the line.
TEST(UserFiles, ADatedFileIsRefusedWithItsLine)
{
    std::string dated;
    const std::vector<double> wave = Wave(48);
    for (int t = 0; t < 48; ++t) {
        const int month = t % 12 + 1;
        dated += std::to_string(1990 + t / 12) + (month < 10 ? "-0" : "-") + std::to_string(month) + "," +
                 FreeFormatReal(wave[static_cast<size_t>(t)]) + "\n";
    }
    RunAll({
        {"ospe",
         OspeMain,
         {{"dated.csv", dated}},
         Script(OspeList()).Add(Choose(3)).Add({"key x @message", "key down @list"}),
         {{"message", {" The file dated.csv cannot be used.", " Line 1 holds a date or a fraction where a number should stand."}},
          {"list", {"SELECT NAME OF FILE ..."}}},
         {},
         nullptr},
        {"molda",
         MoldaMain,
         {{"dated.csv", dated}},
         Script(VarList(2)).Add(Choose(3)).Add("key a @message"),
         {{"message", {"   The file dated.csv cannot be used.", "   Line 1 holds a date or a fraction where a number should stand."}}},
         {},
         nullptr},
    });
}

TEST(UserFiles, ByteOrderMarksAndLineEnds)
{
    RunAll({
        {"ospe: a byte-order mark and CR LF",
         OspeMain,
         {{"bom.dat", "\xEF\xBB\xBF" + Numbers(Wave(30), "\r\n")}},
         Script(OspeList()).Add(Choose(3)).Add("key x @count"),
         {{"count", {"", " Number of data values, n=   30"}}},
         {},
         nullptr},
        {"halvire: CR alone",
         HalvireMain,
         {{"cr.dat", Numbers(Wave(40), "\r")}},
         Script(HalvireList()).Add(Choose(3)).Add("key s @statistics"),
         {{"statistics", {"  Number of observations=     40"}}},
         {},
         nullptr},
        {"molda: a byte-order mark and CR alone",
         MoldaMain,
         {{"vectors.dat", "\xEF\xBB\xBF" "1 2\r3 4\r5 6\r"}},
         Script(VarList(2)).Add(Choose(3)).Add("key a @count"),
         {{"count", {"", "  Number of observation vectors =      3", "      <Press any key to continue>"}}},
         {},
         nullptr},
        {"drav: CR alone",
         DravMain,
         {{"cr.dat", "1\r2\r3\r4\r"}},
         Script(VarList(1)).Add(Choose(3)).Add("key a @count"),
         {{"count", {"", "  Number of observation vectors =      4", "      <Press any key to continue>"}}},
         {},
         nullptr},
    });
}

TEST(UserFiles, DecimalCommasAndEmptyItemsRefuseTheFile)
{
    const std::string wave = Numbers(Wave(40));
    const Script modelFile = {"key a", "key a", "key e", "key r"};
    RunAll({
        {"ospe: a decimal comma",
         OspeMain,
         {{"comma.dat", "101.5\n99.25\n107,9949944312278\n" + wave}},
         Script(OspeList()).Add(Choose(3)).Add({"key x @message", "key down @list"}),
         {{"message", {" The file comma.dat cannot be used.", " Line 3 holds a decimal comma or comma-parted numbers."}},
          {"list", {"SELECT NAME OF FILE ..."}}},
         {},
         nullptr},
        {"ospe: a line holding a slash",
         OspeMain,
         {{"slash.dat", "101.5\n/\n" + wave}},
         Script(OspeList()).Add(Choose(3)).Add("key x @message"),
         {{"message", {" The file slash.dat cannot be used.", " Line 2 holds an empty item (a lone comma or slash)."}}},
         {},
         nullptr},
        {"halvire: decimal commas",
         HalvireMain,
         {{"comma.dat", "107,99\n108,5\n"}},
         Script(HalvireList()).Add(Choose(3)).Add("key a @message"),
         {{"message", {"   FILE CANNOT BE USED: comma.dat", "   LINE 1 HOLDS A DECIMAL COMMA OR COMMA-PARTED NUMBERS."}}},
         {},
         nullptr},
        {"molda: two decimal commas make no vector",
         MoldaMain,
         {{"comma.dat", "304,857 128,714\n305,1 129,2\n"}},
         Script(VarList(2)).Add(Choose(3)).Add("key a @message"),
         {{"message", {"   The file comma.dat cannot be used.", "   Line 1 holds a decimal comma or comma-parted numbers not fitting a vector."}}},
         {},
         nullptr},
        {"drav: a line holding a comma",
         DravMain,
         {{"comma.dat", "1 2\n3 4\n,\n5 6\n"}},
         Script(VarList(2)).Add(Choose(3)).Add("key a @message"),
         {{"message", {"   The file comma.dat cannot be used.", "   Line 3 holds an empty item (a lone comma or slash)."}}},
         {},
         nullptr},
        {"halvire: a model file with a comma for a coefficient",
         HalvireMain,
         {{"comma.mod", "0.1\n1\n,\n0\n1\n"}},
         Script(modelFile).Add({"line comma.mod", "key e @menu"}),
         {{"menu", {"      MODEL FILE REFUSED: LINE 3 HOLDS AN EMPTY ITEM (A LONE COMMA OR SLASH)."}}},
         {},
         nullptr},
        {"halvire: a model file with a slash for d",
         HalvireMain,
         {{"slash.mod", "/\n0\n0\n1\n"}},
         Script(modelFile).Add({"line slash.mod", "key e @menu"}),
         {{"menu", {"      MODEL FILE REFUSED: LINE 1 HOLDS AN EMPTY ITEM (A LONE COMMA OR SLASH)."}}},
         {},
         nullptr},
        {"halvire: a model file with a decimal comma",
         HalvireMain,
         {{"comma.mod", "0,3\n0\n0\n1\n"}},
         Script(modelFile).Add({"line comma.mod", "key e @menu"}),
         {{"menu", {"      MODEL FILE REFUSED: LINE 1 HOLDS A DECIMAL COMMA OR COMMA-PARTED NUMBERS."}}},
         {},
         nullptr},
    });
}

TEST(UserFiles, ReadingThatStopsPartWayIsReported)
{
    std::vector<double> wave = Wave(120);
    std::string withNaN, withHuge;
    for (size_t i = 0; i < wave.size(); ++i) {
        withNaN += i == 60 ? "NaN\n" : FreeFormatReal(wave[i]) + "\n";
        withHuge += i == 60 ? "1e39\n" : FreeFormatReal(wave[i]) + "\n";
    }
    const std::string pairs = Pairs(72);
    std::string withInf;
    int line = 0;
    for (size_t begin = 0; begin < pairs.size(); ++line) {
        const size_t end = pairs.find('\n', begin);
        withInf += line == 36 ? "-Inf 4\n" : pairs.substr(begin, end - begin + 1);
        begin = end + 1;
    }
    const std::string withNul = Repeated("1.5\n2.5\n", 4) + "3.5\n" + std::string("4\0\n", 3) + Repeated("1\n", 10);
    RunAll({
        {"ospe: NaN at line 61 of 120",
         OspeMain,
         {{"nan.dat", withNaN}},
         Script(OspeList()).Add(Choose(3)).Add("key x @count"),
         {{"count", {"", " Number of data values, n=   60", "", " Line 61 holds a value that is not a finite number.",
                     " Reading stopped there; the 60 values before it were kept.", "", "", kOspeAny}}},
         {},
         nullptr},
        {"halvire: 1e39 at line 61 of 120",
         HalvireMain,
         {{"huge.dat", withHuge}},
         Script(HalvireList()).Add(Choose(3)).Add("key s @statistics"),
         {{"statistics", {"   LINE 61 HOLDS A NUMBER BEYOND THE SINGLE-PRECISION RANGE.",
                          "   READING STOPPED THERE; THE 60 VALUES BEFORE IT WERE KEPT.", "  Number of observations=     60"}}},
         {},
         nullptr},
        {"molda: an infinity in vector 37 of 72",
         MoldaMain,
         {{"inf.dat", withInf}},
         Script(VarList(2)).Add(Choose(3)).Add("key a @count"),
         {{"count", {"", "  Number of observation vectors =     36", "  Line 37 holds a value that is not a finite number.",
                     "  Reading stopped there; the 36 vectors before it were kept.", "      <Press any key to continue>"}}},
         {},
         nullptr},
        {"drav: a NUL byte",
         DravMain,
         {{"zero.dat", withNul}},  // not "nul.dat": NUL is a device name on Windows
         Script(VarList(1)).Add(Choose(3)).Add("key a @count"),
         {{"count", {"  Number of observation vectors =      9",
                     "  Line 10 holds a control character where a number should stand.",
                     "  Reading stopped there; the 9 vectors before it were kept."}}},
         {},
         nullptr},
    });
}

TEST(UserFiles, ItemsLeftOnALineAndShortLinesAreTold)
{
    std::string tenALine, indexAndValue;
    const std::vector<double> wave = Wave(120);
    for (int t = 1; t <= 120; ++t) {
        tenALine += FreeFormatReal(wave[static_cast<size_t>(t - 1)]) + (t % 10 == 0 ? "\n" : " ");
        indexAndValue += std::to_string(t) + " " + FreeFormatReal(wave[static_cast<size_t>(t - 1)]) + "\n";
    }
    RunAll({
        {"ospe: 120 values written ten a line",
         OspeMain,
         {{"ten.dat", tenALine}},
         Script(OspeList()).Add(Choose(3)).Add("key x @count"),
         {{"count", {"", " Number of data values, n=   12", "", " This program requires at least 30 data values",
                     " Line 1 holds more than one item.", " The rest of such lines was not read: 108 items in all.",
                     kOspeAny}}},
         {},
         nullptr},
        {"halvire: an index and a value a line; the index is the series",
         HalvireMain,
         {{"indexed.dat", indexAndValue}},
         Script(HalvireList()).Add(Choose(3)).Add("key s @statistics"),
         {{"statistics", {"   LINE 1 HOLDS MORE THAN ONE ITEM.", "   THE REST OF SUCH LINES WAS NOT READ: 120 ITEMS IN ALL.",
                          "  Number of observations=    120", "", "  Mean of series    Std. dev. of series",
                          "      60.50000              34.63981"}}},
         {},
         nullptr},
        {"molda: 120 values ten a line, m = 1",
         MoldaMain,
         {{"ten.dat", tenALine}},
         Script(VarList(1)).Add(Choose(3)).Add("key a @count"),
         {{"count", {"", "  Number of observation vectors =     12", "  Line 1 holds more items than a vector takes.",
                     "  The rest of such lines was not read: 108 items in all.", "      <Press any key to continue>"}}},
         {},
         nullptr},
        {"drav: a third column when m = 2",
         DravMain,
         {{"three.dat", "1 2 3\n4 5 6\n7 8 9\n"}},
         Script(VarList(2)).Add(Choose(3)).Add("key a @count"),
         {{"count", {"", "  Number of observation vectors =      3", "  Line 1 holds more items than a vector takes.",
                     "  The rest of such lines was not read: 3 items in all.", "      <Press any key to continue>"}}},
         {},
         nullptr},
        {"molda: a short row takes its second value from the next line",
         MoldaMain,
         {{"short.dat", "1 2\n2\n3 6\n4 8\n"}},
         Script(VarList(2)).Add(Choose(3)).Add("key a @count"),
         {{"count", {"", "  Number of observation vectors =      3", "  Line 3 holds more items than a vector takes.",
                     "  The rest of such lines was not read: 1 item in all.",
                     "  Line 2 holds fewer items than a vector takes:", "  a vector goes on in the lines that follow.",
                     "      <Press any key to continue>"}}},
         {},
         nullptr},
    });
}

TEST(UserFiles, CommasBetweenDigitsPartTheItemsAVectorTakes)
{
    RunAll({
        {"drav: a table of integers parted by commas, m = 2",
         DravMain,
         {{"table.csv", "1,2\n2,4\n3,6\n4,8\n"}},
         Script(VarList(2)).Add(Choose(3)).Add("key a @count"),
         {{"count", {"", "  Number of observation vectors =      4", "      <Press any key to continue>"}}},
         {},
         nullptr},
        {"molda: three columns parted by commas, m = 3",
         MoldaMain,
         {{"table.csv", "1,2,3\n4,5,6\n"}},
         Script(VarList(3)).Add(Choose(3)).Add("key a @count"),
         {{"count", {"", "  Number of observation vectors =      2", "      <Press any key to continue>"}}},
         {},
         nullptr},
        {"molda: one value a line with a decimal comma stays refused, m = 1",
         MoldaMain,
         {{"comma.dat", "107,99\n108,5\n"}},
         Script(VarList(1)).Add(Choose(3)).Add("key a @message"),
         {{"message", {"   The file comma.dat cannot be used.", "   Line 1 holds a decimal comma or comma-parted numbers."}}},
         {},
         nullptr},
    });
}

TEST(UserFiles, AnEndOfFileMarkThatNumbersFollowIsAStop)
{
    std::string marked = Repeated("1.5\n2.5\n", 5) + "3.5\n" + "\x1A\n";
    for (int t = 0; t < 109; ++t) marked += std::to_string(t) + "\n";
    RunAll({
        {"molda: a lone mark on line 12 of 120",
         MoldaMain,
         {{"marked.dat", marked}},
         Script(VarList(1)).Add(Choose(3)).Add("key a @count"),
         {{"count", {"", "  Number of observation vectors =     11",
                     "  Line 12 holds an end-of-file mark (Ctrl-Z) with more after it.",
                     "  Reading stopped there; the 11 vectors before it were kept.", "      <Press any key to continue>"}}},
         {},
         nullptr},
        {"halvire: the same file",
         HalvireMain,
         {{"marked.dat", marked}},
         Script(HalvireList()).Add(Choose(3)).Add("key s @statistics"),
         {{"statistics", {"   LINE 12 HOLDS AN END-OF-FILE MARK (CTRL-Z) WITH MORE AFTER IT.",
                          "   READING STOPPED THERE; THE 11 VALUES BEFORE IT WERE KEPT.",
                          "  Number of observations=     11"}}},
         {},
         nullptr},
        {"ospe: a mark at the very end says nothing",
         OspeMain,
         {{"end.dat", Numbers(Wave(30)) + "\x1A"}},
         Script(OspeList()).Add(Choose(3)).Add("key x @count"),
         {{"count", {"", " Number of data values, n=   30", "", "", "", "", "", kOspeAny}}},
         {},
         nullptr},
    });
}

// The source menu stands whole, with the bar over the item Enter takes: keyboard entry.
void ExpectSourceMenu(const ScreenPicture& menu, const std::string& message)
{
    const int row = RowOf(menu, " Enter model from keyboard");
    ASSERT_GE(row, 1) << menu.text;
    EXPECT_EQ(menu.Row(row - 2), message);
    EXPECT_EQ(menu.Row(row + 1), " Read model from a file");
    const auto white = [&](int r) { return menu.Count(0, r * 14, kPcWidth - 1, r * 14 + 13, 15); };
    EXPECT_GT(white(row), 0) << menu.text;
    EXPECT_EQ(white(row + 1), 0) << menu.text;
}

TEST(UserFiles, HalvireSourceMenuAfterAModelFileItCannotUse)
{
    const Script start = {"key a", "key a", "key e", "key r"};
    RunAll({
        {"a missing model file is said; Enter on the menu starts keyboard entry",
         HalvireMain,
         {},
         Script(start).Add({"line none.mod", "key enter @menu", "line 0 @d"}),
         {{"d", {"  Specify the order of differencing (-.5<d<.5) :"}}},
         {},
         [](const auto& screen, const ScratchFolder&) {
             ExpectSourceMenu(screen("menu"), "      MODEL FILE NOT FOUND: none.mod");
         }},
        {"a refused model file; the file again from the menu",
         HalvireMain,
         {{"bad.mod", "0.2\n11\n"}, {"good.mod", "0.1\n0\n0\n2\n"}},
         Script(start).Add({"line bad.mod", "key r @menu", "line good.mod @name", "key x @model"}),
         {{"model", {"  ORDER OF DIFFERENCING", "      0.1000000", "  WN VARIANCE", "  0.2000000E+01"}}},
         {},
         [](const auto& screen, const ScratchFolder&) {
             ExpectSourceMenu(screen("menu"), "      MODEL FILE REFUSED: p OR q NOT IN 0..10.");
         }},
    });
}

TEST(UserFiles, NoOutputIsWrittenOverTheDataRead)
{
    const std::string pairs = Pairs(40);
    const std::string wave = Numbers(Wave(72));
    const Script varFit = {"key s", "line 1", "key a", "key a", "key n", "key y", "line data.txt @first name",
                           "line errors.txt @second name", "key n", "key x"};
    // The data file as it was, and the output under the other name.
    auto unchanged = [](const std::string& name, const std::string& data, const std::string& output) {
        return [name, data, output](const auto&, const ScratchFolder& folder) {
            EXPECT_EQ(folder.Read(name), data);
            EXPECT_FALSE(folder.Read(output).empty());
        };
    };
    RunAll({
        {"molda: the prediction errors",
         MoldaMain,
         {{"data.txt", pairs}},
         Script(VarList(2)).Add(Choose(3)).Add(VarToModelMenu()).Add(varFit),
         {{"second name",
           {"    Enter filename for the prediction errors : data.txt",
            "     The file data.txt holds the data read: give another name.", "", "",
            "    Enter filename for the prediction errors :"}}},
         {},
         unchanged("data.txt", pairs, "errors.txt")},
        {"drav: the prediction errors",
         DravMain,
         {{"data.txt", pairs}},
         Script(VarList(2)).Add(Choose(3)).Add(VarToModelMenu()).Add(varFit),
         {{"second name",
           {"    Enter filename for the prediction errors : data.txt",
            "     The file data.txt holds the data read: give another name.", "", "",
            "    Enter filename for the prediction errors :"}}},
         {},
         unchanged("data.txt", pairs, "errors.txt")},
        {"ospe: the data with the forecasts, under two spellings of its name",
         OspeMain,
         {{"data.dat", wave}},
         Script(OspeList())
             .Add(Choose(3))
             .Add({"key x", "key b", "key f", "key x", "line 1", "key x", "key x", "key x", "key enter", "key y",
                   "line data.dat", "line ./data.dat @second name", "line out.dat @third name", "key x", "key r",
                   "key x"}),
         {{"third name",
           {"  Name of new file? data.dat", " The file data.dat holds the data read: choose another name.",
            "  Name of new file? ./data.dat", " The file ./data.dat holds the data read: choose another name.",
            "  Name of new file?"}}},
         {},
         unchanged("data.dat", wave, "out.dat")},
        {"halvire: the model file",
         HalvireMain,
         {{"data.txt", wave}},
         Script(HalvireList())
             .Add(Choose(3))
             .Add({"key a", "key e", "line 0", "line 0", "line 0", "line 1", "key n", "key a", "key f",
                   "line data.txt", "line w.mod @second name", "key a", "key x"}),
         {{"second name",
           {" Name of file for model : data.txt", "   FILE HOLDS THE DATA IN USE, GIVE ANOTHER NAME: data.txt",
            " Name of file for model :"}}},
         {},
         unchanged("data.txt", wave, "w.mod")},
    });
}

TEST(UserFiles, AnEmptyOutputNameIsAskedAgain)
{
    const std::string pairs = Pairs(40);
    const std::string wave = Numbers(Wave(72));
    const Script varFit = {"key s", "line 1", "key a", "key a", "key n", "key y", "line @first name",
                           "line errors.txt @second name", "key n", "key x"};
    auto written = [](const std::string& output) {
        return [output](const auto&, const ScratchFolder& folder) { EXPECT_FALSE(folder.Read(output).empty()); };
    };
    RunAll({
        {"molda: the prediction errors",
         MoldaMain,
         {{"data.txt", pairs}},
         Script(VarList(2)).Add(Choose(3)).Add(VarToModelMenu()).Add(varFit),
         {{"second name",
           {"    Enter filename for the prediction errors :", "     The file name is empty: give a name.", "", "",
            "    Enter filename for the prediction errors :"}}},
         {{"", "could not be written"}},
         written("errors.txt")},
        {"drav: the prediction errors",
         DravMain,
         {{"data.txt", pairs}},
         Script(VarList(2)).Add(Choose(3)).Add(VarToModelMenu()).Add(varFit),
         {{"second name",
           {"    Enter filename for the prediction errors :", "     The file name is empty: give a name.", "", "",
            "    Enter filename for the prediction errors :"}}},
         {{"", "could not be written"}},
         written("errors.txt")},
        {"ospe: the data with the forecasts",
         OspeMain,
         {{"data.dat", wave}},
         Script(OspeList())
             .Add(Choose(3))
             .Add({"key x", "key b", "key f", "key x", "line 1", "key x", "key x", "key x", "key enter", "key y", "line",
                   "line out.dat @second name", "key x", "key r", "key x"}),
         {{"second name",
           {"  Name of new file?", " The file name is empty: give a name.", "  Name of new file?"}}},
         {{"", "could not be written"}},
         written("out.dat")},
        {"halvire: the model file",
         HalvireMain,
         {{"data.txt", wave}},
         Script(HalvireList())
             .Add(Choose(3))
             .Add({"key a", "key e", "line 0", "line 0", "line 0", "line 1", "key n", "key a", "key f", "line",
                   "line w.mod @second name", "key a", "key x"}),
         {{"second name", {" Name of file for model :", "   THE FILE NAME IS EMPTY: GIVE A NAME.", " Name of file for model :"}}},
         {{"", "COULD NOT BE WRITTEN"}},
         written("w.mod")},
    });
}

TEST(UserFiles, NothingStandsOverAMenuThatIsDone)
{
    const std::string toShort = "   The series is too short to fit an autoregression.";
    Script one = Script(VarList(1)).Add(Choose(3)).Add(VarToModelMenu());
    one.Add({"key a @too short", "key x @main menu"});
    std::string proportional;
    for (int t = 1; t <= 20; ++t) proportional += std::to_string(t % 7) + " " + std::to_string(2 * (t % 7)) + "\n";
    RunAll({
        {"molda: one observation is too short", MoldaMain, {{"one.dat", "5\n"}}, one,
         {{"too short", {toShort, kVarAny}}, {"main menu", {"   Enter data"}}}, {{"", "p < -1"}}, nullptr},
        {"drav: one observation is too short", DravMain, {{"one.dat", "5\n"}}, one,
         {{"too short", {toShort, kVarAny}}, {"main menu", {"   Enter data"}}}, {{"", "Numerical"}}, nullptr},
        {"molda: a constant component asks for its scale on a page of its own",
         MoldaMain,
         {{"const.dat", "5 1\n5 2\n5 4\n5 3\n"}},
         Script(VarList(2)).Add(Choose(3)).Add({"key a", "key 1 @plot", "line 6 @bounds", "line 4"}),
         {{"bounds", {"", " All the values to be plotted are equal: give the vertical scale.", "",
                      "  Enter maximum for vertical scale :"}}},
         {{"bounds", "Plot 1st component"}},
         nullptr},
        {"ospe: a constant series likewise",
         OspeMain,
         {{"same.dat", Repeated("0.1\n", 30)}},
         Script(OspeList()).Add(Choose(3)).Add({"key x", "key p @plot", "line 1 @bounds", "line 0"}),
         {{"bounds", {"", " All the values to be plotted are equal: give the vertical scale.", "", "",
                      "  Enter maximum for vertical scale :"}}},
         {{"bounds", "Plot the data."}},
         nullptr},
        {"drav: proportional series, the difficulty on a page of its own",
         DravMain,
         {{"prop.dat", proportional}},
         Script(VarList(2)).Add(Choose(3)).Add(VarToModelMenu()).Add({"key a @difficulties", "key x"}),
         {{"difficulties", {"", "  Numerical difficulties", "    <Press any key to start over>"}}},
         {{"difficulties", "Yes"}, {"difficulties", "Try new differencing"}},
         nullptr},
    });
}

TEST(UserFiles, LimitsOfSinglePrecision)
{
    std::string big;
    for (int t = 0; t < 40; ++t) big += FreeFormatReal(2e37 + t * 1e35) + " " + std::to_string(t % 5) + "\n";
    RunAll({
        {"drav: means of values near 2e37, then a range message",
         DravMain,
         {{"big.dat", big}},
         Script(VarList(2)).Add(Choose(3)).Add(VarToModelMenu()).Add({"key a @difficulties", "key x"}),
         {{"means", {"   i    Mean of series i   Std. dev. of series i", "   1    0.219500E+38          0.115434E+37"}},
          {"difficulties", {"", "  Numerical difficulties",
                            "   The covariances of the series lie beyond the single-precision range.",
                            "    <Press any key to start over>"}}},
         {{"means", "Infinity"}},
         nullptr},
        {"halvire: d = 0.49999997 shows as 0.5000000 and is refused from a file and the keyboard",
         HalvireMain,
         {{"d.mod", "0.49999997\n0\n0\n1\n"}},
         Script({"key a", "key a", "key e", "key r", "line d.mod", "key e @menu", "line 0.49999997",
                 "line 0.4999999 @second d", "line 0"}),
         {{"menu", {"      MODEL FILE REFUSED: d NOT IN (-.5,.5)."}},
          {"second d", {"  Specify the order of differencing (-.5<d<.5) : 0.49999997",
                        "  Specify the order of differencing (-.5<d<.5) :"}}},
         {},
         nullptr},
    });
}

TEST(UserFiles, TheFileListSaysWhatItLeavesOut)
{
    std::vector<std::pair<std::string, std::string>> seventy;
    for (int k = 0; k < 70; ++k) seventy.push_back({"f" + std::to_string(100 + k) + ".dat", "1\n"});
    std::vector<std::pair<std::string, std::string>> odd = {{"a_name_of_twenty_five_chr", "1\n"},
                                                            {"b_name_of_twenty_six_chars", "1\n"},
                                                            {"good.dat", "1\n"}};
#ifndef _WIN32
    odd.push_back({"donn\xC3\xA9" "es.dat", "1\n"});
#endif
    std::vector<std::string> oddRows = {"SELECT NAME OF FILE ...",
                                        " 2 entries are not listed: their names are longer than 24 characters."};
#ifndef _WIN32
    oddRows.push_back(" 1 entry is not listed: its name is not plain ASCII or ends in a blank.");
#endif
    oddRows.push_back("");
    oddRows.push_back(" <.                       >");
    // The list's frame, 2 pixels above its first row, keeps off the lines that say what is left out.
    const auto framed = [](const auto& screen, const ScratchFolder&) {
        const ScreenPicture& list = screen("list");
        const int first = RowOf(list, " <.                       >");
        ASSERT_GT(first, 2) << list.text;
        for (int row = 0; row < first - 1; ++row)
            EXPECT_EQ(list.Count(0, row * 14, kPcWidth - 1, row * 14 + 13, 7), 0) << "row " << row << "\n" << list.text;
    };
    RunAll({
        {"ospe: long names and names outside plain ASCII", OspeMain, odd, Script(OspeList()).Add("key down @list"),
         {{"list", oddRows}}, {}, framed},
#ifndef _WIN32
        {"ospe: all three reasons under its prompt's empty line: one line tells all",
         OspeMain,
         [&] {
             std::vector<std::pair<std::string, std::string>> files = seventy;
             files.push_back(odd[0]);
             files.push_back(odd[3]);
             return files;
         }(),
         Script(OspeList()).Add("key down @list"),
         {{"list", {"SELECT NAME OF FILE ...", " 5 entries are not listed: long or unusual names, or past the 69th.", "",
                    " <.                       >"}}},
         {},
         framed},
#endif
        {"molda: entries past the 69th",
         MoldaMain,
         seventy,
         Script(VarList(1)).Add("key down @list"),
         {{"list", {"  SELECT NAME OF FILE ...", " 3 entries are not listed: the list holds at most 69.", "",
                    " <.                       >"}}},
         {},
         framed},
    });
}

}  // namespace
