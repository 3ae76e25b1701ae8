#pragma once
// The system clock, replaceable in tests.
#include <ctime>

namespace ecf::common {

struct DateTime {
    int year = 1900, month = 1, day = 1;   // month 1..12
    int hour = 0, minute = 0, second = 0, millisecond = 0;
};

class Clock {
public:
    virtual ~Clock() = default;
    virtual DateTime now() const; // local time
};

// A clock that always reads the same moment (tests).
class FixedClock : public Clock {
public:
    explicit FixedClock(DateTime t) : t_(t) {}
    DateTime now() const override { return t_; }
    void set(DateTime t) { t_ = t; }

private:
    DateTime t_;
};

} // namespace ecf::common
