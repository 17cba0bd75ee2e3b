#include "platform/number_text.h"

#include "platform/fortran_format.h"

#include <algorithm>
#include <cfloat>
#include <charconv>
#include <cmath>
#include <system_error>

namespace {

constexpr int64_t kRepeatCap = kNumberCountCap;
// Halfway between the largest float and 2^128: from there on a float rounds to infinity.
constexpr double kFloatOverflow = 0x1.ffffffp127;

bool IsDigit(char c) { return c >= '0' && c <= '9'; }
bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }
bool IsExponentLetter(char c) { return c == 'e' || c == 'E' || c == 'd' || c == 'D'; }

size_t SkipDigits(std::string_view text, size_t at)
{
    while (at < text.size() && IsDigit(text[at])) ++at;
    return at;
}

size_t SkipSign(std::string_view text, size_t at)
{
    return at < text.size() && (text[at] == '+' || text[at] == '-') ? at + 1 : at;
}

// Nothing from `at` on, or an exponent to the end: a letter, an optional sign, digits.
bool ExponentToEnd(std::string_view text, size_t at)
{
    if (at == text.size()) return true;
    if (!IsExponentLetter(text[at])) return false;
    at = SkipSign(text, at + 1);
    const size_t end = SkipDigits(text, at);
    return end > at && end == text.size();
}

// [sign] digits [. digits] [exponent], with digits in the mantissa: the shape of a number, which
// free format refuses only beyond the range of doubles. An exponent given by its sign alone
// follows a point only, as free format reads it ("1990-01" is a date, not a number too large).
bool HasNumberShape(std::string_view token)
{
    size_t k = SkipSign(token, 0);
    const size_t whole = SkipDigits(token, k);
    bool digits = whole > k;
    k = whole;
    const bool point = k < token.size() && token[k] == '.';
    if (point) {
        const size_t fraction = SkipDigits(token, k + 1);
        digits = digits || fraction > k + 1;
        k = fraction;
    }
    if (!digits) return false;
    if (k == token.size()) return true;
    if (IsExponentLetter(token[k])) ++k;
    else if (!point) return false;
    k = SkipSign(token, k);
    const size_t end = SkipDigits(token, k);
    return end > k && end == token.size();
}

// Whether the mantissa of a number's text holds a digit other than 0.
bool NonzeroMantissa(std::string_view token)
{
    for (size_t k = SkipSign(token, 0); k < token.size() && (IsDigit(token[k]) || token[k] == '.'); ++k)
        if (token[k] != '0' && token[k] != '.') return true;
    return false;
}

// A plain decimal number, the common case of a long file, read at once; anything else (a Fortran
// D exponent, a leading plus, a value out of range) is left to the free-format reader.
bool PlainNumber(std::string_view item, NumberItem& result)
{
    const size_t first = SkipSign(item, 0);
    if (first == item.size() || !(IsDigit(item[first]) || item[first] == '.') || item[0] == '+') return false;
    double plain = 0.0;
    const auto [stop, error] = std::from_chars(item.data(), item.data() + item.size(), plain);
    if (error != std::errc() || stop != item.data() + item.size() || !std::isfinite(plain)) return false;
    result.kind = NumberItemKind::Number;
    result.value = plain;
    result.underflow = plain == 0.0 && NonzeroMantissa(item);
    return true;
}

// One to three digits, then groups of a mark and three digits from `at`: the groups counted in
// `groups`, the position after them returned.
size_t GroupsOfThree(std::string_view text, size_t at, char mark, int& groups)
{
    groups = 0;
    const size_t lead = SkipDigits(text, at);
    if (lead == at || lead - at > 3) return at;
    size_t k = lead;
    while (k < text.size() && text[k] == mark) {
        const size_t end = SkipDigits(text, k + 1);
        if (end - (k + 1) != 3) break;
        k = end;
        ++groups;
    }
    return k;
}

// 1,234.5  1,234,567  1.234,5  1.234.567: digits grouped by threes with one mark, then the other
// mark as a decimal point or more than one group.
bool IsThousands(std::string_view text)
{
    const size_t start = SkipSign(text, 0);
    for (const auto& [group, point] : {std::pair<char, char>{',', '.'}, std::pair<char, char>{'.', ','}}) {
        int groups = 0;
        const size_t k = GroupsOfThree(text, start, group, groups);
        if (groups == 0) continue;
        if (k == text.size() && groups >= 2) return true;
        if (k < text.size() && text[k] == point) {
            const size_t end = SkipDigits(text, k + 1);
            if ((point == '.' || end > k + 1) && ExponentToEnd(text, end)) return true;
        }
    }
    return false;
}

