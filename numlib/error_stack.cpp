#include "numlib/error_stack.h"

#include "numlib/machine.h"
#include "numlib/text_routines.h"
#include "platform/fortran_format.h"

#include <array>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

constexpr int kMaxLevel = 50;
constexpr size_t kNameLength = 32;
constexpr size_t kMessageCapacity = 1024;
constexpr size_t kParamCapacity = 300;

struct StackLevel {
    std::string name;
    int type = -1;
    int code = -1;
};

// Per type 1..7 (index 0 unused): word, printed, stops, traceback.
constexpr std::array<const char*, 8> kTypeWord = {"UNKNOWN ", "NOTE    ", "ALERT   ", "WARNING ",
                                                   "FATAL   ", "TERMINAL", "WARNING ", "FATAL   "};
constexpr std::array<bool, 8> kPrintFlag = {false, false, false, true, true, true, true, true};
constexpr std::array<bool, 8> kStopFlag = {false, false, false, false, true, true, false, true};
constexpr std::array<bool, 8> kTracebackFlag = {false, true, true, true, true, true, true, true};

struct ErrorState {
    int level = 1;
    std::array<StackLevel, kMaxLevel + 2> levels;  // 1..51 used
    std::string message;
    std::string params;  // entries "*Ln*len text", appended in order
    bool pending6 = false;
    bool pending7 = false;
    int overflowPushes = 0;  // pushes refused at level 50, absorbed by the matching pops

    // Stop handling: the text written for the user during the current application call.
    std::string transcript;
    bool abandoned = false;
    LibraryStopHook hook = nullptr;
    void* hookContext = nullptr;

    // The WARNING messages printed during the current application call, passed on when it returns.
    std::string warnings;
    LibraryWarningHook warningHook = nullptr;
    void* warningContext = nullptr;
};

std::string PadName(std::string_view name)
{
    std::string s(name.substr(0, kNameLength));
    s.resize(kNameLength, ' ');
    return s;
}

bool TypeInRange(int t)
{
    return t >= 1 && t <= 7;
}

ErrorState& State()
{
    static ErrorState state = [] {
        ErrorState s;
        s.levels[1] = {PadName("USER"), 0, 0};
        for (int i = 2; i <= kMaxLevel + 1; ++i) s.levels[static_cast<size_t>(i)] = {PadName(""), -1, -1};
        return s;
    }();
    return state;
}

StackLevel& Current()
{
    ErrorState& s = State();
    return s.levels[static_cast<size_t>(s.level)];
}

// The name up to its first blank; "dLINDS"-style names get their first letter upper-cased.
std::string DisplayName(const std::string& padded, bool cutAtBlank)
{
    std::string name = padded;
    if (cutAtBlank) {
        const size_t blank = name.find(' ');
        if (blank != std::string::npos) name.resize(blank);
    }
    if (name.size() >= 2 && name[0] >= 'a' && name[0] <= 'z' && name[1] >= 'A' && name[1] <= 'Z') {
        name[0] = UpperChar(name[0]);
    }
    return name;
}

std::string RightJustified(int value, size_t width)
{
    std::string text = std::to_string(value);
    if (text.size() < width) text.insert(0, width - text.size(), ' ');
    return text;
}

void AddParameter(char letter, int number, const std::string& text)
{
    ErrorState& s = State();
    const size_t endPosition = s.params.size() + 1;
    if (endPosition + text.size() + 8 > kParamCapacity) return;
    s.params += '*';
    s.params += letter;
    s.params += static_cast<char>('0' + number);
    s.params += '*';
    s.params += std::to_string(text.size());
    s.params += ' ';
    s.params += text;
}

// Text of the first parameter entry with key "*<letter><digit>*", ignoring case.
bool FindParameter(char letter, char digit, std::string& text)
{
    const std::string& p = State().params;
    size_t i = 0;
    while (i + 4 <= p.size()) {
        const size_t lengthStart = i + 4;
        const size_t blank = p.find(' ', lengthStart);
        if (p[i] != '*' || blank == std::string::npos) return false;
        size_t length = 0;
        for (size_t k = lengthStart; k < blank; ++k) length = length * 10 + static_cast<size_t>(p[k] - '0');
        if (UpperChar(p[i + 1]) == UpperChar(letter) && p[i + 2] == digit && p[i + 3] == '*') {
            text = p.substr(blank + 1, length);
            return true;
        }
        i = blank + 1 + length;
    }
    return false;
}

