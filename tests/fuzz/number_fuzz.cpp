// Any bytes as an entry's text, read with either separator and with its
// last byte as one (a kept session may name any): a finite single or
// numtext::ConversionError, nothing else; and what it reads with a full
// stop is what glibc's strtof, a reader written apart from ours, reads.
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

#include "numtext/numtext.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string text(reinterpret_cast<const char*>(data), size);
    for (const char separator : {'.', ',', size > 0 ? text.back() : '.'}) {
        try {
            const float value = numtext::StrToFloat(text, numtext::NumberFormat{separator});
            char* end = nullptr;
            const float expected = std::strtof(text.c_str(), &end);
            end += std::strspn(end, " ");
            if (!std::isfinite(value) ||
                (separator == '.' && (*end != '\0' || std::memcmp(&value, &expected, sizeof value) != 0)))
                std::abort();
        } catch (const numtext::ConversionError&) {
        }
    }
    return 0;
}
