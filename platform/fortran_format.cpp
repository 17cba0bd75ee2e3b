#include "platform/fortran_format.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdlib>
#include <limits>
#include <system_error>

namespace {

// Largest number accepted in a format (widths, digits, counts); beyond it the format is refused,
// which keeps every field computation far from integer overflow.
constexpr int kMaxFormatNumber = 100000;

// Format text to a tree of items.

enum class ItemKind {
    Group,
    Integer,     // Iw[.m]
    Fixed,       // Fw.d
    Exponent,    // Ew.d[Ee]
    DExponent,   // Dw.d
    Scientific,  // ESw.d[Ee]
    General,     // Gw.d[Ee]
    Alpha,       // A[w]
    Skip,        // nX
    Tab,         // Tn
    TabLeft,     // TLn
    TabRight,    // TRn
    Literal,
    Slash,
    Colon,
    Scale,       // kP
    NonAdvance,  // \ or $
};

struct FormatItem {
    ItemKind kind = ItemKind::Group;
    int repeat = 1;
    int w = -1;  // -1: no width given (A)
    int d = -1;  // digits after the point (F, E, D, ES, G); minimum digits for I (-1: none)
    int e = -1;  // exponent digits (Ee); -1: the default form
    int n = 0;   // X, T, TL, TR positions; P scale factor
    std::string text;
    std::vector<FormatItem> items;
};

bool IsDataKind(ItemKind kind)
{
    switch (kind) {
    case ItemKind::Integer:
    case ItemKind::Fixed:
    case ItemKind::Exponent:
    case ItemKind::DExponent:
    case ItemKind::Scientific:
    case ItemKind::General:
    case ItemKind::Alpha:
        return true;
    default:
        return false;
    }
}

bool HasDataItem(const std::vector<FormatItem>& items)
{
    for (const FormatItem& item : items) {
        if (IsDataKind(item.kind) || (item.kind == ItemKind::Group && HasDataItem(item.items)))
            return true;
    }
    return false;
}

char Upper(char c)
{
    return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
}

bool IsDigit(char c)
{
    return c >= '0' && c <= '9';
}

// Blanks are insignificant in a format outside its literals; they are removed before parsing and
// the letters are upper-cased (literals keep their text).
bool Normalise(std::string_view format, std::string& out)
{
    out.clear();
    char quote = 0;
    for (std::size_t i = 0; i < format.size(); ++i) {
        char c = format[i];
        if (quote != 0) {
            out += c;
            if (c == quote) {
                if (i + 1 < format.size() && format[i + 1] == quote) {
                    out += format[++i];
                } else {
                    quote = 0;
                }
            }
        } else if (c == '\'' || c == '"') {
            quote = c;
            out += c;
        } else if (c != ' ' && c != '\t') {
            out += Upper(c);
        }
    }
    return quote == 0;
}

class FormatParser {
public:
    explicit FormatParser(std::string_view text) : text_(text) {}

    // The whole format: "(" list ")" and nothing after it.
    bool Parse(FormatItem& root)
    {
        root = FormatItem();
        if (!Eat('('))
            return false;
        if (!ParseList(root.items))
            return false;
        return pos_ == text_.size();
    }

private:
    bool AtEnd() const { return pos_ >= text_.size(); }
    char Peek() const { return AtEnd() ? '\0' : text_[pos_]; }
    bool Eat(char c)
    {
        if (Peek() != c)
            return false;
        ++pos_;
        return true;
    }

    // An unsigned number; false when none stands here or it is too large.
    bool Number(int& value)
    {
        if (!IsDigit(Peek()))
            return false;
        long long v = 0;
        while (IsDigit(Peek())) {
            v = v * 10 + (text_[pos_++] - '0');
            if (v > kMaxFormatNumber)
                return false;
        }
        value = static_cast<int>(v);
        return true;
    }

