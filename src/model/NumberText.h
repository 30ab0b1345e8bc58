#pragma once

#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>

namespace tessary {

// Numbers in pose and OBJ files are read the way C's atoi and atof read them (leading blanks,
// an optional sign, the longest number that fits, 0 when there is none) and written the way
// printf writes them, but never through the C locale: a desktop face adopts the user's locale,
// and a decimal comma must neither stop a read at "0.5" nor turn up in a written file.

// atoi: the leading integer of `text`, saturated to the 32-bit range instead of overflowing.
std::int32_t ReadLeadingInt(std::string_view text);
// As ReadLeadingInt, but 64 bits wide; `end` receives the number of characters consumed
// (0 when there is no number).
std::int64_t ReadLeadingInt64(std::string_view text, std::size_t* end = nullptr);
// atof: the leading decimal or hexadecimal floating-point number of `text`, "inf" and "nan"
// included; out-of-range values become infinity or zero as strtod makes them.
double ReadLeadingDouble(std::string_view text);
// A plain decimal at `p` ("-0.012345", "4.071571e-003"), read exactly as ReadLeadingDouble
// reads it, with `p` moved past it. Other text (no digits, hexadecimal, "inf", mantissas past
// 53 bits, powers of ten past 22) gives false and changes nothing: ReadLeadingDouble reads it.
// Always inlined: it is the inner loop of reading delta lines, and kept out of line (GCC does
// that for its size) the calls cost a tenth of a line's time.
[[gnu::always_inline]] inline bool ReadPlainDecimal(const char*& p, const char* last,
                                                    double& value);

// printf "%e": one digit, ".", six digits, "e", sign and at least three exponent digits.
void AppendExponent(std::string& out, double value);
// printf "%g" (six significant digits), exponents with at least three digits.
void AppendGeneral(std::string& out, double value);
// printf "%f" (six decimals).
void AppendFixed(std::string& out, double value);
// printf "%d".
void AppendInt(std::string& out, std::int64_t value);

namespace number_detail {

// The powers of ten a double holds exactly: a mantissa of at most 53 bits multiplied or divided
// by one of them is the correctly rounded value (Clinger's fast path). Longer mantissas, larger
// exponents, "inf" and hexadecimal numbers are left to from_chars.
inline constexpr double kExactPowersOfTen[] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                                               1e8,  1e9,  1e10, 1e11, 1e12, 1e13, 1e14, 1e15,
                                               1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};
inline constexpr std::uint64_t kTens[] = {1,      10,      100,      1000,     10000,
                                          100000, 1000000, 10000000, 100000000};
inline constexpr std::uint64_t kZeros = 0x3030303030303030;

// The value of a digit character, or something above 9 for any other byte.
inline unsigned DigitAt(const char* p) {
    return static_cast<unsigned>(static_cast<unsigned char>(*p)) - unsigned{'0'};
}

// The eight bytes from `q` less '0' each (so digits become 0-9), bytes past `last` reading as
// non-digits. The text must hold at least eight bytes before `last`.
inline std::uint64_t DigitWord(const char* q, const char* last) {
    const std::ptrdiff_t left = last - q;
    std::uint64_t word;
    if (left >= 8) {
        std::memcpy(&word, q, sizeof word);
        return word ^ kZeros;
    }
    if (left <= 0) {
        return kZeros;
    }
    // The last eight bytes of the text, shifted down to start at `q`; zeros come in behind.
    std::memcpy(&word, last - 8, sizeof word);
    return (word >> (8 * (8 - left))) ^ kZeros;
}

// How many of the eight bytes of a DigitWord, from the first, are digits.
inline int LeadingDigits(std::uint64_t word) {
    const std::uint64_t other =
        (((word & 0x7F7F7F7F7F7F7F7F) + 0x7676767676767676) | word) & 0x8080808080808080;
    return std::countr_zero(other) / 8;
}

// The number the first `n` (1-8) digits of a DigitWord make, in three multiplications.
inline std::uint64_t DigitsValue(std::uint64_t word, int n) {
    std::uint64_t v = word << (8 * (8 - n));  // leading zeros in front
    v = v * 10 + (v >> 8);                    // pairs
    return (((v & 0x000000FF000000FF) * (100 + (1000000ULL << 32))) +
            (((v >> 16) & 0x000000FF000000FF) * (1 + (10000ULL << 32)))) >>
           32;
}

}  // namespace number_detail

[[gnu::always_inline]] inline bool ReadPlainDecimal(const char*& p, const char* last,
                                                    double& value) {
    using namespace number_detail;
    const char* q = p;
    if (q == last) {
        return false;
    }
    const bool negative = *q == '-';
    q += negative || *q == '+';
    const char* integer = q;
    std::uint64_t mantissa = 0;
    unsigned digit = 0;
    while (q != last && (digit = DigitAt(q)) <= 9) {
        mantissa = mantissa * 10 + digit;
        ++q;
    }
    int digits = static_cast<int>(q - integer);
    int power = 0;
    if (q != last && *q == '.') {
        ++q;
        const char* fraction = q;
        if (last - p >= 8) {
            // Eight digits at a time: the fraction is most of a delta number's digits.
            for (;;) {
                const std::uint64_t word = DigitWord(q, last);
                const int n = LeadingDigits(word);
                if (n == 0) {
                    break;
                }
                mantissa = mantissa * kTens[n] + DigitsValue(word, n);
                q += n;
                if (n < 8) {
                    break;
                }
            }
        } else {
            while (q != last && (digit = DigitAt(q)) <= 9) {
                mantissa = mantissa * 10 + digit;
                ++q;
            }
        }
        // A long run wraps the mantissa, but then `digits` rules it out below.
        digits += static_cast<int>(q - fraction);
        power = -static_cast<int>(q - fraction);
    }
    if (digits == 0 || digits > 19 || mantissa > (std::uint64_t{1} << 53)) {
        return false;
    }
    if (q != last && (*q == 'e' || *q == 'E')) {
        // "1e" and "1e+" read as 1, as strtod reads them: only a complete exponent counts.
        const char* e = q + 1;
        bool negativeExponent = false;
        if (e != last && (*e == '+' || *e == '-')) {
            negativeExponent = *e == '-';
            ++e;
        }
        if (e != last && DigitAt(e) <= 9) {
            int exponent = 0;
            while (e != last && (digit = DigitAt(e)) <= 9) {
                if (exponent > 1000) {
                    return false;
                }
                exponent = exponent * 10 + static_cast<int>(digit);
                ++e;
            }
            power += negativeExponent ? -exponent : exponent;
            q = e;
        }
    }
    if (power < -22 || power > 22) {
        return false;
    }
    const double magnitude = power < 0 ? static_cast<double>(mantissa) / kExactPowersOfTen[-power]
                                       : static_cast<double>(mantissa) * kExactPowersOfTen[power];
    value = negative ? -magnitude : magnitude;
    p = q;
    return true;
}

}  // namespace tessary
