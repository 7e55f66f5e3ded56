#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "platform/Locale.h"
#include "search/HashGroups.h"
#include "store/CatalogTree.h"

namespace ardvel {

/// What makes two file records copies of each other. Names are compared
/// upper-cased, each character on its own by the locale, as the search
/// compares them; sizes in KB as stored; dates as stored.
enum class DuplicateKey : std::uint8_t {
    NameSize,      ///< "name+size", the default
    NameSizeDate,  ///< "name+size+date"
    SizeDate,      ///< "size+date": renamed copies
    Name,          ///< "name"
};

/// "name+size", "name+size+date", "size+date" or "name".
std::string_view DuplicateKeyText(DuplicateKey key) noexcept;
/// The key a text names (exactly as DuplicateKeyText writes it), or none.
std::optional<DuplicateKey> ParseDuplicateKey(std::string_view text) noexcept;

inline bool KeyHasName(DuplicateKey key) noexcept
{
    return key != DuplicateKey::SizeDate;
}
inline bool KeyHasSize(DuplicateKey key) noexcept
{
    return key != DuplicateKey::Name;
}
inline bool KeyHasDate(DuplicateKey key) noexcept
{
    return key == DuplicateKey::NameSizeDate || key == DuplicateKey::SizeDate;
}

/// Hashes and compares the keys of records without copying their names:
/// a plain ASCII name is upper-cased eight bytes at a time as it is hashed;
/// only a name with other characters is upper-cased by the locale into a
/// buffer that is kept from one name to the next. Not for two threads.
class KeyHasher {
public:
    KeyHasher(DuplicateKey key, const Locale& locale) : key_(key), locale_(&locale) {}

    DuplicateKey Key() const noexcept { return key_; }

    /// The hash of the record's key; equal keys hash equal. `which` 1 gives
    /// a second hash, seeded apart from the first (0).
    std::uint64_t Hash(const VolumeStore& store, const TDetails& file, int which = 0);
    /// A hash of the record's key that is quick to make, for a first
    /// sorting out: equal keys give equal quick hashes, unequal keys more
    /// often than with Hash, since of the name it takes only the ASCII
    /// bytes that it ends with once upper-cased, sixteen at most (with a
    /// size or date in the key; for the name alone, all of its bytes, of
    /// those beyond ASCII only where they stand). Another function than Hash: the two may be used together.
    std::uint64_t QuickHash(const VolumeStore& store, const TDetails& file);
    /// Adds QuickHash of `count` records of `store` from `records`,
    /// numbered from `firstNumber`, to `groups`; records smaller than
    /// `minSizeKB` are left out. The key is looked at once, not per record.
    void AddQuickHashes(const VolumeStore& store, const TDetails* records, std::uint32_t count,
                        std::uint32_t firstNumber, std::int64_t minSizeKB, HashGroups& groups);
    /// The hash of a folder: its name, total size and file count.
    std::uint64_t FolderHash(std::string_view name, std::int64_t totalKB, std::uint64_t fileCount);

    /// Whether the two records have the same key.
    bool Equal(const VolumeStore& storeA, const TDetails& a, const VolumeStore& storeB, const TDetails& b);
    /// Whether two names are the same once upper-cased.
    bool SameName(std::string_view a, std::string_view b);

    /// The hash of a name upper-cased (`which` as for Hash).
    std::uint64_t NameHash(std::string_view name, int which = 0);

private:
    /// What Locale::ToUpper makes of `text`, written to the start of `buffer`
    /// (which grows as needed, never shrinks); each character of the Basic
    /// Multilingual Plane is upper-cased by the locale only once.
    std::string_view Upper(std::string_view text, std::string& buffer);
    template <bool HasName, bool HasSize, bool HasDate>
    std::uint64_t Quick(const VolumeStore& store, const TDetails& file);
    template <bool HasName, bool HasSize, bool HasDate>
    void AddQuick(const VolumeStore& store, const TDetails* records, std::uint32_t count, std::uint32_t firstNumber,
                  std::int64_t minSizeKB, HashGroups& groups);
    /// The quick hash's part of a name in a key with a size: the ASCII
    /// bytes that the name upper-cased ends with, sixteen at most.
    /// `upperCased`: the name is upper-cased already.
    std::uint64_t QuickNameEnd(std::string_view name, bool upperCased);
    /// Whether the character that `text` ends with (a byte beyond ASCII)
    /// stays beyond ASCII once upper-cased.
    bool EndsBeyondAscii(std::string_view text);
    /// QuickHash for the name alone.
    std::uint64_t QuickName(const VolumeStore& store, const TDetails& file);
    /// QuickName of a name of 8 to 32 bytes, some beyond ASCII, from the
    /// hash of its ASCII bytes in place (`asciiHash`).
    std::uint64_t QuickNameBeyondAscii(std::string_view name, std::uint64_t asciiHash);
    /// QuickName of a name shorter than 8 bytes or longer than 32.
    std::uint64_t QuickNameOfOtherLength(std::string_view name);
    void AddQuickNames(const VolumeStore& store, const TDetails* records, std::uint32_t count,
                       std::uint32_t firstNumber, std::int64_t minSizeKB, HashGroups& groups);

    DuplicateKey key_;
    const Locale* locale_;
    /// The upper case of a two-byte character (below U+0800) as its UTF-8
    /// bytes and their count in the top byte; 0 until met, kNotPacked when
    /// it lies beyond the Basic Multilingual Plane.
    std::uint32_t PackedUpper(char32_t cp);
    static constexpr std::size_t kTwoByteLimit = 0x800;
    static constexpr std::uint32_t kNotPacked = 0xFFFFFFFFu;

    /// Whether upper-casing `text` leaves each character as many bytes long
    /// and none of them ASCII: its ASCII bytes then stay where they are.
    bool UpperKeepsPlaces(std::string_view text);
    /// The same for the character that starts at byte `i` of `text`.
    bool KeepsPlace(std::string_view text, std::size_t i);
    /// Whether every character that starts with the byte `lead` keeps its
    /// place, as does every sequence starting with it that is no UTF-8.
    bool AllKeepPlace(unsigned char lead);
    /// Whether the upper case of `cp` is beyond ASCII.
    bool UpperBeyondAscii(char32_t cp);

    std::unique_ptr<char32_t[]> upper_;  ///< by character; kUnknown until met
    /// By character: 1 when its upper case keeps its length and is no ASCII,
    /// 2 when not, 0 until met.
    std::unique_ptr<std::uint8_t[]> keepsPlace_;
    /// By byte: 0 when every character it may start keeps its place (an
    /// ASCII byte, a continuation byte or one that starts no UTF-8 is kept
    /// as it is), 1 when some do not, kLeadNotKnown until met.
    static constexpr std::uint8_t kLeadNotKnown = 2;
    static constexpr std::array<std::uint8_t, 256> LeadsNotKnown() noexcept
    {
        std::array<std::uint8_t, 256> leads{};
        for (std::size_t lead = 0xC2; lead <= 0xF4; ++lead) leads[lead] = kLeadNotKnown;
        return leads;
    }
    std::array<std::uint8_t, 256> leadChanges_ = LeadsNotKnown();
    std::unique_ptr<std::uint32_t[]> twoByteUpper_;
    /// By character: 1 when its upper case is no ASCII, 2 when it is, 0
    /// until met.
    std::unique_ptr<std::uint8_t[]> upperBeyondAscii_;
    std::string scratchA_, scratchB_;
};

}  // namespace ardvel
