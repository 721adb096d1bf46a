// The entry steps that move an entry's text into the Worksheet, and the
// texts an entry shows once its value is taken.
#pragma once

#include <array>
#include <string>
#include <string_view>

#include "core/worksheet.h"
#include "numtext/numtext.h"

namespace core {

// The entries of panel 1 (the loudspeaker) and panel 2 (the amplifier).
inline constexpr std::array<Entry, 6> kSpeakerEntries{
    Entry::SpkBrand, Entry::SpkModel, Entry::SpkZnom, Entry::SpkPmax, Entry::FreqRec, Entry::FreqDes};
inline constexpr std::array<Entry, 6> kAmplifierEntries{
    Entry::AmpBrand, Entry::AmpModel, Entry::AmpVin, Entry::AmpZnom, Entry::AmpPmax, Entry::CrestDb};

// Whether an entry holds a number; a brand or a model holds a text.
bool isNumeric(Entry entry);
// The Worksheet value an entry holds: a number, or a text; the other is null.
WorksheetNumber numberOf(Entry entry);
WorksheetText textOf(Entry entry);

// Change of a numeric entry's text: stores the number it reads. Empty text
// stores nothing; text that is not a number throws numtext::ConversionError
// and stores nothing.
void storeEntryText(Worksheet& ws, Entry entry, std::string_view text, const numtext::NumberFormat& nf);

// "Aceita" on one entry: stores the entry's value and returns the text the
// entry then shows. A brand or model is kept as typed and shown with three
// spaces on each side; a number is shown in its format and the value becomes
// the number as shown, as the entry's change handler re-reads it.
std::string acceptEntry(Worksheet& ws, Entry entry, std::string_view text, const numtext::NumberFormat& nf);

// Text of an entry written back by "Recalcula": brand and model trimmed,
// numbers in their format.
std::string recalcEntryText(const Worksheet& ws, Entry entry, const numtext::NumberFormat& nf);

}  // namespace core
