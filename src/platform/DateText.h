#pragma once

#include <optional>
#include <string>

namespace tessary {

// "%A, %B %d, %Y: %H:%M:%S" with English day and month names whatever the user's locale
// ("Monday, December 07, 2026: 04:58:47"), for the moment `secondsSince1970`, shown in UTC or
// in the local time zone.
std::string FormatDateText(long long secondsSince1970, bool utc);

// The moment named by the environment variable SOURCE_DATE_EPOCH (whole seconds since
// 1970-01-01 00:00:00 UTC), or nothing when it is unset or not such a number.
std::optional<long long> SourceDateEpoch();

}  // namespace tessary
