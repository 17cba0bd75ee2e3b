#include "platform/pc_headless.h"

#include "platform/file_bytes.h"
#include "platform/pc.h"
#include "platform/png_image.h"

#include <charconv>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <system_error>

namespace {

struct Headless {
    HeadlessScript script;
    size_t next = 0;
    std::string outputDir;
    std::string transcript;
};

Headless& H()
{
    static Headless headless;
    return headless;
}

struct NamedKey {
    const char* name;
    bool extended;
    unsigned char code;
};

constexpr NamedKey kNamedKeys[] = {
    {"enter", false, 13}, {"esc", false, 27},    {"backspace", false, 8}, {"tab", false, 9},
    {"space", false, 32}, {"up", true, 72},      {"down", true, 80},      {"left", true, 75},
    {"right", true, 77},  {"home", true, 71},    {"end", true, 79},       {"pgup", true, 73},
    {"pgdn", true, 81},   {"ins", true, 82},     {"del", true, 83},       {"f1", true, 59},
    {"f2", true, 60},     {"f3", true, 61},      {"f4", true, 62},        {"f5", true, 63},
    {"f6", true, 64},     {"f7", true, 65},      {"f8", true, 66},        {"f9", true, 67},
    {"f10", true, 68},
};

bool ParseInteger(std::string_view text, int64_t& value)
{
    auto result = std::from_chars(text.data(), text.data() + text.size(), value);
    return result.ec == std::errc() && result.ptr == text.data() + text.size() && !text.empty();
}

void Note(const std::string& heading)
{
    H().transcript += "=== " + heading + " ===\n" + PcShadowText();
}

void WaitInput(void*)
{
    Headless& h = H();
    if (h.next >= h.script.inputs.size()) {
        Note("input " + std::to_string(h.next + 1) + ": none left in the script");
        HeadlessEnd(HeadlessEnding::ScriptUsedUp, kHeadlessScriptUsedUp);
    }
    const HeadlessInput& input = h.script.inputs[h.next++];
    Note("input " + std::to_string(h.next) + ": " + input.label);
    QueueHeadlessInput(input);
}

int64_t Clock(void*)
{
    return H().script.clock;
}

void Stop(void*, int code)
{
    HeadlessEnd(HeadlessEnding::Stopped, code);
}

void WriteText(const std::filesystem::path& name, const std::string& text)
{
    (void)ReplaceFileBytes(name.u8string(), std::vector<unsigned char>(text.begin(), text.end()));
}

}  // namespace

void QueueHeadlessInput(const HeadlessInput& input)
{
    if (input.kind == HeadlessInput::Kind::Click) {
        PcQueuePress(input.x, input.y);
        return;
    }
    for (size_t i = 0; i < input.keys.size(); ++i) {
        const unsigned char c = static_cast<unsigned char>(input.keys[i]);
        if (c == 0 && i + 1 < input.keys.size())
            PcQueueExtendedKey(static_cast<unsigned char>(input.keys[++i]));
        else
            PcQueueKey(c);
    }
}

int ParseHeadlessScript(std::string_view text, HeadlessScript& script, std::string& error)
{
    script = HeadlessScript();
    int lineNumber = 0;
    while (!text.empty()) {
        const size_t end = text.find('\n');
        std::string_view line = text.substr(0, end);
        text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
        ++lineNumber;
        if (!line.empty() && line.back() == '\r')
            line.remove_suffix(1);
        const size_t first = line.find_first_not_of(' ');
        if (first == std::string_view::npos || line[first] == '#')
            continue;
        line.remove_prefix(first);
        const size_t space = line.find(' ');
        const std::string_view word = line.substr(0, space);
        const std::string_view rest = space == std::string_view::npos ? std::string_view() : line.substr(space + 1);
        HeadlessInput input;
        input.label = std::string(line);
        const std::string where = "script line " + std::to_string(lineNumber) + ": ";
        if (word == "line") {
            input.keys = std::string(rest) + '\r';
        } else if (word == "key") {
            if (rest.size() == 1) {
                input.keys = std::string(rest);
            } else {
                for (const NamedKey& key : kNamedKeys) {
                    if (rest == key.name) {
                        input.keys = key.extended ? std::string(1, '\0') + static_cast<char>(key.code)
                                                  : std::string(1, static_cast<char>(key.code));
                    }
                }
                if (input.keys.empty()) {
                    error = where + "unknown key \"" + std::string(rest) + "\"";
                    return 0;
                }
            }
        } else if (word == "click") {
            const size_t gap = rest.find(' ');
            int64_t x = 0, y = 0;
            if (gap == std::string_view::npos || !ParseInteger(rest.substr(0, gap), x) ||
                !ParseInteger(rest.substr(gap + 1), y) || x < 0 || y < 0 || x >= kPcWidth || y >= kPcHeight) {
                error = where + "a click needs a pixel X Y within 640 x 350";
                return 0;
            }
            input.kind = HeadlessInput::Kind::Click;
            input.x = static_cast<int>(x);
            input.y = static_cast<int>(y);
        } else if (word == "clock") {
            if (!ParseInteger(rest, script.clock)) {
                error = where + "a clock needs an integer";
                return 0;
            }
            continue;
        } else {
            error = where + "expected key, line, click or clock";
            return 0;
        }
        script.inputs.push_back(std::move(input));
    }
    return 1;
}

