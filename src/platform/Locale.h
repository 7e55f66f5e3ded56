#pragma once

#include <locale.h>

#include <string>
#include <string_view>

namespace ardvel {

/// The locale services every list and comparison uses: collation, case
/// mapping of UTF-8 text, the thousands and decimal separators, and the
/// short date and long time formats. Built from a POSIX locale name; the
/// empty name takes the user's environment (LANG, LC_*).
class Locale {
public:
    /// Throws std::runtime_error when the named locale is not installed.
    explicit Locale(const char* name);
    ~Locale();
    Locale(const Locale&) = delete;
    Locale& operator=(const Locale&) = delete;

    /// The user's locale, made once; falls back to C.UTF-8 when the
    /// environment names a locale that is not installed.
    static const Locale& User();

    /// Case-sensitive, locale-aware comparison (negative, 0, positive).
    int Compare(std::string_view a, std::string_view b) const;
    bool Less(std::string_view a, std::string_view b) const { return Compare(a, b) < 0; }

    /// Equality ignoring letter case, for every script of UTF-8.
    bool EqualIgnoreCase(std::string_view a, std::string_view b) const;

    /// Upper-cases each character on its own (simple case mapping); bytes that
    /// are not valid UTF-8 are kept as they are.
    std::string ToUpper(std::string_view text) const;
    void ToUpper(std::string_view text, std::string& out) const;
    char32_t ToUpper(char32_t c) const;
    char32_t ToLower(char32_t c) const;

    const std::string& ThousandSeparator() const noexcept { return thousands_; }
    const std::string& DecimalSeparator() const noexcept { return decimal_; }
    /// strftime formats of the short date and the long time.
    const std::string& ShortDateFormat() const noexcept { return dateFormat_; }
    const std::string& LongTimeFormat() const noexcept { return timeFormat_; }

    locale_t Handle() const noexcept { return locale_; }

private:
    locale_t locale_ = nullptr;
    std::string thousands_, decimal_, dateFormat_, timeFormat_;
};

}  // namespace ardvel
