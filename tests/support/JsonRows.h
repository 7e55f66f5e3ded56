#pragma once

// The rows of a --format json or jsonl output, read back with the store's
// own JSON reader: a malformed document fails the test that reads it.

#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "store/JsonReader.h"

namespace ardvel::test {

/// Each row is its fields by name, a value as its text: strings decoded,
/// numbers as written, literals as true, false or null.
using JsonRow = std::map<std::string, std::string>;

/// One array of flat objects (`lines` false) or one object a line.
inline std::vector<JsonRow> ReadJsonRows(std::string_view text, bool lines = false)
{
    std::vector<JsonRow> rows;
    const auto readObject = [&rows](JsonReader& json) {
        JsonRow row;
        for (JsonReader::Token t = json.Next(); t != JsonReader::Token::EndObject; t = json.Next()) {
            if (t != JsonReader::Token::Key) json.Fail("a field expected");
            const std::string key(json.Text());
            switch (json.Next()) {
                case JsonReader::Token::True:
                    row[key] = "true";
                    break;
                case JsonReader::Token::False:
                    row[key] = "false";
                    break;
                case JsonReader::Token::Null:
                    row[key] = "null";
                    break;
                case JsonReader::Token::String:
                case JsonReader::Token::Number:
                    row[key] = json.Text();
                    break;
                default:
                    json.Fail("a flat value expected");
            }
        }
        rows.push_back(std::move(row));
    };
    if (lines) {
        for (std::size_t at = 0; at < text.size();) {
            const std::size_t end = text.find('\n', at);
            if (end == std::string_view::npos) throw JsonError("a line without its newline", rows.size() + 1, 1);
            JsonReader json(text.substr(at, end - at));
            if (json.Next() != JsonReader::Token::BeginObject) json.Fail("an object expected");
            readObject(json);
            if (json.Next() != JsonReader::Token::End) json.Fail("one object a line expected");
            at = end + 1;
        }
        return rows;
    }
    JsonReader json(text);
    if (json.Next() != JsonReader::Token::BeginArray) json.Fail("an array expected");
    for (JsonReader::Token t = json.Next(); t != JsonReader::Token::EndArray; t = json.Next()) {
        if (t != JsonReader::Token::BeginObject) json.Fail("an object expected");
        readObject(json);
    }
    if (json.Next() != JsonReader::Token::End) json.Fail("one array expected");
    return rows;
}

}  // namespace ardvel::test
