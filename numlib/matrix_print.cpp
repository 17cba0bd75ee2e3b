#include "numlib/matrix_print.h"

#include "numlib/error_stack.h"
#include "numlib/machine.h"
#include "platform/fortran_format.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <string>

// Codes of a malformed FMT in DW2RRL.
//  6 first non-blank is not '('         13 bad character in a field width
//  7 last non-blank is not ')'          14 bad character in the significant digits of V or W
//  8 a character outside the allowed set 15 bad scale factor
//  9 an empty item                       16 bad character in the fractional digits (D, E, F, G)
// 10 a descriptor without its parts      17 bad character in the digits of an I descriptor
// 11 too many digits for the width       18 bad character in the exponent digits (E, G)
// 12 bad repeat specification            19 unbalanced or stray parentheses, no descriptor

namespace {

constexpr int kOptionCount = 16;
constexpr int kNoUpperBound = 2147483647;
constexpr int kLargestInteger = 2147483647;  // IMACH(5)

struct PrintOption {
    int current;
    int permanent;
    int scope;
};

struct OptionRange {
    int low;
    int high;
};

constexpr std::array<int, kOptionCount> kOptionDefault = {0, 1000000, -2, 2, 0, 3, 2, 0, 3, 0, 0, 0, 10, 0, 0, 0};
constexpr std::array<OptionRange, kOptionCount> kOptionRange = {{{0, 1},
                                                                 {0, kNoUpperBound},
                                                                 {-2, kNoUpperBound},
                                                                 {0, 3},
                                                                 {0, 1},
                                                                 {0, 5},
                                                                 {0, 5},
                                                                 {0, 255},
                                                                 {0, 10},
                                                                 {0, 50},
                                                                 {0, 255},
                                                                 {0, 50},
                                                                 {1, 50},
                                                                 {0, 1},
                                                                 {0, 1},
                                                                 {0, 1}}};

struct PrintSettings {
    int pageWidth = 78;
    int pageLength = 60;
    std::array<PrintOption, kOptionCount> options;
};

PrintSettings& Settings()
{
    static PrintSettings settings = [] {
        PrintSettings s;
        for (int k = 0; k < kOptionCount; ++k) {
            const size_t i = static_cast<size_t>(k);
            s.options[i] = {kOptionDefault[i], kOptionDefault[i], 1};
        }
        return s;
    }();
    return settings;
}

int Option(int k)
{
    return Settings().options[static_cast<size_t>(k - 1)].current;
}

const std::string kDots = "........................................ ";
const std::string kPlus = "++++++++++++++++++++++++++++++++++++++++ ";
const std::string kMinus = "---------------------------------------- ";
const std::string kStars = "****************************************";

// The generic argument messages.
void AtLeastError(int code, const char* name, int value, int low)
{
    MsgSetText(1, name);
    MsgSetInt(1, value);
    MsgSetInt(2, low);
    E1MES(5, code, "%(L1) = %(I1).  %(L1) must be greater than or equal to %(I2).");
}

void RangeError(int code, const char* name, int value, int low, int high)
{
    if (high == kNoUpperBound) {
        AtLeastError(code, name, value, low);
        return;
    }
    MsgSetText(1, name);
    MsgSetInt(1, value);
    MsgSetInt(2, low);
    MsgSetInt(3, high);
    E1MES(5, code, "%(L1) = %(I1).  %(L1) must be greater than or equal to %(I2) and less than or equal to %(I3).");
}

void NotAboveError(int code, const char* name1, int value1, const char* name2, int value2)
{
    MsgSetText(1, name1);
    MsgSetText(2, name2);
    MsgSetInt(1, value1);
    MsgSetInt(2, value2);
    E1MES(5, code, "%(L1) = %(I1) and %(L2) = %(I2).  %(L1) must be less than or equal to %(L2).");
}

// Checks shared by DW2RRL and DFMTRR (codes 1 to 4).
void CheckMatrixShape(int nra, int nca, int lda)
{
    if (nra < 0) AtLeastError(1, "NRA", nra, 0);
    if (lda < 1) AtLeastError(2, "LDA", lda, 1);
    if (nra >= 1 && nca != 0 && nra > lda) NotAboveError(3, "NRA", nra, "LDA", lda);
    if (nca < 0) AtLeastError(4, "NCA", nca, 0);
}

// Checks of a width and a digit count (DFMTRR and DFMTX): the width 3..40 in magnitude, the
// digits 1..width in magnitude.
void CheckWidthAndDigits(int widthCode, int nwidth, int nsig)
{
    const int w = std::abs(nwidth);
    if (w < 3 || w > 40) RangeError(widthCode, "NWIDTH", nwidth, 3, 40);
    const int d = std::abs(nsig);
    if (d < 1 || (w >= 3 && w <= 40 && d > w)) {
        MsgSetInt(1, nsig);
        MsgSetInt(2, nwidth);
        E1MES(5, widthCode + 1, "NSIG = %(I1) and NWIDTH = %(I2).  IABS(NSIG) must be at least 1 and at most IABS(NWIDTH).");
    }
}

bool InPart(int i, int j, int itring)
{
    switch (itring) {
    case 1: return i <= j;
    case 2: return i < j;
    case -1: return i >= j;
    case -2: return i > j;
    default: return true;
    }
}

std::string Padded10(std::string text)
{
    if (text.size() < 10) text.resize(10, ' ');
    return text;
}

std::string TrimRight(std::string_view text)
{
    const size_t last = text.find_last_not_of(' ');
    return last == std::string_view::npos ? std::string() : std::string(text.substr(0, last + 1));
}

std::string FixedFormat(int w, int d)
{
    return "(0PF" + std::to_string(w) + "." + std::to_string(d) + ")";
}

std::string ExponentFormat(int w, int nsig)
{
    const int d = std::max(0, std::min(nsig - 1, w - 7));
    return "(1PE" + std::to_string(w) + "." + std::to_string(d) + ")";
}

// DFMTX's choice once the arguments are known to be sound.
std::string ChooseFormat(double value, int w, int nsig)
{
    const double magnitude = std::fabs(value);
    if (w >= 7 && magnitude != 0.0 && (magnitude < 1e-3 || magnitude >= 1e7)) return ExponentFormat(w, nsig);
    // Position of the leading digit: 1 for 1 <= |x| < 10, 0 for 0.1 <= |x| < 1, -1 below that.
    int lead = 1;
    if (magnitude != 0.0) {
        lead = static_cast<int>(std::floor(std::log10(magnitude))) + 1;
        // log10 can land just below an exact power of ten.
        if (std::pow(10.0, lead) <= magnitude) ++lead;
    }
    const int digits = std::max(lead, 1);
    int d = std::max(nsig - lead, 0);
    while (digits + d + 2 > w && d > 0) --d;
    // A narrow field that cannot hold the value shows the field writer's asterisks.
    if (digits + d + 2 > w && w >= 7) return ExponentFormat(w, nsig);
    return FixedFormat(w, d);
}

bool IsFinite(double x)
{
    return !IsNaN(x) && std::fabs(x) <= DMACH(2);
}

// One column's edit descriptor after expansion of repeats and groups.
struct ColumnFormat {
    char kind = 'F';  // D, E, F, G, I, V or W
    int width = 10;
    int digits = 0;
    bool hasDigits = false;
    int exponent = 0;  // 0 = none
    int scale = 0;
};

struct FormatParser {
    std::string fmt;  // blanks removed, letters upper-cased
    size_t pos = 0;
    size_t limit = 1;  // expansion beyond this many descriptors is never used
    int scale = 0;
    int errorCode = 0;

