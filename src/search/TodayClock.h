#pragma once

#include <ctime>

#include "store/DateTime.h"

namespace ardvel {

/// Today at local midnight, read again for every test but cheaply: the date
/// is worked out anew only once the clock has passed the next midnight.
class TodayClock {
public:
    TDateTime Today();

private:
    std::time_t validFrom_ = 1;
    std::time_t validUntil_ = 0;
    TDateTime today_ = 0;
};

}  // namespace ardvel
