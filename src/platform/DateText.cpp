#include "platform/DateText.h"

#include <charconv>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>

#include "platform/Ui.h"

namespace tessary {

namespace {

constexpr const char* kDays[] = {"Sunday",   "Monday", "Tuesday", "Wednesday",
                                 "Thursday", "Friday", "Saturday"};
constexpr const char* kMonths[] = {"January",   "February", "March",    "April",
                                   "May",       "June",     "July",     "August",
                                   "September", "October",  "November", "December"};

bool BreakDown(long long seconds, bool utc, std::tm& out) {
    std::time_t time = static_cast<std::time_t>(seconds);
#ifdef _WIN32
    return (utc ? gmtime_s(&out, &time) : localtime_s(&out, &time)) == 0;
#else
    return (utc ? gmtime_r(&time, &out) : localtime_r(&time, &out)) != nullptr;
#endif
}

}  // namespace

std::string FormatDateText(long long secondsSince1970, bool utc) {
    std::tm parts{};
    if (!BreakDown(secondsSince1970, utc, parts)) {
        BreakDown(0, true, parts);
    }
    // Names come from tables rather than strftime: strftime follows the process locale, which
    // a desktop face sets to the user's.
    const char* day = parts.tm_wday >= 0 && parts.tm_wday < 7 ? kDays[parts.tm_wday] : "";
    const char* month = parts.tm_mon >= 0 && parts.tm_mon < 12 ? kMonths[parts.tm_mon] : "";
    char buffer[128];
    std::snprintf(buffer, sizeof buffer, "%s, %s %02d, %lld: %02d:%02d:%02d", day, month,
                  parts.tm_mday, static_cast<long long>(parts.tm_year) + 1900, parts.tm_hour,
                  parts.tm_min, parts.tm_sec);
    return buffer;
}

std::optional<long long> SourceDateEpoch() {
    const char* text = std::getenv("SOURCE_DATE_EPOCH");
    if (!text || !*text) {
        return std::nullopt;
    }
    long long value = 0;
    const char* end = text + std::strlen(text);
    auto result = std::from_chars(text, end, value);
    if (result.ec != std::errc() || result.ptr != end || value < 0) {
        return std::nullopt;
    }
    return value;
}

std::string Ui::ExportDateText() {
    if (fixedExportTime) {
        return FormatDateText(*fixedExportTime, true);
    }
    return FormatDateText(static_cast<long long>(std::time(nullptr)), false);
}

}  // namespace tessary
