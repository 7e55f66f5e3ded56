#pragma once

#include <cstdlib>
#include <ctime>
#include <string>

namespace ardvel::test {

/// Runs with the POSIX time zone `tz` (no zone files needed), then restores
/// the one before.
class ZoneGuard {
public:
    explicit ZoneGuard(const char* tz)
    {
        if (const char* old = std::getenv("TZ")) old_ = old, hadOld_ = true;
        ::setenv("TZ", tz, 1);
        ::tzset();
    }
    ~ZoneGuard()
    {
        if (hadOld_)
            ::setenv("TZ", old_.c_str(), 1);
        else
            ::unsetenv("TZ");
        ::tzset();
    }
    ZoneGuard(const ZoneGuard&) = delete;
    ZoneGuard& operator=(const ZoneGuard&) = delete;

private:
    std::string old_;
    bool hadOld_ = false;
};

}  // namespace ardvel::test
