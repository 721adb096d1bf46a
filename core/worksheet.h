// The one record of everything entered and derived. Every number is single
// precision: each step computes in double and rounds when it stores, and later
// steps read the rounded value.
#pragma once

#include <array>
#include <cstddef>
#include <optional>
#include <string>

namespace core {

struct Worksheet {
    // Loudspeaker, panel 1.
    std::string SpkBrand;
    std::string SpkModel;
    float SpkZnom = 0.0f;
    float SpkPmax = 0.0f;
    float FreqRec = 0.0f;
    float FreqDes = 0.0f;
    float SpkPavg = 0.0f;
    float SpkVavg = 0.0f;
    float SpkVpeak = 0.0f;
    float SpkPpeak = 0.0f;
    float SpkVprog = 0.0f;
    float SpkPprog = 0.0f;

    // Amplifier, panel 2.
    std::string AmpBrand;
    std::string AmpModel;
    float AmpVin = 0.0f;
    float AmpZnom = 0.0f;
    float AmpPmax = 0.0f;
    float CrestDb = 0.0f;
    float AmpVmax = 0.0f;
    float GainLin = 0.0f;
    float GainDb = 0.0f;
    float CrestLin = 0.0f;
    float CrestMaxDb = 0.0f;

    // Limiter, panel 3.
    float LimVout = 0.0f;
    float LimDbu = 0.0f;
    float LimDbv = 0.0f;
    float AttackSlow = 0.0f;
    float AttackMedium = 0.0f;
    float AttackFast = 0.0f;
    float ReleaseSlow = 0.0f;
    float ReleaseMedium = 0.0f;
    float ReleaseFast = 0.0f;

    bool operator==(const Worksheet&) const = default;
};

// A number or a text of the Worksheet, for the tables that name them.
using WorksheetNumber = float Worksheet::*;
using WorksheetText = std::string Worksheet::*;

// The texts, by the names a kept session gives them; the numbers are named
// in forms.h, beside how each is written.
struct NamedText {
    WorksheetText value;
    const char* name;
};
inline constexpr std::array<NamedText, 4> kWorksheetTexts{{{&Worksheet::SpkBrand, "SpkBrand"},
    {&Worksheet::SpkModel, "SpkModel"}, {&Worksheet::AmpBrand, "AmpBrand"}, {&Worksheet::AmpModel, "AmpModel"}}};

// The twelve entries of panels 1 and 2, named by the Worksheet value each
// one holds.
enum class Entry {
    SpkBrand,
    SpkModel,
    SpkZnom,
    SpkPmax,
    FreqRec,
    FreqDes,
    AmpBrand,
    AmpModel,
    AmpVin,
    AmpZnom,
    AmpPmax,
    CrestDb,
};

constexpr std::size_t kEntryCount = static_cast<std::size_t>(Entry::CrestDb) + 1;

// How a broken rule reaches the window, wherever it breaks (a checked value,
// the threshold, an entry's text, a formula that cannot be computed): the
// message, and the entry the window marks red once the user has closed the
// message, if one entry is at fault.
class MessageSink {
public:
    virtual ~MessageSink() = default;
    virtual void report(const std::string& text, std::optional<Entry> entry) = 0;

protected:
    MessageSink() = default;
    MessageSink(const MessageSink&) = default;
    MessageSink& operator=(const MessageSink&) = default;
};

}  // namespace core
