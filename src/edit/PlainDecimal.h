#pragma once

// The exact fast path for plain decimals, inline because readers of millions of numbers (delta
// lines, OBJ coordinates) call it three times a line.

#include <bit>
#include <cstdint>
#include <cstring>

#if defined(__GNUC__)
#define TESSARY_ALWAYS_INLINE [[gnu::always_inline]] inline
#else
#define TESSARY_ALWAYS_INLINE inline
#endif

namespace tessary {

inline bool IsDecimalDigit(char c) {
    return c >= '0' && c <= '9';
}

// Appends the run of decimal digits at `p` to `mantissa` (which wraps around past 19 digits;
// callers refuse those), moves `p` past it and returns its length. Where eight bytes can be
// read, eight digits are checked and converted at once (the usual SWAR steps: pairs, then
// fours, then eight).
TESSARY_ALWAYS_INLINE int ReadDigitRun(const char*& p, const char* last, std::uint64_t& mantissa) {
    static constexpr std::uint64_t kTens[] = {1,      10,      100,      1000,     10000,
                                              100000, 1000000, 10000000, 100000000};
    int count = 0;
    if constexpr (std::endian::native == std::endian::little) {
        constexpr std::uint64_t kZeros = 0x3030303030303030ull;
        constexpr std::uint64_t kHigh = 0xF0F0F0F0F0F0F0F0ull;
        while (last - p >= 8) {
            std::uint64_t word;
            std::memcpy(&word, p, sizeof word);
            // Non-zero in every byte that is not '0' to '9'; a carry out of a byte past 0xF9
            // only disturbs the bytes above it, which come after the first non-digit anyway.
            const std::uint64_t other =
                ((word & kHigh) ^ kZeros) | (((word + 0x0606060606060606ull) & kHigh) ^ kZeros);
            const int run = other == 0 ? 8 : std::countr_zero(other) / 8;
            if (run == 0) {
                return count;
            }
            // The run's digits to the top bytes, zeros (leading zero digits) below them.
            std::uint64_t value = (word - kZeros) << (8 * (8 - run));
            value = value * 10 + (value >> 8);
            value = (((value & 0x000000FF000000FFull) * (100 + (1000000ull << 32))) +
                     (((value >> 16) & 0x000000FF000000FFull) * (1 + (10000ull << 32)))) >>
                    32;
            mantissa = mantissa * kTens[run] + value;
            count += run;
            p += run;
            if (run < 8) {
                return count;
            }
        }
    }
    while (p != last && IsDecimalDigit(*p)) {
        mantissa = mantissa * 10 + static_cast<unsigned>(*p - '0');
        ++count;
        ++p;
    }
    return count;
}

// The common cases, "-0.012345" and "4.071571e-03", without the general parser: when the
// digits fit in 53 bits and the power of ten is at most 22 either way, the product or quotient
// of two exactly representable doubles is the correctly rounded value (Clinger's fast path).
// Anything else (long mantissas, large exponents, "inf") is left to from_chars.
TESSARY_ALWAYS_INLINE bool ReadSimpleDecimal(const char* p, const char* last, double& value,
                                             const char** end) {
    static constexpr double kPowers[] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                                         1e8,  1e9,  1e10, 1e11, 1e12, 1e13, 1e14, 1e15,
                                         1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};
    std::uint64_t mantissa = 0;
    int digits = ReadDigitRun(p, last, mantissa);
    int power = 0;
    if (p != last && *p == '.') {
        ++p;
        const int fraction = ReadDigitRun(p, last, mantissa);
        digits += fraction;
        power -= fraction;
    }
    if (digits == 0 || digits > 19 || mantissa > (std::uint64_t{1} << 53)) {
        return false;
    }
    if (p != last && (*p == 'e' || *p == 'E')) {
        // "1e" and "1e+" read as 1, as strtod reads them: only a complete exponent counts.
        const char* q = p + 1;
        bool negative = false;
        if (q != last && (*q == '+' || *q == '-')) {
            negative = *q == '-';
            ++q;
        }
        if (q != last && IsDecimalDigit(*q)) {
            int exponent = 0;
            while (q != last && IsDecimalDigit(*q)) {
                if (exponent > 1000) {
                    return false;
                }
                exponent = exponent * 10 + (*q - '0');
                ++q;
            }
            power += negative ? -exponent : exponent;
            p = q;
        }
    }
    if (power < -22 || power > 22) {
        return false;
    }
    // At most 2^53: the signed conversion is exact and takes one instruction.
    const auto exact = static_cast<double>(static_cast<std::int64_t>(mantissa));
    value = power < 0 ? exact / kPowers[-power] : exact * kPowers[power];
    if (end != nullptr) {
        *end = p;
    }
    return true;
}

// A plain decimal at `p` ("-0.012345", "4.071571e-003"), read exactly as ReadLeadingDouble
// reads it, with `p` moved past it. Other text (no digits, hexadecimal, "inf", mantissas past
// 53 bits, powers of ten past 22) gives false and changes nothing: ReadLeadingDouble reads it.
inline bool ReadPlainDecimal(const char*& p, const char* last, double& value) {
    const char* q = p;
    bool negative = false;
    if (q != last && (*q == '+' || *q == '-')) {
        negative = *q == '-';
        ++q;
    }
    double magnitude = 0.0;
    if (q == last || !ReadSimpleDecimal(q, last, magnitude, &q)) {
        return false;
    }
    value = negative ? -magnitude : magnitude;
    p = q;
    return true;
}

}  // namespace tessary
