#include "shell/help_file.h"

#include <gtest/gtest.h>

#include <fstream>
#include <random>
#include <string>

#include "file_test_support.h"

namespace {

// The two topics every help file needs, after whatever a case puts before them.
const std::string kRequired = "@topic contents Contents\nSee [[help-on-help]].\n"
                              "@topic help-on-help Using help\nBack goes back.\n";

TEST(HelpFile, MalformedTextIsRefusedWithItsLine)
{
    const std::string longLine(kHelpMaxLineBytes + 1, 'x');
    const std::string longTitle(kHelpMaxTitleLength + 1, 'T');
    const struct {
        const char* name;
        std::string text;
        int32_t line;
        const char* message;
    } cases[] = {
        {"empty file", "", 0, "it holds no topics"},
        {"only comments", "@@ nothing\n\n", 0, "it holds no topics"},
        {"text before a topic", "Hello\n" + kRequired, 1, "text before the first @topic"},
        {"unknown directive", kRequired + "@topics x y\n", 5, "unknown directive @topics"},
        {"topic without title", kRequired + "@topic lonely\ntext\n", 5, "@topic needs an id and a title"},
        {"upper-case id", kRequired + "@topic Intro Intro\ntext\n", 5, "topic id \"Intro\" must be"},
        {"id starting with a dash", kRequired + "@topic -x X\ntext\n", 5, "topic id \"-x\" must be"},
        {"id too long", kRequired + "@topic " + std::string(kHelpMaxIdLength + 1, 'a') + " T\ntext\n", 5,
         "must be up to 64"},
        {"title too long", kRequired + "@topic t " + longTitle + "\ntext\n", 5, "the title is longer than 200"},
        {"duplicate id", kRequired + "@topic contents Again\ntext\n", 5,
         "topic id \"contents\" is used twice (first on line 1)"},
        {"commands before a topic", "@commands 40013\n" + kRequired, 1, "@commands before the first @topic"},
        {"commands empty", kRequired + "@commands\n", 5, "@commands needs at least one command id"},
        {"command not a number", kRequired + "@commands 40013 abc\n", 5, "command id \"abc\" is not a number"},
        {"command zero", kRequired + "@commands 0\n", 5, "command id \"0\" is not a number from 1 to 65535"},
        {"command too large", kRequired + "@commands 70000\n", 5, "command id \"70000\""},
        {"command with sign", kRequired + "@commands -5\n", 5, "command id \"-5\""},
        {"link not closed", kRequired + "@topic t T\nsee [[contents and more\n", 6, "link without its closing ]]"},
        {"link closed on the next line", kRequired + "@topic t T\nsee [[contents\n]] here\n", 6,
         "link without its closing ]]"},
        {"link inside a link", kRequired + "@topic t T\n[[contents|a [[t]]]]\n", 6, "link inside a link"},
        {"link with a bad id", kRequired + "@topic t T\n[[Box Cox]]\n", 6, "link to \"Box Cox\", which is not"},
        {"link with an empty id", kRequired + "@topic t T\n[[|text]]\n", 6, "link to \"\", which is not"},
        {"link with an empty text", kRequired + "@topic t T\n[[contents| ]]\n", 6, "with an empty text"},
        {"link to an unknown topic", kRequired + "@topic t T\nsee [[nowhere]]\n", 6,
         "link to unknown topic \"nowhere\""},
        {"empty heading", kRequired + "@topic t T\n==\n", 6, "empty heading"},
        {"empty bullet", kRequired + "@topic t T\n*  \n", 6, "empty bullet"},
        {"topic without text", kRequired + "@topic t T\n@commands 1\n\n", 5, "topic \"t\" has no text"},
        {"no contents topic", "@topic help-on-help H\ntext\n", 0, "it has no topic \"contents\""},
        {"no help-on-help topic", "@topic contents C\ntext\n", 0, "it has no topic \"help-on-help\""},
        {"invalid UTF-8", kRequired + "@topic t T\nna\xC3\x28ve\n", 6, "the text is not UTF-8"},
        {"overlong UTF-8", kRequired + "@topic t T\n\xC0\xAF\n", 6, "the text is not UTF-8"},
        {"UTF-16 surrogate", kRequired + "@topic t T\n\xED\xA0\x80\n", 6, "the text is not UTF-8"},
        {"cut UTF-8", kRequired + "@topic t T\nend \xE2\x80", 6, "the text is not UTF-8"},
        {"NUL byte", kRequired + std::string("@topic t T\na\0b\n", 15), 6, "control character"},
        {"lone carriage return", kRequired + "@topic t T\na\rb\n", 6, "control character"},
        {"line too long", kRequired + "@topic t T\n" + longLine + "\n", 6, "longer than 2000 bytes"},
        {"earliest whole-file fault wins", kRequired + "@topic t T\n\n@topic u U\nsee [[nowhere]]\n", 5,
         "topic \"t\" has no text"},
    };
    for (const auto& c : cases) {
        HelpFile file;
        file.topics.resize(3);
        HelpParseError error;
        EXPECT_EQ(ParseHelpFile(c.text, file, error), 0) << c.name;
        EXPECT_EQ(error.line, c.line) << c.name;
        EXPECT_NE(error.message.find(c.message), std::string::npos) << c.name << ": " << error.message;
        EXPECT_TRUE(file.topics.empty()) << c.name;
    }
}

TEST(HelpFile, TooManyTopicsAreRefused)
{
    std::string text = kRequired;
    for (size_t k = 0; k < kHelpMaxTopics; ++k) text += "@topic t" + std::to_string(k) + " T\nx\n";
    HelpFile file;
    HelpParseError error;
    EXPECT_EQ(ParseHelpFile(text, file, error), 0);
    EXPECT_EQ(error.line, static_cast<int32_t>(5 + 2 * (kHelpMaxTopics - 2)));
    EXPECT_EQ(error.message, "more than 1000 topics");
}

TEST(HelpFile, TopicsBlocksAndLinksAreRead)
{
    const std::string text = "\xEF\xBB\xBF@@ a comment before anything\r\n"
                             "@topic contents Contents\r\n"
                             "@commands 40013 40015\r\n"
                             "@commands 40016\r\n"
                             "Start with [[files|the file formats]] and\r\n"
                             "  go on with [[files]].\r\n"
                             "\r\n"
                             "== Menus\r\n"
                             "* One bullet that\r\n"
                             "@@ comments do not end a bullet\r\n"
                             "goes on.\r\n"
                             "* Another\r\n"
                             "|  a\tb\r\n"
                             "|\r\n"
                             "|x\r\n"
                             "@topic help-on-help Using the viewer\n"
                             "Text with a ] and a single [ and ]] alone.\n"
                             "@topic files File formats\n"
                             "Back to [[contents]].";
    HelpFile file;
    HelpParseError error;
    ASSERT_EQ(ParseHelpFile(text, file, error), 1) << error.line << ": " << error.message;
    ASSERT_EQ(file.topics.size(), 3u);
    const HelpTopic& contents = file.topics[0];
    EXPECT_EQ(contents.id, "contents");
    EXPECT_EQ(contents.title, "Contents");
    EXPECT_EQ(contents.commands, (std::vector<uint32_t>{40013, 40015, 40016}));
    ASSERT_EQ(contents.blocks.size(), 7u);

    const HelpBlock& paragraph = contents.blocks[0];
    EXPECT_EQ(paragraph.kind, HELP_PARAGRAPH);
    ASSERT_EQ(paragraph.spans.size(), 5u);
    EXPECT_EQ(paragraph.spans[0].text, "Start with ");
    EXPECT_EQ(paragraph.spans[0].link, -1);
    EXPECT_EQ(paragraph.spans[1].text, "the file formats");
    EXPECT_EQ(paragraph.spans[1].link, 2);
    EXPECT_EQ(paragraph.spans[2].text, " and go on with ");  // lines joined by one blank
    EXPECT_EQ(paragraph.spans[3].text, "File formats");      // a bare link shows the title
    EXPECT_EQ(paragraph.spans[3].link, 2);
    EXPECT_EQ(paragraph.spans[4].text, ".");

    EXPECT_EQ(contents.blocks[1].kind, HELP_HEADING);
    EXPECT_EQ(contents.blocks[1].spans.at(0).text, "Menus");
    EXPECT_EQ(contents.blocks[2].kind, HELP_BULLET);
    EXPECT_EQ(contents.blocks[2].spans.at(0).text, "One bullet that goes on.");
    EXPECT_EQ(contents.blocks[3].kind, HELP_BULLET);
    EXPECT_EQ(contents.blocks[3].spans.at(0).text, "Another");
    const char* preformatted[] = {" a      b", "", "x"};  // one blank after | dropped, tab to column 8
    for (int k = 0; k < 3; ++k) {
        EXPECT_EQ(contents.blocks[4 + k].kind, HELP_PREFORMATTED);
        EXPECT_EQ(contents.blocks[4 + k].spans.at(0).text, preformatted[k]);
    }
    EXPECT_EQ(file.topics[1].blocks.at(0).spans.at(0).text, "Text with a ] and a single [ and ]] alone.");
    EXPECT_EQ(file.topics[2].blocks.at(0).spans.at(1).link, 0);  // last line without a line end
    EXPECT_EQ(FindHelpTopic(file, "help-on-help"), 1);
    EXPECT_EQ(FindHelpTopic(file, "nothing"), -1);
    EXPECT_EQ(HelpTopicText(file.topics[2]), "File formats\nBack to Contents.");
}

TEST(HelpFile, SearchFindsEveryWordInTitlesFirst)
{
    const std::string text = kRequired +
                             "@topic zoom Zooming a plot\nDrag a rectangle with the mouse.\n"
                             "@topic mouse The mouse\nIn plot windows the mouse zooms.\n"
                             "@topic print Printing\nPrints the plot shown.\n";
    HelpFile file;
    HelpParseError error;
    ASSERT_EQ(ParseHelpFile(text, file, error), 1) << error.message;
    const struct {
        const char* query;
        std::vector<std::string> ids;
    } cases[] = {
        {"", {"contents", "help-on-help", "zoom", "mouse", "print"}},
        {"   ", {"contents", "help-on-help", "zoom", "mouse", "print"}},
        {"mouse", {"mouse", "zoom"}},           // the title match first
        {"PLOT", {"zoom", "mouse", "print"}},   // ASCII case ignored, file order within a group
        {"plot  zoom", {"zoom", "mouse"}},      // every word, anywhere in the topic
        {"zoom rectangle", {"zoom"}},
        {"using", {"help-on-help", "contents"}},  // the shown text of a link counts as text
        {"nothing here", {}},
    };
    for (const auto& c : cases) {
        std::vector<std::string> ids;
        for (int32_t k : SearchHelpTopics(file, c.query)) ids.push_back(file.topics[static_cast<size_t>(k)].id);
        EXPECT_EQ(ids, c.ids) << c.query;
    }
}

TEST(HelpFile, LoadingNamesTheFileWhenItIsMissingOrDamaged)
{
    ScratchFolder folder("help-file");
    const std::string good = folder.File("VESK.HLP");
    const std::string damaged = folder.File("damaged.hlp");
    const std::string huge = folder.File("huge.hlp");
    std::ofstream(good, std::ios::binary) << kRequired;
    std::ofstream(damaged, std::ios::binary) << kRequired << "@topic t T\nsee [[nowhere]]\n";
    std::ofstream(huge, std::ios::binary) << std::string(kHelpMaxBytes + 1, '\n');
    const struct {
        std::string path;
        int32_t status;
        std::string message;
    } cases[] = {
        {good, 1, ""},
        {folder.File("missing.hlp"), 0, "The help file " + folder.File("missing.hlp") + " cannot be opened."},
        {folder.File(""), 0, " cannot be "},  // the folder itself
        {damaged, -1, "The help file " + damaged + " is damaged: line 6: link to unknown topic \"nowhere\"."},
        {huge, -1, "The help file " + huge + " is damaged: it is larger than 4 MB."},
    };
    for (const auto& c : cases) {
        HelpFile file;
        std::string message = "old";
        EXPECT_EQ(LoadHelpFile(c.path, file, message), c.status) << c.path;
        if (c.status == 1) {
            EXPECT_EQ(message, "");
            EXPECT_EQ(file.topics.size(), 2u);
        } else {
            EXPECT_NE(message.find(c.message), std::string::npos) << message;
            EXPECT_TRUE(file.topics.empty());
        }
    }
}

}  // namespace
