#include "core/display.h"

#include "core/keyed_table.h"

namespace core {

namespace {

using numtext::NumberFormat;

const std::string kAcceptPadding = "   ";

struct Caption {
    const char* prefix;
    WorksheetNumber value;
};

constexpr std::array<Caption, 6> kSpeakerCaptions{{
    {"Tensao   (01) Driver : ", &Worksheet::SpkVavg},
    {"Potencia (01) Driver : ", &Worksheet::SpkPavg},
    {"Tensao   (02) Driver : ", &Worksheet::SpkVpeak},
    {"Potencia (02) Driver : ", &Worksheet::SpkPpeak},
    {"Tensao   (03) Driver : ", &Worksheet::SpkVprog},
    {"Potencia (03) Driver : ", &Worksheet::SpkPprog},
}};

constexpr std::array<Caption, 6> kAmplifierCaptions{{
    {"Tensao Maxima Power  : ", &Worksheet::AmpVmax},
    {"Ganho Linear (X)     : ", &Worksheet::GainLin},
    {"Ganho LOG dB (X dB)  : ", &Worksheet::GainDb},
    {"Fator Crista (Vezes) : ", &Worksheet::CrestLin},
    {"Fator Crista (dB)    : ", &Worksheet::CrestDb},
    {"Fator Crista Max (dB): ", &Worksheet::CrestMaxDb},
}};

struct EntrySpec {
    Entry key;               // cppcheck-suppress unusedStructMember ; read by inKeyOrder
    WorksheetText text;      // null for a numeric entry
    WorksheetNumber number;  // null for a text entry
    const char* format;      // the form a number is shown in once accepted
};

constexpr std::array<EntrySpec, kEntryCount> kEntrySpecs{{
    {Entry::SpkBrand, &Worksheet::SpkBrand, nullptr, nullptr},
    {Entry::SpkModel, &Worksheet::SpkModel, nullptr, nullptr},
    {Entry::SpkZnom, nullptr, &Worksheet::SpkZnom, "%3.2f"},
    {Entry::SpkPmax, nullptr, &Worksheet::SpkPmax, "%4.2f"},
    {Entry::FreqRec, nullptr, &Worksheet::FreqRec, "%5.2f"},
    {Entry::FreqDes, nullptr, &Worksheet::FreqDes, "%3.2f"},
    {Entry::AmpBrand, &Worksheet::AmpBrand, nullptr, nullptr},
    {Entry::AmpModel, &Worksheet::AmpModel, nullptr, nullptr},
    {Entry::AmpVin, nullptr, &Worksheet::AmpVin, "%3.3f"},
    {Entry::AmpZnom, nullptr, &Worksheet::AmpZnom, "%4.2f"},
    {Entry::AmpPmax, nullptr, &Worksheet::AmpPmax, "%5.2f"},
    {Entry::CrestDb, nullptr, &Worksheet::CrestDb, "%3.2f"},
}};
static_assert(inKeyOrder(kEntrySpecs));

struct ResultSpec {
    ResultField key;  // cppcheck-suppress unusedStructMember ; read by inKeyOrder
    WorksheetNumber value;
    double scale;
    const char* format;
    const char* unit;
};

constexpr std::array<ResultSpec, kResultFieldCount> kResultSpecs{{
    {ResultField::LimVolts, &Worksheet::LimVout, 1.0, "    %3.3f", "  V"},
    {ResultField::LimMillivolts, &Worksheet::LimVout, 1000.0, "   %4.3f", " mV"},
    {ResultField::LimDbu, &Worksheet::LimDbu, 1.0, "    %3.2f", "  dBu"},
    {ResultField::LimDbuRight, &Worksheet::LimDbu, 1.0, "   %3.2f", " dBu"},
    {ResultField::LimDbv, &Worksheet::LimDbv, 1.0, "    %3.2f", "  dBV"},
    {ResultField::LimDbvRight, &Worksheet::LimDbv, 1.0, "   %3.2f", " dBV"},
    {ResultField::AttackSlow, &Worksheet::AttackSlow, 1.0, "   %3.3f", " ms"},
    {ResultField::AttackMedium, &Worksheet::AttackMedium, 1.0, "   %3.2f", " ms"},
    {ResultField::AttackFast, &Worksheet::AttackFast, 1.0, "   %3.2f", " ms"},
    {ResultField::ReleaseSlow, &Worksheet::ReleaseSlow, 1.0, "   %3.3f", " ms"},
    {ResultField::ReleaseMedium, &Worksheet::ReleaseMedium, 1.0, "   %3.2f", " ms"},
    {ResultField::ReleaseFast, &Worksheet::ReleaseFast, 1.0, "   %3.2f", " ms"},
}};
static_assert(inKeyOrder(kResultSpecs));

template <typename Format>
std::array<std::string, 6> captions(const std::array<Caption, 6>& table, const Worksheet& ws, Format format)
{
    std::array<std::string, 6> out;
    for (std::size_t i = 0; i < table.size(); ++i)
        out[i] = table[i].prefix + format(ws.*table[i].value);
    return out;
}

const EntrySpec& entrySpec(Entry entry) { return rowOf(kEntrySpecs, entry); }

}  // namespace

bool isNumeric(Entry entry) { return entrySpec(entry).number != nullptr; }

void storeEntryText(Worksheet& ws, Entry entry, std::string_view text, const NumberFormat& nf)
{
    if (!text.empty())
        ws.*entrySpec(entry).number = numtext::StrToFloat(text, nf);
}

std::string acceptEntry(Worksheet& ws, Entry entry, std::string_view text, const NumberFormat& nf)
{
    const EntrySpec& spec = entrySpec(entry);
    if (spec.text != nullptr) {
        ws.*spec.text = std::string(text);
        return kAcceptPadding + ws.*spec.text + kAcceptPadding;
    }
    ws.*spec.number = numtext::StrToFloat(text, nf);
    std::string shown = numtext::Format(spec.format, ws.*spec.number, nf);
    // The entry's change handler re-reads what is shown, so the value becomes
    // the number as displayed.
    ws.*spec.number = numtext::StrToFloat(shown, nf);
    return shown;
}

std::string recalcEntryText(const Worksheet& ws, Entry entry, const NumberFormat& nf)
{
    const EntrySpec& spec = entrySpec(entry);
    if (spec.text != nullptr)
        return numtext::Trim(ws.*spec.text);
    return numtext::Format(spec.format, ws.*spec.number, nf);
}

std::array<std::string, 6> speakerCaptions(const Worksheet& ws, const NumberFormat& nf)
{
    return captions(kSpeakerCaptions, ws, [&](float v) { return numtext::FloatToStr(v, nf); });
}

std::array<std::string, 6> amplifierCaptions(const Worksheet& ws, const NumberFormat& nf)
{
    return captions(kAmplifierCaptions, ws, [&](float v) { return numtext::Format("%3.2f", v, nf); });
}

std::string resultFieldText(const Worksheet& ws, ResultField field, const NumberFormat& nf)
{
    const ResultSpec& spec = rowOf(kResultSpecs, field);
    return numtext::Format(spec.format, spec.scale * (ws.*spec.value), nf) + spec.unit;
}

}  // namespace core