    // Items up to and including the closing parenthesis of the current list. Commas between items
    // may be left out, as many compilers allow (the usual "1PE12.5" needs this after P anyway).
    bool ParseList(std::vector<FormatItem>& items)
    {
        for (;;) {
            while (Eat(','))
                ;
            if (AtEnd())
                return false;
            if (Eat(')'))
                return true;
            FormatItem item;
            if (!ParseItem(item))
                return false;
            items.push_back(std::move(item));
        }
    }

    bool ParseLiteral(FormatItem& item)
    {
        char quote = text_[pos_++];
        item.kind = ItemKind::Literal;
        for (;;) {
            if (AtEnd())
                return false;
            char c = text_[pos_++];
            if (c == quote) {
                if (Peek() != quote)
                    return true;
                ++pos_;
            }
            item.text += c;
        }
    }

    bool ParseItem(FormatItem& item)
    {
        char c = Peek();
        if (c == '\'' || c == '"')
            return ParseLiteral(item);
        if (c == '/') {
            ++pos_;
            item.kind = ItemKind::Slash;
            return true;
        }
        if (c == ':') {
            ++pos_;
            item.kind = ItemKind::Colon;
            return true;
        }
        if (c == '\\' || c == '$') {
            ++pos_;
            item.kind = ItemKind::NonAdvance;
            return true;
        }
        bool hasNumber = false;
        bool negative = false;
        bool hasSign = false;
        int number = 0;
        if (c == '+' || c == '-') {
            hasSign = true;
            negative = c == '-';
            ++pos_;
        }
        if (IsDigit(Peek())) {
            if (!Number(number))
                return false;
            hasNumber = true;
        }
        if (hasSign && !hasNumber)
            return false;
        if (Eat('P')) {
            if (!hasNumber)
                return false;
            item.kind = ItemKind::Scale;
            item.n = negative ? -number : number;
            return true;
        }
        if (hasSign)
            return false;
        if (Eat('X')) {
            if (hasNumber && number < 1)
                return false;
            item.kind = ItemKind::Skip;
            item.n = hasNumber ? number : 1;
            return true;
        }
        if (hasNumber && number < 1)
            return false;
        item.repeat = hasNumber ? number : 1;
        if (Eat('(')) {
            item.kind = ItemKind::Group;
            return ParseList(item.items);
        }
        if (Eat('/')) {
            item.kind = ItemKind::Slash;
            return true;
        }
        if (Eat('T')) {
            if (hasNumber)
                return false;
            item.kind = Eat('L') ? ItemKind::TabLeft : (Eat('R') ? ItemKind::TabRight : ItemKind::Tab);
            if (!Number(item.n))
                return false;
            return item.kind != ItemKind::Tab || item.n >= 1;
        }
        return ParseDataDescriptor(item);
    }

    bool ParseDataDescriptor(FormatItem& item)
    {
        char letter = Peek();
        ++pos_;
        switch (letter) {
        case 'I':
            item.kind = ItemKind::Integer;
            if (!Number(item.w))
                return false;
            if (Eat('.') && !Number(item.d))
                return false;
            return item.w == 0 || item.d <= item.w;
        case 'F':
            item.kind = ItemKind::Fixed;
            return Number(item.w) && Eat('.') && Number(item.d);
        case 'E':
            item.kind = Eat('S') ? ItemKind::Scientific : ItemKind::Exponent;
            return WidthDigitsExponent(item, true);
        case 'D':
            item.kind = ItemKind::DExponent;
            return WidthDigitsExponent(item, false);
        case 'G':
            item.kind = ItemKind::General;
            return WidthDigitsExponent(item, true);
        case 'A':
            item.kind = ItemKind::Alpha;
            if (IsDigit(Peek()))
                return Number(item.w) && item.w >= 1;
            return true;
        default:
            return false;
        }
    }

    // w.d[Ee] with w >= 1.
    bool WidthDigitsExponent(FormatItem& item, bool exponentAllowed)
    {
        if (!Number(item.w) || item.w < 1 || !Eat('.') || !Number(item.d))
            return false;
        if (exponentAllowed && Peek() == 'E') {
            ++pos_;
            return Number(item.e) && item.e >= 1;
        }
        return true;
    }

