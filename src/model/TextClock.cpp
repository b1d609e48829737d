// Local clock text.
#include "model/TextClock.h"

#include <ctime>

std::string SystemClock::Now() const {
    const std::time_t t = std::time(nullptr);
    std::tm tm{};
    localtime_r(&t, &tm);
    char buf[64];
    const std::size_t n = std::strftime(buf, sizeof buf, "%d.%m.%Y %H:%M:%S", &tm);
    return std::string(buf, n);
}
