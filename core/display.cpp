#include "core/display.h"

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

struct ResultField {
    WorksheetNumber value;
    double scale;
    const char* format;
    const char* suffix;
};

constexpr std::array<ResultField, 12> kResultFields{{
    {&Worksheet::LimVout, 1.0, "    %3.3f", "  V"},
    {&Worksheet::LimVout, 1000.0, "   %4.3f", " mV"},
    {&Worksheet::LimDbu, 1.0, "    %3.2f", "  dBu"},
    {&Worksheet::LimDbu, 1.0, "   %3.2f", " dBu"},
    {&Worksheet::LimDbv, 1.0, "    %3.2f", "  dBV"},
    {&Worksheet::LimDbv, 1.0, "   %3.2f", " dBV"},
    {&Worksheet::AttackSlow, 1.0, "   %3.3f", " ms"},
    {&Worksheet::AttackMedium, 1.0, "   %3.2f", " ms"},
    {&Worksheet::AttackFast, 1.0, "   %3.2f", " ms"},
    {&Worksheet::ReleaseSlow, 1.0, "   %3.3f", " ms"},
    {&Worksheet::ReleaseMedium, 1.0, "   %3.2f", " ms"},
    {&Worksheet::ReleaseFast, 1.0, "   %3.2f", " ms"},
}};

template <typename Format>
std::array<std::string, 6> captions(const std::array<Caption, 6>& table, const Worksheet& ws, Format format)
{
    std::array<std::string, 6> out;
    for (std::size_t i = 0; i < table.size(); ++i)
        out[i] = table[i].prefix + format(ws.*table[i].value);
    return out;
}

}  // namespace

const std::array<EntrySpec, kEntryCount>& entrySpecs()
{
    static const std::array<EntrySpec, kEntryCount> specs{{
        {Entry::LabeledEdit1, &Worksheet::SpkBrand, nullptr, nullptr},
        {Entry::LabeledEdit2, &Worksheet::SpkModel, nullptr, nullptr},
        {Entry::LabeledEdit3, nullptr, &Worksheet::SpkZnom, "%3.2f"},
        {Entry::LabeledEdit4, nullptr, &Worksheet::SpkPmax, "%4.2f"},
        {Entry::LabeledEdit5, nullptr, &Worksheet::FreqRec, "%5.2f"},
        {Entry::LabeledEdit6, nullptr, &Worksheet::FreqDes, "%3.2f"},
        {Entry::LabeledEdit7, &Worksheet::AmpBrand, nullptr, nullptr},
        {Entry::LabeledEdit8, &Worksheet::AmpModel, nullptr, nullptr},
        {Entry::LabeledEdit9, nullptr, &Worksheet::AmpVin, "%3.3f"},
        {Entry::LabeledEdit10, nullptr, &Worksheet::AmpZnom, "%4.2f"},
        {Entry::LabeledEdit11, nullptr, &Worksheet::AmpPmax, "%5.2f"},
        {Entry::LabeledEdit12, nullptr, &Worksheet::CrestDb, "%3.2f"},
    }};
    return specs;
}

const EntrySpec& entrySpec(Entry entry) { return entrySpecs().at(static_cast<std::size_t>(entryIndex(entry))); }

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

std::array<std::string, 12> limiterFieldTexts(const Worksheet& ws, const NumberFormat& nf)
{
    std::array<std::string, 12> out;
    for (std::size_t i = 0; i < kResultFields.size(); ++i) {
        const ResultField& field = kResultFields[i];
        numtext::appendFormat(out[i], field.format, field.scale * (ws.*field.value), nf);
        out[i] += field.suffix;
    }
    return out;
}

}  // namespace core
