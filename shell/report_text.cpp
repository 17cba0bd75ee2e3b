#include "shell/report_text.h"

#include <algorithm>
#include <cstddef>

#include "shell/number_format.h"

namespace {

constexpr int32_t kCellWidth = 14;

}  // namespace

bool InfoPrintClears(std::string_view text, int32_t length)
{
    const size_t end = InfoPrintText(text).size();
    if (length < 0) length = 0;
    if (static_cast<size_t>(length) > end) return false;  // the NUL is among the examined characters
    for (size_t i = 0; i < static_cast<size_t>(length); ++i)
        if (text[i] != ' ') return false;
    return true;
}

std::string_view InfoPrintText(std::string_view text) { return text.substr(0, text.find('\0')); }

std::string InfoArrayText(const std::vector<double>& values, int32_t n, int32_t perLine, int32_t decimals,
                          NumberScale scale)
{
    const size_t count = std::min(static_cast<size_t>(std::max(n, 0)), values.size());
    const size_t line = static_cast<size_t>(std::max(perLine, 1));
    std::string out;
    for (size_t i = 0; i < count; ++i) {
        const std::string text = FittedFixed(values[i], std::max(decimals, 0), kCellWidth - 1, scale);
        out.append(kCellWidth - text.size(), ' ').append(text);
        if ((i + 1) % line == 0) out.append("\r\n");
    }
    out.append("\r\n");
    return out;
}

std::string ReportWindowText(const InfoCalls& calls, std::string start)
{
    std::string text = std::move(start);
    for (const InfoCall& call : calls) {
        if (call.array)
            text += InfoArrayText(call.values, static_cast<int32_t>(call.values.size()), call.perLine, call.decimals,
                                  call.scale);
        else if (InfoPrintClears(call.text, call.length))
            text = std::string(InfoPrintText(call.text));
        else
            text.append(InfoPrintText(call.text)).append("\r\n");
    }
    return text;
}

void ReportWriter::Clear()
{
    InfoCall call;
    calls_.push_back(call);
}

void ReportWriter::Heading(int32_t rowLength, const std::string& heading)
{
    const std::string row(static_cast<size_t>(std::max(rowLength, 0)), '=');
    Line(row);
    Line(heading);
    Line(row);
}

void ReportWriter::Line(const std::string& text)
{
    InfoCall call;
    const size_t end = text.find_last_not_of(' ');
    call.text = end == std::string::npos ? std::string() : text.substr(0, end + 1);
    call.length = static_cast<int32_t>(call.text.size()) + 1;
    calls_.push_back(std::move(call));
}

void ReportWriter::Blank()
{
    InfoCall call;
    call.text = "  ";
    call.length = 3;
    calls_.push_back(std::move(call));
}

void ReportWriter::Array(const std::vector<double>& values, int32_t n, int32_t perLine, int32_t decimals,
                         NumberScale scale)
{
    InfoCall call;
    call.array = true;
    const size_t count = std::min(static_cast<size_t>(std::max(n, 0)), values.size());
    call.values.assign(values.begin(), values.begin() + static_cast<std::ptrdiff_t>(count));
    call.perLine = perLine;
    call.decimals = decimals;
    call.scale = scale;
    calls_.push_back(std::move(call));
}