// [sign] digits "," digits [exponent]: a number written with a decimal comma.
bool IsDecimalComma(std::string_view text)
{
    const size_t start = SkipSign(text, 0);
    const size_t whole = SkipDigits(text, start);
    if (whole == start || whole == text.size() || text[whole] != ',') return false;
    const size_t fraction = SkipDigits(text, whole + 1);
    return fraction > whole + 1 && ExponentToEnd(text, fraction);
}

bool IsLetter(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }

// The name of a month, or its first three letters or more, in English, any case: Jan, june, SEPT.
bool IsMonthName(std::string_view word)
{
    static constexpr std::string_view kMonths[] = {"january", "february", "march",     "april",   "may",      "june",
                                                   "july",    "august",   "september", "october", "november", "december"};
    if (word.size() < 3) return false;
    for (std::string_view month : kMonths) {
        if (word.size() > month.size()) continue;
        bool same = true;
        for (size_t k = 0; k < word.size() && same; ++k) same = (word[k] | 0x20) == month[k];
        if (same) return true;
    }
    return false;
}

// A part of a date between slashes: nothing, a number's mantissa (2020, 01, 1.5, -3), a month name,
// or letters and then digits (Q1, W12).
bool IsDatePart(std::string_view part)
{
    if (part.empty() || IsMonthName(part)) return true;
    size_t k = 0;
    while (k < part.size() && IsLetter(part[k])) ++k;
    if (k > 0) return SkipDigits(part, k) == part.size() && k < part.size();
    k = SkipSign(part, 0);
    const size_t whole = SkipDigits(part, k);
    size_t end = whole;
    if (end < part.size() && part[end] == '.') end = SkipDigits(part, end + 1);
    return end == part.size() && end > k + (whole == k ? 1 : 0);
}

// Digits joined to a '/' on both sides (01/02/1990, 1/2); digits joined to a '/' on one side when
// every part between the slashes is one of a date's (12/Jan/2020, 2020/Q1, 1/, 02/); or [sign]
// digits '-' digit: a '-' after a mantissa without a point is no exponent sign (1990-01, 1-2).
bool IsDateOrFraction(std::string_view text)
{
    bool joined = false;
    for (size_t k = 0; k < text.size(); ++k) {
        if (text[k] != '/') continue;
        const bool before = k > 0 && IsDigit(text[k - 1]);
        const bool after = k + 1 < text.size() && IsDigit(text[k + 1]);
        if (before && after) return true;
        joined = joined || before || after;
    }
    if (joined) {
        for (size_t start = 0;;) {
            const size_t end = std::min(text.find('/', start), text.size());
            if (!IsDatePart(text.substr(start, end - start))) return false;
            if (end == text.size()) return true;
            start = end + 1;
        }
    }
    const size_t start = SkipSign(text, 0);
    const size_t end = SkipDigits(text, start);
    return end > start && end + 1 < text.size() && text[end] == '-' && IsDigit(text[end + 1]);
}

// A thousands or decimal-comma number in the text or in one of its parts between semicolons (a
// European CSV line "42,904762;304,85714").
NumberItemKind CommaKind(std::string_view text)
{
    NumberItemKind kind = NumberItemKind::Text;
    size_t start = 0;
    for (;;) {
        const size_t end = std::min(text.find(';', start), text.size());
        const std::string_view part = text.substr(start, end - start);
        if (IsThousands(part)) return NumberItemKind::Thousands;
        if (IsDecimalComma(part)) kind = NumberItemKind::DecimalComma;
        if (end == text.size()) return kind;
        start = end + 1;
    }
}

// [sign] digits, then groups of a comma and [sign] digits: whole numbers parted by commas.
bool IsIntegerList(std::string_view text)
{
    for (size_t start = 0;;) {
        const size_t end = std::min(text.find(',', start), text.size());
        const size_t digits = SkipSign(text, start);
        if (digits == end || SkipDigits(text, digits) != end) return false;
        if (end == text.size()) return true;
        start = end + 1;
    }
}

