// Any bytes as an entry's text, read with either decimal separator, and
// with the byte after them as one (a kept session may name any): a finite
// single or numtext::ConversionError, nothing else. What it reads must not
// depend on which character separates, nor on the spaces around it, and
// must be what the C library reads from the same number.
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <string>
#include <string_view>

#include "numtext/numtext.h"

namespace {

[[noreturn]] void fail(const char* what, std::string_view text)
{
    std::fprintf(stderr, "%s: '%.*s' (%zu bytes)\n", what, static_cast<int>(text.size()), text.data(), text.size());
    std::abort();
}

std::optional<float> read(std::string_view text, char separator)
{
    try {
        const float value = numtext::StrToFloat(text, numtext::NumberFormat{separator});
        if (!std::isfinite(value))
            fail("a number that is not finite", text);
        return value;
    } catch (const numtext::ConversionError&) {
        return std::nullopt;
    }
}

bool same(std::optional<float> a, std::optional<float> b)
{
    return a.has_value() == b.has_value() && (!a || std::memcmp(&*a, &*b, sizeof(float)) == 0);  // -0 apart from 0
}

// '.' and ',' trade places.
std::string swapped(std::string_view text)
{
    std::string out(text);
    std::transform(out.begin(), out.end(), out.begin(), [](char c) { return c == '.' ? ',' : c == ',' ? '.' : c; });
    return out;
}

// glibc's strtof in the C locale, over the text with a full stop: a
// correctly rounded reader written apart from ours.
void checkAgainstLibc(std::string_view text, char separator, float value)
{
    std::string number(text);
    std::replace(number.begin(), number.end(), separator, '.');
    char* end = nullptr;
    const float expected = std::strtof(number.c_str(), &end);
    while (*end == ' ')
        ++end;
    if (*end != '\0' || std::memcmp(&expected, &value, sizeof(float)) != 0)
        fail("not the value strtof reads", text);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const std::optional<float> point = read(text, '.');
    const std::optional<float> comma = read(text, ',');
    if (!same(comma, read(swapped(text), '.')))
        fail("not the same with the separators swapped", text);
    if (text.find_first_of(".,") == std::string_view::npos && !same(point, comma))
        fail("a text without a separator read apart by the two", text);
    if (!same(point, read(" " + std::string(text) + "  ", '.')))
        fail("not the same between spaces", text);
    if (point)
        checkAgainstLibc(text, '.', *point);
    if (comma)
        checkAgainstLibc(text, ',', *comma);
    // The input's last byte as the separator.
    if (!text.empty()) {
        const char separator = text.back();
        const std::string_view number = text.substr(0, text.size() - 1);
        const std::optional<float> value = read(number, separator);
        if (value && std::string_view("+-eE0123456789 ").find(separator) == std::string_view::npos)
            checkAgainstLibc(number, separator, *value);
    }
    return 0;
}