    void Fail(int code, const std::string& piece, char kind = ' ')
    {
        if (errorCode != 0) return;
        errorCode = code;
        const std::string prefix = "The following format in FMT contains an invalid character for the ";
        const std::string kindText(1, kind);
        MsgSetText(1, piece);
        MsgSetText(2, kindText);
        MsgSetText(3, (std::string_view("EFI").find(kind) != std::string_view::npos ? "an " : "a ") + kindText + " format");
        switch (code) {
        case 9: E1MES(5, code, "A null string is encountered in FMT: '%(L1)'"); break;
        case 10: E1MES(5, code, "FMT contains the following invalid %(L2) format: '%(L1)'"); break;
        case 11:
            if (kind == 'V' || kind == 'W') {
                E1MES(5, code, "FMT contains an invalid number of significant digits for the following %(L2) format: '%(L1)'");
            } else if (kind == 'I') {
                E1MES(5, code, "FMT contains an invalid number of digits to be printed for the following %(L2) format: '%(L1)'");
            } else {
                E1MES(5, code, "FMT contains an invalid number of digits for the fractional part for the following %(L2) format: '%(L1)'");
            }
            break;
        case 12: E1MES(5, code, prefix + "repeat specification: '%(L1)'"); break;
        case 13: E1MES(5, code, prefix + "field width: '%(L1)'"); break;
        case 14: E1MES(5, code, prefix + "number of significant digits for %(L3): '%(L1)'"); break;
        case 15: E1MES(5, code, prefix + "scale factor: '%(L1)'"); break;
        case 16: E1MES(5, code, prefix + "number of digits in the fractional part for %(L3): '%(L1)'"); break;
        case 17:
            E1MES(5, code, prefix + "number of digits (including leading zeros) to be printed for an I format: '%(L1)'");
            break;
        case 18: E1MES(5, code, prefix + "number of digits for the exponent for %(L3): '%(L1)'"); break;
        default: E1MES(5, 19, "FMT = '%(L1)' is not a well-formed list of edit descriptors."); break;
        }
    }

