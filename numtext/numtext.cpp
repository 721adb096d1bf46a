#include "numtext/numtext.h"

#include <algorithm>
#include <bit>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <system_error>

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
    DecimalDigits out;
    out.negative = std::signbit(value);
    char buffer[1200];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, std::fabs(value), std::chars_format::fixed,
        std::max(0, binaryFractionDigits(value)));
    const std::string_view text(buffer, static_cast<std::size_t>(result.ptr - buffer));
    const std::size_t point = text.find('.');
    out.pointPos = static_cast<int>(point == std::string_view::npos ? text.size() : point);
    out.digits.reserve(text.size());
    out.digits.append(text.substr(0, static_cast<std::size_t>(out.pointPos)));
    if (point != std::string_view::npos)
        out.digits.append(text.substr(point + 1));
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

// "%W.Df": |value| exactly, rounded half away from zero to D decimals, with
// a sign for negatives (zero included), left-filled with spaces to width W.
void appendFixed(std::string& out, double value, int width, int decimals, const NumberFormat& format)
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
        out.append(static_cast<std::size_t>(width) - text.size(), ' ');
    out.append(text);
}

}  // namespace

std::string Format(std::string_view pattern, double value, const NumberFormat& format)
{
    // The program's formats all have a one-digit width and precision.
    const std::size_t percent = pattern.find('%');
    const std::string_view spec = percent == std::string_view::npos ? "" : pattern.substr(percent, 5);
    if (spec.size() != 5 || !isDigit(spec[1]) || spec[2] != '.' || !isDigit(spec[3]) || spec[4] != 'f')
        throw std::invalid_argument("format pattern without %W.Df: " + std::string(pattern));
    std::string out(pattern.substr(0, percent));
    appendFixed(out, value, spec[1] - '0', spec[3] - '0', format);
    out.append(pattern.substr(percent + 5));
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

}  // namespace numtext
