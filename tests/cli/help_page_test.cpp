// The help page against the program: its mask examples and messages hold in
// the search, and it documents every command and option of ardvel-cli.
#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <regex>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "search/Mask.h"
#include "search/SearchCriteria.h"
#include "search/SearchMatcher.h"
#include "support/SearchTreeFixture.h"

namespace ardvel {
namespace {

std::string ReadFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

const std::string& HelpPage()
{
    static const std::string page = ReadFile(std::string(ARDVEL_HELP_DIR) + "/readme.html");
    return page;
}

std::string Unescape(std::string text)
{
    static const std::pair<const char*, const char*> kEntities[] = {
        {"&lt;", "<"}, {"&gt;", ">"}, {"&quot;", "\""}, {"&#39;", "'"}, {"&amp;", "&"}};
    for (const auto& [entity, character] : kEntities)
        for (std::size_t at = text.find(entity); at != std::string::npos; at = text.find(entity, at + 1))
            text.replace(at, std::string(entity).size(), character);
    return text;
}

/// The texts of the <code> elements in `html`.
std::vector<std::string> CodeTexts(const std::string& html)
{
    static const std::regex code("<code>([^<]*)</code>");
    std::vector<std::string> texts;
    for (std::sregex_iterator it(html.begin(), html.end(), code), end; it != end; ++it)
        texts.push_back(Unescape((*it)[1].str()));
    return texts;
}

/// What a typed name finds, as the search decides it.
bool Finds(const std::string& typed, const std::string& name)
{
    SearchCriteria criteria;
    criteria.NameText = typed;
    PrepareNameText(criteria);
    return NameMatches(name, criteria, test::EnUs());
}

TEST(HelpPage, MaskExamplesHoldAndCoverEveryElementOfTheLanguage)
{
    static const std::regex row(
        "<tr class=\"example\"><td><code class=\"pattern\">([^<]*)</code></td>"
        "<td class=\"finds\">(.*?)</td><td class=\"misses\">(.*?)</td></tr>");
    const std::string& page = HelpPage();
    std::set<std::string> shown;
    int rows = 0;
    for (std::sregex_iterator it(page.begin(), page.end(), row), end; it != end; ++it, ++rows) {
        const std::string typed = Unescape((*it)[1].str());
        for (const std::string& name : CodeTexts((*it)[2].str()))
            EXPECT_TRUE(Finds(typed, name)) << typed << " / " << name;
        for (const std::string& name : CodeTexts((*it)[3].str()))
            EXPECT_FALSE(Finds(typed, name)) << typed << " / " << name;

        const bool mask = typed.find_first_of("*?") != std::string::npos;
        if (!mask) shown.insert(typed.find('[') != std::string::npos ? "text with [" : "text");
        if (mask && typed.find('*') != std::string::npos) shown.insert("*");
        if (mask && typed.find('?') != std::string::npos) shown.insert("?");
        if (mask && std::regex_search(typed, std::regex("\\[[^!\\]-][^\\]]*\\]"))) shown.insert("set");
        if (mask && std::regex_search(typed, std::regex("\\[!?[^\\]]+-[^\\]]+\\]"))) shown.insert("range");
        if (mask && typed.find("[!") != std::string::npos) shown.insert("negation");
    }
    EXPECT_GE(rows, 10);
    EXPECT_EQ(shown, (std::set<std::string>{"*", "?", "set", "range", "negation", "text", "text with ["}));
}

TEST(HelpPage, InvalidMaskMessagesAreTheSearchsOwn)
{
    static const std::regex row(
        "<tr class=\"invalid\"><td><code class=\"pattern\">([^<]*)</code></td>"
        "<td>.*?</td><td><samp class=\"message\">([^<]*)</samp></td></tr>");
    const std::string& page = HelpPage();
    int rows = 0;
    for (std::sregex_iterator it(page.begin(), page.end(), row), end; it != end; ++it, ++rows) {
        const std::string typed = Unescape((*it)[1].str());
        try {
            Finds(typed, "name");
            ADD_FAILURE() << typed << " was accepted";
        } catch (const EMaskException& e) {
            EXPECT_EQ(std::string(e.what()), Unescape((*it)[2].str()));
        }
    }
    EXPECT_GE(rows, 3);
    // The general form the page gives.
    EXPECT_NE(page.find("<samp>'MASK' is an invalid mask at (N)</samp>"), std::string::npos);
}

std::string CliHelp()
{
    std::string text;
    FILE* pipe = ::popen((std::string("'") + ARDVEL_CLI_PATH + "' --help").c_str(), "r");
    if (!pipe) return text;
    char buffer[4096];
    for (std::size_t n; (n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;) text.append(buffer, n);
    ::pclose(pipe);
    return text;
}

TEST(HelpPage, DocumentsEveryCommandAndOptionOfTheCli)
{
    const std::string help = CliHelp();
    ASSERT_NE(help.find("Commands:"), std::string::npos) << help;

    // Commands: the lines of the "Commands:" block that start with a name.
    std::set<std::string> commands;
    std::istringstream lines(help.substr(help.find("Commands:")));
    static const std::regex commandLine("^  ([a-z][a-z-]*)( .*)?$");
    // The block ends at its first empty line.
    for (std::string line; std::getline(lines, line) && !line.empty();) {
        std::smatch m;
        if (std::regex_match(line, m, commandLine)) commands.insert(m[1].str());
    }
    EXPECT_GE(commands.size(), 6u);

    const std::string& page = HelpPage();
    std::set<std::string> documented;
    static const std::regex commandId("id=\"command-([a-z-]+)\"");
    for (std::sregex_iterator it(page.begin(), page.end(), commandId), end; it != end; ++it)
        documented.insert((*it)[1].str());
    EXPECT_EQ(documented, commands) << "each command has its entry id=\"command-NAME\", and only commands do";

    static const std::regex option("--[a-z][a-z-]*");
    std::set<std::string> options;
    for (std::sregex_iterator it(help.begin(), help.end(), option), end; it != end; ++it) options.insert(it->str());
    EXPECT_GE(options.size(), 10u);
    for (const std::string& o : options)
        EXPECT_TRUE(std::regex_search(page, std::regex("<code>[^<]*" + o + "([^a-z-][^<]*)?</code>")))
            << o << " is not documented";
}

}  // namespace
}  // namespace ardvel
