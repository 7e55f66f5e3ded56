#include "platform/Locale.h"

#include <langinfo.h>
#include <wctype.h>

#include <cstring>
#include <stdexcept>

#include "platform/TextEncoding.h"

namespace ardvel {

Locale::Locale(const char* name)
{
    locale_ = ::newlocale(LC_ALL_MASK, name, static_cast<locale_t>(nullptr));
    if (!locale_) throw std::runtime_error(std::string("Locale not available: ") + name);
    // Case mapping needs a UTF-8 character set whatever the user's locale is.
    if (std::strcmp(::nl_langinfo_l(CODESET, locale_), "UTF-8") != 0) {
        if (locale_t utf8 = ::newlocale(LC_CTYPE_MASK, "C.UTF-8", locale_)) locale_ = utf8;
    }
    thousands_ = ::nl_langinfo_l(THOUSEP, locale_);
    decimal_ = ::nl_langinfo_l(RADIXCHAR, locale_);
    if (decimal_.empty()) decimal_.push_back('.');
    dateFormat_ = ::nl_langinfo_l(D_FMT, locale_);
    timeFormat_ = ::nl_langinfo_l(T_FMT, locale_);
    if (timeFormat_.empty()) timeFormat_ = "%H:%M:%S";
}

Locale::~Locale()
{
    if (locale_) ::freelocale(locale_);
}

const Locale& Locale::User()
{
    static const Locale* user = [] {
        try {
            return new Locale("");
        } catch (const std::runtime_error&) {
            return new Locale("C.UTF-8");
        }
    }();
    return *user;
}

int Locale::Compare(std::string_view a, std::string_view b) const
{
    thread_local std::string bufA, bufB;
    bufA.assign(a);
    bufB.assign(b);
    const int r = ::strcoll_l(bufA.c_str(), bufB.c_str(), locale_);
    if (r != 0) return r;
    // Texts the collation finds equal but that differ (embedded NULs, or
    // characters it ignores) still get a fixed order.
    return a.compare(b);
}

char32_t Locale::ToUpper(char32_t c) const
{
    if (c < 0x80) return (c >= 'a' && c <= 'z') ? c - 32 : c;
    return static_cast<char32_t>(::towupper_l(static_cast<wint_t>(c), locale_));
}

char32_t Locale::ToLower(char32_t c) const
{
    if (c < 0x80) return (c >= 'A' && c <= 'Z') ? c + 32 : c;
    return static_cast<char32_t>(::towlower_l(static_cast<wint_t>(c), locale_));
}

bool Locale::EqualIgnoreCase(std::string_view a, std::string_view b) const
{
    std::size_t i = 0, j = 0;
    while (i < a.size() && j < b.size()) {
        const char32_t ca = DecodeCharacter(a, i);
        const char32_t cb = DecodeCharacter(b, j);
        if (ca == cb) continue;
        if (ToUpper(ca) != ToUpper(cb) && ToLower(ca) != ToLower(cb)) return false;
    }
    return i == a.size() && j == b.size();
}

void Locale::ToUpper(std::string_view text, std::string& out) const
{
    out.clear();
    out.reserve(text.size());
    std::size_t i = 0;
    while (i < text.size()) {
        const unsigned char c = static_cast<unsigned char>(text[i]);
        if (c < 0x80) {
            out.push_back(static_cast<char>((c >= 'a' && c <= 'z') ? c - 32 : c));
            ++i;
            continue;
        }
        const std::size_t len = Utf8SequenceLength(text.substr(i));
        if (len == 0) {  // not UTF-8: keep the byte
            out.push_back(static_cast<char>(c));
            ++i;
            continue;
        }
        const char32_t cp = DecodeCharacter(text, i);
        AppendUtf8(out, ToUpper(cp));
    }
}

std::string Locale::ToUpper(std::string_view text) const
{
    std::string out;
    ToUpper(text, out);
    return out;
}

}  // namespace ardvel
