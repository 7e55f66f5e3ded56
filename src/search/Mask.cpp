#include "search/Mask.h"

#include <algorithm>
#include <cstring>

#include "platform/TextEncoding.h"
#include "search/UnicodeFold.h"

namespace ardvel {

namespace {

std::string MaskMessage(const std::string& mask, int position)
{
    return "'" + mask + "' is an invalid mask at (" + std::to_string(position) + ")";
}

constexpr unsigned char UpperAscii(unsigned char c) noexcept
{
    return (c >= 'a' && c <= 'z') ? static_cast<unsigned char>(c - 32) : c;
}

/// The key of the character at `pos` (see MaskSet) and its byte length;
/// ASCII letters upper-cased.
char32_t CharacterKey(std::string_view text, std::size_t pos, std::size_t& length) noexcept
{
    const auto c = static_cast<unsigned char>(text[pos]);
    if (c < 0x80) {
        length = 1;
        return UpperAscii(c);
    }
    length = Utf8SequenceLength(text.substr(pos));
    if (length == 0) {
        length = 1;
        return MaskSet::kRawByteKey + c;
    }
    std::size_t p = pos;
    return DecodeCharacter(text, p);
}

void AddRange(MaskSet& set, char32_t low, char32_t high)
{
    if (high < low) return;
    for (char32_t k = low; k <= high && k < 0x80; ++k) set.Ascii[k >> 6] |= std::uint64_t{1} << (k & 63);
    if (high >= 0x80) set.Ranges.emplace_back(low < 0x80 ? 0x80 : low, high);
}

/// ClusterLengthAt, quick for an ASCII character followed by another.
std::size_t ClusterLength(std::string_view text, std::size_t pos) noexcept
{
    const auto c = static_cast<unsigned char>(text[pos]);
    if (c < 0x80 && c != '\r' && (pos + 1 == text.size() || static_cast<unsigned char>(text[pos + 1]) < 0x80)) return 1;
    return ClusterLengthAt(text, pos);
}

/// The literal that starts at `pos` of a mask: a character as the user sees
/// it, but never taking in an ASCII character after its first (a mask sign).
std::size_t MaskLiteralLength(std::string_view mask, std::size_t pos) noexcept
{
    const std::size_t cluster = ClusterLength(mask, pos);
    std::size_t length = CharacterLengthAt(mask, pos);
    while (length < cluster && static_cast<unsigned char>(mask[pos + length]) >= 0x80)
        length += CharacterLengthAt(mask, pos + length);
    return length;
}

}  // namespace

EMaskException::EMaskException(std::string mask, int position)
    : CatalogError(MaskMessage(mask, position)), mask_(std::move(mask)), position_(position)
{
}

bool MaskSet::Contains(char32_t key) const noexcept
{
    if (key < 0x80) return (Ascii[key >> 6] >> (key & 63)) & 1;
    for (const auto& [low, high] : Ranges)
        if (key >= low && key <= high) return true;
    return false;
}

std::size_t CharacterLengthAt(std::string_view text, std::size_t pos) noexcept
{
    if (static_cast<unsigned char>(text[pos]) < 0x80) return 1;
    const std::size_t length = Utf8SequenceLength(text.substr(pos));
    return length == 0 ? 1 : length;
}

namespace {

/// The set of the "[...]" token whose "[" is at `i` of `mask`; `next`
/// receives the position after its "]". Throws through `fail` with the
/// 1-based position where the set went wrong.
template <typename Fail>
MaskSet ParseSet(std::string_view mask, std::size_t i, std::size_t& next, const Fail& fail)
{
    const std::size_t n = mask.size();
    MaskSet set;
    std::size_t j = i + 1;
    if (j < n && mask[j] == '!') {
        set.Negated = true;
        ++j;
    }
    bool havePrevious = false;
    char32_t previous = 0;
    for (;;) {
        if (j >= n) fail(n + 1);  // not closed
        if (mask[j] == ']') {
            if (!havePrevious) fail(j + 1);  // "[]" or "[!]"
            break;
        }
        std::size_t length;
        if (mask[j] == '-') {
            if (!havePrevious) fail(j + 1);
            if (j + 1 >= n) fail(n + 1);
            // The character after the "-" ends the range, even "]".
            const char32_t high = CharacterKey(mask, j + 1, length);
            AddRange(set, previous, high);
            j += 1 + length;
            continue;
        }
        previous = CharacterKey(mask, j, length);
        havePrevious = true;
        AddRange(set, previous, previous);
        j += length;
    }
    next = j + 1;
    return set;
}

}  // namespace

TMask::TMask(std::string_view mask) : text_(mask)
{
    const std::size_t n = mask.size();
    const auto fail = [&](std::size_t position) { throw EMaskException(text_, static_cast<int>(position)); };

    bool pendingSkip = false;
    int skipping = 0;
    // `end` is the 1-based position of the byte that ends the token.
    const auto write = [&](MaskToken token, std::size_t end) {
        token.Skip = pendingSkip;
        pendingSkip = false;
        if (token.Skip && ++skipping > kMaxSkippingTokens) fail(end);
        tokens_.push_back(token);
    };

    std::size_t i = 0;
    while (i < n) {
        const char c = mask[i];
        if (c == '*') {
            pendingSkip = true;
            ++i;
        } else if (c == '?') {
            // "*?" passes over the same names as "*": the "?" is dropped.
            if (!pendingSkip) write(MaskToken{false, MaskTokenKind::AnyChar, 0, {}, 0}, i + 1);
            ++i;
        } else if (c == '[') {
            std::size_t next;
            MaskSet set = ParseSet(mask, i, next, fail);
            const MaskToken token{false, MaskTokenKind::CharSet, 0, {}, static_cast<std::uint32_t>(sets_.size())};
            sets_.push_back(std::move(set));
            write(token, next);
            i = next;
        } else {
            MaskToken token{false, MaskTokenKind::Literal, 0, {}, 0};
            const std::size_t length = std::min<std::size_t>(MaskLiteralLength(mask, i), 0xFFFF);
            token.Length = static_cast<std::uint16_t>(length);
            if (length <= sizeof(token.Bytes)) {
                std::memcpy(token.Bytes, mask.data() + i, length);
            } else {
                token.Set = static_cast<std::uint32_t>(literals_.size());
                literals_.append(mask.substr(i, length));
            }
            if (length == 1) token.Bytes[0] = static_cast<char>(UpperAscii(static_cast<unsigned char>(c)));
            write(token, i + length);
            i += length;
        }
    }
    write(MaskToken{false, MaskTokenKind::EndOfName, 0, {}, 0}, n + 1);
    ChooseShape();
}

void TMask::ChooseShape()
{
    // Shapes that need no general matching.
    if (tokens_.size() == 1 && tokens_[0].Skip) {
        shape_ = Shape::AcceptAll;
        return;
    }
    if (!tokens_.front().Skip) {
        if (IsPrefixShape()) shape_ = Shape::Prefix;
        return;
    }
    bool simple = true;
    for (std::size_t t = 0; t < tokens_.size() && simple; ++t) {
        const MaskToken& token = tokens_[t];
        if (t > 0 && token.Skip)
            simple = false;
        else if (token.Kind == MaskTokenKind::Literal)
            simple = token.Length == 1 && static_cast<unsigned char>(token.Bytes[0]) < 0x80;
        else if (token.Kind == MaskTokenKind::CharSet)
            simple = !sets_[token.Set].Negated && sets_[token.Set].Ranges.empty();
        else
            simple = token.Kind == MaskTokenKind::EndOfName;
        // A carriage return and a line feed make one character.
        std::size_t unused;
        if (simple && token.Kind != MaskTokenKind::EndOfName)
            simple = !Covers(token, "\r", 0, unused) && !Covers(token, "\n", 0, unused);
    }
    if (simple) shape_ = Shape::Suffix;
    const std::size_t count = tokens_.size() - 1;
    bool literals = simple && count <= 8;
    for (std::size_t t = 0; t < count && literals; ++t) literals = tokens_[t].Kind == MaskTokenKind::Literal;
    if (!literals) return;
    for (std::size_t t = 0; t < count; ++t) {
        const auto c = static_cast<unsigned char>(tokens_[t].Bytes[0]);
        const std::uint64_t fold = (c >= 'A' && c <= 'Z') ? 0xDF : 0xFF;
        suffixValue_ |= std::uint64_t{c} << (8 * t);
        suffixFold_ |= fold << (8 * t);
    }
    suffixLength_ = static_cast<std::uint8_t>(count);
}

bool TMask::Covers(const MaskToken& token, std::string_view name, std::size_t pos, std::size_t& length) const noexcept
{
    if (token.Kind == MaskTokenKind::EndOfName) {
        length = 0;
        return pos == name.size();
    }
    if (pos >= name.size()) return false;
    switch (token.Kind) {
        case MaskTokenKind::Literal: {
            length = ClusterLength(name, pos);
            if (length != token.Length) return false;
            const auto first = static_cast<unsigned char>(token.Bytes[0]);
            // A byte that is not UTF-8 is a character of its own, and
            // matches only that byte standing alone.
            if (length == 1)
                return first < 0x80 ? UpperAscii(static_cast<unsigned char>(name[pos])) == first
                                    : static_cast<unsigned char>(name[pos]) == first;
            return std::memcmp(name.data() + pos, LiteralBytes(token).data(), length) == 0;
        }
        case MaskTokenKind::AnyChar:
            length = ClusterLength(name, pos);
            return true;
        case MaskTokenKind::CharSet: {
            std::size_t first;
            const char32_t key = CharacterKey(name, pos, first);
            length = ClusterLength(name, pos);
            const MaskSet& set = sets_[token.Set];
            return set.Contains(key) != set.Negated;
        }
        case MaskTokenKind::EndOfName:
            break;
    }
    return false;
}

bool TMask::AcceptsSuffix(std::string_view name) const noexcept
{
    // Every token after the first covers exactly one ASCII byte, and an ASCII
    // byte stands alone as a character (but for a carriage return and line
    // feed, which no such token covers), so the tokens must cover the last
    // bytes of the name.
    const std::size_t count = tokens_.size() - 1;
    if (name.size() < count) return false;
    const std::size_t start = name.size() - count;
    for (std::size_t t = 0; t < count; ++t) {
        const MaskToken& token = tokens_[t];
        const auto c = UpperAscii(static_cast<unsigned char>(name[start + t]));
        if (token.Kind == MaskTokenKind::Literal) {
            if (c != static_cast<unsigned char>(token.Bytes[0])) return false;
        } else if (c >= 0x80 || !sets_[token.Set].Contains(c)) {
            return false;
        }
    }
    return true;
}

bool TMask::IsPrefixShape() const noexcept
{
    const std::size_t count = tokens_.size() - 1;
    if (count == 0 || count > kMaxPrefixTokens || !tokens_.back().Skip) return false;
    for (std::size_t t = 0; t < count; ++t) {
        const MaskToken& token = tokens_[t];
        if (token.Skip || token.Kind == MaskTokenKind::EndOfName) return false;
        if (token.Kind == MaskTokenKind::Literal &&
            (token.Length != 1 || static_cast<unsigned char>(token.Bytes[0]) >= 0x80))
            return false;
    }
    return true;
}

bool TMask::PrefixDecides(std::string_view name, bool& accepted) const noexcept
{
    if (shape_ != Shape::Prefix) return false;
    const std::size_t count = tokens_.size() - 1;
    // A printable ASCII byte followed by an ASCII byte is a character of its
    // own: no mark joins it, and a carriage return is not among them.
    const std::size_t look = std::min(name.size(), count + 1);
    for (std::size_t i = 0; i < look; ++i) {
        const auto c = static_cast<unsigned char>(name[i]);
        if (c >= 0x80 || (c < 0x20 && i < count)) return false;
    }
    accepted = name.size() >= count && AcceptsPrefix(name);
    return true;
}

bool TMask::AcceptsPrefix(std::string_view name) const noexcept
{
    const std::size_t count = tokens_.size() - 1;
    for (std::size_t t = 0; t < count; ++t) {
        const MaskToken& token = tokens_[t];
        const auto c = UpperAscii(static_cast<unsigned char>(name[t]));
        if (token.Kind == MaskTokenKind::Literal) {
            if (c != static_cast<unsigned char>(token.Bytes[0])) return false;
        } else if (token.Kind == MaskTokenKind::CharSet) {
            const MaskSet& set = sets_[token.Set];
            if (set.Contains(c) == set.Negated) return false;
        }
    }
    return true;
}

bool TMask::AcceptsAnyShape(std::string_view name) const noexcept
{
    switch (shape_) {
        case Shape::AcceptAll:
            return true;
        case Shape::Prefix: {
            bool accepted;
            if (PrefixDecides(name, accepted)) return accepted;
            break;
        }
        case Shape::Suffix: {
            // The bytes of the suffix are one character each when the
            // character before them ends where they start, as ASCII does.
            const std::size_t count = tokens_.size() - 1;
            if (name.size() <= count || static_cast<unsigned char>(name[name.size() - count - 1]) < 0x80)
                return AcceptsSuffix(name);
            break;
        }
        case Shape::General:
            break;
    }

    // Every token covers exactly one character, so when the tokens after a
    // "*" fail, only the most recent "*" needs to pass over one more
    // character: an earlier one passing over more could only reach places
    // that the most recent one reaches too.
    constexpr std::size_t kNone = static_cast<std::size_t>(-1);
    const std::size_t n = name.size();
    std::size_t t = 0, pos = 0;
    std::size_t skipToken = kNone, skipPos = 0;
    for (;;) {
        const MaskToken& token = tokens_[t];
        if (token.Skip) {
            if (token.Kind == MaskTokenKind::EndOfName) return true;
            skipToken = t;
            skipPos = pos;
        }
        std::size_t length;
        if (Covers(token, name, pos, length)) {
            if (token.Kind == MaskTokenKind::EndOfName) return true;
            pos += length;
            ++t;
            continue;
        }
        if (skipToken == kNone || skipPos >= n) return false;
        skipPos += ClusterLength(name, skipPos);
        t = skipToken;
        pos = skipPos;
    }
}

bool MaskAccepts(std::string_view name, std::string_view mask)
{
    return TMask(mask).Accepts(name);
}

}  // namespace ardvel