// One item of a line, its repeat count taken off.
LineItem MakeItem(std::string_view text)
{
    LineItem item;
    std::string_view value;
    item.repeat = RepeatCountOf(text, value);
    if (item.repeat < 1 || value.find('*') != std::string_view::npos) {
        item.repeat = 1;
        item.item.kind = NumberItemKind::Text;
        return item;
    }
    item.item = ClassifyNumberItem(value);
    return item;
}

// The values an item stands for in a count of items, up to `cap`.
int64_t ValuesOf(std::string_view text, int64_t cap)
{
    std::string_view value;
    const int64_t repeat = RepeatCountOf(text, value);
    return std::min(std::max<int64_t>(repeat, 1), cap);
}

// A piece of a line: an item's text, an empty item, or an end-of-file mark.
struct Token {
    size_t start = 0;
    size_t end = 0;
    enum Kind { Word, Empty, Mark } kind = Word;
    bool joined = false;  // holds a comma between two digits
    bool plain = false;   // holds no '*', '/', ',' or ';': no repeat, no date, no comma
};

}  // namespace

NumberItem ClassifyNumberItem(std::string_view item)
{
    NumberItem result;
    if (item.empty()) {
        result.kind = NumberItemKind::Empty;
        return result;
    }
    for (char c : item) {
        const unsigned char u = static_cast<unsigned char>(c);
        if (c == '\x1A') {
            result.kind = NumberItemKind::EndMark;
            return result;
        }
        if (u < 32 || u == 127) {
            result.kind = NumberItemKind::Control;
            return result;
        }
    }
    if (item.find_first_of(",/;*") == std::string_view::npos) {
        if (PlainNumber(item, result)) return result;
        double x = 0.0;
        if (ReadFreeReals(item, 1, &x) == 1) {
            result.kind = std::isfinite(x) ? NumberItemKind::Number : NumberItemKind::NotFinite;
            result.value = x;
            result.underflow = x == 0.0 && NonzeroMantissa(item);
            return result;
        }
        if (HasNumberShape(item)) {
            result.kind = NumberItemKind::TooLarge;
            return result;
        }
    }
    if (IsDateOrFraction(item)) {
        result.kind = NumberItemKind::DateOrFraction;
        return result;
    }
    result.kind = CommaKind(item);
    return result;
}

int64_t RepeatCountOf(std::string_view text, std::string_view& value)
{
    value = text;
    const size_t star = text.find('*');
    if (star == std::string_view::npos) return 1;
    if (star == 0) return 0;
    int64_t repeat = 0;
    for (size_t k = 0; k < star; ++k) {
        if (!IsDigit(text[k])) return 0;
        const int digit = text[k] - '0';
        // Saturated before the product, which would overflow for a count of 19 digits or more.
        repeat = repeat > (kRepeatCap - digit) / 10 ? kRepeatCap : repeat * 10 + digit;
    }
    value = text.substr(star + 1);
    return repeat;
}

bool IsBlankLine(std::string_view line)
{
    return std::all_of(line.begin(), line.end(), IsBlank);
}

LineItems SplitNumberLine(std::string_view line, int64_t need, bool tabCells)
{
    LineItems out;
    SplitNumberLine(line, need, tabCells, out);
    return out;
}

