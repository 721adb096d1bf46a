// Number text: how Quorvane reads numbers from entries and writes them to
// entries, captions and the report. Locale-independent except for the
// decimal separator carried in NumberFormat.
#pragma once

#include <stdexcept>
#include <string>
#include <string_view>

namespace numtext {

struct NumberFormat {
    char decimalSeparator = '.';
    bool operator==(const NumberFormat&) const = default;
};

// A text the user typed that is not a number the program can hold.
class ConversionError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Spaces, an optional sign, digits with the separator, an optional exponent,
// spaces. Returns the nearest single-precision number; throws ConversionError
// for anything else, and for values beyond the single-precision range.
float StrToFloat(std::string_view text, const NumberFormat& format);

// A finite value (every Worksheet value is) with `decimals` digits after the
// separator, exact halves rounded away from zero, a sign for any negative
// (one that rounds to zero too), left-filled with spaces to `width`.
std::string Format(double value, int width, int decimals, const NumberFormat& format);

// General form of a finite value: at most 15 significant digits, trailing
// zeros dropped, scientific notation for very large or very small magnitudes.
std::string FloatToStr(double value, const NumberFormat& format);

// Removes blanks and control characters (bytes up to and including space)
// from both ends.
std::string Trim(std::string_view text);

}  // namespace numtext
