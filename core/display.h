// The texts the window shows, as functions of the Worksheet, and the entry
// steps that move an entry's text into the Worksheet.
#pragma once

#include <array>
#include <string>
#include <string_view>

#include "core/worksheet.h"
#include "numtext/numtext.h"

namespace core {

// One entry of panels 1 and 2: a text (brand, model) or a number with the
// format it is shown in once accepted and after "Recalcula".
struct EntrySpec {
    Entry entry;
    WorksheetText text;      // null for a numeric entry
    WorksheetNumber number;  // null for a text entry
    const char* format;      // numeric entries only
};

const std::array<EntrySpec, kEntryCount>& entrySpecs();
const EntrySpec& entrySpec(Entry entry);

// Change of a numeric entry's text: stores the number it reads. Empty text
// stores nothing; text that is not a number throws numtext::ConversionError
// and stores nothing. Text entries have no change.
void storeEntryText(Worksheet& ws, Entry entry, std::string_view text, const numtext::NumberFormat& nf);

// "Aceita" on one entry: stores the entry's value and returns the text the
// entry then shows. A brand or model is kept as typed and shown with three
// spaces on each side; a number is shown in its format and the value becomes
// the number as shown, as the entry's change handler re-reads it.
std::string acceptEntry(Worksheet& ws, Entry entry, std::string_view text, const numtext::NumberFormat& nf);

// Text of an entry written back by "Recalcula": brand and model trimmed,
// numbers in their format.
std::string recalcEntryText(const Worksheet& ws, Entry entry, const numtext::NumberFormat& nf);

// Panel 4's six lines after panel 1's and panel 2's "Aceita".
std::array<std::string, 6> speakerCaptions(const Worksheet& ws, const numtext::NumberFormat& nf);
std::array<std::string, 6> amplifierCaptions(const Worksheet& ws, const numtext::NumberFormat& nf);

// Panel 3's twelve result fields, Edit1 to Edit12.
std::array<std::string, 12> limiterFieldTexts(const Worksheet& ws, const numtext::NumberFormat& nf);

}  // namespace core
