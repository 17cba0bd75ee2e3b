#include "platform/typed_entry.h"

#include "platform/number_text.h"

#include <cmath>
#include <limits>

namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

EntryFault FaultOf(NumberFault fault)
{
    switch (fault) {
    case NumberFault::None: return EntryFault::None;
    case NumberFault::DateOrFraction: return EntryFault::DateOrFraction;
    case NumberFault::Thousands: return EntryFault::Thousands;
    case NumberFault::DecimalComma: return EntryFault::DecimalComma;
    case NumberFault::EmptyItem: return EntryFault::EmptyItem;
    case NumberFault::NotFinite: return EntryFault::NotFinite;
    case NumberFault::TooLarge: return EntryFault::TooLarge;
    case NumberFault::TooSmall: return EntryFault::TooSmall;
    default: return EntryFault::Text;  // text, a control character, an end-of-file mark
    }
}

// The fault of one classified item for an entry of `kind`, with its number in `value`.
EntryFault ItemEntryFault(const NumberItem& item, EntryKind kind, double& value)
{
    // The files count a number beyond the doubles with NaN and the infinities; an entry says so.
    if (item.kind == NumberItemKind::TooLarge) return EntryFault::TooLarge;
    const EntryFault fault =
        FaultOf(ItemFault(item, kind == EntryKind::Single ? NumberPrecision::Single : NumberPrecision::Double));
    if (fault != EntryFault::None) return fault;
    if ((kind == EntryKind::Whole || kind == EntryKind::Integer) && item.value != std::floor(item.value))
        return EntryFault::NotWhole;
    if (kind == EntryKind::Integer && (item.value < std::numeric_limits<int32_t>::min() ||
                                       item.value > std::numeric_limits<int32_t>::max()))
        return EntryFault::TooLarge;
    // A float entry holds the float the text rounds to.
    value = kind == EntryKind::Single ? static_cast<double>(static_cast<float>(item.value)) : item.value;
    return EntryFault::None;
}

}  // namespace

EntryFault ReadEntryNumber(std::string_view text, EntryKind kind, double& value)
{
    std::vector<std::string_view> words;
    for (size_t k = 0; k < text.size();) {
        if (IsBlank(text[k])) {
            ++k;
            continue;
        }
        size_t end = k;
        while (end < text.size() && !IsBlank(text[end])) ++end;
        words.push_back(text.substr(k, end - k));
        k = end;
    }
    if (words.empty()) return EntryFault::Blank;
    // Two numbers are refused as such; among other words the first that is no number tells why.
    double read = 0.0;
    for (std::string_view word : words) {
        const EntryFault fault = ItemEntryFault(ClassifyNumberItem(word), kind, read);
        if (words.size() == 1 || (fault != EntryFault::None && fault != EntryFault::NotWhole)) {
            if (fault == EntryFault::None) value = read;
            return fault;
        }
    }
    return EntryFault::MoreNumbers;
}

EntryFault ReadEntryInteger(std::string_view text, int32_t& value)
{
    double read = 0.0;
    const EntryFault fault = ReadEntryNumber(text, EntryKind::Integer, read);
    if (fault == EntryFault::None) value = static_cast<int32_t>(read);
    return fault;
}

EntryFault ReadEntryLine(std::string_view line, int64_t need, EntryKind kind, std::vector<double>& values)
{
    const int64_t room = need - static_cast<int64_t>(values.size());
    if (room <= 0) return EntryFault::MoreNumbers;
    const LineItems split = SplitNumberLine(line, room);
    if (split.fault != NumberFault::None) return FaultOf(split.fault);
    int64_t count = 0;
    std::vector<double> read;
    for (const LineItem& item : split.items) {
        double x = 0.0;
        const EntryFault fault = ItemEntryFault(item.item, kind, x);
        if (fault != EntryFault::None) return fault;
        if (item.repeat > room - count) return EntryFault::MoreNumbers;
        count += item.repeat;
        read.insert(read.end(), static_cast<size_t>(item.repeat), x);
    }
    if (split.slash && count < room) return EntryFault::FewerNumbers;
    values.insert(values.end(), read.begin(), read.end());
    return EntryFault::None;
}

std::string ReadFieldEntry(std::string_view field, std::string_view text, EntryKind kind, double& value)
{
    const EntryFault fault = ReadEntryNumber(text, kind, value);
    return fault == EntryFault::None ? std::string() : EntryRefusal(field, text, fault);
}

std::string ReadIndexRange(std::string_view firstText, std::string_view lastText, int32_t& first, int32_t& last)
{
    double a = 0.0, b = 0.0;
    std::string refusal = ReadFieldEntry("First index", firstText, EntryKind::Integer, a);
    if (refusal.empty()) refusal = ReadFieldEntry("Last index", lastText, EntryKind::Integer, b);
    if (!refusal.empty()) return refusal;
    first = static_cast<int32_t>(a);
    last = static_cast<int32_t>(b);
    return "";
}

std::string EntryFaultText(EntryFault fault, int64_t count)
{
    const std::string numbers = count == 1 ? "one number" : std::to_string(count) + " numbers";
    switch (fault) {
    case EntryFault::None: return "";
    case EntryFault::Blank: return "is empty: type " + numbers;
    case EntryFault::Text: return "is not a number";
    case EntryFault::DateOrFraction: return "is a date or a fraction, not a number";
    case EntryFault::Thousands: return "has a thousands separator: type the number without it";
    case EntryFault::DecimalComma: return "has a decimal comma: type a decimal point";
    case EntryFault::EmptyItem: return "has a comma or a slash where a number should stand";
    case EntryFault::NotFinite: return "is not a finite number";
    case EntryFault::TooLarge: return "is too large";
    case EntryFault::TooSmall: return "is too small: type 0 or a larger number";
    case EntryFault::NotWhole: return "is not a whole number";
    case EntryFault::MoreNumbers: return "holds more than " + numbers + ": type " + numbers;
    case EntryFault::FewerNumbers: return "holds fewer than " + numbers + ": type " + numbers;
    }
    return "";
}

std::string EntryRefusal(std::string_view field, std::string_view text, EntryFault fault, int64_t count)
{
    constexpr size_t kShownLength = 24;
    size_t first = 0, last = text.size();
    while (first < last && IsBlank(text[first])) ++first;
    while (last > first && IsBlank(text[last - 1])) --last;
    std::string shown(text.substr(first, last - first));
    if (shown.size() > kShownLength) shown = shown.substr(0, kShownLength - 3) + "...";
    std::string message(field);
    if (fault != EntryFault::Blank) message += " \"" + shown + "\"";
    return message + " " + EntryFaultText(fault, count) + ".";
}
