#include "base/timestamp.h"

#include <cstdio>
#include <ctime>

namespace kassio {

std::string dateText(const LocalTime& t) {
    char buf[32];
    std::snprintf(buf, sizeof buf, "%02d/%02d/%d", t.day, t.month, t.year);
    return buf;
}

std::string timestampText(const LocalTime& t) {
    char buf[48];
    std::snprintf(buf, sizeof buf, "%02d:%02d%02d/%02d/%d", t.hour, t.minute, t.day, t.month,
                  t.year);
    return buf;
}

std::string localeDateText(const LocalTime& t) {
    char fallback[48];
    std::snprintf(fallback, sizeof fallback, "D:%2d M:%2d Y:%d", t.day, t.month, t.year);
    if (t.day < 1 || t.day > 31 || t.month < 1 || t.month > 12 || t.year <= 1979) return fallback;
    std::tm tm{};
    tm.tm_year = t.year - 1900;
    tm.tm_mon = t.month - 1;
    tm.tm_mday = t.day;
    tm.tm_hour = 12;
    std::mktime(&tm);  // fills in the weekday
    char weekday[32], month[32];
    if (!std::strftime(weekday, sizeof weekday, "%a", &tm) ||
        !std::strftime(month, sizeof month, "%b", &tm))
        return fallback;
    char text[96];
    std::snprintf(text, sizeof text, "%s %d %s %02d", weekday, t.day, month, t.year % 100);
    return std::string(text).size() < 20 ? std::string(text) : std::string(fallback);
}

std::string logTimeText(const std::string& ts) {
    std::string padded = ts;
    if (padded.size() < 5) padded.resize(5, ' ');
    char buf[64];
    std::snprintf(buf, sizeof buf, "%c%c:%c%c %s", padded[0], padded[1], padded[3], padded[4],
                  padded.c_str() + 5);
    return buf;
}

}  // namespace kassio