void ErrPrint()
{
    ErrorState& s = State();
    if (s.message.empty()) return;
    int errorUnit = 6;
    UMACH(3, errorUnit);
    const StackLevel& lv = Current();
    const int t = lv.type;

    std::string header = " " + std::to_string(lv.code) + " from " + DisplayName(lv.name, true);
    const std::string& msg = s.message;
    if (msg.compare(0, 3, ".  ") != 0) header += ".  ";
    const int room = 59 - static_cast<int>(header.size());
    const int length = static_cast<int>(msg.size());

    std::string out = "\n *** ";
    out += TypeInRange(t) ? kTypeWord[static_cast<size_t>(t)] : kTypeWord[0];
    out += " ERROR" + header;
    int previousBreak;  // 0-based index of the blank where the last line broke, or its last character
    if (length <= room) {
        out += msg + "\n";
        previousBreak = length;
    } else {
        int blank = -1;
        for (int i = room - 1; i >= 0; --i) {
            if (msg[static_cast<size_t>(i)] == ' ') {
                blank = i;
                break;
            }
        }
        if (blank < 0) blank = room > 0 ? room : 0;
        out += msg.substr(0, static_cast<size_t>(blank)) + "\n";
        previousBreak = blank;
    }
    while (previousBreak < length) {
        int start = previousBreak + 1;
        if (start < length && msg[static_cast<size_t>(start)] == ' ') ++start;
        if (start >= length) break;
        int end;  // exclusive
        if (length - start <= 64) {
            end = length;
        } else {
            const int windowEnd = previousBreak + 64;  // last index of the 64 positions
            int blank = -1;
            for (int i = windowEnd; i >= start; --i) {
                if (msg[static_cast<size_t>(i)] == ' ') {
                    blank = i;
                    break;
                }
            }
            end = blank >= 0 ? blank + 1 : windowEnd + 1;
        }
        out += " ***          " + msg.substr(static_cast<size_t>(start), static_cast<size_t>(end - start)) + "\n";
        previousBreak = end - 1;
        if (end == length) break;
    }
    s.message.clear();
    s.params.clear();

    if (TypeInRange(t) && kTracebackFlag[static_cast<size_t>(t)] && s.level >= 3) {
        out += "     Here is a traceback of subprogram calls in reverse order:\n";
        out += "     Routine name                " "    Error type  Error code\n";
        out += "     ------------                " "    ----------  ----------\n";
        for (int l = s.level; l >= 1; --l) {
            const StackLevel& e = s.levels[static_cast<size_t>(l)];
            out += "     " + DisplayName(e.name, false) + RightJustified(e.type, 6) + "      " +
                   RightJustified(e.code, 6);
            if (l >= 3) out += "    (Called internally)";
            out += "\n";
        }
    }
    if (t == 3 || t == 6) s.warnings += out;
    LibraryErrorText(errorUnit, out);
}

// At the end of an application call: its printed warnings go to the warning hook, unless the
// call was abandoned (the stop hook has shown them with the stopping message).
void DeliverWarnings()
{
    ErrorState& s = State();
    if (s.warnings.empty()) return;
    std::string warnings;
    warnings.swap(s.warnings);
    if (!s.abandoned && s.warningHook) s.warningHook(warnings, s.warningContext);
}

bool PendingImmediateStop()
{
    ErrorState& s = State();
    bool stop = false;
    if (s.pending6) stop = kStopFlag[6];
    if (s.pending7) stop = kStopFlag[7];
    s.pending6 = false;
    s.pending7 = false;
    return stop;
}

void DefaultStopHook(const std::string&, void*)
{
}

}  // namespace

void SetLibraryStopHook(LibraryStopHook hook, void* context)
{
    ErrorState& s = State();
    s.hook = hook;
    s.hookContext = context;
}

void SetLibraryWarningHook(LibraryWarningHook hook, void* context)
{
    ErrorState& s = State();
    s.warningHook = hook;
    s.warningContext = context;
}

void ConsoleLibraryStop(const std::string&, void*)
{
    std::fflush(nullptr);
    std::exit(1);
}

bool LibraryCallAbandoned()
{
    return State().abandoned;
}

void LibraryErrorText(int unit, std::string_view text)
{
    State().transcript += text;
    LibraryWrite(unit, text);
}

void LibraryRunTimeStop()
{
    ErrorState& s = State();
    // Later stops of an abandoned call are its echoes on the way out; the user heard of it once.
    if (s.abandoned && s.level > 1) return;
    s.abandoned = true;
    const std::string messages = s.transcript;
    s.transcript.clear();
    LibraryStopHook hook = s.hook ? s.hook : DefaultStopHook;
    hook(messages, s.hookContext);
}

void E1PSH(std::string_view name)
{
    ErrorState& s = State();
    if (s.level < kMaxLevel) {
        ++s.level;
        s.levels[static_cast<size_t>(s.level)] = {PadName(name), 0, 0};
        if (s.level == 2) {
            s.abandoned = false;
            s.transcript.clear();
            s.warnings.clear();
        }
        return;
    }
    MsgSetInt(1, kMaxLevel);
    E1MES(5, 1, "Error condition in E1PSH.  Push would cause stack level to exceed %(I1). ");
    ++s.overflowPushes;
    LibraryRunTimeStop();
}

