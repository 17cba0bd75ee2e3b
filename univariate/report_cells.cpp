#include "univariate/report_cells.h"

#include "shell/number_format.h"

std::string Trimmed(const std::string& text)
{
    const size_t first = text.find_first_not_of(' ');
    if (first == std::string::npos) return std::string();
    return text.substr(first, text.find_last_not_of(' ') - first + 1);
}


std::string RightCell(const std::string& text, size_t width)
{
    return text.size() >= width ? text : std::string(width - text.size(), ' ') + text;
}

std::string IntCell(int32_t n) { return RightCell(IntText(n), 15); }
std::string FixedCell(double x, int32_t decimals, NumberScale scale)
{
    return RightCell(FittedFixed(x, decimals, 14, scale), 15);
}
std::string SignificantCell(double x, int32_t digits) { return RightCell(SignificantText(x, digits), 30); }

std::string Composed(const std::string& text) { return " " + text; }

std::string FormattedLine(std::string_view format, const std::vector<FormatValue>& values)
{
    std::string text = Formatted(format, values);
    while (!text.empty() && text.back() == '\n') text.pop_back();
    return text;
}
