#include "platform/local_time.h"

#include <time.h>

namespace platform {

LocalTime GetLocalTime() {
    const time_t now = time(nullptr);
    tm fields{};
    if (!localtime_r(&now, &fields)) return {};
    return {fields.tm_year + 1900, fields.tm_mon + 1, fields.tm_mday, fields.tm_hour, fields.tm_min};
}

}  // namespace platform