void E1POP(std::string_view name)
{
    ErrorState& s = State();
    if (s.overflowPushes > 0) {
        --s.overflowPushes;
        return;
    }
    if (s.level < 2) {
        E1PSH("E1POP");
        MsgSetText(1, name);
        E1MES(5, 1, "Error condition in E1POP.  Cannot pop from %(L1) because stack is empty.");
        LibraryRunTimeStop();
        s.level = 1;  // drop the level pushed for the message: there was nothing to pop
        return;
    }
    if (PadName(name) != Current().name) {
        const std::string stored = Current().name;
        MsgSetText(1, name);
        MsgSetText(2, stored);
        E1MES(5, 2, "Error condition in E1POP.  %(L1) does not match the name %(L2) in the stack.");
        LibraryRunTimeStop();
    }
    const int t = Current().type;
    if (t != 0) {
        if (t >= 2 && t <= 7) {
            StackLevel& below = s.levels[static_cast<size_t>(s.level - 1)];
            below.type = t;
            below.code = Current().code;
        }
        if (TypeInRange(t) && kPrintFlag[static_cast<size_t>(t)] && (t >= 5 || s.level == 2)) ErrPrint();
        bool stop = false;
        if (t >= 1 && t <= 4) stop = s.level == 2 && kStopFlag[static_cast<size_t>(t)];
        else if (t == 5) stop = kStopFlag[5];
        else if (t >= 6 && t <= 7) stop = s.level == 2 && PendingImmediateStop();
        if (stop) LibraryRunTimeStop();
    }
    if (s.level < kMaxLevel) {
        StackLevel& above = s.levels[static_cast<size_t>(s.level + 1)];
        above.type = -1;
        above.code = -1;
    }
    --s.level;
    if (s.level == 1) DeliverWarnings();
}

void E1MES(int type, int code, std::string_view msgTemplate)
{
    ErrorState& s = State();
    StackLevel& lv = Current();
    if (type != -1) lv.type = type;
    if (type < -1 || type > 7) {
        s.message = ".  Error from E1MES.  Illegal error type specified.";
        ErrPrint();
        LibraryRunTimeStop();
        return;
    }
    if (code > -1) lv.code = code;
    if (type == 0 || code == 0) {
        s.message.clear();
        s.params.clear();
        return;
    }
    if (!(msgTemplate.empty() || msgTemplate == " ")) {
        const std::string_view tpl = msgTemplate.substr(0, kMessageCapacity);
        std::string msg = ".  ";
        const size_t n = tpl.size();
        size_t i = 0;
        while (i < n && msg.size() < kMessageCapacity) {
            if (i + 4 < n && tpl[i] == '%' && tpl[i + 1] == '(' && tpl[i + 4] == ')' && tpl[i + 3] >= '1' &&
                tpl[i + 3] <= '9' && std::string_view("ACDIKLRSZ").find(UpperChar(tpl[i + 2])) != std::string_view::npos) {
                std::string value;
                if (FindParameter(tpl[i + 2], tpl[i + 3], value)) {
                    msg += value;
                    i += 5;
                    continue;
                }
            }
            msg += tpl[i];
            ++i;
        }
        if (msg.size() > kMessageCapacity) msg.resize(kMessageCapacity);
        s.message = msg;
    }
    if (lv.type == 6) s.pending6 = true;
    if (lv.type == 7) s.pending7 = true;
    if (lv.type >= 5 && TypeInRange(lv.type) && kPrintFlag[static_cast<size_t>(lv.type)]) ErrPrint();
    s.params.clear();
}

void MsgSetInt(int number, int value)
{
    State();
    if (number < 1 || number > 9) return;
    AddParameter('I', number, std::to_string(value));
}

void MsgSetText(int number, std::string_view text)
{
    State();
    const int k = number < 0 ? -number : number;
    if (k < 1 || k > 9) return;
    std::string value(text.substr(0, 255));
    if (number > 0) {
        const size_t last = value.find_last_not_of(' ');
        if (last == std::string::npos) value = " ";
        else value.resize(last + 1);
    }
    AddParameter('L', k, value);
}

void MsgSetReal(int number, double value)
{
    State();
    if (number < 1 || number > 9) return;
    // 1PD24.15; zero and NaN without the scale factor.
    std::string text = Formatted(value == 0.0 || IsNaN(value) ? "(D24.15)" : "(1PD24.15)", {value});
    const size_t first = text.find_first_not_of(' ');
    const size_t last = text.find_last_not_of(" \n");
    text = first == std::string::npos ? std::string() : text.substr(first, last - first + 1);
    AddParameter('D', number, text);
}

static int StackQuery(int option, bool wantCode, const char* routine)
{
    ErrorState& s = State();
    if (option == 0 || option == 1) {
        const StackLevel& lv = s.levels[static_cast<size_t>(s.level + option)];
        return wantCode ? lv.code : lv.type;
    }
    StackLevel& lv = Current();
    lv.type = 5;
    lv.code = 1;
    s.message = std::string(".  The argument passed to ") + routine + " must be 0 or 1.";
    ErrPrint();
    LibraryRunTimeStop();
    return wantCode ? lv.code : lv.type;
}

int N1RCD(int option)
{
    return StackQuery(option, true, "N1RCD");
}

int N1RTY(int option)
{
    return StackQuery(option, false, "N1RTY");
}
