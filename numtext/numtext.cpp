#include "numtext/numtext.h"

#include <algorithm>
#include <array>
#include <bit>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <string>
#include <system_error>

#include <fast_float/fast_float.h>

namespace numtext {

namespace {

constexpr std::size_t kQuotedTextLimit = 40;

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

// Every decimal digit of a finite double, exactly (a double has at most 1074
// binary fraction digits, so as many decimals), so that any rounding can be
// applied to it.
struct DecimalDigits {
    bool negative = false;
    std::string digits;  // integer digits, at least one, then fraction digits
    int pointPos = 0;    // number of integer digits in `digits`
};

DecimalDigits exactDecimal(double value)
{
    // |value| = m x 2^lowest with m odd: its exact expansion has -lowest decimals.
    int exponent = 0;
    const auto m = static_cast<std::uint64_t>(std::ldexp(std::fabs(std::frexp(value, &exponent)), 53));
    const int lowest = exponent - 53 + std::countr_zero(m);
    const int decimals = std::max(0, -lowest);
    std::array<char, 1400> text{};  // 309 integer digits, 1074 decimals, sign and point at most
#if defined(__cpp_lib_to_chars)
    const char* end =
        std::to_chars(text.data(), text.data() + text.size(), std::fabs(value), std::chars_format::fixed, decimals).ptr;
#else
    // emscripten's libc++ has no floating-point to_chars; its C library writes
    // every digit asked for, always with a full stop.
    const char* end = text.data() + std::snprintf(text.data(), text.size(), "%.*f", decimals, std::fabs(value));
#endif
    const std::string_view written(text.data(), static_cast<std::size_t>(end - text.data()));
    const std::size_t point = std::min(written.find('.'), written.size());
    DecimalDigits out{std::signbit(value), std::string(written.substr(0, point)), static_cast<int>(point)};
    if (point < written.size())
        out.digits.append(written.substr(point + 1));
    return out;
}

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
    // Spaces around, an optional sign, then a digit or the separator: no
    // second sign, and no "inf" or "nan" but where the separator is their
    // first letter, which the finite check below refuses.
    const std::size_t first = text.find_first_not_of(' ');
    std::string_view number = first == std::string_view::npos ? "" : text.substr(first);
    number = number.substr(0, number.find_last_not_of(' ') + 1);
    const bool negative = !number.empty() && number.front() == '-';
    if (!number.empty() && (negative || number.front() == '+'))
        number.remove_prefix(1);
    if (number.empty() || !(isDigit(number.front()) || number.front() == format.decimalSeparator))
        throwNotANumber(text);
    float value = 0.0f;
    const char* last = number.data() + number.size();
    const fast_float::parse_options options(fast_float::chars_format::general, format.decimalSeparator);
    const auto result = fast_float::from_chars_advanced(number.data(), last, value, options);
    // Too small for a single is its nearest single, zero; too large is no
    // number the program can hold. Parser versions differ in what they call
    // out of range, not in the value.
    if (result.ptr == last && std::isfinite(value) &&
        (result.ec == std::errc{} || result.ec == std::errc::result_out_of_range))
        return negative ? -value : value;
    throwNotANumber(text);
}

std::string Format(double value, int width, int decimals, const NumberFormat& format)
{
    DecimalDigits exact = exactDecimal(value);
    const int fractionDigits = static_cast<int>(exact.digits.size()) - exact.pointPos;
    if (fractionDigits < decimals)
        exact.digits.append(static_cast<std::size_t>(decimals - fractionDigits), '0');
    else if (roundHalfAway(exact.digits, static_cast<std::size_t>(exact.pointPos) + static_cast<std::size_t>(decimals)))
        ++exact.pointPos;
    std::string text = exact.negative ? "-" : "";
    text.append(exact.digits, 0, static_cast<std::size_t>(exact.pointPos));
    if (decimals > 0) {
        text += format.decimalSeparator;
        text.append(exact.digits, static_cast<std::size_t>(exact.pointPos), std::string::npos);
    }
    if (text.size() < static_cast<std::size_t>(width))
        text.insert(0, static_cast<std::size_t>(width) - text.size(), ' ');
    return text;
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

}  // namespace numtext
