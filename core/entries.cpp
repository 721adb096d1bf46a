#include "core/entries.h"

#include "core/forms.h"
#include "tables/keyed_table.h"

namespace core {

namespace {

using numtext::NumberFormat;

const std::string kAcceptPadding = "   ";

struct EntrySpec {
    Entry key;               // cppcheck-suppress unusedStructMember ; read by inKeyOrder
    WorksheetText text;      // null for a numeric entry
    WorksheetNumber number;  // null for a text entry
};

constexpr std::array<EntrySpec, kEntryCount> kEntrySpecs{{
    {Entry::SpkBrand, &Worksheet::SpkBrand, nullptr},
    {Entry::SpkModel, &Worksheet::SpkModel, nullptr},
    {Entry::SpkZnom, nullptr, &Worksheet::SpkZnom},
    {Entry::SpkPmax, nullptr, &Worksheet::SpkPmax},
    {Entry::FreqRec, nullptr, &Worksheet::FreqRec},
    {Entry::FreqDes, nullptr, &Worksheet::FreqDes},
    {Entry::AmpBrand, &Worksheet::AmpBrand, nullptr},
    {Entry::AmpModel, &Worksheet::AmpModel, nullptr},
    {Entry::AmpVin, nullptr, &Worksheet::AmpVin},
    {Entry::AmpZnom, nullptr, &Worksheet::AmpZnom},
    {Entry::AmpPmax, nullptr, &Worksheet::AmpPmax},
    {Entry::CrestDb, nullptr, &Worksheet::CrestDb},
}};
static_assert(tables::inKeyOrder(kEntrySpecs) && kEntrySpecs.size() == kEntryCount);
static_assert(showsEachValueOnce(&ValueForms::entry, kEntrySpecs, [](const EntrySpec& e) { return e.number; }));

const EntrySpec& entrySpec(Entry entry) { return tables::rowOf(kEntrySpecs, entry); }

// A number as its entry shows it once accepted.
std::string shown(const EntrySpec& spec, const Worksheet& ws, const NumberFormat& nf)
{
    return shownText(formsOf(spec.number)->entry, ws.*spec.number, nf);
}

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
    std::string written = shown(spec, ws, nf);
    // The entry's change handler re-reads what is shown, so the value becomes
    // the number as displayed.
    ws.*spec.number = numtext::StrToFloat(written, nf);
    return written;
}

std::string recalcEntryText(const Worksheet& ws, Entry entry, const NumberFormat& nf)
{
    const EntrySpec& spec = entrySpec(entry);
    if (spec.text != nullptr)
        return numtext::Trim(ws.*spec.text);
    return shown(spec, ws, nf);
}

}  // namespace core
