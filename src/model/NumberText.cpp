#include "model/NumberText.h"

#include <charconv>
#include <cmath>
#include <limits>
#include <system_error>

namespace tessary {

namespace {

bool IsCSpace(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

// from_chars leaves the value alone when it does not fit; strtod gives infinity for a number
// too large and zero for one too small. Which of the two applies follows from where the first
// significant digit stands, counted in powers of ten: "1e400" and "1e-400" both end up here.
double OutOfRangeValue(const char* first, const char* last, bool negative) {
    std::int64_t power = 0;
    bool seenDigit = false;
    bool afterPoint = false;
    const char* p = first;
    for (; p != last; ++p) {
        if (*p == '.') {
            afterPoint = true;
            continue;
        }
        if (!IsDigit(*p)) {
            break;
        }
        if (!seenDigit) {
            if (*p == '0') {
                if (afterPoint) {
                    --power;
                }
                continue;
            }
            seenDigit = true;
            power = afterPoint ? power - 1 : 0;
        } else if (!afterPoint) {
            ++power;
        }
    }
    if (p != last && (*p == 'e' || *p == 'E')) {
        std::size_t used = 0;
        std::int64_t exponent = ReadLeadingInt64(std::string_view(p + 1, last - p - 1), &used);
        power = exponent > 0 && power > std::numeric_limits<std::int64_t>::max() - exponent
                    ? std::numeric_limits<std::int64_t>::max()
                : exponent < 0 && power < std::numeric_limits<std::int64_t>::min() - exponent
                    ? std::numeric_limits<std::int64_t>::min()
                    : power + exponent;
    }
    double magnitude = power > 0 ? std::numeric_limits<double>::infinity() : 0.0;
    return negative ? -magnitude : magnitude;
}

void FixExponent(std::string& out, std::size_t start) {
    // to_chars writes at least two exponent digits ("1e-05"); the files want three.
    std::size_t e = out.find('e', start);
    if (e == std::string::npos || e + 1 >= out.size()) {
        return;
    }
    std::size_t digits = out.size() - (e + 2);
    if (digits < 3) {
        out.insert(e + 2, 3 - digits, '0');
    }
}

}  // namespace

std::int64_t ReadLeadingInt64(std::string_view text, std::size_t* end) {
    std::size_t i = 0;
    while (i < text.size() && IsCSpace(text[i])) {
        ++i;
    }
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        negative = text[i] == '-';
        ++i;
    }
    std::size_t digitsStart = i;
    // Eighteen digits always fit; only longer numbers need the careful path.
    std::uint64_t magnitude = 0;
    bool saturated = false;
    constexpr std::uint64_t kLimit = std::uint64_t{1} << 63;  // |INT64_MIN|
    for (; i < text.size() && IsDigit(text[i]); ++i) {
        unsigned digit = static_cast<unsigned>(text[i] - '0');
        if (i - digitsStart < 18) {
            magnitude = magnitude * 10 + digit;
        } else if (!saturated) {
            if (magnitude > (kLimit - digit) / 10) {
                saturated = true;
            } else {
                magnitude = magnitude * 10 + digit;
            }
        }
    }
    if (i == digitsStart) {
        if (end) {
            *end = 0;
        }
        return 0;
    }
    if (end) {
        *end = i;
    }
    if (negative) {
        return saturated || magnitude >= kLimit ? std::numeric_limits<std::int64_t>::min()
                                                : -static_cast<std::int64_t>(magnitude);
    }
    return saturated || magnitude >= kLimit ? std::numeric_limits<std::int64_t>::max()
                                            : static_cast<std::int64_t>(magnitude);
}

std::int32_t ReadLeadingInt(std::string_view text) {
    std::int64_t value = ReadLeadingInt64(text);
    if (value > std::numeric_limits<std::int32_t>::max()) {
        return std::numeric_limits<std::int32_t>::max();
    }
    if (value < std::numeric_limits<std::int32_t>::min()) {
        return std::numeric_limits<std::int32_t>::min();
    }
    return static_cast<std::int32_t>(value);
}

double ReadLeadingDouble(std::string_view text) {
    const char* p = text.data();
    const char* last = p + text.size();
    while (p != last && IsCSpace(*p)) {
        ++p;
    }
    bool negative = false;
    if (p != last && (*p == '+' || *p == '-')) {
        negative = *p == '-';
        ++p;
    }
    if (p == last || *p == '+' || *p == '-') {
        return 0.0;
    }
    double value = 0.0;
    std::from_chars_result result;
    if (last - p > 2 && p[0] == '0' && (p[1] == 'x' || p[1] == 'X')) {
        result = std::from_chars(p + 2, last, value, std::chars_format::hex);
        if (result.ec == std::errc::invalid_argument) {
            return negative ? -0.0 : 0.0;  // "0x" without hex digits reads as the "0"
        }
        if (result.ec == std::errc::result_out_of_range) {
            std::string_view rest(p, last - p);
            std::size_t mark = rest.find_first_of("pP");
            bool large =
                mark == std::string_view::npos || ReadLeadingInt64(rest.substr(mark + 1)) >= 0;
            double magnitude = large ? std::numeric_limits<double>::infinity() : 0.0;
            return negative ? -magnitude : magnitude;
        }
    } else {
        // The common cases ("-0.012345", "4.071571e-03") by Clinger's exact fast path; no sign
        // is left at `p`, so the plain reader reads exactly this number.
        const char* plain = p;
        if (ReadPlainDecimal(plain, last, value)) {
            return negative ? -value : value;
        }
        result = std::from_chars(p, last, value, std::chars_format::general);
    }
    if (result.ec == std::errc::invalid_argument) {
        return 0.0;
    }
    if (result.ec == std::errc::result_out_of_range) {
        return OutOfRangeValue(p, last, negative);
    }
    return negative ? -value : value;
}

namespace {

// printf's "%e" and "%g": six digits, an exponent of at least three digits.
void AppendWithExponent(std::string& out, double value, std::chars_format format) {
    char buffer[64];
    auto result = std::to_chars(buffer, buffer + sizeof buffer, value, format, 6);
    std::size_t start = out.size();
    out.append(buffer, result.ptr);
    FixExponent(out, start);
}

}  // namespace

void AppendExponent(std::string& out, double value) {
    AppendWithExponent(out, value, std::chars_format::scientific);
}

void AppendGeneral(std::string& out, double value) {
    AppendWithExponent(out, value, std::chars_format::general);
}

void AppendFixed(std::string& out, double value) {
    // A fixed-form double may need 309 digits before the point.
    char buffer[400];
    auto result = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, 6);
    out.append(buffer, result.ptr);
}

void AppendInt(std::string& out, std::int64_t value) {
    char buffer[24];
    auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
    out.append(buffer, result.ptr);
}

}  // namespace tessary
