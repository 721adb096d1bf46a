#include "numtext/numtext.h"

#include <algorithm>
#include <bit>
#include <charconv>
#include <chrono>
#include <cmath>
#include <cstdint>
#include <limits>
#include <system_error>

namespace numtext {

namespace {

constexpr std::size_t kQuotedTextLimit = 40;
// The largest double has 309 integer digits; formats have at most 9 decimals.
constexpr std::size_t kFixedBufferSize = 320 + 9 + 4;

[[noreturn]] void throwNotANumber(std::string_view text)
{
    // At most kQuotedTextLimit characters, cut before a UTF-8 lead byte so
    // that no character is split.
    std::size_t end = 0;
    for (std::size_t characters = 0; end < text.size(); ++end) {
        const bool leadByte = (static_cast<unsigned char>(text[end]) & 0xC0) != 0x80;
        if (leadByte && characters++ == kQuotedTextLimit)
            break;
    }
    std::string shown(text.substr(0, end));
    if (end < text.size())
        shown += "...";
    throw ConversionError("'" + shown + "' não é um número válido");
}

bool isDigit(char c) { return c >= '0' && c <= '9'; }

// The number's characters rewritten for std::from_chars ('.' as separator,
// no '+'), with a rough decimal magnitude for telling overflow from underflow.
struct ScannedNumber {
    std::string canonical;
    bool negative = false;
    long magnitude = 0;
};

bool scanNumber(std::string_view text, char separator, ScannedNumber& out)
{
    std::size_t i = 0;
    const std::size_t n = text.size();
    while (i < n && text[i] == ' ')
        ++i;
    if (i < n && (text[i] == '+' || text[i] == '-')) {
        out.negative = text[i] == '-';
        if (out.negative)
            out.canonical += '-';
        ++i;
    }
    std::size_t intDigits = 0, fracDigits = 0;
    long firstSignificant = 0;  // position of the first non-zero digit relative to the point
    bool seenNonZero = false;
    while (i < n && isDigit(text[i])) {
        if (text[i] != '0' && !seenNonZero) {
            seenNonZero = true;
            firstSignificant = 0;
        }
        if (seenNonZero)
            ++firstSignificant;
        out.canonical += text[i++];
        ++intDigits;
    }
    if (i < n && text[i] == separator) {
        out.canonical += '.';
        ++i;
        long zerosAfterPoint = 0;
        while (i < n && isDigit(text[i])) {
            if (!seenNonZero) {
                if (text[i] == '0')
                    ++zerosAfterPoint;
                else {
                    seenNonZero = true;
                    firstSignificant = -zerosAfterPoint;
                }
            }
            out.canonical += text[i++];
            ++fracDigits;
        }
    }
    if (intDigits + fracDigits == 0)
        return false;
    long exponent = 0;
    if (i < n && (text[i] == 'e' || text[i] == 'E')) {
        out.canonical += 'e';
        ++i;
        bool negativeExponent = false;
        if (i < n && (text[i] == '+' || text[i] == '-')) {
            negativeExponent = text[i] == '-';
            if (negativeExponent)
                out.canonical += '-';
            ++i;
        }
        std::size_t expDigits = 0;
        while (i < n && isDigit(text[i])) {
            if (exponent < 100000)
                exponent = exponent * 10 + (text[i] - '0');
            out.canonical += text[i++];
            ++expDigits;
        }
        if (expDigits == 0)
            return false;
        if (negativeExponent)
            exponent = -exponent;
    }
    while (i < n && text[i] == ' ')
        ++i;
    if (i != n)
        return false;
    out.magnitude = seenNonZero ? firstSignificant + exponent : -1;
    return true;
}

// Decimal digits of a finite double in fixed notation with `fractionDigits`
// decimals, correctly rounded (exact when enough decimals are asked for).
struct DecimalDigits {
    bool negative = false;
    std::string digits;  // integer digits followed by fraction digits
    int pointPos = 0;    // number of integer digits in `digits`
};

DecimalDigits decimalDigits(double value, int fractionDigits)
{
    DecimalDigits out;
    out.negative = std::signbit(value);
    char buffer[1200];
    const auto result =
        std::to_chars(buffer, buffer + sizeof buffer, std::fabs(value), std::chars_format::fixed, fractionDigits);
    const std::string_view text(buffer, static_cast<std::size_t>(result.ptr - buffer));
    const std::size_t point = text.find('.');
    out.pointPos = static_cast<int>(point == std::string_view::npos ? text.size() : point);
    out.digits.reserve(text.size());
    out.digits.append(text.substr(0, static_cast<std::size_t>(out.pointPos)));
    if (point != std::string_view::npos)
        out.digits.append(text.substr(point + 1));
    return out;
}

// Number of binary fraction digits of a finite double: value = m / 2^k, m odd.
int binaryFractionDigits(double value)
{
    if (value == 0.0)
        return 0;
    int exponent = 0;
    const double mantissa = std::frexp(std::fabs(value), &exponent);
    const auto m = static_cast<std::uint64_t>(std::ldexp(mantissa, 53));
    return 53 - exponent - std::countr_zero(m);
}

// Every decimal of the value: exact, so any rounding can be applied to it.
DecimalDigits exactDecimal(double value) { return decimalDigits(value, std::max(0, binaryFractionDigits(value))); }

// Keeps `keep` digits of `digits` and rounds half away from zero on the rest.
// Returns true when a carry added a new leading digit.
bool roundHalfAway(std::string& digits, std::size_t keep)
{
    if (keep >= digits.size())
        return false;
    const bool up = digits[keep] >= '5';
    digits.resize(keep);
    if (!up)
        return false;
    for (std::size_t i = keep; i-- > 0;) {
        if (digits[i] != '9') {
            ++digits[i];
            return false;
        }
        digits[i] = '0';
    }
    digits.insert(digits.begin(), '1');
    return true;
}

}  // namespace

float StrToFloat(std::string_view text, const NumberFormat& format)
{
    ScannedNumber scanned;
    if (!scanNumber(text, format.decimalSeparator, scanned))
        throwNotANumber(text);
    const char* first = scanned.canonical.data();
    const char* last = first + scanned.canonical.size();
    float value = 0.0f;
    const auto result = std::from_chars(first, last, value);
    if (result.ec == std::errc{} && result.ptr == last)
        return value;
    // Out of range with a negative magnitude: the nearest single is zero.
    if (result.ec == std::errc::result_out_of_range && scanned.magnitude < 0)
        return scanned.negative ? -0.0f : 0.0f;
    throwNotANumber(text);
}

namespace {

// Fixed-point digits of |value| with `decimals` decimals, rounded half away
// from zero, written backwards from `end`; returns the first character.
// value = m * 2^-k exactly, so |value| * 10^decimals rounds in integers.
// Returns nullptr when the scaled value does not fit in 128 bits.
char* fixedDigitsByIntegers(double value, int decimals, char* end)
{
    __extension__ using U128 = unsigned __int128;
    int exponent = 0;
    const double mantissa = std::frexp(std::fabs(value), &exponent);
    const auto m = static_cast<std::uint64_t>(std::ldexp(mantissa, 53));
    const int k = 53 - exponent;
    if (k < -127)
        return nullptr;
    std::uint64_t scale = 1;
    for (int i = 0; i < decimals; ++i)
        scale *= 10;
    U128 scaled = static_cast<U128>(m) * scale;  // below 2^117
    if (k <= 0) {
        if (k < 0 && (scaled >> (128 + k)) != 0)
            return nullptr;
        scaled <<= -k;
    } else if (k >= 127) {
        scaled = 0;  // below half of the last shown decimal
    } else {
        const U128 half = static_cast<U128>(1) << (k - 1);
        const bool roundUp = (scaled & ((half << 1) - 1)) >= half;
        scaled = (scaled >> k) + (roundUp ? 1 : 0);
    }
    char* p = end;
    int written = 0;
    auto writeDigits = [&](auto& number) {
        do {
            *--p = static_cast<char>('0' + static_cast<int>(number % 10));
            number /= 10;
            if (++written == decimals)
                *--p = '.';
        } while (number != 0 || written <= decimals);
    };
    if (scaled >> 64 == 0) {
        auto narrow = static_cast<std::uint64_t>(scaled);
        writeDigits(narrow);
    } else {
        writeDigits(scaled);
    }
    return p;
}

// Beyond 128 bits a double is a whole number, printed exactly by the library.
char* fixedDigitsByLibrary(double value, int decimals, char* first, char* last, char*& end)
{
    end = std::to_chars(first, last, std::fabs(value), std::chars_format::fixed, decimals).ptr;
    return first;
}

void appendFixed(std::string& out, double value, int width, int decimals, const NumberFormat& format)
{
    char buffer[kFixedBufferSize];
    char* end = buffer + sizeof buffer;
    char* begin = fixedDigitsByIntegers(value, decimals, end);
    if (begin == nullptr)
        begin = fixedDigitsByLibrary(value, decimals, buffer + 1, buffer + sizeof buffer, end);
    if (decimals > 0)
        *(end - decimals - 1) = format.decimalSeparator;
    if (std::signbit(value))
        *--begin = '-';
    const std::string_view text(begin, static_cast<std::size_t>(end - begin));
    if (text.size() < static_cast<std::size_t>(width))
        out.append(static_cast<std::size_t>(width) - text.size(), ' ');
    out.append(text);
}

}  // namespace

void appendFormat(std::string& out, std::string_view pattern, double value, const NumberFormat& format)
{
    // The program's formats all have a one-digit width and precision.
    const std::size_t percent = pattern.find('%');
    const std::string_view spec = percent == std::string_view::npos ? "" : pattern.substr(percent, 5);
    if (spec.size() != 5 || !isDigit(spec[1]) || spec[2] != '.' || !isDigit(spec[3]) || spec[4] != 'f')
        throw std::invalid_argument("format pattern without %W.Df: " + std::string(pattern));
    out.append(pattern.substr(0, percent));
    appendFixed(out, value, spec[1] - '0', spec[3] - '0', format);
    out.append(pattern.substr(percent + 5));
}

std::string Format(std::string_view pattern, double value, const NumberFormat& format)
{
    std::string out;
    appendFormat(out, pattern, value, format);
    return out;
}

std::string FloatToStr(double value, const NumberFormat& format)
{
    if (value == 0.0)
        return "0";
    constexpr int kPrecision = 15;
    DecimalDigits exact = exactDecimal(value);
    // Drop leading zeros so that digits[0] is the first significant digit;
    // `decimalExponent` counts the digits before the point.
    std::size_t lead = 0;
    while (lead < exact.digits.size() && exact.digits[lead] == '0')
        ++lead;
    std::string digits = exact.digits.substr(lead);
    int decimalExponent = exact.pointPos - static_cast<int>(lead);
    if (roundHalfAway(digits, kPrecision))
        ++decimalExponent;
    while (!digits.empty() && digits.back() == '0')
        digits.pop_back();

    std::string text = exact.negative ? "-" : "";
    if (decimalExponent > kPrecision || decimalExponent < -3) {
        text += digits[0];
        if (digits.size() > 1) {
            text += format.decimalSeparator;
            text.append(digits, 1, std::string::npos);
        }
        text += 'E';
        text += std::to_string(decimalExponent - 1);
        return text;
    }
    if (decimalExponent <= 0) {
        text += '0';
        text += format.decimalSeparator;
        text.append(static_cast<std::size_t>(-decimalExponent), '0');
        text += digits;
        return text;
    }
    const auto intCount = static_cast<std::size_t>(decimalExponent);
    if (digits.size() <= intCount) {
        text += digits;
        text.append(intCount - digits.size(), '0');
    } else {
        text.append(digits, 0, intCount);
        text += format.decimalSeparator;
        text.append(digits, intCount, std::string::npos);
    }
    return text;
}

std::string Trim(std::string_view text)
{
    auto blank = [](char c) { return static_cast<unsigned char>(c) <= ' '; };
    std::size_t begin = 0;
    std::size_t end = text.size();
    while (begin < end && blank(text[begin]))
        ++begin;
    while (end > begin && blank(text[end - 1]))
        --end;
    return std::string(text.substr(begin, end - begin));
}

std::string DateToStr(const CivilDate& date, std::string_view pattern, const DateNames& names)
{
    auto padded = [](int value, std::size_t digits) {
        std::string text = std::to_string(value);
        if (text.size() < digits)
            text.insert(0, digits - text.size(), '0');
        return text;
    };
    auto named = [&](const std::string& name, int number) { return name.empty() ? padded(number, 2) : name; };
    const auto month = static_cast<std::size_t>(std::clamp(date.month, 1, 12) - 1);
    const std::chrono::year_month_day ymd{std::chrono::year{date.year},
        std::chrono::month{static_cast<unsigned>(date.month)}, std::chrono::day{static_cast<unsigned>(date.day)}};
    const auto weekday = static_cast<std::size_t>(std::chrono::weekday{std::chrono::sys_days{ymd}}.iso_encoding() - 1);
    std::string out;
    std::size_t i = 0;
    while (i < pattern.size()) {
        const char c = pattern[i];
        if (c == '\'') {
            ++i;
            if (i < pattern.size() && pattern[i] == '\'') {
                out += '\'';
                ++i;
                continue;
            }
            while (i < pattern.size() && pattern[i] != '\'')
                out += pattern[i++];
            ++i;
            continue;
        }
        std::size_t run = 1;
        while (i + run < pattern.size() && pattern[i + run] == c)
            ++run;
        if (c == 'd' && run <= 2)
            out += padded(date.day, run);
        else if (c == 'd')
            out += named(run == 3 ? names.shortDays[weekday] : names.longDays[weekday], date.day);
        else if (c == 'M' && run <= 2)
            out += padded(date.month, run);
        else if (c == 'M')
            out += named(run == 3 ? names.shortMonths[month] : names.longMonths[month], date.month);
        else if (c == 'y')
            out += run >= 3 ? padded(date.year, 4) : padded(date.year % 100, 2);
        else
            out.append(run, c);
        i += run;
    }
    return out;
}

}  // namespace numtext
