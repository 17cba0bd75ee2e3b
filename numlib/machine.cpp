#include "numlib/machine.h"

#include "numlib/error_stack.h"
#include "numlib/text_routines.h"
#include "platform/standard_output.h"

#include <array>
#include <cstdint>
#include <cstring>
#include <string>

namespace {

void StdoutWriter(int, std::string_view text, void*)
{
    WriteStandardOutput(text);
}

struct Output {
    LibraryWriter writer = StdoutWriter;
    void* context = nullptr;
};

Output& OutputChannel()
{
    static Output output;
    return output;
}

std::array<int, 3> units = {5, 6, 6};

std::string RightJustified(int value, size_t width)
{
    std::string text = std::to_string(value);
    if (text.size() < width) text.insert(0, width - text.size(), ' ');
    return text;
}

double FromBits(uint64_t bits)
{
    double x;
    std::memcpy(&x, &bits, sizeof x);
    return x;
}

// The option store. Only MATH chapter 1 holds options with values; options 1 to 15 of that
// chapter exist without values.
constexpr int kMathChapters = 10;
constexpr int kStatChapters = 20;
constexpr int kMathChapter1Options = 17;

struct OptionStore {
    bool initialised = false;
    std::vector<int> defaults16 = {1, 16, 0, 1};
    std::vector<int> defaults17 = {1, 2};
    std::vector<int> current16;
    std::vector<int> current17;
    int skipChecks = 0;          // 1 skips the argument checks
    int reportSwitch = 2147483647;  // above 0: every get and put is reported
};

OptionStore& Store()
{
    static OptionStore store;
    if (!store.initialised) {
        store.current16 = store.defaults16;
        store.current17 = store.defaults17;
        store.initialised = true;
    }
    return store;
}

int ValueCount(int option)
{
    const int k = option < 0 ? -option : option;
    return k == 16 ? 4 : (k == 17 ? 2 : 0);
}

std::vector<int>* OptionValues(int option, bool defaults)
{
    OptionStore& s = Store();
    const int k = option < 0 ? -option : option;
    if (k == 16) return defaults ? &s.defaults16 : &s.current16;
    if (k == 17) return defaults ? &s.defaults17 : &s.current17;
    return nullptr;
}

std::string ProductField(std::string_view product)
{
    std::string p(product.substr(0, 4));
    p.resize(4, ' ');
    return p;
}

void Report(bool get, int option, std::string_view product, int chapter, const std::vector<int>& values)
{
    int out = 6;
    UMACH(2, out);
    std::string text;
    if (get) {
        text = "\n A return (get) of the following values from option\n number " + RightJustified(option, 6) +
               " in " + ProductField(product) + " chapter " + RightJustified(chapter, 2) +
               " was performed by IUMAG:\n";
    } else {
        text = "\n A change (put) was made by IUMAG to option number " + RightJustified(option, 6) + " in " +
               ProductField(product) + "\n chapter " + RightJustified(chapter, 2) +
               ", resulting in the following values for that option:\n";
    }
    text += std::string(13, ' ') + "entry number" + std::string(14, ' ') + "value\n";
    for (size_t i = 0; i < values.size(); ++i) {
        text += std::string(19, ' ') + RightJustified(static_cast<int>(i) + 1, 6) + std::string(7, ' ') +
                RightJustified(values[i], 12) + "\n";
    }
    LibraryWrite(out, text);
}

}  // namespace

void SetLibraryWriter(LibraryWriter writer, void* context)
{
    Output& o = OutputChannel();
    o.writer = writer ? writer : StdoutWriter;
    o.context = writer ? context : nullptr;
}

void LibraryWrite(int unit, std::string_view text)
{
    Output& o = OutputChannel();
    o.writer(unit, text, o.context);
}

void UMACH(int n, int& unit)
{
    if (n >= 1 && n <= 3) {
        unit = units[static_cast<size_t>(n - 1)];
        return;
    }
    if (n >= -3 && n <= -1) {
        units[static_cast<size_t>(-n - 1)] = unit;
        return;
    }
    const int magnitude = n < 0 ? -n : n;
    LibraryErrorText(units[2], "\n *** TERMINAL ERROR 5 from UMACH.  The absolute\n"
                               " ***          value of the index variable must be\n"
                               " ***          1, 2, or 3.  IABS(N) = " +
                                   RightJustified(magnitude, 6) + ".\n\n");
    LibraryRunTimeStop();
}

int IMACH(int n)
{
    static constexpr std::array<int, 12> table = {32, 4, 2, 31, 2147483647, 2, 24, -125, 128, 53, -1021, 1024};
    if (n >= 1 && n <= 12) return table[static_cast<size_t>(n - 1)];
    int out = 6;
    UMACH(2, out);
    LibraryErrorText(out, "\n *** TERMINAL ERROR 5 from IMACH.  The argument\n"
                          " ***          must be between 1 and 12 inclusive.\n"
                          " ***          N = " +
                              RightJustified(n, 6) + ".\n\n");
    LibraryRunTimeStop();
    return 0;
}