    std::string_view text_;
    std::size_t pos_ = 0;
};

// Decimal digits of a double. Every rounding is done by std::to_chars, which rounds the exact
// binary value half to even.

std::string ToChars(double a, std::chars_format form, int precision)
{
    // Fixed text of a double has at most 309 integer digits.
    std::string buffer(static_cast<std::size_t>(precision) + 340, '\0');
    auto result = std::to_chars(buffer.data(), buffer.data() + buffer.size(), a, form, precision);
    buffer.resize(static_cast<std::size_t>(result.ptr - buffer.data()));
    return buffer;
}

// Splits scientific text "d.ddde+xx" into its digits and decimal exponent.
void SplitScientific(const std::string& text, std::string& digits, int& exponent)
{
    digits.clear();
    std::size_t i = 0;
    for (; i < text.size() && text[i] != 'e'; ++i) {
        if (IsDigit(text[i]))
            digits += text[i];
    }
    exponent = 0;
    if (i < text.size()) {
        const char* first = text.data() + i + 1;
        if (*first == '+')
            ++first;
        std::from_chars(first, text.data() + text.size(), exponent);
    }
}

// floor(log10 a) of the exact value, a > 0 and finite. 41 significant digits cannot round a double
// up to the next power of ten: no double lies that close below one.
int ExactFloorLog10(double a)
{
    std::string digits;
    int exponent = 0;
    SplitScientific(ToChars(a, std::chars_format::scientific, 40), digits, exponent);
    return exponent;
}

// a rounded to n >= 1 significant digits: value = 0.digits x 10^exponent, digits.size() == n.
void RoundToSignificant(double a, int n, std::string& digits, int& exponent)
{
    SplitScientific(ToChars(a, std::chars_format::scientific, n - 1), digits, exponent);
    exponent += 1;
}

// a >= 0 rounded to q decimals (q may be negative): value = 0.digits x 10^exponent; digits empty for
// a zero result.
void RoundToDecimals(double a, int q, std::string& digits, int& exponent)
{
    digits.clear();
    exponent = 0;
    if (a == 0.0)
        return;
    int e = ExactFloorLog10(a);
    long long n = static_cast<long long>(e) + 1 + q;
    if (n >= 1) {
        RoundToSignificant(a, static_cast<int>(n), digits, exponent);
    } else if (n == 0) {
        // a lies in [10^(-q-1), 10^-q): it rounds to 10^-q above the half, to 0 at or below it
        // (the tie goes to the even 0).
        std::string exact;
        int unused = 0;
        SplitScientific(ToChars(a, std::chars_format::scientific, 40), exact, unused);
        bool up = exact[0] > '5' || (exact[0] == '5' && exact.find_first_not_of('0', 1) != std::string::npos);
        if (up) {
            digits = "1";
            exponent = 1 - q;
        }
    }
}

std::string Stars(int w)
{
    return std::string(static_cast<std::size_t>(w), '*');
}

std::string RightJustify(const std::string& text, int w)
{
    if (w <= 0)
        return text;
    if (static_cast<int>(text.size()) > w)
        return Stars(w);
    return std::string(static_cast<std::size_t>(w) - text.size(), ' ') + text;
}

// Infinity and NaN in a real field of width w, as common Fortran run times write them.
std::string NonFinite(double x, int w)
{
    if (std::isnan(x))
        return (w > 0 && w < 3) ? Stars(w) : RightJustify("NaN", w);
    bool negative = std::signbit(x);
    if (w == 0)
        return negative ? "-Inf" : "Inf";
    if (w < 3 || (w == 3 && negative))
        return Stars(w);
    int longForm = negative ? 8 : 7;
    std::string text = w > longForm ? "Infinity" : "Inf";
    return RightJustify(negative ? "-" + text : text, w);
}

// Fw.d under scale factor k (the value is shown times 10^k).
std::string FormatF(double x, int w, int d, int k)
{
    if (!std::isfinite(x))
        return NonFinite(x, w);
    if (w > 0 && d + 1 > w)
        return Stars(w);
    bool negative = std::signbit(x);
    std::string digits;
    int exponent = 0;
    RoundToDecimals(std::fabs(x), d + k, digits, exponent);
    if (!digits.empty())
        exponent += k;  // value shown = 0.digits x 10^exponent
    std::string whole;
    std::string fraction;
    for (int pos = std::max(exponent - 1, -1); pos >= -d; --pos) {
        // Digit for the place 10^pos.
        int index = exponent - 1 - pos;
        char digit = (index >= 0 && index < static_cast<int>(digits.size())) ? digits[static_cast<std::size_t>(index)] : '0';
        if (pos >= 0)
            whole += digit;
        else
            fraction += digit;
    }
    std::string sign = negative ? "-" : "";
    std::string text = sign + whole + "." + fraction;
    if (whole.empty()) {
        // The zero before the point is optional unless it is the only digit.
        std::string withZero = sign + "0." + fraction;
        if (d == 0 || (w > 0 && static_cast<int>(withZero.size()) <= w))
            text = withZero;
    }
    if (w == 0)
        return text;
    return RightJustify(text, w);
}

// The exponent part: letter, sign and digits ("E+05", "+123" when three digits are needed, or
// exactly e digits after the letter). Empty when the exponent does not fit.
std::string ExponentPart(int exponent, int e, char letter)
{
    int magnitude = exponent < 0 ? -exponent : exponent;
    char sign = exponent < 0 ? '-' : '+';
    char buffer[16];
    auto result = std::to_chars(buffer, buffer + sizeof buffer, magnitude);
    std::string digits(buffer, result.ptr);
    if (e > 0) {
        if (static_cast<int>(digits.size()) > e)
            return "";
        return std::string(1, letter) + sign + std::string(static_cast<std::size_t>(e) - digits.size(), '0') + digits;
    }
    if (magnitude <= 99)
        return std::string(1, letter) + sign + (magnitude < 10 ? "0" : "") + digits;
    if (magnitude <= 999)
        return std::string(1, sign) + digits;
    return "";
}

// Ew.d[Ee] and Dw.d under scale factor k; ES when scientific. Returns false for a scale factor
// that leaves no significant digit (Fortran requires -d < k < d + 2).
bool FormatE(double x, int w, int d, int e, int k, char letter, bool scientific, std::string& field)
{
    if (scientific)
        k = 1;
    if (k <= -d || k >= d + 2)
        return false;
    if (!std::isfinite(x)) {
        field = NonFinite(x, w);
        return true;
    }
    // The shortest text has the point, d digits and a four-character exponent.
    int exponentWidth = e > 0 ? e + 2 : 4;
    if (d + 1 + exponentWidth > w) {
        field = Stars(w);
        return true;
    }
    int n = k <= 0 ? d + k : d + 1;  // significant digits shown
    bool negative = std::signbit(x);
    std::string digits;
    int exponent = 0;
    if (x == 0.0) {
        digits.assign(static_cast<std::size_t>(n), '0');
        exponent = k;  // shown exponent 0
    } else {
        RoundToSignificant(std::fabs(x), n, digits, exponent);
    }
    std::string exponentText = ExponentPart(exponent - k, e, letter);
    if (exponentText.empty()) {
        field = Stars(w);
        return true;
    }
    std::string sign = negative ? "-" : "";
    std::string mantissa;
    std::string text;
    if (k <= 0) {
        mantissa = "." + std::string(static_cast<std::size_t>(-k), '0') + digits;
        text = sign + "0" + mantissa + exponentText;
        if (static_cast<int>(text.size()) > w)
            text = sign + mantissa + exponentText;
    } else {
        mantissa = digits.substr(0, static_cast<std::size_t>(k)) + "." + digits.substr(static_cast<std::size_t>(k));
        text = sign + mantissa + exponentText;
    }
    field = RightJustify(text, w);
    return true;
}

// Gw.d[Ee] for a real: the F form with 4 (or e + 2) trailing blanks when the value rounded to d
// significant digits lies in [0.1, 10^d), the E form otherwise.
bool FormatG(double x, int w, int d, int e, int k, std::string& field)
{
    int blanks = e > 0 ? e + 2 : 4;
    if (std::isfinite(x) && d > 0) {
        int shownDecimals = -1;
        if (x == 0.0) {
            shownDecimals = d - 1;
        } else {
            std::string digits;
            int exponent = 0;
            RoundToSignificant(std::fabs(x), d, digits, exponent);
            if (exponent >= 0 && exponent <= d)
                shownDecimals = d - exponent;
        }
        if (shownDecimals >= 0 && w - blanks >= 1) {
            std::string fixed = FormatF(x, w - blanks, shownDecimals, 0);
            field = fixed[0] == '*' ? Stars(w) : fixed + std::string(static_cast<std::size_t>(blanks), ' ');
            return true;
        }
    }
    return FormatE(x, w, d, e, k, 'E', false, field);
}

std::string FormatI(long long value, int w, int m)
{
    unsigned long long magnitude = value < 0 ? 0ULL - static_cast<unsigned long long>(value) : static_cast<unsigned long long>(value);
    std::string digits;
    if (!(magnitude == 0 && m == 0)) {
        char buffer[24];
        auto result = std::to_chars(buffer, buffer + sizeof buffer, magnitude);
        digits.assign(buffer, result.ptr);
    }
    if (m > static_cast<int>(digits.size()))
        digits.insert(0, static_cast<std::size_t>(m) - digits.size(), '0');
    if (value < 0)
        digits.insert(0, 1, '-');
    if (w == 0 && digits.empty())
        return " ";  // I0.0 of zero still takes a column
    return RightJustify(digits, w);
}

std::string FormatA(const std::string& text, int w)
{
    if (w < 0)
        return text;
    if (static_cast<int>(text.size()) >= w)
        return text.substr(0, static_cast<std::size_t>(w));
    return std::string(static_cast<std::size_t>(w) - text.size(), ' ') + text;
}

// Running a format over an output list.

enum class Flow { Go, Stop, Fault };

class FormatWriter {
public:
    FormatWriter(const std::vector<FormatValue>& values, std::string& out) : values_(values), out_(out) {}