    static bool AllDigits(const std::string& s)
    {
        return !s.empty() && s.find_first_not_of("0123456789") == std::string::npos;
    }

    // A count of at most six digits (no format needs more), or -1.
    static int Count(const std::string& s)
    {
        if (!AllDigits(s) || s.size() > 6) return -1;
        return std::stoi(s);
    }

    // One item between separators: a scale factor, a descriptor, or both ("1PE12.5").
    void Item(const std::string& item, std::vector<ColumnFormat>& out)
    {
        std::string rest = item;
        const size_t p = item.find('P');
        if (p != std::string::npos) {
            std::string factor = item.substr(0, p);
            const bool negative = !factor.empty() && (factor[0] == '-' || factor[0] == '+');
            const std::string magnitude = negative ? factor.substr(1) : factor;
            const int k = Count(magnitude);
            if (k < 0) return Fail(15, item);
            scale = factor[0] == '-' ? -k : k;
            rest = item.substr(p + 1);
            if (rest.empty()) return;
        }
        const size_t letter = rest.find_first_of("DEFGIVW");
        if (letter == std::string::npos) return Fail(19, fmt);
        const std::string repeatText = rest.substr(0, letter);
        int repeat = 1;
        if (!repeatText.empty()) {
            repeat = Count(repeatText);
            if (repeat < 1) return Fail(12, item);
        }
        ColumnFormat cf;
        cf.kind = rest[letter];
        cf.scale = scale;
        const std::string spec = rest.substr(letter + 1);
        const std::string piece = rest.substr(letter);
        const size_t dot = spec.find('.');
        const std::string widthText = spec.substr(0, dot);
        if (widthText.empty()) return Fail(10, piece, cf.kind);
        if (!AllDigits(widthText)) return Fail(13, piece, cf.kind);
        cf.width = Count(widthText);
        if (cf.width < 1 || cf.width > 40) return Fail(10, piece, cf.kind);
        if (dot == std::string::npos) {
            if (cf.kind != 'I') return Fail(10, piece, cf.kind);
        } else {
            std::string digitText = spec.substr(dot + 1);
            std::string exponentText;
            if (cf.kind == 'E' || cf.kind == 'G') {
                const size_t e = digitText.find('E');
                if (e != std::string::npos) {
                    exponentText = digitText.substr(e + 1);
                    digitText.resize(e);
                    if (!AllDigits(exponentText) || Count(exponentText) < 1) return Fail(18, piece, cf.kind);
                    cf.exponent = Count(exponentText);
                }
            }
            if (digitText.empty()) return Fail(10, piece, cf.kind);
            if (!AllDigits(digitText)) {
                const int code = cf.kind == 'I' ? 17 : (cf.kind == 'V' || cf.kind == 'W') ? 14 : 16;
                return Fail(code, piece, cf.kind);
            }
            cf.digits = Count(digitText);
            cf.hasDigits = true;
            bool sound;
            if (cf.kind == 'I') sound = cf.digits <= cf.width;
            else if (cf.kind == 'V' || cf.kind == 'W') sound = cf.width >= 3 && cf.digits >= 1 && cf.digits <= cf.width;
            else sound = cf.digits < cf.width;
            if (!sound || cf.digits < 0) return Fail(11, piece, cf.kind);
        }
        for (int r = 0; r < repeat && out.size() < limit; ++r) out.push_back(cf);
    }

