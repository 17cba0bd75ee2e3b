#include "shell/library_message_text.h"

#include <string_view>
#include <vector>

std::string LibraryMessageText(const std::string& printed)
{
    constexpr std::string_view kFirst = " *** ";
    constexpr std::string_view kContinued = " ***          ";
    std::vector<std::string> paragraphs;
    bool inMessage = false;  // the last paragraph is a message that may continue
    bool hardBreak = false;  // the last continuation line filled all 64 places without a blank
    size_t start = 0;
    while (start < printed.size()) {
        size_t end = printed.find('\n', start);
        if (end == std::string::npos) end = printed.size();
        const std::string_view line(printed.data() + start, end - start);
        start = end + 1;
        if (line.find_first_not_of(' ') == std::string_view::npos) continue;
        if (line.substr(0, kContinued.size()) == kContinued && inMessage) {
            std::string& text = paragraphs.back();
            // The printer broke the line at a blank and dropped it (and one more), unless a word
            // filled the whole line.
            if (!hardBreak && !text.empty() && text.back() != ' ') text += ' ';
            const std::string_view chunk = line.substr(kContinued.size());
            text += chunk;
            hardBreak = chunk.size() == 64 && chunk.back() != ' ';
        } else if (line.substr(0, kFirst.size()) == kFirst) {
            // The type word is padded to 8 characters: "FATAL    ERROR" reads "FATAL ERROR".
            std::string text(line.substr(kFirst.size()));
            const size_t word = text.find(' ');
            const size_t next = text.find_first_not_of(' ', word);
            if (word != std::string::npos && next != std::string::npos) text.erase(word + 1, next - word - 1);
            paragraphs.push_back(text);
            inMessage = true;
            hardBreak = false;
        } else {
            // A traceback line: kept as printed, under the message it belongs to.
            std::string text(line);
            while (!text.empty() && text.back() == ' ') text.pop_back();
            if (paragraphs.empty() || inMessage) paragraphs.emplace_back();
            else paragraphs.back() += '\n';
            paragraphs.back() += text;
            inMessage = false;
        }
    }
    std::string out;
    for (std::string& p : paragraphs) {
        while (!p.empty() && p.back() == ' ') p.pop_back();
        if (!out.empty()) out += "\n\n";
        out += p;
    }
    return out;
}
