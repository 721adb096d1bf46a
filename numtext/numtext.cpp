#include "numtext/numtext.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstdint>
#include <string>
#include <system_error>
#include <vector>

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

// Appends the digits at `i` to `out`; returns how many there were.
std::size_t takeDigits(std::string_view text, std::size_t& i, std::string& out)
{
    const std::size_t first = i;
    while (i < text.size() && isDigit(text[i]))
        out += text[i++];
    return i - first;
}

// The number's characters rewritten for the parser: '.' as separator, no
// '+'. False when the text is not a number: spaces, an optional sign, digits
// with at most one separator, an optional exponent, spaces.
bool scanNumber(std::string_view text, char separator, std::string& out)
{
    std::size_t i = text.find_first_not_of(' ');
    const std::size_t end = text.find_last_not_of(' ') + 1;
    if (i == std::string_view::npos)
        return false;
    text = text.substr(0, end);
    const auto sign = [&] {
        if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
            if (text[i] == '-')
                out += '-';
            ++i;
        }
    };
    sign();
    std::size_t mantissaDigits = takeDigits(text, i, out);
    if (i < text.size() && text[i] == separator) {
        out += '.';
        ++i;
        mantissaDigits += takeDigits(text, i, out);
    }
    if (mantissaDigits == 0)
        return false;
    if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
        out += 'e';
        ++i;
        sign();
        if (takeDigits(text, i, out) == 0)
            return false;
    }
    return i == text.size();
}

// Every decimal digit of a finite double, exactly (a double has at most 1074
// binary fraction digits, so as many decimals), so that any rounding can be
// applied to it.
struct DecimalDigits {
    bool negative = false;
    std::string digits;  // integer digits, at least one, then fraction digits
    int pointPos = 0;    // number of integer digits in `digits`
};

// A natural number in base 10^9, least significant limb first: enough to
// write m x 2^e or m x 5^k exactly.
class BigDecimal {
public:
    explicit BigDecimal(std::uint64_t value)
    {
        do {
            limbs.push_back(static_cast<std::uint32_t>(value % kBase));
            value /= kBase;
        } while (value != 0);
    }

    void multiply(std::uint32_t factor)
    {
        std::uint64_t carry = 0;
        for (std::uint32_t& limb : limbs) {
            const std::uint64_t product = std::uint64_t{limb} * factor + carry;
            limb = static_cast<std::uint32_t>(product % kBase);
            carry = product / kBase;
        }
        for (; carry != 0; carry /= kBase)
            limbs.push_back(static_cast<std::uint32_t>(carry % kBase));
    }

    // Multiplies by base^exponent, a few factors at a time.
    void multiplyByPower(std::uint32_t base, int exponent, std::uint32_t chunk, int perChunk)
    {
        for (; exponent >= perChunk; exponent -= perChunk)
            multiply(chunk);
        for (; exponent > 0; --exponent)
            multiply(base);
    }

    std::string decimal() const
    {
        std::string out = std::to_string(limbs.back());
        for (std::size_t i = limbs.size() - 1; i-- > 0;) {
            const std::string limb = std::to_string(limbs[i]);
            out.append(9 - limb.size(), '0').append(limb);
        }
        return out;
    }

private:
    static constexpr std::uint64_t kBase = 1000000000;
    std::vector<std::uint32_t> limbs;
};

DecimalDigits exactDecimal(double value)
{
    DecimalDigits out;
    out.negative = std::signbit(value);
    if (value == 0.0) {
        out.digits.push_back('0');
        out.pointPos = 1;
        return out;
    }
    // |value| = m x 2^exponent with m odd.
    int exponent = 0;
    auto m = static_cast<std::uint64_t>(std::ldexp(std::frexp(std::fabs(value), &exponent), 53));
    exponent -= 53;
    const auto zeros = static_cast<unsigned>(std::countr_zero(m));
    m >>= zeros;
    exponent += static_cast<int>(zeros);
    BigDecimal exact(m);
    if (exponent >= 0) {
        exact.multiplyByPower(2, exponent, 1U << 30, 30);
        out.digits = exact.decimal();
        out.pointPos = static_cast<int>(out.digits.size());
        return out;
    }
    // m / 2^k is m x 5^k / 10^k: the digits of m x 5^k with k of them after the point.
    const int k = -exponent;
    exact.multiplyByPower(5, k, 1220703125, 13);
    out.digits = exact.decimal();
    if (out.digits.size() <= static_cast<std::size_t>(k))
        out.digits.insert(0, static_cast<std::size_t>(k) + 1 - out.digits.size(), '0');
    out.pointPos = static_cast<int>(out.digits.size()) - k;
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
    std::string canonical;
    if (!scanNumber(text, format.decimalSeparator, canonical))
        throwNotANumber(text);
    const char* last = canonical.data() + canonical.size();
    float value = 0.0f;
    const auto result = fast_float::from_chars(canonical.data(), last, value);
    // Too small for a single is its nearest single, zero; too large is no
    // number the program can hold. Parser versions differ in what they call
    // out of range, not in the value.
    if (result.ptr == last && !std::isinf(value) &&
        (result.ec == std::errc{} || result.ec == std::errc::result_out_of_range))
        return value;
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