    // A list up to the ')' that closes it; pos is just after its '('.
    void List(std::vector<ColumnFormat>& out)
    {
        bool expectItem = true;
        while (errorCode == 0) {
            if (pos >= fmt.size()) return Fail(19, fmt);
            const char c = fmt[pos];
            if (c == ')' || c == ',') {
                if (expectItem) return Fail(9, fmt);
                ++pos;
                if (c == ')') return;
                expectItem = true;
                continue;
            }
            if (!expectItem) return Fail(19, fmt);
            const size_t end = fmt.find_first_of("(),", pos);
            if (end == std::string::npos) return Fail(19, fmt);
            const std::string text = fmt.substr(pos, end - pos);
            pos = end;
            if (fmt[end] == '(') {
                int repeat = 1;
                if (!text.empty()) {
                    repeat = Count(text);
                    if (repeat < 1) return Fail(12, text + "(");
                }
                ++pos;
                std::vector<ColumnFormat> group;
                List(group);
                if (errorCode != 0) return;
                for (int r = 0; r < repeat && out.size() < limit && !group.empty(); ++r) {
                    for (const ColumnFormat& g : group) {
                        if (out.size() < limit) out.push_back(g);
                    }
                }
            } else {
                Item(text, out);
            }
            expectItem = false;
        }
    }
};

// Validates `fmt` and expands it to at most `limit` column descriptors. Returns 0 or the error code
// raised.
int ParseFormat(std::string_view fmt, size_t limit, std::vector<ColumnFormat>& columns)
{
    FormatParser parser;
    parser.limit = std::max<size_t>(limit, 1);
    const size_t first = fmt.find_first_not_of(' ');
    const size_t last = fmt.find_last_not_of(' ');
    if (fmt[first] != '(') {
        E1MES(5, 6, "The first non-blank position of FMT must be a left parenthesis.");
        return 6;
    }
    if (fmt[last] != ')') {
        E1MES(5, 7, "The last non-blank position of FMT must be a right parenthesis.");
        return 7;
    }
    for (size_t i = first; i <= last; ++i) {
        char c = fmt[i];
        if (c == ' ') continue;
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
        if (std::string_view("0123456789.,()+-PDEFGIVW").find(c) == std::string_view::npos) {
            MsgSetText(-1, std::string(1, fmt[i]));
            E1MES(5, 8,
                  "An invalid character is in FMT:  '%(L1)'  Only D, E, F, G, I, V and W edit descriptors are allowed "
                  "in this routine.");
            return 8;
        }
        parser.fmt += c;
    }
    parser.pos = 1;
    parser.List(columns);
    if (parser.errorCode == 0 && parser.pos != parser.fmt.size()) parser.Fail(19, parser.fmt);
    if (parser.errorCode == 0 && columns.empty()) parser.Fail(19, parser.fmt);
    return parser.errorCode;
}

// The text of a special value in a field of width w, by option 4.
std::string SpecialField(double x, int w, int display)
{
    const size_t width = static_cast<size_t>(w);
    auto right = [width](const std::string& s) {
        return s.size() >= width ? s.substr(0, width) : std::string(width - s.size(), ' ') + s;
    };
    if (IsNaN(x)) {
        if (display == 0) return kDots.substr(0, width);
        if (display == 2) return right("NaN");
        return std::string(width, ' ');
    }
    if (display == 0 || display == 1) return (x > 0 ? kPlus : kMinus).substr(0, width);
    if (x > 0) return right("Inf");
    return right(w < 4 ? "Inf" : "-Inf");
}

// Format text for the field writer; V and W have been resolved to `resolved` by the caller.
std::string DescriptorText(const ColumnFormat& cf)
{
    std::string text = "(";
    if (cf.kind != 'I' && cf.scale != 0) text += std::to_string(cf.scale) + "P";
    text += cf.kind;
    text += std::to_string(cf.width);
    if (cf.hasDigits) text += "." + std::to_string(cf.digits);
    if (cf.exponent > 0) text += "E" + std::to_string(cf.exponent);
    return text + ")";
}

// One value in its field: the field writer's text, cut to the width, or the fills.
std::string FieldText(double x, const std::string& format, int width, bool integer)
{
    if (!IsFinite(x)) return SpecialField(x, width, Option(4));
    std::string out;
    int done;
    if (integer) {
        if (std::fabs(x) >= kLargestInteger) return kStars.substr(0, static_cast<size_t>(width));
        done = WriteFormatted(format, {static_cast<long long>(std::llround(x))}, out);
    } else {
        done = WriteFormatted(format, {x}, out);
    }
    if (!out.empty() && out.back() == '\n') out.pop_back();
    if (done != 1 || out.size() < static_cast<size_t>(width)) return kStars.substr(0, static_cast<size_t>(width));
    return out.substr(0, static_cast<size_t>(width));
}

std::string RightIn(const std::string& text, size_t width)
{
    if (text.size() >= width) return text.substr(0, width);
    return std::string(width - text.size(), ' ') + text;
}

std::string LeftIn(const std::string& text, size_t width)
{
    std::string s = text.substr(0, width);
    s.resize(width, ' ');
    return s;
}

bool Is(const std::vector<std::string>& labels, const char* word)
{
    return !labels.empty() && TrimRight(labels[0]) == word;
}

// The blank-FMT format of option 6 for the whole printed part.
void DefaultFormat(int nra, int nca, const double* a, int lda, int itring, std::vector<ColumnFormat>& columns,
                   std::vector<std::string>& resolved, std::vector<bool>& integer)
{
    ColumnFormat cf;
    std::string text;
    const int choice = Option(6);
    if (choice == 2 || choice == 5) {
        cf.kind = 'E';
        cf.scale = 1;
        if (choice == 2) {
            cf.width = 12;
            cf.digits = 5;
        } else {
            const int decimal = std::min(static_cast<int>(-std::log10(DMACH(4))), 34);
            cf.digits = decimal - 1;
            cf.width = cf.digits + 7;
        }
        cf.hasDigits = true;
        text = DescriptorText(cf);
    } else {
        const int width = choice == 0 || choice == 3 ? 10 : 12;
        const int digits = choice == 0 || choice == 3 ? 4 : 6;
        const int sign = choice >= 3 ? -1 : 1;
        text = TrimRight(DFMTRR(nra, nca, a, lda, itring, sign * width, sign * digits));
        cf.width = width;
        cf.kind = text.compare(0, 2, "(I") == 0 ? 'I' : 'F';
    }
    columns.assign(1, cf);
    resolved.assign(static_cast<size_t>(nca), text);
    integer.assign(static_cast<size_t>(nca), cf.kind == 'I');
}

}  // namespace

