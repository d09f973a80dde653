#include "platform/local_time.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <ctime>
#include <optional>
#include <string>

namespace {

// Runs the test in a chosen time zone and restores the one it found.
class ScopedTimeZone {
public:
    explicit ScopedTimeZone(const char* zone) {
        if (const char* old = std::getenv("TZ")) previous_ = old;
        setenv("TZ", zone, 1);
        tzset();
    }
    ~ScopedTimeZone() {
        if (previous_) {
            setenv("TZ", previous_->c_str(), 1);
        } else {
            unsetenv("TZ");
        }
        tzset();
    }

private:
    std::optional<std::string> previous_;
};

platform::LocalTime UtcNow() {
    using namespace std::chrono;
    const auto now = system_clock::now();
    const auto day = floor<days>(now);
    const year_month_day date{day};
    const hh_mm_ss time{floor<minutes>(now - day)};
    return {static_cast<int>(date.year()), static_cast<int>(static_cast<unsigned>(date.month())),
            static_cast<int>(static_cast<unsigned>(date.day())), static_cast<int>(time.hours().count()),
            static_cast<int>(time.minutes().count())};
}

bool Same(const platform::LocalTime& a, const platform::LocalTime& b) {
    return a.year == b.year && a.month == b.month && a.day == b.day && a.hour == b.hour && a.minute == b.minute;
}

TEST(LocalTimeTest, CountsYearsMonthsAndDaysFromOne) {
    ScopedTimeZone utc("UTC");
    // Read between two clock readings, so a minute turning over in between
    // still matches one of them.
    const platform::LocalTime before = UtcNow();
    const platform::LocalTime local = platform::GetLocalTime();
    const platform::LocalTime after = UtcNow();
    EXPECT_TRUE(Same(local, before) || Same(local, after))
        << local.year << "-" << local.month << "-" << local.day << " " << local.hour << ":" << local.minute;
}

}  // namespace