    int Run(const FormatItem& root)
    {
        Flow flow = RunItems(root.items);
        // Reversion: a new record, then again from the last top-level group (with its repeat
        // count), or from the start when the format has no group.
        if (flow == Flow::Go && next_ < values_.size()) {
            std::size_t start = 0;
            for (std::size_t i = 0; i < root.items.size(); ++i) {
                if (root.items[i].kind == ItemKind::Group)
                    start = i;
            }
            std::vector<FormatItem> tail(root.items.begin() + static_cast<std::ptrdiff_t>(start), root.items.end());
            if (!HasDataItem(tail))
                flow = Flow::Fault;
            while (flow == Flow::Go && next_ < values_.size()) {
                if (!nonAdvance_)
                    EndRecord();
                flow = RunItems(tail);
            }
        }
        if (flow == Flow::Fault) {
            out_ += record_;
            return 0;
        }
        if (nonAdvance_)
            out_ += record_;
        else
            EndRecord();
        return 1;
    }

private:
    void EndRecord()
    {
        out_ += record_;
        out_ += '\n';
        record_.clear();
        position_ = 0;
    }

    void Put(const std::string& text)
    {
        if (record_.size() < position_)
            record_.resize(position_, ' ');
        record_.replace(position_, std::min(text.size(), record_.size() - position_), text);
        position_ += text.size();
    }