double DMACH(int n)
{
    static constexpr std::array<uint64_t, 8> bits = {0x0010000000000000ULL, 0x7FEFFFFFFFFFFFFFULL,
                                                      0x3CA0000000000000ULL, 0x3CB0000000000000ULL,
                                                      0x3FD34413509F79FFULL, 0x7FF8000000000000ULL,
                                                      0x7FF0000000000000ULL, 0xFFF0000000000000ULL};
    if (n >= 1 && n <= 8) return FromBits(bits[static_cast<size_t>(n - 1)]);
    E1PSH("DMACH");
    MsgSetInt(1, n);
    E1MES(5, 5, "The argument must be between 1 and 8 inclusive. N = %(I1)");
    E1POP("DMACH");
    return FromBits(bits[5]);
}

bool IsNaN(double x)
{
    uint64_t bits;
    std::memcpy(&bits, &x, sizeof bits);
    return (bits & 0x7FF0000000000000ULL) == 0x7FF0000000000000ULL && (bits & 0x000FFFFFFFFFFFFFULL) != 0;
}

void IUMAG(std::string_view product, int chapter, int action, int numOpt, const std::vector<int>& options,
           std::vector<int>& values)
{
    OptionStore& store = Store();
    E1PSH("IUMAG");
    const bool isMath = CompareNoCase(product, "MATH") == 0;
    const bool isStat = CompareNoCase(product, "STAT") == 0;
    auto option = [&](int i) { return i < static_cast<int>(options.size()) ? options[static_cast<size_t>(i)] : 0; };
    if (store.skipChecks != 1) {
        if (action != 1 && action != 2) {
            MsgSetInt(1, action);
            E1MES(5, 1, "IACT must be 1 to get option values or 2 to put option values.  IACT = %(I1) is invalid.");
            E1POP("IUMAG");
            return;
        }
        if (!isMath && !isStat) {
            MsgSetText(1, product);
            E1MES(5, 2, "The product name must be either MATH or STAT.  PRODNM = %(L1) is invalid.");
            E1POP("IUMAG");
            return;
        }
        const int chapters = isMath ? kMathChapters : kStatChapters;
        if (chapter < 1 || chapter > chapters) {
            MsgSetInt(1, chapter);
            MsgSetInt(2, chapters);
            E1MES(5, 3,
                  isMath ? "ICHP = %(I1) is an invalid MATH chapter number.  To get or put MATH options, ICHP must "
                           "be between 1 and %(I2)."
                         : "ICHP = %(I1) is an invalid STAT chapter number.  To get or put STAT options, ICHP must "
                           "be between 1 and %(I2).");
            E1POP("IUMAG");
            return;
        }
        if (!(isMath && chapter == 1)) {
            MsgSetInt(1, chapter);
            E1MES(5, 4,
                  isMath ? "No options exist for MATH chapter %(I1).  Only existing options may have values "
                           "retrieved from or placed into them."
                         : "No options exist for STAT chapter %(I1).  Only existing options may have values "
                           "retrieved from or placed into them.");
            E1POP("IUMAG");
            return;
        }
        if (numOpt < 1) {
            MsgSetInt(1, numOpt);
            E1MES(5, 5, "NUMOPT = %(I1) is an invalid number of options.  NUMOPT must be greater than zero.");
            E1POP("IUMAG");
            return;
        }
        bool bad = false;
        for (int i = 0; i < numOpt; ++i) {
            const int number = option(i);
            const int k = number < 0 ? -number : number;
            if (number == 0 || k > kMathChapter1Options || ValueCount(number) == 0) {
                MsgSetInt(1, i + 1);
                MsgSetInt(2, number);
                MsgSetText(1, isMath ? "MATH" : "STAT");
                MsgSetInt(3, chapter);
                E1MES(5, 6, "IOPTS(%(I1)) = %(I2) is an invalid %(L1) chapter %(I3) option number.");
                bad = true;
            }
        }
        if (bad) {
            E1POP("IUMAG");
            return;
        }
    }
    size_t place = 0;
    if (action == 1) values.clear();
    for (int i = 0; i < numOpt; ++i) {
        const int number = option(i);
        std::vector<int>* current = OptionValues(number, false);
        std::vector<int>* defaults = OptionValues(number, true);
        if (current == nullptr) continue;  // only reachable with the checks skipped
        if (action == 1) {
            const std::vector<int>& source = number < 0 ? *defaults : *current;
            values.insert(values.end(), source.begin(), source.end());
        } else if (number < 0) {
            *current = *defaults;
        } else {
            for (size_t k = 0; k < current->size() && place + k < values.size(); ++k) (*current)[k] = values[place + k];
        }
        place += current->size();
        if (store.reportSwitch > 0) Report(action == 1, number, product, chapter, number < 0 && action == 1 ? *defaults : *current);
    }
    E1POP("IUMAG");
}
