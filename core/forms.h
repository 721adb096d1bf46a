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

// A value as one place writes it: a "%W.Df" format (or kGeneral, the general
// number form of 15 significant digits) of the value times `scale`, then
// `unit`. No format: the place does not show the value.
struct Form {
    constexpr Form() = default;
    // cppcheck-suppress noExplicitConstructor ; the table's rows give a form as its format alone
    constexpr Form(const char* format_, const char* unit_ = "", double scale_ = 1.0)
        : format(format_), scale(scale_), unit(unit_)
    {
    }
    constexpr bool shown() const { return format != nullptr; }
    const char* format = nullptr;
    double scale = 1.0;
    const char* unit = "";
};

inline constexpr const char* kGeneral = "general";

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
        {&W::SpkZnom, "SpkZnom", {"%3.2f"}, {}, {}, {}, {"%3.2f", " Ohms "}},
        {&W::SpkPmax, "SpkPmax", {"%4.2f"}, {}, {}, {}, {"%4.2f", " Watts "}},
        {&W::FreqRec, "FreqRec", {"%5.2f"}, {}, {}, {}, {"%5.2f", " Hertz "}},
        {&W::FreqDes, "FreqDes", {"%3.2f"}, {}, {}, {}, {"%5.2f", " Hertz "}},
        {&W::SpkPavg, "SpkPavg", {}, {}, {}, {kGeneral}, {"%5.2f", " Watts "}},
        {&W::SpkVavg, "SpkVavg", {}, {}, {}, {kGeneral}, {"%5.2f", " Volts "}},
        {&W::SpkVpeak, "SpkVpeak", {}, {}, {}, {kGeneral}, {"%5.2f", " Volts "}},
        {&W::SpkPpeak, "SpkPpeak", {}, {}, {}, {kGeneral}, {"%5.2f", " Watts "}},
        {&W::SpkVprog, "SpkVprog", {}, {}, {}, {kGeneral}, {"%5.2f", " Volts "}},
        {&W::SpkPprog, "SpkPprog", {}, {}, {}, {kGeneral}, {"%5.2f", " Watts "}},
        {&W::AmpVin, "AmpVin", {"%3.3f"}, {}, {}, {}, {"%5.2f", " mV ", 1000.0}},
        {&W::AmpZnom, "AmpZnom", {"%4.2f"}, {}, {}, {}, {"%3.2f", " Ohms "}},
        {&W::AmpPmax, "AmpPmax", {"%5.2f"}, {}, {}, {}, {"%5.2f", " Watts "}},
        {&W::CrestDb, "CrestDb", {"%3.2f"}, {}, {}, {"%3.2f"}, {"%5.2f", " dB "}},
        {&W::AmpVmax, "AmpVmax", {}, {}, {}, {"%3.2f"}, {"%5.2f", " Volts "}},
        {&W::GainLin, "GainLin", {}, {}, {}, {"%3.2f"}, {"%5.2f", " X (vezes) "}},
        {&W::GainDb, "GainDb", {}, {}, {}, {"%3.2f"}, {"%5.2f", " dB "}},
        {&W::CrestLin, "CrestLin", {}, {}, {}, {"%3.2f"}, {"%5.2f", " (vezes) "}},
        {&W::CrestMaxDb, "CrestMaxDb", {}, {}, {}, {"%3.2f"}, {"%5.2f", " dB "}},
        {&W::LimVout, "LimVout", {}, {"    %3.3f", "  V"}, {"   %4.3f", " mV", 1000.0}, {}, {"%3.3f", " mV ", 1000.0}},
        {&W::LimDbu, "LimDbu", {}, {"    %3.2f", "  dBu"}, {"   %3.2f", " dBu"}, {}, {"%3.3f", " dBU "}},
        {&W::LimDbv, "LimDbv", {}, {"    %3.2f", "  dBV"}, {"   %3.2f", " dBV"}, {}, {"%3.3f", " dBV "}},
        {&W::AttackSlow, "AttackSlow", {}, {"   %3.3f", " ms"}, {}, {}, {"%3.2f", ms}},
        {&W::AttackMedium, "AttackMedium", {}, {"   %3.2f", " ms"}, {}, {}, {"%3.2f", ms}},
        {&W::AttackFast, "AttackFast", {}, {"   %3.2f", " ms"}, {}, {}, {"%3.2f", ms}},
        {&W::ReleaseSlow, "ReleaseSlow", {}, {"   %3.3f", " ms"}, {}, {}, {"%3.2f", ms}},
        {&W::ReleaseMedium, "ReleaseMedium", {}, {"   %3.2f", " ms"}, {}, {}, {"%3.2f", ms}},
        {&W::ReleaseFast, "ReleaseFast", {}, {"   %3.2f", " ms"}, {}, {}, {"%3.2f", ms}},
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