void PGOPT(int iopt, int& ipage)
{
    E1PSH("PGOPT");
    PrintSettings& s = Settings();
    if (iopt == 0 || iopt < -2 || iopt > 2) {
        RangeError(1, "IABS(IOPT)", std::abs(iopt), 1, 2);
    } else if (iopt == -1 && ipage < 10) {
        MsgSetInt(1, ipage);
        E1MES(5, 2, "IPAGE = %(I1).  Page width must be greater than or equal to 10.");
    } else if (iopt == -2 && ipage < 10) {
        MsgSetInt(1, ipage);
        E1MES(5, 3, "IPAGE = %(I1).  Page length must be greater than or equal to 10.");
    } else if (iopt == -1) {
        s.pageWidth = ipage;
    } else if (iopt == -2) {
        s.pageLength = ipage;
    } else {
        ipage = iopt == 1 ? s.pageWidth : s.pageLength;
    }
    E1POP("PGOPT");
}

void WROPT(int iopt, int& iset, int iscope)
{
    E1PSH("WROPT");
    const int k = std::abs(iopt);
    const bool setting = iopt < 0;
    if (k > kOptionCount) RangeError(1, "IABS(IOPT)", k, 0, kOptionCount);
    if (setting && k <= kOptionCount) {
        const OptionRange range = kOptionRange[static_cast<size_t>(k - 1)];
        if (iset < range.low || iset > range.high) RangeError(2, "ISET", iset, range.low, range.high);
    }
    if (iopt != 0 && iscope != 0 && iscope != 1) RangeError(setting ? 3 : 2, "ISCOPE", iscope, 0, 1);
    if (N1RCD(0) == 0) {
        PrintSettings& s = Settings();
        if (iopt == 0) {
            for (int j = 1; j <= kOptionCount; ++j) {
                PrintOption& o = s.options[static_cast<size_t>(j - 1)];
                if (j == 3 && o.permanent >= 0) continue;
                o.current = o.permanent;
                o.scope = 1;
            }
        } else {
            PrintOption& o = s.options[static_cast<size_t>(k - 1)];
            if (setting) {
                o.current = iset;
                if (iscope == 1) o.permanent = iset;
                o.scope = iscope;
            } else {
                iset = iscope == 0 ? o.current : o.permanent;
            }
        }
    }
    E1POP("WROPT");
}