void SplitNumberLine(std::string_view line, int64_t need, bool tabCells, LineItems& out)
{
    out.fault = NumberFault::None;
    out.items.clear();
    out.slash = false;
    out.afterSlash = 0;
    out.emptyEnd = false;
    out.integerLists = false;
    out.commaParted = 0;
    const size_t n = line.size();

    // A line of one word without separators, the common line of a long file, is one item.
    size_t first = 0;
    while (first < n && (line[first] == ' ' || line[first] == '\r' || line[first] == '\n' || (line[first] == '\t' && !tabCells)))
        ++first;
    if (first < n && line[first] != '\t') {
        size_t end = first;
        while (end < n && !IsBlank(line[end]) && line[end] != ',' && line[end] != '/' && line[end] != '*' && line[end] != '\x1A')
            ++end;
        size_t rest = end;
        while (rest < n && IsBlank(line[rest])) ++rest;
        if (rest == n) {
            const std::string_view word = line.substr(first, end - first);
            LineItem item;
            if (!PlainNumber(word, item.item)) item.item = ClassifyNumberItem(word);
            out.items.push_back(item);
            out.emptyEnd = tabCells && line.find('\t', end) != std::string_view::npos;
            return;
        }
    }

    const auto separator = [&](size_t at) { return at >= n || IsBlank(line[at]) || line[at] == ','; };
    const auto joining = [&](size_t at) { return at > 0 && at + 1 < n && IsDigit(line[at - 1]) && IsDigit(line[at + 1]); };
    // The pieces of the line, kept from call to call: a reader splits a million lines.
    thread_local std::vector<Token> tokens;
    tokens.clear();
    bool anyJoined = false;
    bool hadItem = false;
    int commas = 0, tabs = 0;
    size_t i = 0;
    while (i < n) {
        const char c = line[i];
        if (c == '\x1A') {
            tokens.push_back({i, i + 1, Token::Mark, false, false});
            break;
        }
        if (c == ',' && !joining(i)) {
            // A comma where a value should stand is a null value, as in free format.
            if (commas > 0 || !hadItem) tokens.push_back({i, i, Token::Empty, false, false});
            ++commas;
            ++i;
            continue;
        }
        if (IsBlank(c)) {
            if (c == '\t' && tabCells) {
                if (tabs > 0 || !hadItem) tokens.push_back({i, i, Token::Empty, false, false});
                ++tabs;
            }
            ++i;
            continue;
        }
        if (c == '/' && (i == 0 || separator(i - 1)) && separator(i + 1)) {
            out.slash = true;
            break;
        }
        Token word{i, i, Token::Word, false, true};
        for (; i < n; ++i) {
            const char d = line[i];
            if (IsBlank(d) || d == '\x1A') break;
            if (d == ',') {
                if (!joining(i)) break;
                word.joined = true;
            }
            if (d == ',' || d == '*' || d == '/' || d == ';') word.plain = false;
        }
        word.end = i;
        anyJoined = anyJoined || word.joined;
        tokens.push_back(word);
        hadItem = true;
        commas = tabs = 0;
    }
    if (out.slash) {
        // The items after a free-format slash are not read; the readers count them with the rest
        // of the items they leave. An end-of-file mark there is still met.
        for (++i; i < n;) {
            if (IsBlank(line[i]) || (line[i] == ',' && !joining(i))) {
                ++i;
                continue;
            }
            const size_t start = i;
            while (i < n && !IsBlank(line[i]) && (line[i] != ',' || joining(i)) && line[i] != '\x1A') ++i;
            if (i < n && line[i] == '\x1A') {
                tokens.push_back({i, i + 1, Token::Mark, false, false});
                break;
            }
            if (line.substr(start, i - start) != "/") ++out.afterSlash;
        }
    }

    out.emptyEnd = tabCells && !out.slash && tabs > 0 && hadItem;
    // TABs after a row's last item add no empty cell.
    while (tabCells && !tokens.empty() && tokens.back().kind == Token::Empty) tokens.pop_back();
    const auto text = [&](const Token& t) { return line.substr(t.start, t.end - t.start); };
    if (anyJoined) {
        // A comma between digits parts items only when that gives the line exactly what it must
        // supply; a decimal comma is never taken for a separator when that reading is not exact.
        // The first line of a table has no count to meet.
        const int64_t cap = need >= 0 ? std::min(need, kRepeatCap - 1) + 1 : kRepeatCap;
        int64_t separated = 0;
        for (const Token& t : tokens) {
            if (t.kind == Token::Empty) separated = std::min(separated + 1, cap);
            if (t.kind != Token::Word) continue;
            const std::string_view word = text(t);
            for (size_t start = 0;;) {
                const size_t end = t.joined ? std::min(word.find(',', start), word.size()) : word.size();
                separated = std::min(separated + ValuesOf(word.substr(start, end - start), cap), cap);
                if (end == word.size()) break;
                start = end + 1;
            }
        }
        if (need < 0 || separated != need) {
            NumberFault fault = NumberFault::None;
            bool integers = true;
            for (const Token& t : tokens) {
                if (!t.joined) continue;
                std::string_view value;
                RepeatCountOf(text(t), value);
                const NumberItemKind kind = CommaKind(value);
                if (kind == NumberItemKind::Thousands) fault = NumberFault::Thousands;
                if (kind == NumberItemKind::DecimalComma && fault == NumberFault::None) fault = NumberFault::DecimalComma;
                integers = integers && IsIntegerList(value);
            }
            if (fault != NumberFault::None) {
                out.fault = fault;
                out.slash = false;
                out.afterSlash = 0;
                out.emptyEnd = false;
                out.integerLists = fault == NumberFault::Thousands && integers;
                out.commaParted = separated;
                return;
            }
        }
    }
    for (const Token& t : tokens) {
        if (t.kind == Token::Empty) {
            LineItem empty;
            empty.item.kind = NumberItemKind::Empty;
            out.items.push_back(empty);
            continue;
        }
        if (t.kind == Token::Mark) {
            LineItem mark;
            mark.item.kind = NumberItemKind::EndMark;
            out.items.push_back(mark);
            continue;
        }
        const std::string_view word = text(t);
        if (t.plain) {
            LineItem item;
            if (!PlainNumber(word, item.item)) item.item = ClassifyNumberItem(word);
            out.items.push_back(item);
            continue;
        }
        if (!t.joined) {
            out.items.push_back(MakeItem(word));
            continue;
        }
        for (size_t start = 0;;) {
            const size_t end = std::min(word.find(',', start), word.size());
            out.items.push_back(MakeItem(word.substr(start, end - start)));
            if (end == word.size()) break;
            start = end + 1;
        }
    }
}

