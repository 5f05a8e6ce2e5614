#include "store/timestamp.h"

#include <cstdio>

#include "store/fixed_text.h"

namespace kassio {

std::string upperCase(std::string_view text) {
    std::string out(text);
    for (char& c : out) {
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    }
    return out;
}

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

std::string logTimeText(const std::string& ts) {
    std::string padded = ts;
    if (padded.size() < 5) padded.resize(5, ' ');
    char buf[64];
    std::snprintf(buf, sizeof buf, "%c%c:%c%c %s", padded[0], padded[1], padded[3], padded[4],
                  padded.c_str() + 5);
    return buf;
}

}  // namespace kassio
