// How each number of the Worksheet is shown, in every place that shows it:
// an entry, panel 3's fields, panel 4's lines and the report's rows. The
// tables of those places say where a value stands and what it is called;
// this one alone says how it is written there, and each of them checks
// against it when it compiles that it shows what this one says it shows.
#pragma once

#include <algorithm>
#include <array>
#include <string>

#include "core/worksheet.h"
#include "numtext/numtext.h"

namespace core {

// A value as one place writes it: the value times `scale` with `decimals`
// digits after the separator, at least `width` characters wide, after
// `indent` spaces and before `unit`; or the general number form of 15
// significant digits. No form: the place does not show the value.
struct Form {
    enum class Kind { None, Fixed, General };
    constexpr bool shown() const { return kind != Kind::None; }
    Kind kind = Kind::None;
    int width = 0;
    int decimals = 0;
    const char* unit = "";
    double scale = 1.0;
    int indent = 0;
};

constexpr Form fixed(int width, int decimals, const char* unit = "", double scale = 1.0)
{
    return {Form::Kind::Fixed, width, decimals, unit, scale};
}

constexpr Form indented(int spaces, Form form)
{
    form.indent = spaces;
    return form;
}

inline constexpr Form kGeneral{Form::Kind::General};

struct ValueForms {
    WorksheetNumber value = nullptr;
    const char* name = nullptr;  // as a kept session names it
    Form entry;                  // a panel 1 or 2 entry, once accepted and as "Recalcula" writes it
    Form panel3;                 // a field of panel 3
    Form panel3Right;            // the field right of it, red in the window
    Form panel4;                 // a line of panel 4
    Form report;                 // its row of a report block
};

// Which of a value's forms a place uses.
using FormIn = Form ValueForms::*;

// The value and its name; its entry; its field in panel 3, and the one right of it;
// its line in panel 4; its report row.
inline constexpr auto kValueForms = [] {
    using W = Worksheet;
    const char* ms = " ms (mili segundos) ";
    const ValueForms rows[] = {
        {&W::SpkZnom, "SpkZnom", fixed(3, 2), {}, {}, {}, fixed(3, 2, " Ohms ")},
        {&W::SpkPmax, "SpkPmax", fixed(4, 2), {}, {}, {}, fixed(4, 2, " Watts ")},
        {&W::FreqRec, "FreqRec", fixed(5, 2), {}, {}, {}, fixed(5, 2, " Hertz ")},
        {&W::FreqDes, "FreqDes", fixed(3, 2), {}, {}, {}, fixed(5, 2, " Hertz ")},
        {&W::SpkPavg, "SpkPavg", {}, {}, {}, kGeneral, fixed(5, 2, " Watts ")},
        {&W::SpkVavg, "SpkVavg", {}, {}, {}, kGeneral, fixed(5, 2, " Volts ")},
        {&W::SpkVpeak, "SpkVpeak", {}, {}, {}, kGeneral, fixed(5, 2, " Volts ")},
        {&W::SpkPpeak, "SpkPpeak", {}, {}, {}, kGeneral, fixed(5, 2, " Watts ")},
        {&W::SpkVprog, "SpkVprog", {}, {}, {}, kGeneral, fixed(5, 2, " Volts ")},
        {&W::SpkPprog, "SpkPprog", {}, {}, {}, kGeneral, fixed(5, 2, " Watts ")},
        {&W::AmpVin, "AmpVin", fixed(3, 3), {}, {}, {}, fixed(5, 2, " mV ", 1000.0)},
        {&W::AmpZnom, "AmpZnom", fixed(4, 2), {}, {}, {}, fixed(3, 2, " Ohms ")},
        {&W::AmpPmax, "AmpPmax", fixed(5, 2), {}, {}, {}, fixed(5, 2, " Watts ")},
        {&W::CrestDb, "CrestDb", fixed(3, 2), {}, {}, fixed(3, 2), fixed(5, 2, " dB ")},
        {&W::AmpVmax, "AmpVmax", {}, {}, {}, fixed(3, 2), fixed(5, 2, " Volts ")},
        {&W::GainLin, "GainLin", {}, {}, {}, fixed(3, 2), fixed(5, 2, " X (vezes) ")},
        {&W::GainDb, "GainDb", {}, {}, {}, fixed(3, 2), fixed(5, 2, " dB ")},
        {&W::CrestLin, "CrestLin", {}, {}, {}, fixed(3, 2), fixed(5, 2, " (vezes) ")},
        {&W::CrestMaxDb, "CrestMaxDb", {}, {}, {}, fixed(3, 2), fixed(5, 2, " dB ")},
        {&W::LimVout, "LimVout", {}, indented(4, fixed(3, 3, "  V")), indented(3, fixed(4, 3, " mV", 1000.0)), {},
            fixed(3, 3, " mV ", 1000.0)},
        {&W::LimDbu, "LimDbu", {}, indented(4, fixed(3, 2, "  dBu")), indented(3, fixed(3, 2, " dBu")), {},
            fixed(3, 3, " dBU ")},
        {&W::LimDbv, "LimDbv", {}, indented(4, fixed(3, 2, "  dBV")), indented(3, fixed(3, 2, " dBV")), {},
            fixed(3, 3, " dBV ")},
        {&W::AttackSlow, "AttackSlow", {}, indented(3, fixed(3, 3, " ms")), {}, {}, fixed(3, 2, ms)},
        {&W::AttackMedium, "AttackMedium", {}, indented(3, fixed(3, 2, " ms")), {}, {}, fixed(3, 2, ms)},
        {&W::AttackFast, "AttackFast", {}, indented(3, fixed(3, 2, " ms")), {}, {}, fixed(3, 2, ms)},
        {&W::ReleaseSlow, "ReleaseSlow", {}, indented(3, fixed(3, 3, " ms")), {}, {}, fixed(3, 2, ms)},
        {&W::ReleaseMedium, "ReleaseMedium", {}, indented(3, fixed(3, 2, " ms")), {}, {}, fixed(3, 2, ms)},
        {&W::ReleaseFast, "ReleaseFast", {}, indented(3, fixed(3, 2, " ms")), {}, {}, fixed(3, 2, ms)},
    };
    return std::to_array(rows);
}();

// The forms of a value; a value with no row has none.
constexpr const ValueForms* formsOf(WorksheetNumber value)  // cppcheck-suppress constParameter ; a member pointer
{
    const auto* found = std::find_if(
        kValueForms.begin(), kValueForms.end(), [value](const ValueForms& row) { return row.value == value; });
    return found == kValueForms.end() ? nullptr : found;
}

// Whether a value has a form for a place (found without taking addresses,
// which some sanitized builds cannot compare when compiling).
constexpr bool hasForm(WorksheetNumber value, FormIn form)  // cppcheck-suppress constParameter ; a member pointer
{
    return std::any_of(kValueForms.begin(), kValueForms.end(),
        [value, form](const ValueForms& row) { return row.value == value && (row.*form).shown(); });
}

// Whether the places of one kind show exactly the values that have a form
// for them, each once: `at(i)` is the value the place's i-th row shows.
template <typename Rows, typename At> constexpr bool showsEachValueOnce(FormIn form, const Rows& rows, At at)
{
    for (const ValueForms& v : kValueForms) {
        int times = 0;
        for (const auto& row : rows)
            times += at(row) == v.value ? 1 : 0;
        if (times != ((v.*form).shown() ? 1 : 0))
            return false;
    }
    for (const auto& row : rows) {
        if (at(row) != nullptr && !hasForm(at(row), form))
            return false;
    }
    return true;
}

// A value as `form` writes it.
std::string shownText(const Form& form, float value, const numtext::NumberFormat& nf);

}  // namespace core
