#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "store/JsonReader.h"

namespace ardvel {
namespace {

using Token = JsonReader::Token;

/// The tokens of a document, scalars with their text: "[", "k:name", "s:x",
/// "n:12", "true", ...
std::vector<std::string> Tokens(std::string_view text)
{
    JsonReader json(text);
    std::vector<std::string> out;
    for (Token t = json.Next(); t != Token::End; t = json.Next()) {
        switch (t) {
            case Token::BeginArray:
                out.push_back("[");
                break;
            case Token::EndArray:
                out.push_back("]");
                break;
            case Token::BeginObject:
                out.push_back("{");
                break;
            case Token::EndObject:
                out.push_back("}");
                break;
            case Token::Key:
                out.push_back("k:" + std::string(json.Text()));
                break;
            case Token::String:
                out.push_back("s:" + std::string(json.Text()));
                break;
            case Token::Number:
                out.push_back("n:" + std::string(json.Text()));
                break;
            case Token::True:
                out.push_back("true");
                break;
            case Token::False:
                out.push_back("false");
                break;
            case Token::Null:
                out.push_back("null");
                break;
            case Token::End:
                break;
        }
    }
    return out;
}

/// "line:column message" of the error a document gives.
std::string ErrorOf(std::string_view text)
{
    try {
        Tokens(text);
    } catch (const JsonError& e) {
        return std::to_string(e.Line()) + ":" + std::to_string(e.Column()) + " " + e.what();
    }
    return "no error";
}

TEST(JsonReaderTokens, NestedValuesInDocumentOrder)
{
    const std::vector<std::string> expected = {"[",   "n:1", "n:-0.5e+3", "{", "k:a",  "s:x",   "k:b",  "[",  "]",
                                               "k:c", "{",   "}",         "}", "true", "false", "null", "s:", "]"};
    EXPECT_EQ(Tokens(" [1, -0.5e+3, {\"a\": \"x\", \"b\": [], \"c\": {}}, true,false,null,\"\"]\n"), expected);
    EXPECT_EQ(Tokens("42"), std::vector<std::string>{"n:42"});
}

TEST(JsonReaderTokens, EscapesAreDecodedAndRawBytesKept)
{
    EXPECT_EQ(Tokens(R"(["a\"b\\c\/d\b\f\n\r\t"])")[1], "s:a\"b\\c/d\b\f\n\r\t");
    EXPECT_EQ(Tokens(R"(["\u00e9\u20AC\ud83c\udfb5"])")[1], "s:\xC3\xA9\xE2\x82\xAC\xF0\x9F\x8E\xB5");
    EXPECT_EQ(Tokens(R"(["\ud83c-\udfb5"])")[1], "s:\xEF\xBF\xBD-\xEF\xBF\xBD");  // lone surrogates
    EXPECT_EQ(Tokens("[\"caf\xE9\"]")[1], "s:caf\xE9");                           // ncdu writes names as raw bytes
}

TEST(JsonReaderTokens, IntegerOnlyForWholeNumbersThatFit)
{
    JsonReader json("[9223372036854775807, 9223372036854775808, 1.0, -3]");
    json.Next();
    json.Next();
    EXPECT_EQ(json.Integer(), INT64_MAX);
    json.Next();
    EXPECT_EQ(json.Integer(), std::nullopt);
    json.Next();
    EXPECT_EQ(json.Integer(), std::nullopt);
    json.Next();
    EXPECT_EQ(json.Integer(), -3);
}

TEST(JsonReaderTokens, StringsEndWhereverTheirQuoteFallsInAWord)
{
    // Texts are passed over eight bytes at a time: a quote, backslash or
    // control character at each place of a word, after plain, accented
    // (bytes above 0x7F) and near-quote (0x21, 0x5D) bytes.
    for (const std::string plain : {"a", "\xC3\xA9", "!", "]"}) {
        for (std::size_t n = 0; n < 20; ++n) {
            std::string text;
            while (text.size() < n) text += plain;
            EXPECT_EQ(Tokens("[\"" + text + "\", \"" + text + "\\n" + text + "\"]"),
                      (std::vector<std::string>{"[", "s:" + text, "s:" + text + "\n" + text, "]"}))
                << plain << n;
            // Columns count characters; the fault is the character after the text.
            const std::size_t column = 3 + (plain.size() == 2 ? text.size() / 2 : text.size());
            EXPECT_EQ(ErrorOf("[\"" + text + "\x01" + text + "\"]"),
                      "1:" + std::to_string(column) + " control character 0x01 in a string")
                << plain << n;
        }
    }
}

TEST(JsonReaderErrors, NameTheLineAndColumnOfTheFault)
{
    EXPECT_EQ(ErrorOf("[1\n 2]"), "2:2 unexpected '2'; expected ',' or ']'");
    EXPECT_EQ(ErrorOf("[1,]"), "1:4 unexpected ']'; expected a value");
    EXPECT_EQ(ErrorOf("{\"a\" 1}"), "1:6 expected ':' after a member name");
    EXPECT_EQ(ErrorOf("{1:2}"), "1:2 unexpected '1'; expected a member name in quotes");
    EXPECT_EQ(ErrorOf("[\"ab"), "1:2 unterminated string");
    EXPECT_EQ(ErrorOf("[\"a\tb\"]"), "1:4 control character 0x09 in a string");
    EXPECT_EQ(ErrorOf("[\"\\x\"]"), "1:3 unknown escape \\x");
    EXPECT_EQ(ErrorOf("[\"\\u12g4\"]"), "1:3 \\u needs four hexadecimal digits");
    EXPECT_EQ(ErrorOf("[01]"), "1:3 unexpected '1'; expected ',' or ']'");
    EXPECT_EQ(ErrorOf("[1.]"), "1:4 malformed number");
    EXPECT_EQ(ErrorOf("[tru]"), "1:2 unexpected 't'; expected a value");
    EXPECT_EQ(ErrorOf("[1] x"), "1:5 unexpected 'x' after the end of the document");
    EXPECT_EQ(ErrorOf("[[1]\n"), "2:1 unexpected end of file; expected ',' or ']'");
    EXPECT_EQ(ErrorOf(""), "1:1 unexpected end of file; expected a value");
    // Columns count characters: "é" is two bytes, one column.
    EXPECT_EQ(ErrorOf("[\"\xC3\xA9\" 1]"), "1:6 unexpected '1'; expected ',' or ']'");
}

TEST(JsonReaderDepth, DeepNestingNeedsNoCallStack)
{
    constexpr std::size_t kDepth = 200000;
    const std::string deep = std::string(kDepth, '[') + std::string(kDepth, ']');
    EXPECT_EQ(Tokens(deep).size(), 2 * kDepth);
    JsonReader json("[[[[1]]], {\"a\": [{}]}, 2]");
    EXPECT_EQ(json.Next(), Token::BeginArray);
    json.SkipValue(json.Next());
    json.SkipValue(json.Next());
    EXPECT_EQ(json.Next(), Token::Number);
    EXPECT_EQ(json.Text(), "2");
    EXPECT_EQ(json.Next(), Token::EndArray);
    EXPECT_EQ(json.Next(), Token::End);
}

}  // namespace
}  // namespace ardvel
