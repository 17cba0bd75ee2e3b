#include "shell/help_file.h"

#include <algorithm>
#include <filesystem>
#include <system_error>

#include "platform/file_bytes.h"

namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

std::string_view Trim(std::string_view s)
{
    while (!s.empty() && IsBlank(s.front())) s.remove_prefix(1);
    while (!s.empty() && IsBlank(s.back())) s.remove_suffix(1);
    return s;
}

bool IsIdChar(char c) { return (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-'; }

bool ValidId(std::string_view id)
{
    return !id.empty() && id.size() <= kHelpMaxIdLength && id.front() != '-' &&
           std::all_of(id.begin(), id.end(), IsIdChar);
}

std::string Quoted(std::string_view s) { return "\"" + std::string(s) + "\""; }

// Length of the UTF-8 sequence starting at s[i], or 0 when it is not well formed (overlong
// forms, surrogates and values past U+10FFFF included).
size_t Utf8Length(std::string_view s, size_t i)
{
    const auto byte = [&](size_t k) { return static_cast<unsigned char>(s[k]); };
    const unsigned char c = byte(i);
    if (c < 0x80) return 1;
    size_t n = 0;
    uint32_t value = 0;
    if (c >= 0xC2 && c <= 0xDF) {
        n = 2;
        value = c & 0x1Fu;
    } else if (c >= 0xE0 && c <= 0xEF) {
        n = 3;
        value = c & 0x0Fu;
    } else if (c >= 0xF0 && c <= 0xF4) {
        n = 4;
        value = c & 0x07u;
    } else {
        return 0;
    }
    if (i + n > s.size()) return 0;
    for (size_t k = 1; k < n; ++k) {
        if ((byte(i + k) & 0xC0u) != 0x80u) return 0;
        value = (value << 6) | (byte(i + k) & 0x3Fu);
    }
    if ((n == 3 && value < 0x800) || (n == 4 && (value < 0x10000 || value > 0x10FFFF))) return 0;
    if (value >= 0xD800 && value <= 0xDFFF) return 0;
    return n;
}

// Empty when the line is acceptable text; otherwise what is wrong with it.
std::string CheckLineBytes(std::string_view line)
{
    if (line.size() > kHelpMaxLineBytes) return "the line is longer than " + std::to_string(kHelpMaxLineBytes) + " bytes";
    for (size_t i = 0; i < line.size();) {
        const unsigned char c = static_cast<unsigned char>(line[i]);
        if ((c < 0x20 && c != '\t') || c == 0x7F) return "control character in the text";
        const size_t n = Utf8Length(line, i);
        if (n == 0) return "the text is not UTF-8";
        i += n;
    }
    return {};
}

std::string ExpandTabs(std::string_view s)
{
    std::string out;
    for (char c : s) {
        if (c != '\t') {
            out += c;
            continue;
        }
        do out += ' ';
        while (out.size() % 8 != 0);
    }
    return out;
}

// A link span waits with this mark until its target is known; plain text never joins it.
constexpr int32_t kPendingLink = -2;

// A link whose target is checked once every topic is known.
struct PendingLink {
    size_t topic = 0, block = 0, span = 0;
    std::string target;
    int32_t line = 0;
};

class Parser {
public:
    Parser(HelpFile& file, HelpParseError& error) : file_(file), error_(error) {}

    bool Run(std::string_view text);

private:
    bool Fail(int32_t line, std::string message)
    {
        error_.line = line;
        error_.message = std::move(message);
        return false;
    }

    bool Line(std::string_view line);
    bool StartTopic(std::string_view rest);
    bool Commands(std::string_view rest);
    bool StartBlock(HelpBlockKind kind, std::string_view text);
    bool AppendText(std::string_view text);
    void AppendPlain(std::string_view text);
    bool Finish();

    HelpTopic& Topic() { return file_.topics.back(); }

    HelpFile& file_;
    HelpParseError& error_;
    int32_t lineNumber_ = 0;
    bool blockOpen_ = false;  // a paragraph or bullet that further lines continue
    std::vector<int32_t> topicLines_;
    std::vector<PendingLink> links_;
};

bool Parser::Run(std::string_view text)
{
    if (text.size() >= 3 && text.substr(0, 3) == "\xEF\xBB\xBF") text.remove_prefix(3);
    while (!text.empty()) {
        ++lineNumber_;
        const size_t end = text.find('\n');
        std::string_view line = text.substr(0, end);
        text = end == std::string_view::npos ? std::string_view() : text.substr(end + 1);
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        if (const std::string fault = CheckLineBytes(line); !fault.empty()) return Fail(lineNumber_, fault);
        if (!Line(line)) return false;
    }
    return Finish();
}

bool Parser::Line(std::string_view line)
{
    if (line.substr(0, 2) == "@@") return true;
    if (!line.empty() && line.front() == '@') {
        const size_t nameEnd = std::min(line.size(), line.find_first_of(" \t"));
        const std::string_view name = line.substr(0, nameEnd);
        const std::string_view rest = line.substr(nameEnd);
        blockOpen_ = false;
        if (name == "@topic") return StartTopic(rest);
        if (name == "@commands") return Commands(rest);
        return Fail(lineNumber_, "unknown directive " + std::string(name));
    }
    if (Trim(line).empty()) {
        blockOpen_ = false;
        return true;
    }
    if (file_.topics.empty()) return Fail(lineNumber_, "text before the first @topic");
    if (line.front() == '|') {
        std::string_view rest = line.substr(1);
        if (!rest.empty() && rest.front() == ' ') rest.remove_prefix(1);
        blockOpen_ = false;
        HelpBlock block;
        block.kind = HELP_PREFORMATTED;
        block.spans.push_back({ExpandTabs(rest), -1});
        Topic().blocks.push_back(std::move(block));
        return true;
    }
    if (line.substr(0, 3) == "== " || line == "==") return StartBlock(HELP_HEADING, line.substr(2));
    if (line.substr(0, 2) == "* ") return StartBlock(HELP_BULLET, line.substr(2));
    if (blockOpen_) {
        AppendPlain(" ");
        return AppendText(Trim(line));
    }
    return StartBlock(HELP_PARAGRAPH, line);
}

bool Parser::StartTopic(std::string_view rest)
{
    rest = Trim(rest);
    const size_t idEnd = std::min(rest.size(), rest.find_first_of(" \t"));
    const std::string_view id = rest.substr(0, idEnd);
    const std::string_view title = Trim(rest.substr(idEnd));
    if (id.empty() || title.empty()) return Fail(lineNumber_, "@topic needs an id and a title");
    if (!ValidId(id))
        return Fail(lineNumber_, "topic id " + Quoted(id) + " must be up to " + std::to_string(kHelpMaxIdLength) +
                                     " of a-z, 0-9 and -, not starting with -");
    if (title.size() > kHelpMaxTitleLength)
        return Fail(lineNumber_, "the title is longer than " + std::to_string(kHelpMaxTitleLength) + " bytes");
    if (const int32_t k = FindHelpTopic(file_, id); k >= 0)
        return Fail(lineNumber_, "topic id " + Quoted(id) + " is used twice (first on line " +
                                     std::to_string(topicLines_[static_cast<size_t>(k)]) + ")");
    if (file_.topics.size() >= kHelpMaxTopics)
        return Fail(lineNumber_, "more than " + std::to_string(kHelpMaxTopics) + " topics");
    HelpTopic topic;
    topic.id = std::string(id);
    topic.title = ExpandTabs(title);
    file_.topics.push_back(std::move(topic));
    topicLines_.push_back(lineNumber_);
    return true;
}

bool Parser::Commands(std::string_view rest)
{
    if (file_.topics.empty()) return Fail(lineNumber_, "@commands before the first @topic");
    rest = Trim(rest);
    if (rest.empty()) return Fail(lineNumber_, "@commands needs at least one command id");
    while (!rest.empty()) {
        const size_t end = std::min(rest.size(), rest.find_first_of(" \t"));
        const std::string_view token = rest.substr(0, end);
        rest = Trim(rest.substr(end));
        uint32_t value = 0;
        const bool digits = !token.empty() && token.size() <= 5 &&
                            std::all_of(token.begin(), token.end(), [](char c) { return c >= '0' && c <= '9'; });
        if (digits)
            for (char c : token) value = value * 10 + static_cast<uint32_t>(c - '0');
        if (!digits || value < 1 || value > 65535)
            return Fail(lineNumber_, "command id " + Quoted(token) + " is not a number from 1 to 65535");
        Topic().commands.push_back(value);
    }
    return true;
}

bool Parser::StartBlock(HelpBlockKind kind, std::string_view text)
{
    text = Trim(text);
    if (text.empty()) return Fail(lineNumber_, kind == HELP_HEADING ? "empty heading" : "empty bullet");
    HelpBlock block;
    block.kind = kind;
    Topic().blocks.push_back(std::move(block));
    blockOpen_ = kind != HELP_HEADING;
    return AppendText(text);
}

void Parser::AppendPlain(std::string_view text)
{
    if (text.empty()) return;
    std::vector<HelpSpan>& spans = Topic().blocks.back().spans;
    if (spans.empty() || spans.back().link != -1) spans.push_back({std::string(), -1});
    spans.back().text += ExpandTabs(text);
}

bool Parser::AppendText(std::string_view text)
{
    while (!text.empty()) {
        const size_t open = text.find("[[");
        if (open == std::string_view::npos) {
            AppendPlain(text);
            return true;
        }
        AppendPlain(text.substr(0, open));
        const size_t end = text.find("]]", open + 2);
        if (end == std::string_view::npos) return Fail(lineNumber_, "link without its closing ]] on the same line");
        const std::string_view inner = text.substr(open + 2, end - open - 2);
        if (inner.find("[[") != std::string_view::npos) return Fail(lineNumber_, "link inside a link");
        const size_t bar = inner.find('|');
        const std::string_view target = inner.substr(0, bar);
        const std::string_view shown = bar == std::string_view::npos ? std::string_view() : Trim(inner.substr(bar + 1));
        if (!ValidId(target)) return Fail(lineNumber_, "link to " + Quoted(target) + ", which is not a topic id");
        if (bar != std::string_view::npos && shown.empty())
            return Fail(lineNumber_, "link to " + Quoted(target) + " with an empty text");
        HelpTopic& topic = Topic();
        std::vector<HelpSpan>& spans = topic.blocks.back().spans;
        spans.push_back({ExpandTabs(shown), kPendingLink});
        links_.push_back({file_.topics.size() - 1, topic.blocks.size() - 1, spans.size() - 1, std::string(target),
                          lineNumber_});
        text = text.substr(end + 2);
    }
    return true;
}

bool Parser::Finish()
{
    if (file_.topics.empty()) return Fail(0, "it holds no topics");
    // The earliest of the faults that need the whole file.
    int32_t line = 0;
    std::string message;
    const auto note = [&](int32_t at, std::string what) {
        if (line == 0 || at < line) {
            line = at;
            message = std::move(what);
        }
    };
    for (size_t k = 0; k < file_.topics.size(); ++k)
        if (file_.topics[k].blocks.empty()) note(topicLines_[k], "topic " + Quoted(file_.topics[k].id) + " has no text");
    for (const PendingLink& link : links_) {
        const int32_t target = FindHelpTopic(file_, link.target);
        if (target < 0) {
            note(link.line, "link to unknown topic " + Quoted(link.target));
            continue;
        }
        HelpSpan& span = file_.topics[link.topic].blocks[link.block].spans[link.span];
        span.link = target;
        if (span.text.empty()) span.text = file_.topics[static_cast<size_t>(target)].title;
    }
    if (line != 0) return Fail(line, message);
    for (std::string_view required : {kHelpContentsTopic, kHelpOnHelpTopic})
        if (FindHelpTopic(file_, required) < 0) return Fail(0, "it has no topic " + Quoted(required));
    return true;
}

std::string LowerAscii(std::string_view s)
{
    std::string out(s);
    for (char& c : out)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return out;
}

std::vector<std::string> Words(std::string_view s)
{
    std::vector<std::string> words;
    while (true) {
        s = Trim(s);
        if (s.empty()) break;
        const size_t end = std::min(s.size(), s.find_first_of(" \t"));
        words.push_back(LowerAscii(s.substr(0, end)));
        s = s.substr(end);
    }
    return words;
}

bool HoldsAll(const std::string& text, const std::vector<std::string>& words)
{
    return std::all_of(words.begin(), words.end(),
                       [&](const std::string& w) { return text.find(w) != std::string::npos; });
}

}  // namespace

int32_t ParseHelpFile(std::string_view text, HelpFile& file, HelpParseError& error)
{
    file = HelpFile{};
    error = HelpParseError{};
    Parser parser(file, error);
    if (parser.Run(text)) return 1;
    file = HelpFile{};
    return 0;
}

int32_t FindHelpTopic(const HelpFile& file, std::string_view id)
{
    for (size_t k = 0; k < file.topics.size(); ++k)
        if (file.topics[k].id == id) return static_cast<int32_t>(k);
    return -1;
}

std::string HelpTopicText(const HelpTopic& topic)
{
    std::string text = topic.title;
    for (const HelpBlock& block : topic.blocks) {
        text += '\n';
        for (const HelpSpan& span : block.spans) text += span.text;
    }
    return text;
}

std::vector<int32_t> SearchHelpTopics(const HelpFile& file, std::string_view query)
{
    const std::vector<std::string> words = Words(query);
    std::vector<int32_t> inTitle, inText;
    for (size_t k = 0; k < file.topics.size(); ++k) {
        const int32_t index = static_cast<int32_t>(k);
        if (HoldsAll(LowerAscii(file.topics[k].title), words))
            inTitle.push_back(index);
        else if (HoldsAll(LowerAscii(HelpTopicText(file.topics[k])), words))
            inText.push_back(index);
    }
    inTitle.insert(inTitle.end(), inText.begin(), inText.end());
    return inTitle;
}

int32_t LoadHelpFile(const std::string& path, HelpFile& file, std::string& message)
{
    file = HelpFile{};
    message.clear();
    const std::string named = "The help file " + path;
    std::error_code error;
    const auto size = std::filesystem::file_size(std::filesystem::u8path(path), error);
    if (error) {
        message = named + " cannot be opened.";
        return 0;
    }
    if (size > kHelpMaxBytes) {
        message = named + " is damaged: it is larger than " + std::to_string(kHelpMaxBytes >> 20) + " MB.";
        return -1;
    }
    std::vector<unsigned char> bytes;
    if (!ReadFileBytes(path, bytes) || bytes.size() > kHelpMaxBytes) {
        message = named + " cannot be read.";
        return 0;
    }
    HelpParseError fault;
    const std::string_view text(reinterpret_cast<const char*>(bytes.data()), bytes.size());
    if (ParseHelpFile(text, file, fault)) return 1;
    message = named + " is damaged: " + (fault.line > 0 ? "line " + std::to_string(fault.line) + ": " : "") +
              fault.message + ".";
    return -1;
}
