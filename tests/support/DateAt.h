#pragma once

#include "store/DateTime.h"

namespace ardvel::test {

/// The stored date of a local date and time, for building test trees.
inline TDateTime At(int year, int month, int day, int hour = 0, int minute = 0, int second = 0)
{
    DateTimeFields f;
    f.Year = year;
    f.Month = month;
    f.Day = day;
    f.Hour = hour;
    f.Minute = minute;
    f.Second = second;
    return EncodeDateTime(f);
}

}  // namespace ardvel::test