    Flow RunItems(const std::vector<FormatItem>& items)
    {
        for (const FormatItem& item : items) {
            Flow flow = RunItem(item);
            if (flow != Flow::Go)
                return flow;
        }
        return Flow::Go;
    }

    Flow RunItem(const FormatItem& item)
    {
        switch (item.kind) {
        case ItemKind::Group:
            for (int r = 0; r < item.repeat; ++r) {
                Flow flow = RunItems(item.items);
                if (flow != Flow::Go)
                    return flow;
            }
            return Flow::Go;
        case ItemKind::Literal:
            Put(item.text);
            return Flow::Go;
        case ItemKind::Skip:
            position_ += static_cast<std::size_t>(item.n);
            return Flow::Go;
        case ItemKind::Tab:
            position_ = static_cast<std::size_t>(item.n - 1);
            return Flow::Go;
        case ItemKind::TabLeft:
            position_ = position_ > static_cast<std::size_t>(item.n) ? position_ - static_cast<std::size_t>(item.n) : 0;
            return Flow::Go;
        case ItemKind::TabRight:
            position_ += static_cast<std::size_t>(item.n);
            return Flow::Go;
        case ItemKind::Slash:
            for (int r = 0; r < item.repeat; ++r)
                EndRecord();
            return Flow::Go;
        case ItemKind::Colon:
            return next_ < values_.size() ? Flow::Go : Flow::Stop;
        case ItemKind::Scale:
            scale_ = item.n;
            return Flow::Go;
        case ItemKind::NonAdvance:
            nonAdvance_ = true;
            return Flow::Go;
        default:
            for (int r = 0; r < item.repeat; ++r) {
                if (next_ >= values_.size())
                    return Flow::Stop;
                std::string field;
                if (!Edit(item, values_[next_], field))
                    return Flow::Fault;
                ++next_;
                Put(field);
            }
            return Flow::Go;
        }
    }