std::string DFMTRR(int nra, int nca, const double* a, int lda, int itring, int nwidth, int nsig)
{
    E1PSH("DFMTRR");
    CheckMatrixShape(nra, nca, lda);
    CheckWidthAndDigits(5, nwidth, nsig);
    std::string format(10, ' ');
    if (N1RCD(0) == 0) {
        const long ld = lda;
        bool whole = true;
        double largest = 0.0;
        for (int j = 1; j <= nca; ++j) {
            for (int i = 1; i <= nra; ++i) {
                if (!InPart(i, j, itring)) continue;
                const double x = a[(j - 1) * ld + (i - 1)];
                if (!IsFinite(x)) continue;
                if (x != std::floor(x)) whole = false;
                if (std::fabs(x) > std::fabs(largest)) largest = x;
            }
        }
        const int w = std::abs(nwidth);
        if (nsig >= 0 && nwidth >= 1 && whole) format = Padded10("(I" + std::to_string(w) + ")");
        else format = Padded10(ChooseFormat(largest, w, std::abs(nsig)));
    }
    E1POP("DFMTRR");
    return format;
}

std::string DFMTX(double value, int nwidth, int nsig)
{
    E1PSH("DFMTX");
    CheckWidthAndDigits(1, nwidth, nsig);
    std::string format(10, ' ');
    if (N1RCD(0) == 0) format = Padded10(ChooseFormat(IsFinite(value) ? value : 0.0, std::abs(nwidth), std::abs(nsig)));
    E1POP("DFMTX");
    return format;
}

void DI1MAX(int n, const double* x, int incx, int& result)
{
    E1PSH("DI1MAX");
    if (n < 0) AtLeastError(1, "N", n, 0);
    if (incx < 1) AtLeastError(2, "INCX", incx, 1);
    if (N1RCD(0) == 0) {
        int best = 0;
        double bestMagnitude = 0.0;
        for (int i = 0; i < n; ++i) {
            const double v = x[static_cast<long>(i) * incx];
            if (IsNaN(v)) continue;
            if (best == 0 || std::fabs(v) > bestMagnitude) {
                best = i + 1;
                bestMagnitude = std::fabs(v);
            }
        }
        result = best;
    }
    E1POP("DI1MAX");
}

void CVTSI(std::string_view text, int& result)
{
    E1PSH("CVTSI");
    const size_t n = text.size();
    if (n < 1) {
        MsgSetInt(1, static_cast<int>(n));
        E1MES(5, 1, "The length of the input string is %(I1)");
        E1POP("CVTSI");
        return;
    }
    size_t i = 0;
    while (i < n && text[i] == ' ') ++i;
    bool negative = false;
    if (i < n && (text[i] == '-' || text[i] == '+')) {
        negative = text[i] == '-';
        ++i;
        while (i < n && text[i] == ' ') ++i;
    }
    long long value = 0;
    bool tooLarge = false;
    const size_t digitsStart = i;
    while (i < n && text[i] >= '0' && text[i] <= '9') {
        value = value * 10 + (text[i] - '0');
        if (value > kLargestInteger) {
            tooLarge = true;
            value = kLargestInteger;
        }
        ++i;
    }
    const size_t digitsEnd = i;
    while (i < n && text[i] == ' ') ++i;
    if (i < n) {
        MsgSetText(-1, text);
        MsgSetInt(1, static_cast<int>(i + 1));
        E1MES(5, 2, "The string '%(L1)' contains a nonnumeric character at position %(I1)");
    } else if (digitsEnd == digitsStart) {
        MsgSetText(-1, text);
        E1MES(5, 4, "The input string '%(L1)' cannot be converted to an integer.");
    } else if (tooLarge) {
        MsgSetText(-1, text);
        E1MES(5, 3, "The string '%(L1)' is too large to be converted to an integer.");
    } else {
        result = static_cast<int>(negative ? -value : value);
    }
    E1POP("CVTSI");
}

