// libFuzzer target: any text typed into a numeric entry, under either decimal
// separator. The reader either refuses it or gives a finite single; accepting
// it shows a text that reads back as the stored number and formats the same
// again; the general form of the number reads back as the same number.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <string>

#include "core/display.h"
#include "numtext/numtext.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const auto check = [](bool holds) {
        if (!holds)
            __builtin_trap();
    };
    if (size == 0)
        return 0;
    const numtext::NumberFormat nf{(data[0] & 1) != 0 ? ',' : '.'};
    const std::string text(reinterpret_cast<const char*>(data + 1), size - 1);
    float value = 0.0f;
    try {
        value = numtext::StrToFloat(text, nf);
    } catch (const numtext::ConversionError&) {
        return 0;
    }
    check(std::isfinite(value) && numtext::StrToFloat(numtext::FloatToStr(value, nf), nf) == value);
    for (const core::EntrySpec& spec : core::entrySpecs()) {
        if (spec.number == nullptr)
            continue;
        core::Worksheet ws;
        const std::string shown = core::acceptEntry(ws, spec.entry, text, nf);
        const float stored = ws.*spec.number;
        check(std::isfinite(stored) && numtext::StrToFloat(shown, nf) == stored);
        check(numtext::Format(spec.format, stored, nf) == shown);
    }
    return 0;
}
