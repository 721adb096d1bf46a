#include "core/entries.h"

#include "core/keyed_table.h"

namespace core {

namespace {

using numtext::NumberFormat;

const std::string kAcceptPadding = "   ";

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
static_assert(inKeyOrder(kEntrySpecs) && kEntrySpecs.size() == kEntryCount);

const EntrySpec& entrySpec(Entry entry) { return rowOf(kEntrySpecs, entry); }

}  // namespace

bool isNumeric(Entry entry) { return entrySpec(entry).number != nullptr; }
WorksheetNumber numberOf(Entry entry) { return entrySpec(entry).number; }
WorksheetText textOf(Entry entry) { return entrySpec(entry).text; }

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

}  // namespace core
