#include "model/NumberText.h"

#include <gtest/gtest.h>

#include <charconv>
#include <clocale>
#include <cmath>
#include <cstring>
#include <limits>
#include <random>
#include <string>

#include "edit/MorphDeltas.h"

namespace tessary {
namespace {

std::string Exponent(double value) {
    std::string text;
    AppendExponent(text, value);
    return text;
}

std::string General(double value) {
    std::string text;
    AppendGeneral(text, value);
    return text;
}

std::string Fixed(double value) {
    std::string text;
    AppendFixed(text, value);
    return text;
}

TEST(NumberText, ReadsIntegersAsAtoiDoes) {
    struct Case {
        const char* text;
        std::int32_t expected;
    } cases[] = {
        {"12", 12},
        {"  -7x", -7},
        {"+3", 3},
        {"", 0},
        {"abc", 0},
        {"- 5", 0},
        {"12/34", 12},
        {"\t9", 9},
        {"99999999999", std::numeric_limits<std::int32_t>::max()},  // saturates, never wraps
        {"-99999999999", std::numeric_limits<std::int32_t>::min()},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(ReadLeadingInt(c.text), c.expected) << c.text;
    }
}

TEST(NumberText, SixtyFourBitIntegersSaturateAtTheirLimits) {
    struct Case {
        const char* text;
        std::int64_t expected;
    } cases[] = {
        {"9223372036854775807", std::numeric_limits<std::int64_t>::max()},
        {"9223372036854775808", std::numeric_limits<std::int64_t>::max()},
        {"-9223372036854775808", std::numeric_limits<std::int64_t>::min()},
        {"-9223372036854775809", std::numeric_limits<std::int64_t>::min()},
        {"123456789012345678", 123456789012345678},
        {"00000000000000000000000042", 42},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(ReadLeadingInt64(c.text), c.expected) << c.text;
    }
}

TEST(NumberText, ReadsFloatingPointAsAtofDoes) {
    struct Case {
        const char* text;
        double expected;
    } cases[] = {
        {"1e-3", 0.001},   {"  -2", -2}, {"+0.5", 0.5}, {"1,5", 1},    {".25", 0.25},
        {"1e", 1},         {"abc", 0},   {"", 0},       {"--1", 0},    {"0x10", 16},
        {"-0x1p-1", -0.5}, {"7q", 7},    {"1e-400", 0}, {"0.5e+1", 5},
    };
    for (const Case& c : cases) {
        EXPECT_DOUBLE_EQ(ReadLeadingDouble(c.text), c.expected) << c.text;
    }
    EXPECT_TRUE(std::isinf(ReadLeadingDouble("1e400")));
    EXPECT_LT(ReadLeadingDouble("-1e400"), 0);
    EXPECT_TRUE(std::isinf(ReadLeadingDouble("inf")));
    EXPECT_TRUE(std::isnan(ReadLeadingDouble("nan")));
}

// The shortcut for common decimals must round exactly as the general conversion does.
TEST(NumberText, DecimalShortcutRoundsLikeTheGeneralConversion) {
    std::mt19937_64 random(11);
    for (int i = 0; i < 200000; ++i) {
        std::string text = std::to_string(random() % 100000000);
        int decimals = static_cast<int>(random() % 12);
        text.insert(text.size() > static_cast<std::size_t>(decimals)
                        ? text.size() - static_cast<std::size_t>(decimals)
                        : 0,
                    ".");
        if (random() % 3 == 0) {
            text += "e" + std::to_string(static_cast<int>(random() % 41) - 20);
        }
        double expected = 0;
        std::from_chars(text.data(), text.data() + text.size(), expected);
        double read = ReadLeadingDouble(text);
        ASSERT_EQ(std::memcmp(&read, &expected, sizeof read), 0) << text;
    }
}

TEST(NumberText, WritesPrintfFormsWithThreeExponentDigits) {
    EXPECT_EQ(Exponent(0.001), "1.000000e-003");
    EXPECT_EQ(Exponent(0), "0.000000e+000");
    EXPECT_EQ(Exponent(-0.25), "-2.500000e-001");
    EXPECT_EQ(Exponent(9.9999999), "1.000000e+001");  // rounding carries into the exponent
    EXPECT_EQ(Exponent(1e100), "1.000000e+100");
    EXPECT_EQ(Exponent(1.5e-300), "1.500000e-300");
    EXPECT_EQ(General(1e-5), "1e-005");
    EXPECT_EQ(General(0.5), "0.5");
    EXPECT_EQ(General(123456789), "1.23457e+008");
    EXPECT_EQ(General(0), "0");
    EXPECT_EQ(General(-0.0001), "-0.0001");
    EXPECT_EQ(Fixed(0.5), "0.500000");
    EXPECT_EQ(Fixed(-1.0 / 3), "-0.333333");
}

// A desktop face runs under the user's locale; a decimal comma must not reach the files.
TEST(NumberText, IgnoresTheProcessLocale) {
    std::string saved = std::setlocale(LC_ALL, nullptr);
    if (!std::setlocale(LC_ALL, "de_DE.UTF-8") && !std::setlocale(LC_ALL, "de_DE.utf8")) {
        GTEST_SKIP() << "no German locale installed";
    }
    std::string formatted = FormatDeltaLine(3, 0.5, -1.25, 1e-3);
    Delta delta;
    ParseDeltaLine("4 0.5 1.5 -2.5", delta);
    double read = ReadLeadingDouble("0.75");
    std::string general = General(2.5);
    std::setlocale(LC_ALL, saved.c_str());

    EXPECT_EQ(formatted, "3 5.000000e-001 -1.250000e+000 1.000000e-003");
    EXPECT_DOUBLE_EQ(delta.dx, 0.5);
    EXPECT_DOUBLE_EQ(delta.dz, -2.5);
    EXPECT_DOUBLE_EQ(read, 0.75);
    EXPECT_EQ(general, "2.5");
}

}  // namespace
}  // namespace tessary