NumberFault ItemFault(const NumberItem& item, NumberPrecision precision)
{
    switch (item.kind) {
    case NumberItemKind::Number:
        if (precision == NumberPrecision::Single) {
            if (std::fabs(item.value) >= kFloatOverflow) return NumberFault::TooLarge;
            // Below the normal floats a value keeps too few digits, or none.
            const float single = static_cast<float>(item.value);
            if (item.underflow || (item.value != 0.0 && std::fabs(single) < FLT_MIN)) return NumberFault::TooSmall;
        }
        return NumberFault::None;
    case NumberItemKind::NotFinite:
        return NumberFault::NotFinite;
    case NumberItemKind::TooLarge:
        return precision == NumberPrecision::Single ? NumberFault::TooLarge : NumberFault::NotFinite;
    case NumberItemKind::DateOrFraction:
        return NumberFault::DateOrFraction;
    case NumberItemKind::Thousands:
        return NumberFault::Thousands;
    case NumberItemKind::DecimalComma:
        return NumberFault::DecimalComma;
    case NumberItemKind::Empty:
        return NumberFault::EmptyItem;
    case NumberItemKind::EndMark:
        return NumberFault::EndMark;
    case NumberItemKind::Control:
        return NumberFault::Control;
    case NumberItemKind::Text:
        break;
    }
    return NumberFault::Text;
}

NumberVectorReader::NumberVectorReader(std::string_view text, int64_t m, NumberPrecision precision)
    : text_(text), start_(text_), m_(m), precision_(precision)
{
}

NumberVectorReader::NumberVectorReader(const std::vector<std::string>& records, int64_t m, NumberPrecision precision)
    : records_(&records), m_(m), precision_(precision)
{
}

bool NumberVectorReader::NextRecord(std::string_view& record)
{
    if (records_) {
        if (next_ == records_->size()) return false;
        record = (*records_)[next_++];
        return true;
    }
    if (!text_.Next(record)) return false;
    ++next_;
    return true;
}

namespace {

// Whether a TAB stands before the first item of the line.
bool BeginsWithTab(std::string_view line)
{
    for (char c : line) {
        if (c == '\t') return true;
        if (c != ' ') return false;
    }
    return false;
}

// Whether the line's first cell is filled and it holds a TAB: a row of a TAB table.
bool IsTabRow(std::string_view line)
{
    return !line.empty() && !IsBlank(line[0]) && line.find('\t') != std::string_view::npos;
}

}  // namespace

bool NumberVectorReader::IsTabTable() const
{
    if (records_) return std::any_of(records_->begin(), records_->end(), [](const std::string& line) { return IsTabRow(line); });
    RecordCursor all = start_;
    for (std::string_view line; all.Next(line);)
        if (IsTabRow(line)) return true;
    return false;
}

bool NumberVectorReader::Stop(NumberFault fault, int64_t line, NumberReadNotes* notes)
{
    if (notes) {
        notes->fault = fault;
        notes->stopLine = line;
    }
    return false;
}

bool NumberVectorReader::NextLine(int64_t need, int64_t& line, NumberReadNotes* notes)
{
    for (std::string_view record; NextRecord(record);) {
        line = static_cast<int64_t>(next_);
        if (IsBlankLine(record)) continue;
        if (BeginsWithTab(record)) {
            if (tabTable_ < 0) tabTable_ = IsTabTable() ? 1 : 0;
            if (tabTable_ == 1) {
                Stop(NumberFault::EmptyCell, line, notes);
                line = -1;
                return false;
            }
        }
        SplitNumberLine(record, need, false, split_);
        if (split_.fault != NumberFault::None) {
            Stop(split_.fault, line, notes);
            line = -1;
            return false;
        }
        return true;
    }
    return false;
}