    bool Edit(const FormatItem& item, const FormatValue& value, std::string& field) const
    {
        using Kind = FormatValue::Kind;
        switch (item.kind) {
        case ItemKind::Integer:
            if (value.kind != Kind::Integer)
                return false;
            field = FormatI(value.integer, item.w, item.d);
            return true;
        case ItemKind::Alpha:
            if (value.kind != Kind::Text)
                return false;
            field = FormatA(value.text, item.w);
            return true;
        case ItemKind::General:
            if (value.kind == Kind::Integer) {
                field = FormatI(value.integer, item.w, -1);
                return true;
            }
            if (value.kind == Kind::Text) {
                field = FormatA(value.text, item.w);
                return true;
            }
            return FormatG(value.real, item.w, item.d, item.e, scale_, field);
        default:
            break;
        }
        if (value.kind != Kind::Real)
            return false;
        switch (item.kind) {
        case ItemKind::Fixed:
            field = FormatF(value.real, item.w, item.d, scale_);
            return true;
        case ItemKind::Exponent:
            return FormatE(value.real, item.w, item.d, item.e, scale_, 'E', false, field);
        case ItemKind::DExponent:
            return FormatE(value.real, item.w, item.d, -1, scale_, 'D', false, field);
        case ItemKind::Scientific:
            return FormatE(value.real, item.w, item.d, item.e, scale_, 'E', true, field);
        default:
            return false;
        }
    }

