#pragma once

#include <cstdint>
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
bool ReadPlainDecimal(const char*& p, const char* last, double& value);

// printf "%e": one digit, ".", six digits, "e", sign and at least three exponent digits.
void AppendExponent(std::string& out, double value);
// printf "%g" (six significant digits), exponents with at least three digits.
void AppendGeneral(std::string& out, double value);
// printf "%f" (six decimals).
void AppendFixed(std::string& out, double value);
// printf "%d".
void AppendInt(std::string& out, std::int64_t value);

}  // namespace tessary
