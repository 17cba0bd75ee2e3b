// The program's own help file against its menus: it reads, every menu command has a topic that
// names it, and every topic can be reached from the contents.
#include "shell/help_file.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <map>
#include <random>
#include <regex>
#include <set>
#include <sstream>

namespace {

std::string ReadText(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

struct MenuItem {
    std::string text;  // without the access-key mark, blanks trimmed
    std::string name;
    uint32_t id = 0;
};

std::vector<MenuItem> MenuItems()
{
    std::map<std::string, uint32_t> ids;
    const std::string header = ReadText(VESK_RESOURCES "/resource.h");
    const std::regex define(R"(#define\s+(IDM_\w+)\s+(\d+))");
    for (std::sregex_iterator it(header.begin(), header.end(), define), end; it != end; ++it)
        ids[(*it)[1]] = static_cast<uint32_t>(std::stoul((*it)[2]));

    std::vector<MenuItem> items;
    const std::string script = ReadText(VESK_RESOURCES "/vesk.rc");
    const std::regex item(R"re(MENUITEM\s+"([^"]*)"\s*,\s*(IDM_\w+))re");
    for (std::sregex_iterator it(script.begin(), script.end(), item), end; it != end; ++it) {
        MenuItem m;
        for (char c : std::string((*it)[1]))
            if (c != '&') m.text += c;
        while (!m.text.empty() && m.text.back() == ' ') m.text.pop_back();
        m.name = (*it)[2];
        const auto found = ids.find(m.name);
        EXPECT_NE(found, ids.end()) << m.name << " is not defined in resource.h";
        if (found != ids.end()) m.id = found->second;
        items.push_back(m);
    }
    return items;
}

class HelpContent : public testing::Test {
protected:
    void SetUp() override
    {
        HelpParseError error;
        ASSERT_EQ(ParseHelpFile(ReadText(VESK_RESOURCES "/VESK.HLP"), help_, error), 1)
            << "VESK.HLP line " << error.line << ": " << error.message;
        items_ = MenuItems();
        ASSERT_GT(items_.size(), 90u);  // both bars
    }
    HelpFile help_;
    std::vector<MenuItem> items_;
};

TEST_F(HelpContent, EveryMenuCommandHasATopicThatNamesIt)
{
    for (const MenuItem& item : items_) {
        bool named = false, described = false;
        for (const HelpTopic& topic : help_.topics) {
            if (std::find(topic.commands.begin(), topic.commands.end(), item.id) == topic.commands.end()) continue;
            named = true;
            described = described || HelpTopicText(topic).find(item.text) != std::string::npos;
        }
        EXPECT_TRUE(named) << item.name << " (" << item.id << ") has no topic naming it";
        EXPECT_TRUE(described) << "no topic naming " << item.name << " mentions \"" << item.text << "\"";
    }
}

TEST_F(HelpContent, TopicsNameOnlyCommandsOfTheMenus)
{
    std::set<uint32_t> menuIds;
    for (const MenuItem& item : items_) menuIds.insert(item.id);
    for (const HelpTopic& topic : help_.topics)
        for (uint32_t id : topic.commands) EXPECT_TRUE(menuIds.count(id)) << topic.id << " names " << id;
}

TEST_F(HelpContent, EveryTopicCanBeReachedFromTheContents)
{
    std::vector<bool> reached(help_.topics.size(), false);
    std::vector<int32_t> queue = {FindHelpTopic(help_, kHelpContentsTopic)};
    reached[static_cast<size_t>(queue.front())] = true;
    while (!queue.empty()) {
        const HelpTopic& topic = help_.topics[static_cast<size_t>(queue.back())];
        queue.pop_back();
        for (const HelpBlock& block : topic.blocks)
            for (const HelpSpan& span : block.spans)
                if (span.link >= 0 && !reached[static_cast<size_t>(span.link)]) {
                    reached[static_cast<size_t>(span.link)] = true;
                    queue.push_back(span.link);
                }
    }
    for (size_t k = 0; k < help_.topics.size(); ++k)
        EXPECT_TRUE(reached[k]) << help_.topics[k].id << " cannot be reached from the contents";
}

// The help describes the program as built: Exit, Close and Close All ask about unsaved changes
// with the program's question, and none of them claims to close without asking; the AR Forecast
// window's report is said to stay empty, as the program leaves it.
TEST_F(HelpContent, DescribesClosingAndTheForecastReportAsBuilt)
{
    const auto textOf = [this](uint32_t command) {
        std::string text;
        for (const HelpTopic& topic : help_.topics)
            if (std::find(topic.commands.begin(), topic.commands.end(), command) != topic.commands.end())
                text += HelpTopicText(topic) + "\n";
        return text;
    };
    for (uint32_t command : {40008u, 40069u, 40072u}) {  // Exit, Close, Close All
        const std::string text = textOf(command);
        EXPECT_NE(text.find("Save changes to"), std::string::npos) << command;
        EXPECT_EQ(text.find("nothing is asked"), std::string::npos) << command;
        EXPECT_EQ(text.find("windows, without saving"), std::string::npos) << command;
    }
    EXPECT_NE(textOf(40142).find("Info on the AR Forecast window opens an empty report"), std::string::npos);
}

// The reader survives any damage to the real file: it reads it or names a line.
TEST_F(HelpContent, DamagedCopiesAreReadOrRefused)
{
    const std::string valid = ReadText(VESK_RESOURCES "/VESK.HLP");
    std::mt19937 random(20240601);
    for (int round = 0; round < 200; ++round) {
        std::string text = valid;
        const size_t at = random() % text.size();
        switch (round % 3) {
        case 0: text.resize(at); break;
        case 1:
            for (int k = 0; k < 4; ++k) text[(at + k * 97) % text.size()] = static_cast<char>(random());
            break;
        default: text.insert(at, "[[@|\xFF]]\n@topic x"); break;
        }
        HelpFile file;
        HelpParseError error;
        if (ParseHelpFile(text, file, error) == 1) {
            EXPECT_GE(FindHelpTopic(file, kHelpContentsTopic), 0);
        } else {
            EXPECT_FALSE(error.message.empty());
            EXPECT_TRUE(file.topics.empty());
        }
    }
}

}  // namespace