    const std::vector<FormatValue>& values_;
    std::string& out_;
    std::string record_;
    std::size_t position_ = 0;
    std::size_t next_ = 0;
    int scale_ = 0;
    bool nonAdvance_ = false;
};

// Free-format reading.

bool IsBlank(char c)
{
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

bool IsSeparator(char c)
{
    return IsBlank(c) || c == ',' || c == '/';
}

bool EqualsNoCase(std::string_view a, std::string_view b)
{
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (Upper(a[i]) != Upper(b[i]))
            return false;
    }
    return true;
}

// A real constant of list-directed input: [sign] digits [. [digits]] | [sign] . digits, then an
// optional exponent (E or D with an optional sign, or, after a mantissa with a point, a sign
// alone) and digits; also Inf,
// Infinity and NaN. An overflow is refused; an underflow gives a zero of the value's sign.
bool ParseRealToken(std::string_view token, double& value)
{
    std::size_t i = 0;
    bool negative = false;
    if (i < token.size() && (token[i] == '+' || token[i] == '-')) {
        negative = token[i] == '-';
        ++i;
    }
    std::string_view body = token.substr(i);
    if (EqualsNoCase(body, "INF") || EqualsNoCase(body, "INFINITY")) {
        value = negative ? -std::numeric_limits<double>::infinity() : std::numeric_limits<double>::infinity();
        return true;
    }
    if (EqualsNoCase(body, "NAN")) {
        value = std::numeric_limits<double>::quiet_NaN();
        return true;
    }
    std::string whole;
    std::string fraction;
    bool point = false;
    while (i < token.size() && IsDigit(token[i]))
        whole += token[i++];
    if (i < token.size() && token[i] == '.') {
        point = true;
        ++i;
        while (i < token.size() && IsDigit(token[i]))
            fraction += token[i++];
    }
    if (whole.empty() && fraction.empty())
        return false;
    std::string exponent;
    if (i < token.size()) {
        char c = Upper(token[i]);
        // Fortran output drops the exponent letter only after a mantissa with a point
        // ("0.123456-100"); digits, a sign and digits without a point are a date such as
        // "1990-01" or a range such as "1-2", never a number.
        if (c == 'E' || c == 'D')
            ++i;
        else if ((c != '+' && c != '-') || !point)
            return false;
        if (i < token.size() && (token[i] == '+' || token[i] == '-'))
            exponent += token[i++];
        std::size_t digitsStart = i;
        while (i < token.size() && IsDigit(token[i]))
            exponent += token[i++];
        if (i == digitsStart || i != token.size())
            return false;
    }
    std::string normal = (negative ? "-" : "") + (whole.empty() ? "0" : whole) + "." + (fraction.empty() ? "0" : fraction);
    if (!exponent.empty())
        normal += "e" + exponent;
    double parsed = 0.0;
    auto result = std::from_chars(normal.data(), normal.data() + normal.size(), parsed);
    if (result.ptr != normal.data() + normal.size())
        return false;
    if (result.ec == std::errc::result_out_of_range) {
        // Decimal exponent of the leading nonzero digit decides between overflow and underflow.
        std::string digits = whole + fraction;
        std::size_t first = digits.find_first_not_of('0');
        long long lead = static_cast<long long>(whole.size()) - 1 - static_cast<long long>(first);
        long long shift = 0;
        std::string_view expDigits(exponent);
        bool expNegative = !expDigits.empty() && expDigits[0] == '-';
        if (!expDigits.empty() && (expDigits[0] == '+' || expDigits[0] == '-'))
            expDigits.remove_prefix(1);
        for (char c : expDigits) {
            shift = shift * 10 + (c - '0');
            if (shift > 1000000)
                break;
        }
        if (lead + (expNegative ? -shift : shift) >= 0)
            return false;
        parsed = negative ? -0.0 : 0.0;
    } else if (result.ec != std::errc()) {
        return false;
    }
    value = parsed;
    return true;
}

bool ParseIntToken(std::string_view token, int32_t& value)
{
    if (!token.empty() && token[0] == '+') {
        token.remove_prefix(1);
        if (token.empty() || !IsDigit(token[0]))
            return false;
    }
    int32_t parsed = 0;
    auto result = std::from_chars(token.data(), token.data() + token.size(), parsed);
    if (result.ec != std::errc() || result.ptr != token.data() + token.size())
        return false;
    value = parsed;
    return true;
}

template <typename T, typename Parse>
int ReadFree(std::string_view text, int count, T* values, Parse parse)
{
    if (count <= 0)
        return 1;
    if (values == nullptr)
        return -1;
    std::size_t i = 0;
    int stored = 0;
    while (stored < count) {
        while (i < text.size() && IsBlank(text[i]))
            ++i;
        if (i == text.size())
            return 0;
        if (text[i] == '/')
            return 1;
        if (text[i] == ',') {
            // A comma where a value should stand: a null value.
            ++stored;
            ++i;
            continue;
        }
        std::size_t start = i;
        while (i < text.size() && !IsSeparator(text[i]))
            ++i;
        std::string_view token = text.substr(start, i - start);
        long long repeat = 1;
        std::size_t star = token.find('*');
        if (star != std::string_view::npos) {
            if (star == 0)
                return -1;
            repeat = 0;
            for (std::size_t j = 0; j < star; ++j) {
                if (!IsDigit(token[j]))
                    return -1;
                repeat = std::min<long long>(repeat * 10 + (token[j] - '0'), count);
            }
            if (repeat < 1)
                return -1;
            token.remove_prefix(star + 1);
        }
        bool null = star != std::string_view::npos && token.empty();
        T value{};
        if (!null && !parse(token, value))
            return -1;
        for (long long r = 0; r < repeat && stored < count; ++r) {
            if (!null)
                values[stored] = value;
            ++stored;
        }
        // The separator after a value: blanks with at most one comma among them.
        while (i < text.size() && IsBlank(text[i]))
            ++i;
        if (i < text.size() && text[i] == ',')
            ++i;
    }
    return 1;
}

}  // namespace

