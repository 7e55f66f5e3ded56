#include "search/TodayClock.h"

namespace ardvel {

TDateTime TodayClock::Today()
{
    const std::time_t now = std::time(nullptr);
    if (now >= validFrom_ && now < validUntil_) return today_;
    std::tm local{};
    ::localtime_r(&now, &local);
    DateTimeFields fields;
    fields.Year = local.tm_year + 1900;
    fields.Month = local.tm_mon + 1;
    fields.Day = local.tm_mday;
    today_ = EncodeDateTime(fields);

    std::tm start = local;
    start.tm_hour = start.tm_min = start.tm_sec = 0;
    start.tm_isdst = -1;
    validFrom_ = std::mktime(&start);
    std::tm next = start;
    next.tm_mday += 1;
    next.tm_isdst = -1;
    validUntil_ = std::mktime(&next);
    // A midnight that daylight saving time skips: keep the range around now.
    if (validFrom_ == -1 || validFrom_ > now) validFrom_ = now;
    if (validUntil_ == -1 || validUntil_ <= now) validUntil_ = now + 1;
    return today_;
}

}  // namespace ardvel
