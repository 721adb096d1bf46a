#include "numtext/numtext.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <limits>
#include <stdexcept>
#include <string>
#include <tuple>

namespace {

const numtext::NumberFormat kPoint{'.'}, kComma{','};
constexpr float kMax = std::numeric_limits<float>::max();

// The bit pattern of a float: -0 is not 0 (no std::bit_cast in emscripten 3.1.6's libc++).
std::uint32_t bits(float value)
{
    std::uint32_t out = 0;
    std::memcpy(&out, &value, sizeof out);
    return out;
}

TEST(StrToFloat, ReadsTheNearestSingleOrRefuses)
{
    const std::tuple<const char*, numtext::NumberFormat, float> rows[] = {{"0.775", kPoint, 0.77499998f},
        {"  +8.5  ", kPoint, 8.5f}, {"-.5", kPoint, -0.5f}, {"7.", kPoint, 7.0f}, {"25E-1", kPoint, 2.5f},
        {"1.5e+3", kPoint, 1500.0f}, {"8,5", kComma, 8.5f}, {"3.4028234e38", kPoint, kMax},
        {"1e-45", kPoint, std::numeric_limits<float>::denorm_min()}, {"1e-50", kPoint, 0.0f}, {"-1e-60", kPoint, -0.0f},
        {"1250.000000000000000000000001", kPoint, 1250.0f}};
    for (const auto& [text, nf, expected] : rows) {
        EXPECT_EQ(bits(numtext::StrToFloat(text, nf)), bits(expected)) << text;
    }
    for (const char* text : {"", "   ", "abc", "-", "--5", "+-8", ".", "1e+", "8,5", "1 000", "0x10", "1e39", "inf",
             "nan", "\t8", "\xd9\xa3", "1.2.3"})
        EXPECT_THROW(numtext::StrToFloat(text, kPoint), numtext::ConversionError) << text;
    for (const char* text : {"nan", "NaN", "inf", "infinity"})  // a separator that begins a word the parser knows
        EXPECT_THROW(numtext::StrToFloat(text, {text[0]}), numtext::ConversionError) << text;
    const std::string letters(39, 'a');  // the message quotes forty characters at most
    const std::pair<std::string, std::string> quotes[] = {
        {"abc", "abc"}, {std::string(10000, 'x'), std::string(40, 'x') + "..."}, {letters + "ção", letters + "ç..."}};
    for (const auto& [text, quoted] : quotes) {
        EXPECT_THAT(([&, typed = text] { numtext::StrToFloat(typed, kPoint); }),
            testing::ThrowsMessage<numtext::ConversionError>("'" + quoted + "' não é um número válido"));
    }
}

TEST(Format, FixedPointWithHalvesAwayFromZero)
{
    const std::tuple<double, int, int, const char*> rows[] = {{0.625, 3, 2, "0.63"},  // glibc's printf: 0.62
        {-0.625, 3, 2, "-0.63"}, {2.675, 3, 2, "2.67"},  // the double below 2.675 is no tie
        {99.995f, 3, 2, "100.00"}, {-0.004, 3, 2, "-0.00"}, {5.0, 5, 2, " 5.00"}, {0.0, 3, 2, "0.00"},
        {std::numeric_limits<float>::denorm_min(), 3, 3, "0.000"},
        {1000.0 * kMax, 3, 2, "340282346638528859811704183484516925440000.00"}, {12.0, 7, 3, " 12.000"},
        {0.25, 3, 1, "0.3"}, {2.5, 1, 0, "3"}, {0x1p-1074, 1, 0, "0"}};
    for (const auto& [value, width, decimals, expected] : rows)
        EXPECT_EQ(numtext::Format(value, width, decimals, kPoint), expected);
    EXPECT_EQ(numtext::Format(0.5, 3, 1, kComma), "0,5");
}

TEST(FloatToStr, FifteenSignificantDigits)
{
    const std::pair<double, const char*> rows[] = {{0.0, "0"}, {0.3f, "0.300000011920929"},
        {1.4285714626312255859375, "1.42857146263123"},  // the 16th digit is a 5
        {-21.90890312194824, "-21.9089031219482"}, {0.0001, "0.0001"}, {0.00001, "1E-5"}, {1.5e-6, "1.5E-6"},
        {123456789012345.0, "123456789012345"}, {999999999999999.9, "1E15"}, {kMax, "3.40282346638529E38"}};
    for (const auto& [value, expected] : rows)
        EXPECT_EQ(numtext::FloatToStr(value, kPoint), expected);
    EXPECT_EQ(numtext::FloatToStr(0.05, kComma), "0,05");
}

}  // namespace