void NumberVectorReader::Complete(size_t k, int64_t unread, int64_t line, int64_t shortLine, NumberReadNotes* notes)
{
    // The rest of the line is left; an end-of-file mark in it ends the text after this vector.
    for (; k < split_.items.size(); ++k) {
        const NumberItemKind kind = split_.items[k].item.kind;
        if (kind == NumberItemKind::EndMark) endLine_ = line;
        else if (kind != NumberItemKind::Empty) ++unread;
    }
    unread = std::min(unread + split_.afterSlash, kRepeatCap);
    if (notes) {
        if (unread > 0 && notes->longLine == 0) notes->longLine = line;
        notes->itemsNotRead = std::min(notes->itemsNotRead + unread, kRepeatCap);
        if (shortLine > 0 && notes->shortLine == 0) notes->shortLine = shortLine;
    }
}

std::string NumberFaultText(NumberFault fault, NumberUnit unit)
{
    switch (fault) {
    case NumberFault::Text:
        return "holds text where a number should stand";
    case NumberFault::DateOrFraction:
        return "holds a date or a fraction where a number should stand";
    case NumberFault::Thousands:
        return "holds a number with a thousands separator";
    case NumberFault::DecimalComma:
        // Both readings of the commas, since either may be what the file meant.
        return unit == NumberUnit::Value    ? "holds a decimal comma or comma-parted numbers"
               : unit == NumberUnit::Vector ? "holds a decimal comma or comma-parted numbers not fitting a vector"
                                            : "holds a decimal comma or comma-parted numbers not fitting a row";
    case NumberFault::EmptyItem:
        return unit == NumberUnit::Row ? "has an empty cell" : "holds an empty item (a lone comma or slash)";
    case NumberFault::EmptyCell:
        return unit == NumberUnit::Row ? "has an empty cell" : "has an empty first cell";
    case NumberFault::EndMark:
        return "holds an end-of-file mark (Ctrl-Z) with more after it";
    case NumberFault::Control:
        return "holds a control character where a number should stand";
    case NumberFault::NotFinite:
        return "holds a value that is not a finite number";
    case NumberFault::TooLarge:
        return "holds a number beyond the single-precision range";
    case NumberFault::TooSmall:
        return "holds a number too small for single precision (below 1.2E-38)";
    case NumberFault::Incomplete:
        return "begins a vector that the file does not complete";
    case NumberFault::None:
        break;
    }
    return "";
}

std::string NumberFaultSentence(int64_t line, NumberFault fault, NumberUnit unit)
{
    return "Line " + std::to_string(line) + " " + NumberFaultText(fault, unit) + ".";
}

std::vector<std::string> NumberRuleLines(const NumberReadNotes& notes, NumberUnit unit)
{
    std::vector<std::string> lines;
    if (notes.longLine > 0) {
        const char* more = unit == NumberUnit::Value    ? " holds more than one item."
                           : unit == NumberUnit::Vector ? " holds more items than a vector takes."
                                                        : " holds more items than a row takes.";
        lines.push_back("Line " + std::to_string(notes.longLine) + more);
        lines.push_back("The rest of such lines was not read: " + std::to_string(notes.itemsNotRead) +
                        (notes.itemsNotRead == 1 ? " item in all." : " items in all."));
    }
    if (notes.shortLine > 0) {
        lines.push_back("Line " + std::to_string(notes.shortLine) + " holds fewer items than a vector takes:");
        lines.push_back("a vector goes on in the lines that follow.");
    }
    return lines;
}

std::string NumberReadQuestion(const NumberReadNotes& notes, NumberUnit unit, int64_t count, const std::string& noun,
                               const std::string& detail)
{
    const std::string counted = std::to_string(count) + " " + noun + (count == 1 ? "" : "s");
    std::string text;
    if (notes.stopLine > 0)
        text += NumberFaultSentence(notes.stopLine, notes.fault, unit) + " Reading stopped there after " + counted + ". ";
    for (const std::string& line : NumberRuleLines(notes, unit)) text += line + " ";
    if (text.empty()) return text;
    if (notes.stopLine == 0) text += counted + detail + (count == 1 ? " was" : " were") + " read. ";
    return text + "Keep them?";
}
