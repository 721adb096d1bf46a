#include "numtext/numtext.h"

#include <gtest/gtest.h>

#include <bit>
#include <cstdint>
#include <cstdio>
#include <limits>
#include <optional>
#include <string>

using numtext::NumberFormat;

namespace {

const NumberFormat kPoint{'.'};
const NumberFormat kComma{','};

std::uint32_t bits(float f) { return std::bit_cast<std::uint32_t>(f); }

TEST(StrToFloat, ReadsWhatTheUserCanType)
{
    struct Row {
        const char* name;
        const char* text;
        NumberFormat nf;
        float expected;
    };
    const Row rows[] = {
        {"plain", "8.00", kPoint, 8.0f},
        {"nearest single", "0.775", kPoint, 0.77499998f},
        {"spaces around", "  8.5  ", kPoint, 8.5f},
        {"leading space of a five-wide format", " 5.00", kPoint, 5.0f},
        {"plus sign", "+125", kPoint, 125.0f},
        {"minus sign", "-0.5", kPoint, -0.5f},
        {"exponent", "1.5e3", kPoint, 1500.0f},
        {"capital exponent with sign", "25E-1", kPoint, 2.5f},
        {"trailing separator", "7.", kPoint, 7.0f},
        {"leading separator", ".25", kPoint, 0.25f},
        {"comma locale", "8,5", kComma, 8.5f},
        {"largest single", "3.4028234e38", kPoint, std::numeric_limits<float>::max()},
        {"underflows to zero", "1e-50", kPoint, 0.0f},
        {"underflows to a subnormal", "1e-45", kPoint, std::numeric_limits<float>::denorm_min()},
        {"negative underflow keeps the sign", "-1e-60", kPoint, -0.0f},
        {"many digits", "1250.000000000000000000000001", kPoint, 1250.0f},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        EXPECT_EQ(bits(numtext::StrToFloat(row.text, row.nf)), bits(row.expected));
    }
}

TEST(StrToFloat, RefusesWhatIsNotAFiniteNumber)
{
    struct Row {
        const char* text;
        NumberFormat nf;
    };
    const Row rows[] = {
        {"", kPoint},
        {"   ", kPoint},
        {"abc", kPoint},
        {"-", kPoint},
        {".", kPoint},
        {"1e", kPoint},
        {"1e+", kPoint},
        {"8.5", kComma},
        {"8,5", kPoint},
        {"1 000", kPoint},
        {"1.000,5", kComma},
        {"0x10", kPoint},
        {"1e39", kPoint},
        {"-1e39", kPoint},
        {"1e999999", kPoint},
        {"inf", kPoint},
        {"nan", kPoint},
        {"\t8", kPoint},
        {"8\n", kPoint},
        {"\xd9\xa3", kPoint},
        {"++1", kPoint},
        {"1.2.3", kPoint},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.text);
        EXPECT_THROW(numtext::StrToFloat(row.text, row.nf), numtext::ConversionError);
    }
}

TEST(StrToFloat, MessageQuotesFortyCharactersAtMost)
{
    const std::string letters(39, 'a');
    const struct {
        std::string text;
        std::string quoted;
    } rows[] = {
        {"abc", "abc"}, {std::string(10000, 'x'), std::string(40, 'x') + "..."},
        {letters + "ção", letters + "ç..."},  // never half of a character
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.quoted);
        try {
            numtext::StrToFloat(row.text, kPoint);
            ADD_FAILURE() << "no exception";
        } catch (const numtext::ConversionError& e) {
            EXPECT_EQ(std::string(e.what()), "'" + row.quoted + "' não é um número válido");
        }
    }
}