int WriteFormatted(std::string_view format, const std::vector<FormatValue>& values, std::string& out)
{
    out.clear();
    std::string normal;
    FormatItem root;
    if (!Normalise(format, normal) || !FormatParser(normal).Parse(root))
        return 0;
    FormatWriter writer(values, out);
    return writer.Run(root);
}

std::string Formatted(std::string_view format, const std::vector<FormatValue>& values)
{
    std::string out;
    if (WriteFormatted(format, values, out) != 1)
        return "";
    return out;
}

std::string FreeFormatInt(long long n)
{
    char buffer[24];
    auto result = std::to_chars(buffer, buffer + sizeof buffer, n);
    return std::string(buffer, result.ptr);
}

namespace {

// Shortest text that reads back to x in its own precision: "0.1", "1e+23", "-2.5".
template <typename Real>
std::string ShortestText(Real x)
{
    if (std::isnan(x))
        return "NaN";
    if (std::isinf(x))
        return x < 0 ? "-Infinity" : "Infinity";
    char buffer[64];
    auto result = std::to_chars(buffer, buffer + sizeof buffer, x);
    return std::string(buffer, result.ptr);
}

}  // namespace

std::string FreeFormatReal(double x)
{
    return ShortestText(x);
}

std::string FreeFormatSingle(float x)
{
    return ShortestText(x);
}

std::string FreeFormatItem(const FormatValue& value)
{
    switch (value.kind) {
    case FormatValue::Kind::Integer:
        return FreeFormatInt(value.integer);
    case FormatValue::Kind::Real:
        return value.single ? FreeFormatSingle(static_cast<float>(value.real)) : FreeFormatReal(value.real);
    case FormatValue::Kind::Text:
        break;
    }
    return value.text;
}

int ReadFreeReals(std::string_view text, int count, double* values)
{
    return ReadFree(text, count, values, ParseRealToken);
}

int ReadFreeInts(std::string_view text, int count, int32_t* values)
{
    return ReadFree(text, count, values, ParseIntToken);
}

int ReadFreeSingles(std::string_view text, int count, float* values)
{
    auto parseSingle = [](std::string_view token, float& value) {
        // Halfway between the largest float and 2^128: from there on a float rounds to infinity.
        constexpr double kFloatOverflow = 0x1.ffffffp127;
        double wide = 0.0;
        if (!ParseRealToken(token, wide) || !std::isfinite(wide) || std::fabs(wide) >= kFloatOverflow)
            return false;
        value = static_cast<float>(wide);
        return true;
    };
    return ReadFree(text, count, values, parseSingle);
}
