#pragma once

// A pull reader of JSON text (RFC 8259) that hands out one token at a time.
// Nesting is kept on an explicit stack, so depth is bounded by memory, not
// by the call stack; the whole grammar is checked as tokens are taken.

#include <cstdint>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace ardvel {

/// A malformed document: the message and the place, counted from 1; the
/// column counts characters (UTF-8 sequences), not bytes.
class JsonError : public std::runtime_error {
public:
    JsonError(const std::string& message, std::size_t line, std::size_t column)
        : std::runtime_error(message), line_(line), column_(column)
    {
    }
    std::size_t Line() const noexcept { return line_; }
    std::size_t Column() const noexcept { return column_; }
    /// "line L, column C: message"
    std::string Describe() const;

private:
    std::size_t line_, column_;
};

class JsonReader {
public:
    enum class Token { BeginArray, EndArray, BeginObject, EndObject, Key, String, Number, True, False, Null, End };

    /// `text` must stay alive while the reader is used.
    explicit JsonReader(std::string_view text);

    /// The next token. Key is an object member's name (the ':' after it is
    /// taken too); End comes once the one top-level value is complete and
    /// only white space follows. Throws JsonError.
    Token Next();
    /// Key and String: the decoded text (escapes resolved; bytes that are
    /// not UTF-8 kept as they are; a lone surrogate escape becomes U+FFFD).
    /// Number: the number as written. Valid until the next call of Next.
    std::string_view Text() const noexcept { return text_; }
    /// The Number just read as a whole number; nullopt when it has a
    /// fraction or exponent or does not fit.
    std::optional<std::int64_t> Integer() const noexcept;

    /// Skips the value that starts with the token just read (a whole array
    /// or object when it is BeginArray/BeginObject).
    void SkipValue(Token first);

    /// Throws JsonError with `message` at the start of the token just read.
    [[noreturn]] void Fail(const std::string& message) const;
    /// Where the token just read starts, for a later FailAt.
    std::size_t Offset() const noexcept { return static_cast<std::size_t>(tokenStart_ - begin_); }
    /// Throws JsonError with `message` at a place Offset gave.
    [[noreturn]] void FailAt(std::size_t offset, const std::string& message) const { FailAt(begin_ + offset, message); }
    /// Containers open.
    std::size_t Depth() const noexcept { return stack_.size(); }

private:
    enum class State : std::uint8_t { Value, ValueOrEnd, Key, KeyOrEnd, AfterValue, Done };

    Token ReadValue();
    Token ReadClose(char close);
    void ReadString();
    void ReadEscape();
    Token ReadNumber();
    Token ReadLiteral(std::string_view word, Token token);
    void SkipSpace() noexcept;
    void AfterScalar() noexcept;
    [[noreturn]] void FailAt(const char* at, const std::string& message) const;

    const char* begin_;
    const char* pos_;
    const char* end_;
    const char* tokenStart_;
    std::vector<char> stack_;  ///< '[' or '{' per open container
    State state_ = State::Value;
    std::string_view text_;
    std::string scratch_;
    bool integral_ = false;  ///< the Number just read is whole and fits
    std::int64_t integer_ = 0;
};

}  // namespace ardvel