TEST(Format, FixedPointWithHalvesAwayFromZero)
{
    struct Row {
        const char* pattern;
        double value;
        NumberFormat nf;
        const char* expected;
    };
    const Row rows[] = {
        {"%3.2f", 0.625, kPoint, "0.63"},
        {"%3.2f", -0.625, kPoint, "-0.63"},
        {"%3.2f", 8.125, kPoint, "8.13"},
        {"%3.2f", 0.375, kPoint, "0.38"},
        {"%3.2f", 2.675, kPoint, "2.67"},  // the double just below 2.675 is no tie
        {"%3.0f", 2.5, kPoint, "  3"},
        {"%3.0f", 9.5, kPoint, " 10"},
        {"%3.2f", 99.995f, kPoint, "100.00"},
        {"%5.2f", 5.0, kPoint, " 5.00"},
        {"%5.2f", 0.0, kPoint, " 0.00"},
        {"%5.2f", 1250.0, kPoint, "1250.00"},
        {"%5.2f", -5.0, kPoint, "-5.00"},
        {"%4.2f", 125.0, kPoint, "125.00"},
        {"%3.3f", 0.77499998f, kPoint, "0.775"},
        {"%3.3f", 1000.0 * 0.34576952f, kPoint, "345.770"},
        {"%3.2f", 1e10, kPoint, "10000000000.00"},
        {"%3.2f", std::numeric_limits<float>::max(), kPoint, "340282346638528859811704183484516925440.00"},
        {"%3.3f", std::numeric_limits<float>::denorm_min(), kPoint, "0.000"},
        {"    %3.3f", 0.5, kPoint, "    0.500"},
        {"   %4.3f  mV", 12.0, kPoint, "   12.000  mV"},
        {"%3.2f", 0.625, kComma, "0,63"},
        {"%5.2f", 3.98107171f, kComma, " 3,98"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(std::string(row.pattern) + " of " + std::to_string(row.value));
        EXPECT_EQ(numtext::Format(row.pattern, row.value, row.nf), row.expected);
    }
}

TEST(Format, AgainstTheCLibrary)
{
    // glibc's printf rounds exact halves to even; the program shows them away
    // from zero, and agrees everywhere else.
    struct Row {
        double value;
        const char* ours;
        const char* libc;
    };
    const Row rows[] = {
        {0.625, "0.63", "0.62"},
        {8.125, "8.13", "8.12"},
        {0.125, "0.13", "0.12"},
        {-0.625, "-0.63", "-0.62"},
        {0.375, "0.38", "0.38"},
        {2.675, "2.67", "2.67"},
        {1.005, "1.00", "1.00"},
        {-7.0057792663574219, "-7.01", "-7.01"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.value);
        char libc[64];
        std::snprintf(libc, sizeof libc, "%3.2f", row.value);
        EXPECT_STREQ(libc, row.libc);
        EXPECT_EQ(numtext::Format("%3.2f", row.value, kPoint), row.ours);
    }
}

TEST(FloatToStr, FifteenSignificantDigits)
{
    struct Row {
        double value;
        NumberFormat nf;
        const char* expected;
    };
    const Row rows[] = {
        {28.284271240234375, kPoint, "28.2842712402344"},
        {240.000015258789, kPoint, "240.000015258789"},
        {static_cast<float>(240.00001525878906), kPoint, "240.000015258789"},
        {50.0, kPoint, "50"},
        {0.0, kPoint, "0"},
        {0.5, kPoint, "0.5"},
        {0.3f, kPoint, "0.300000011920929"},
        {-21.90890312194824, kPoint, "-21.9089031219482"},
        {0.0001, kPoint, "0.0001"},
        {0.00001, kPoint, "1E-5"},
        {1.5e-6, kPoint, "1.5E-6"},
        {123456789012345.0, kPoint, "123456789012345"},
        {999999999999999.9, kPoint, "1E15"},
        {1e20, kPoint, "1E20"},
        {3.4028234663852886e38, kPoint, "3.40282346638529E38"},
        {28.284271240234375, kComma, "28,2842712402344"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.expected);
        EXPECT_EQ(numtext::FloatToStr(row.value, row.nf), row.expected);
    }
}

TEST(Trim, RemovesBlanksAndControlCharactersAtBothEnds)
{
    const std::pair<const char*, const char*> rows[] = {
        {"   Tamsorel   ", "Tamsorel"},
        {"\t\r\nRZ 2005\x01 ", "RZ 2005"},
        {"", ""},
        {"      ", ""},
        {"Alto  Falante", "Alto  Falante"},
        {" Médio ", "Médio"},
    };
    for (const auto& [text, expected] : rows) {
        SCOPED_TRACE(text);
        EXPECT_EQ(numtext::Trim(text), expected);
    }
}

TEST(DateToStr, FollowsTheShortDatePattern)
{
    const numtext::CivilDate date{2026, 3, 7};
    const std::pair<const char*, const char*> rows[] = {
        {"dd/MM/yyyy", "07/03/2026"},
        {"M/d/yy", "3/7/26"},
        {"yyyy-MM-dd", "2026-03-07"},
        {"d.M.yyyy", "7.3.2026"},
        {"dd'de'MM", "07de03"},
        {"yy''MM", "26'03"},
    };
    for (const auto& [pattern, expected] : rows) {
        SCOPED_TRACE(pattern);
        EXPECT_EQ(numtext::DateToStr(date, pattern), expected);
    }
}

TEST(DateToStr, NamesMonthsAndWeekdaysWhenThePatternDoes)
{
    numtext::DateNames names;
    names.shortMonths[11] = "Dec";
    names.longMonths[11] = "dezembro";
    names.shortDays[0] = "seg.";  // 7 December 2026 is a Monday
    names.longDays[0] = "segunda-feira";
    const numtext::CivilDate date{2026, 12, 7};
    const std::pair<const char*, const char*> rows[] = {
        {"d MMM yyyy", "7 Dec 2026"},
        {"dddd, d 'de' MMMM 'de' yyyy", "segunda-feira, 7 de dezembro de 2026"},
        {"ddd dd/MM", "seg. 07/12"},
    };
    for (const auto& [pattern, expected] : rows) {
        SCOPED_TRACE(pattern);
        EXPECT_EQ(numtext::DateToStr(date, pattern, names), expected);
    }
    EXPECT_EQ(numtext::DateToStr(date, "d MMM yyyy"), "7 12 2026");  // no names: the number
}

}  // namespace