void DW2RRL(std::string_view title, int nra, int nca, const double* a, int lda, int itring, std::string_view fmt,
            const std::vector<std::string>& rowLabels, const std::vector<std::string>& colLabels)
{
    E1PSH("DW2RRL");
    CheckMatrixShape(nra, nca, lda);
    if (itring < -2 || itring > 2) RangeError(5, "ITRING", itring, -2, 2);
    if (N1RCD(0) != 0) {
        E1POP("DW2RRL");
        return;
    }

    // Formats: one per column, V and W resolved for the column's printed values.
    std::vector<ColumnFormat> columns;
    std::vector<std::string> resolved;
    std::vector<bool> integer;
    if (fmt.find_first_not_of(' ') == std::string_view::npos) {
        DefaultFormat(nra, nca, a, lda, itring, columns, resolved, integer);
    } else if (ParseFormat(fmt, static_cast<size_t>(nca), columns) == 0) {
        std::vector<double> printed(static_cast<size_t>(std::max(nra, 1)));
        for (int j = 1; j <= nca; ++j) {
            const ColumnFormat& cf = columns[static_cast<size_t>(j - 1) % columns.size()];
            std::string text = DescriptorText(cf);
            bool isInteger = cf.kind == 'I';
            if (cf.kind == 'V' || cf.kind == 'W') {
                for (int i = 1; i <= nra; ++i) {
                    printed[static_cast<size_t>(i - 1)] =
                        InPart(i, j, itring) ? a[static_cast<long>(j - 1) * lda + (i - 1)] : DMACH(6);
                }
                const int nsig = cf.kind == 'V' ? -cf.digits : cf.digits;
                text = TrimRight(DFMTRR(nra, 1, printed.data(), std::max(nra, 1), 0, cf.width, nsig));
                if (N1RCD(1) > 0) break;
                isInteger = text.compare(0, 2, "(I") == 0;
            }
            resolved.push_back(text);
            integer.push_back(isInteger);
        }
    }
    if (N1RCD(0) != 0 || N1RCD(1) > 0) {
        E1POP("DW2RRL");
        return;
    }
    int widest = 0;
    for (const ColumnFormat& cf : columns) widest = std::max(widest, cf.width);

    int pageWidth = 78;
    int pageLength = 60;
    PGOPT(1, pageWidth);
    PGOPT(2, pageLength);
    if (pageWidth > 255) {
        MsgSetInt(1, pageWidth);
        E1MES(5, 38,
              "A page width of %(I1) was retrieved via ORNU routine PGOPT.  The page width must be reset to no greater "
              "than 255 by a call to PGOPT. ");
        E1POP("DW2RRL");
        return;
    }

    // Row labels and the heading over them.
    const bool numberedRows = Is(rowLabels, "NUMBER");
    const bool rowsLabelled = !Is(rowLabels, "NONE") && !rowLabels.empty();
    const int labelLimit = Option(8) > 0 ? Option(8) : (numberedRows ? pageWidth / 4 : pageWidth * 2 / 3);
    const int cornerLimit = Option(10) > 0 ? Option(10) : labelLimit / 3;
    auto rowLabel = [&](int i) {
        if (numberedRows) return std::to_string(i);
        return static_cast<size_t>(i - 1) < rowLabels.size() ? TrimRight(rowLabels[static_cast<size_t>(i - 1)])
                                                             : std::string();
    };
    const bool headingsNumbered = Is(colLabels, "NUMBER");
    const bool ownCorner = !colLabels.empty() && !headingsNumbered && !Is(colLabels, "NONE");
    const std::string corner = ownCorner && rowsLabelled ? TrimRight(colLabels[0]) : std::string();
    bool columnsHeaded = headingsNumbered;
    bool secondNumbered = false;
    if (ownCorner && colLabels.size() >= 2) {
        secondNumbered = TrimRight(colLabels[1]) == "NUMBER";
        columnsHeaded = TrimRight(colLabels[1]) != "NONE";
    }
    auto heading = [&](int j) {
        if (headingsNumbered || secondNumbered) return std::to_string(j);
        const size_t index = static_cast<size_t>(j);
        return index < colLabels.size() ? TrimRight(colLabels[index]) : std::string();
    };

    int rowWidth = 0;
    if (rowsLabelled) {
        for (int i = 1; i <= nra; ++i) rowWidth = std::max(rowWidth, static_cast<int>(rowLabel(i).size()));
        rowWidth = std::min(rowWidth, labelLimit);
        rowWidth = std::max(rowWidth, std::min(static_cast<int>(corner.size()), cornerLimit));
    }

    // Column widths: the field, widened for its heading up to the heading limit.
    const int headingLimit = Option(11) > 0 ? std::max(Option(11), widest) : std::clamp(widest + widest / 2, 15, 40);
    auto formatOf = [&](int j) { return static_cast<size_t>((j - 1) % static_cast<int>(columns.size())); };
    std::vector<int> columnWidth(static_cast<size_t>(nca));
    int widestColumn = 0;
    for (int j = 1; j <= nca; ++j) {
        const int w = columns[formatOf(j)].width;
        const int h = columnsHeaded ? static_cast<int>(heading(j).size()) : 0;
        columnWidth[static_cast<size_t>(j - 1)] = std::max(w, std::min(h, headingLimit));
        widestColumn = std::max(widestColumn, columnWidth[static_cast<size_t>(j - 1)]);
    }
    const int needed = rowWidth + 2 + widestColumn;
    if (nca > 0 && needed > pageWidth) {
        MsgSetInt(1, pageWidth);
        MsgSetInt(2, needed);
        if (widest < 12) {
            E1MES(5, 37,
                  "A page width of %(I1) was retrieved via ORNU routine PGOPT.  The page width must be increased to at "
                  "least %(I2) by a call to PGOPT.");
        } else {
            MsgSetInt(3, widest);
            E1MES(5, 36,
                  "A page width of %(I1) was retrieved via ORNU routine PGOPT.  The format FMT contains a field width "
                  "of %(I3).  Either the largest field width in FMT must be decreased or the page width increased to "
                  "at least %(I2) by a call to PGOPT.");
        }
        E1POP("DW2RRL");
        return;
    }

    // Blocks of columns that fit beside the row labels.
    std::vector<std::pair<int, int>> blocks;
    for (int j = 1; j <= nca;) {
        int width = rowWidth;
        int last = j - 1;
        while (last < nca && width + 2 + columnWidth[static_cast<size_t>(last)] <= pageWidth) {
            width += 2 + columnWidth[static_cast<size_t>(last)];
            ++last;
        }
        blocks.emplace_back(j, last);
        j = last + 1;
    }

    std::string out;
    int linesOnPage = 0;
    auto line = [&](const std::string& text) {
        out += TrimRight(text) + "\n";
        ++linesOnPage;
    };
    const std::string titleText = TrimRight(title);
    if (!titleText.empty()) {
        int lineWidth = rowWidth;
        if (!blocks.empty()) {
            for (int j = blocks[0].first; j <= blocks[0].second; ++j) lineWidth += 2 + columnWidth[static_cast<size_t>(j - 1)];
        }
        const int lead = std::max(0, (lineWidth - static_cast<int>(titleText.size())) / 2);
        line(std::string(static_cast<size_t>(lead), ' ') + titleText);
    }
    const size_t rw = static_cast<size_t>(rowWidth);
    for (const auto& [first, last] : blocks) {
        std::string headingLine = LeftIn(corner, rw);
        for (int j = first; j <= last; ++j) {
            headingLine += "  " + RightIn(columnsHeaded ? heading(j) : std::string(), static_cast<size_t>(columnWidth[static_cast<size_t>(j - 1)]));
        }
        const bool showHeadings = columnsHeaded || !corner.empty();
        auto startPage = [&]() {
            line("");
            if (showHeadings) line(headingLine);
        };
        startPage();
        for (int i = 1; i <= nra; ++i) {
            if (linesOnPage >= pageLength) {
                linesOnPage = 0;
                startPage();
            }
            std::string row;
            if (rowsLabelled) row = numberedRows ? RightIn(rowLabel(i), rw) : LeftIn(rowLabel(i), rw);
            for (int j = first; j <= last; ++j) {
                const size_t f = formatOf(j);
                const int w = columns[f].width;
                const size_t cw = static_cast<size_t>(columnWidth[static_cast<size_t>(j - 1)]);
                std::string field(static_cast<size_t>(w), ' ');
                if (InPart(i, j, itring)) {
                    const size_t c = static_cast<size_t>(j - 1);
                    field = FieldText(a[static_cast<long>(j - 1) * lda + (i - 1)], resolved[c], w, integer[c]);
                }
                row += "  " + RightIn(field, cw);
            }
            line(row);
        }
    }
    int unit = 6;
    UMACH(2, unit);
    LibraryWrite(unit, out);
    E1POP("DW2RRL");
}
