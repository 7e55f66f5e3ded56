#include "store/JsonReader.h"

#include <algorithm>
#include <bit>
#include <cstdint>
#include <cstdio>
#include <cstring>

#include "platform/TextEncoding.h"

namespace ardvel {

namespace {

bool IsDigit(char c) noexcept
{
    return c >= '0' && c <= '9';
}

int HexValue(char c) noexcept
{
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

/// A character for a message: itself when printable ASCII, else its code.
std::string Shown(char c)
{
    const auto u = static_cast<unsigned char>(c);
    if (u > 0x20 && u < 0x7F) return std::string("'") + c + "'";
    char text[8];
    std::snprintf(text, sizeof text, "0x%02X", u);
    return text;
}

}  // namespace

std::string JsonError::Describe() const
{
    return "line " + std::to_string(line_) + ", column " + std::to_string(column_) + ": " + what();
}

JsonReader::JsonReader(std::string_view text)
    : begin_(text.data()), pos_(text.data()), end_(text.data() + text.size()), tokenStart_(text.data())
{
}

void JsonReader::FailAt(const char* at, const std::string& message) const
{
    const std::size_t line = 1 + static_cast<std::size_t>(std::count(begin_, at, '\n'));
    const char* lineStart = at;
    while (lineStart > begin_ && lineStart[-1] != '\n') --lineStart;
    std::size_t column = 1;
    for (const char* p = lineStart; p < at; ++p)
        if ((static_cast<unsigned char>(*p) & 0xC0) != 0x80) ++column;
    throw JsonError(message, line, column);
}

void JsonReader::Fail(const std::string& message) const
{
    FailAt(tokenStart_, message);
}

void JsonReader::SkipSpace() noexcept
{
    while (pos_ < end_ && (*pos_ == ' ' || *pos_ == '\n' || *pos_ == '\r' || *pos_ == '\t')) ++pos_;
}

void JsonReader::AfterScalar() noexcept
{
    state_ = stack_.empty() ? State::Done : State::AfterValue;
}

JsonReader::Token JsonReader::Next()
{
    for (;;) {
        SkipSpace();
        tokenStart_ = pos_;
        switch (state_) {
            case State::Done:
                if (pos_ != end_) FailAt(pos_, "unexpected " + Shown(*pos_) + " after the end of the document");
                return Token::End;
            case State::AfterValue: {
                const char close = stack_.back() == '[' ? ']' : '}';
                if (pos_ == end_) FailAt(pos_, std::string("unexpected end of file; expected ',' or '") + close + "'");
                if (*pos_ == close) return ReadClose(close);
                if (*pos_ != ',')
                    FailAt(pos_, "unexpected " + Shown(*pos_) + "; expected ',' or '" + std::string(1, close) + "'");
                ++pos_;
                state_ = close == ']' ? State::Value : State::Key;
                continue;
            }
            case State::ValueOrEnd:
                if (pos_ < end_ && *pos_ == ']') return ReadClose(']');
                return ReadValue();
            case State::Value:
                return ReadValue();
            case State::KeyOrEnd:
                if (pos_ < end_ && *pos_ == '}') return ReadClose('}');
                [[fallthrough]];
            case State::Key:
                if (pos_ == end_ || *pos_ != '"')
                    FailAt(pos_, pos_ == end_ ? "unexpected end of file; expected a member name"
                                              : "unexpected " + Shown(*pos_) + "; expected a member name in quotes");
                ReadString();
                SkipSpace();
                if (pos_ == end_ || *pos_ != ':') FailAt(pos_, "expected ':' after a member name");
                ++pos_;
                state_ = State::Value;
                return Token::Key;
        }
    }
}

JsonReader::Token JsonReader::ReadClose(char close)
{
    ++pos_;
    stack_.pop_back();
    AfterScalar();
    return close == ']' ? Token::EndArray : Token::EndObject;
}

JsonReader::Token JsonReader::ReadValue()
{
    if (pos_ == end_) FailAt(pos_, "unexpected end of file; expected a value");
    switch (*pos_) {
        case '[':
            ++pos_;
            stack_.push_back('[');
            state_ = State::ValueOrEnd;
            return Token::BeginArray;
        case '{':
            ++pos_;
            stack_.push_back('{');
            state_ = State::KeyOrEnd;
            return Token::BeginObject;
        case '"':
            ReadString();
            AfterScalar();
            return Token::String;
        case 't':
            return ReadLiteral("true", Token::True);
        case 'f':
            return ReadLiteral("false", Token::False);
        case 'n':
            return ReadLiteral("null", Token::Null);
        default:
            if (*pos_ == '-' || IsDigit(*pos_)) return ReadNumber();
            FailAt(pos_, "unexpected " + Shown(*pos_) + "; expected a value");
    }
}

JsonReader::Token JsonReader::ReadLiteral(std::string_view word, Token token)
{
    if (static_cast<std::size_t>(end_ - pos_) < word.size() || std::string_view(pos_, word.size()) != word)
        FailAt(pos_, "unexpected " + Shown(*pos_) + "; expected a value");
    pos_ += word.size();
    AfterScalar();
    return token;
}

JsonReader::Token JsonReader::ReadNumber()
{
    const char* start = pos_;
    const bool negative = *pos_ == '-';
    if (negative) ++pos_;
    // The value is gathered while the digits are checked; whole numbers are
    // what ncdu exports hold.
    std::uint64_t value = 0;
    bool fits = true;
    const auto digits = [&](bool gather) {
        const char* from = pos_;
        for (; pos_ < end_ && IsDigit(*pos_); ++pos_)
            if (gather) value = value * 10 + static_cast<std::uint64_t>(*pos_ - '0');
        if (pos_ == from) FailAt(pos_, "malformed number");
        // Nineteen digits always fit in 64 bits; more may have wrapped.
        if (gather && pos_ - from > 19) fits = false;
    };
    if (pos_ < end_ && *pos_ == '0')
        ++pos_;
    else
        digits(true);
    if (pos_ < end_ && *pos_ == '.') {
        ++pos_;
        digits(false);
        fits = false;
    }
    if (pos_ < end_ && (*pos_ == 'e' || *pos_ == 'E')) {
        ++pos_;
        if (pos_ < end_ && (*pos_ == '+' || *pos_ == '-')) ++pos_;
        digits(false);
        fits = false;
    }
    const std::uint64_t limit = negative ? std::uint64_t{1} << 63 : (std::uint64_t{1} << 63) - 1;
    integral_ = fits && value <= limit;
    integer_ = negative ? static_cast<std::int64_t>(0 - value) : static_cast<std::int64_t>(value);
    text_ = std::string_view(start, static_cast<std::size_t>(pos_ - start));
    AfterScalar();
    return Token::Number;
}

std::optional<std::int64_t> JsonReader::Integer() const noexcept
{
    if (!integral_) return std::nullopt;
    return integer_;
}

void JsonReader::ReadString()
{
    const char* quote = pos_++;
    const char* start = pos_;
    // Most texts hold no escape: hand out a view of the document. Words of
    // eight bytes without a quote, backslash or control character are
    // passed over whole.
    constexpr std::uint64_t kOnes = 0x0101010101010101ULL, kHighs = 0x8080808080808080ULL;
    const auto anyLess = [](std::uint64_t x, std::uint64_t n) { return (x - kOnes * n) & ~x & kHighs; };
    while (end_ - pos_ >= 8) {
        std::uint64_t x;
        std::memcpy(&x, pos_, 8);
        const std::uint64_t found = anyLess(x, 0x20) | anyLess(x ^ (kOnes * '"'), 1) | anyLess(x ^ (kOnes * '\\'), 1);
        if (found != 0) {
            // The lowest marked byte is one of them (a borrow can mark bytes
            // above it only): on to it at once, the bytes before it plain.
            if constexpr (std::endian::native == std::endian::little) pos_ += std::countr_zero(found) / 8;
            break;
        }
        pos_ += 8;
    }
    while (pos_ < end_) {
        const char c = *pos_;
        if (c == '"') {
            text_ = std::string_view(start, static_cast<std::size_t>(pos_ - start));
            ++pos_;
            return;
        }
        if (c == '\\') break;
        if (static_cast<unsigned char>(c) < 0x20) FailAt(pos_, "control character " + Shown(c) + " in a string");
        ++pos_;
    }
    scratch_.assign(start, pos_);
    while (pos_ < end_) {
        const char c = *pos_;
        if (c == '"') {
            text_ = scratch_;
            ++pos_;
            return;
        }
        if (c == '\\') {
            ReadEscape();
            continue;
        }
        if (static_cast<unsigned char>(c) < 0x20) FailAt(pos_, "control character " + Shown(c) + " in a string");
        scratch_ += c;
        ++pos_;
    }
    FailAt(quote, "unterminated string");
}

void JsonReader::ReadEscape()
{
    const char* at = pos_;
    if (end_ - pos_ < 2) FailAt(at, "unterminated string");
    const char e = pos_[1];
    pos_ += 2;
    switch (e) {
        case '"':
            scratch_ += '"';
            return;
        case '\\':
            scratch_ += '\\';
            return;
        case '/':
            scratch_ += '/';
            return;
        case 'b':
            scratch_ += '\b';
            return;
        case 'f':
            scratch_ += '\f';
            return;
        case 'n':
            scratch_ += '\n';
            return;
        case 'r':
            scratch_ += '\r';
            return;
        case 't':
            scratch_ += '\t';
            return;
        case 'u':
            break;
        default:
            FailAt(at, "unknown escape \\" + std::string(1, e));
    }
    const auto hex4 = [&](const char* p) -> int {
        if (end_ - p < 4) return -1;
        int v = 0;
        for (int i = 0; i < 4; ++i) {
            const int h = HexValue(p[i]);
            if (h < 0) return -1;
            v = v * 16 + h;
        }
        return v;
    };
    const int unit = hex4(pos_);
    if (unit < 0) FailAt(at, "\\u needs four hexadecimal digits");
    pos_ += 4;
    char32_t cp = static_cast<char32_t>(unit);
    if (unit >= 0xD800 && unit <= 0xDBFF && end_ - pos_ >= 6 && pos_[0] == '\\' && pos_[1] == 'u') {
        const int low = hex4(pos_ + 2);
        if (low >= 0xDC00 && low <= 0xDFFF) {
            cp = 0x10000 + ((static_cast<char32_t>(unit) - 0xD800) << 10) + (static_cast<char32_t>(low) - 0xDC00);
            pos_ += 6;
        }
    }
    if (cp >= 0xD800 && cp <= 0xDFFF) cp = 0xFFFD;  // a lone surrogate
    AppendUtf8(scratch_, cp);
}

void JsonReader::SkipValue(Token first)
{
    if (first != Token::BeginArray && first != Token::BeginObject) return;
    const std::size_t depth = Depth();
    while (Depth() >= depth) Next();
}

}  // namespace ardvel