void PcInstallHeadless(const HeadlessScript& script, const std::string& outputDir)
{
    Headless& h = H();
    h.script = script;
    h.next = 0;
    h.outputDir = outputDir;
    h.transcript.clear();
    PcBackend backend;
    backend.waitInput = WaitInput;
    backend.clock = Clock;
    backend.stop = Stop;
    PcInstallBackend(backend);
}

int HeadlessInputsLeft()
{
    return static_cast<int>(H().script.inputs.size() - H().next);
}

const std::string& HeadlessTranscript()
{
    return H().transcript;
}

std::string FramedScreenText()
{
    const std::string rule = "    +" + std::string(kPcColumns, '-') + "+\n";
    std::string text = rule;
    for (int row = 0; row < kPcRows; ++row) {
        std::string line = PcShadowRow(row);
        // Bytes outside printable ASCII (a hot-key mark, say) would garble a terminal.
        for (char& c : line) {
            if (static_cast<unsigned char>(c) < 32 || static_cast<unsigned char>(c) > 126)
                c = '?';
        }
        char number[8];
        std::snprintf(number, sizeof number, "%3d ", row);
        text += number + ("|" + line + std::string(static_cast<size_t>(kPcColumns) - line.size(), ' ') + "|\n");
    }
    return text + rule;
}

void HeadlessEnd(HeadlessEnding ending, int code)
{
    Headless& h = H();
    const char* word = ending == HeadlessEnding::Returned  ? "returned"
                       : ending == HeadlessEnding::Stopped ? "stopped"
                                                           : "script-used-up";
    const std::string endingLine = std::string(word) + " " + std::to_string(code) + "\n";
    h.transcript += "=== end: " + endingLine.substr(0, endingLine.size() - 1) + " ===\n" + PcShadowText();
    if (ending == HeadlessEnding::ScriptUsedUp) {
        const std::string message = "headless run: the program asked for input after the script was used up" +
                                    (h.outputDir.empty() ? std::string() : " (dump in " + h.outputDir + ")") +
                                    "\n" + FramedScreenText();
        std::fputs(message.c_str(), stderr);
    }
    if (!h.outputDir.empty()) {
        namespace fs = std::filesystem;
        const fs::path dir = fs::u8path(h.outputDir);
        std::error_code error;
        fs::create_directories(dir, error);
        WriteText(dir / "screen.txt", PcShadowText());
        WriteText(dir / "transcript.txt", h.transcript);
        const unsigned char* pixels = PcFramebuffer();
        (void)ReplaceFileBytes((dir / "framebuffer.bin").u8string(),
                               std::vector<unsigned char>(pixels, pixels + kPcWidth * kPcHeight));
        (void)WritePalettePng((dir / "screen.png").u8string(), kPcWidth, kPcHeight, pixels, kPcPalette, 16);
        // Last, so that a reader that finds it finds the others complete.
        WriteText(dir / "ending.txt", endingLine);
    }
    std::fflush(stderr);
    std::_Exit(code);
}

void HeadlessProgramMain(int argc, char** argv, void (*program)())
{
    const char* name = argc > 0 ? argv[0] : "program";
    std::vector<unsigned char> bytes;
    if (argc < 2 || argc > 3 || ReadFileBytes(argv[1], bytes) != 1) {
        std::fprintf(stderr, "usage: %s SCRIPT [FOLDER] (SCRIPT: the inputs, one a line)\n", name);
        std::exit(2);
    }
    HeadlessScript script;
    std::string error;
    if (ParseHeadlessScript(std::string(bytes.begin(), bytes.end()), script, error) != 1) {
        std::fprintf(stderr, "%s: %s: %s\n", name, argv[1], error.c_str());
        std::exit(2);
    }
    PcReset();
    PcInstallHeadless(script, argc == 3 ? argv[2] : "console-run");
    program();
    HeadlessEnd(HeadlessEnding::Returned, 0);
}
