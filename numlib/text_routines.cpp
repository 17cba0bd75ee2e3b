#include "numlib/text_routines.h"

#include "numlib/error_stack.h"

#include <cstdint>

char UpperChar(char c)
{
    return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
}

int CharCode(char c)
{
    return static_cast<unsigned char>(c);
}

char CodeChar(int code)
{
    return code < 0 ? '\0' : static_cast<char>(static_cast<unsigned char>(code));
}

char ACHAR(int code)
{
    if (code >= 0) return CodeChar(code);
    E1PSH("ACHAR");
    MsgSetInt(1, code);
    E1MES(5, 1, "The ASCII value must be non-negative while I = %(I1) is given.");
    E1POP("ACHAR");
    return '\0';
}

static int IndexWith(std::string_view text, std::string_view pattern, bool foldCase)
{
    if (text.empty() || pattern.empty() || pattern.size() > text.size()) return 0;
    for (size_t i = 0; i + pattern.size() <= text.size(); ++i) {
        size_t k = 0;
        for (; k < pattern.size(); ++k) {
            char a = text[i + k];
            char b = pattern[k];
            if (foldCase) {
                a = UpperChar(a);
                b = UpperChar(b);
            }
            if (a != b) break;
        }
        if (k == pattern.size()) return static_cast<int>(i) + 1;
    }
    return 0;
}

int IndexExact(std::string_view text, std::string_view pattern)
{
    return IndexWith(text, pattern, false);
}

int IndexNoCase(std::string_view text, std::string_view pattern)
{
    return IndexWith(text, pattern, true);
}

int CompareNoCase(std::string_view a, std::string_view b)
{
    const size_t n = a.size() > b.size() ? a.size() : b.size();
    for (size_t i = 0; i < n; ++i) {
        const int ca = CharCode(UpperChar(i < a.size() ? a[i] : ' '));
        const int cb = CharCode(UpperChar(i < b.size() ? b[i] : ' '));
        if (ca != cb) return ca < cb ? -1 : 1;
    }
    return 0;
}

int FirstNotInSet(std::string_view text, std::string_view set)
{
    if (text.empty() || set.empty()) return 1;
    for (size_t i = 0; i < text.size(); ++i) {
        if (set.find(text[i]) == std::string_view::npos) return static_cast<int>(i) + 1;
    }
    return 0;
}

int IntToText(int value, std::string& field)
{
    std::string digits;
    int64_t v = value;
    const bool negative = v < 0;
    if (negative) v = -v;
    do {
        digits.insert(digits.begin(), static_cast<char>('0' + v % 10));
        v /= 10;
    } while (v > 0);
    if (negative) digits.insert(digits.begin(), '-');
    const int width = static_cast<int>(field.size());
    const int needed = static_cast<int>(digits.size());
    if (needed > width) return needed - width;
    field.assign(static_cast<size_t>(width - needed), ' ');
    field += digits;
    return 0;
}

int TextToInt(std::string_view field, int& value)
{
    value = 0;
    const int n = static_cast<int>(field.size());
    if (n == 0) return -1;
    int i = 0;
    while (i < n && field[i] == ' ') ++i;
    if (i == n) return 1;
    int signPos = 0;
    bool negative = false;
    if (field[i] == '-' || field[i] == '+') {
        negative = field[i] == '-';
        signPos = i + 1;
        ++i;
        while (i < n && field[i] == ' ') ++i;
    }
    bool anyDigit = false;
    while (i < n && field[i] == '0') {
        ++i;
        anyDigit = true;
    }
    int64_t v = 0;
    while (i < n && field[i] >= '0' && field[i] <= '9') {
        v = v * 10 + (field[i] - '0');
        if (v > 2147483647) return -2;
        ++i;
        anyDigit = true;
    }
    if (!anyDigit && signPos > 0) return signPos;
    value = static_cast<int>(negative ? -v : v);
    return i < n ? i + 1 : 0;
}

int CopyChars(std::string_view source, int i1, int i2, std::string& target, int j1, int j2)
{
    if (i1 < 1 || i2 < i1 || i2 > static_cast<int>(source.size()) || j1 < 1 || j2 < j1) return -2;
    if (j2 > static_cast<int>(target.size())) return -1;
    for (int j = j1; j <= j2; ++j) {
        const int i = i1 + (j - j1);
        target[static_cast<size_t>(j - 1)] = i <= i2 ? source[static_cast<size_t>(i - 1)] : ' ';
    }
    return 0;
}
