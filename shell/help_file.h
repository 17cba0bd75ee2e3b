#pragma once
// The help file: topics with titles, paragraphs and links between topics, in a small text format
// of our own, UTF-8, one directive or line of text a line:
//
//   @topic <id> <title>     starts a topic; the id is lower-case letters, digits and '-'
//   @commands <n> ...       menu command ids the topic describes (any number of such lines)
//   @@ <text>               a comment, ignored
//   == <text>               a heading inside the topic
//   * <text>                a bulleted paragraph; the plain lines after it continue it
//   | <text>                a line kept as typed, in a fixed-pitch font ("|" alone: an empty one)
//   <text>                  paragraph text; lines up to a blank line form one paragraph
//
// In paragraph, heading and bullet text, [[id]] is a link to a topic shown as its title and
// [[id|text]] a link shown as the text. Lines kept as typed hold no links. A blank line ends a
// paragraph or bullet. The file needs the topics "contents" and "help-on-help".
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// One piece of text: plain (link -1) or a link to the topic of that index.
struct HelpSpan {
    std::string text;
    int32_t link = -1;
};

enum HelpBlockKind : int32_t {
    HELP_PARAGRAPH = 0,
    HELP_HEADING = 1,
    HELP_BULLET = 2,
    HELP_PREFORMATTED = 3,  // one line, kept as typed (tabs expanded), one span without links
};

struct HelpBlock {
    HelpBlockKind kind = HELP_PARAGRAPH;
    std::vector<HelpSpan> spans;
};

struct HelpTopic {
    std::string id;
    std::string title;
    std::vector<uint32_t> commands;
    std::vector<HelpBlock> blocks;
};

struct HelpFile {
    std::vector<HelpTopic> topics;  // in file order
};

// Bounds that the reader holds every file to.
constexpr size_t kHelpMaxBytes = 4u << 20;
constexpr size_t kHelpMaxLineBytes = 2000;
constexpr size_t kHelpMaxTopics = 1000;
constexpr size_t kHelpMaxIdLength = 64;
constexpr size_t kHelpMaxTitleLength = 200;

// Topic ids the program opens.
constexpr std::string_view kHelpContentsTopic = "contents";
constexpr std::string_view kHelpOnHelpTopic = "help-on-help";

// Why a text is not a help file: the 1-based line (0 when the fault is the file as a whole) and
// what is wrong there.
struct HelpParseError {
    int32_t line = 0;
    std::string message;
};

// Reads `text` into `file` (replaced). Returns 1; 0 with `error` set and `file` emptied when the
// text breaks the format or a bound above.
[[nodiscard]] int32_t ParseHelpFile(std::string_view text, HelpFile& file, HelpParseError& error);

// Index of the topic with that id, or -1.
int32_t FindHelpTopic(const HelpFile& file, std::string_view id);

// The words of a topic as one text: its title, then every block, spans joined; for searching.
std::string HelpTopicText(const HelpTopic& topic);

// Topics holding every blank-separated word of `query`, compared without regard to the case of
// ASCII letters: first those whose title holds them all, then the others, each group in file
// order. An empty or blank query gives every topic.
std::vector<int32_t> SearchHelpTopics(const HelpFile& file, std::string_view query);

// Reads the help file at `path` (UTF-8). Returns 1 with `file` filled; 0 when the file cannot be
// read, -1 when it is larger than kHelpMaxBytes or breaks the format. `message` then names the
// file by `path` and says what is wrong, for the user.
[[nodiscard]] int32_t LoadHelpFile(const std::string& path, HelpFile& file, std::string& message);
