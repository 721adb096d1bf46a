#include "core/display.h"

#include <gtest/gtest.h>

#include <bit>
#include <cstdint>
#include <string>

#include "support/default_pass.h"

using core::Entry;
using core::Worksheet;

namespace {

const numtext::NumberFormat kComma{','};

TEST(AcceptEntry, ShowsTheDisplayFormAndKeepsTheShownNumber)
{
    struct Row {
        Entry entry;
        const char* typed;
        numtext::NumberFormat nf;
        const char* shown;
        float stored;
    };
    const Row rows[] = {
        {Entry::LabeledEdit3, "8.00", {}, "8.00", 8.0f},
        {Entry::LabeledEdit3, "8.125", {}, "8.13", 8.13f},
        {Entry::LabeledEdit4, "125", {}, "125.00", 125.0f},
        {Entry::LabeledEdit5, "5", {}, " 5.00", 5.0f},
        {Entry::LabeledEdit5, "1250", {}, "1250.00", 1250.0f},
        {Entry::LabeledEdit6, "1249.999", {}, "1250.00", 1250.0f},
        {Entry::LabeledEdit9, "0.775", {}, "0.775", 0.775f},
        {Entry::LabeledEdit9, "1.23456", {}, "1.235", 1.235f},
        {Entry::LabeledEdit10, "8.127", {}, "8.13", 8.13f},
        {Entry::LabeledEdit11, "1000", {}, "1000.00", 1000.0f},
        {Entry::LabeledEdit12, "-0.004", {}, "-0.00", -0.0f},
        {Entry::LabeledEdit3, "8,5", kComma, "8,50", 8.5f},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.typed);
        Worksheet ws;
        EXPECT_EQ(core::acceptEntry(ws, row.entry, row.typed, row.nf), row.shown);
        EXPECT_EQ(std::bit_cast<std::uint32_t>(ws.*core::entrySpec(row.entry).number),
            std::bit_cast<std::uint32_t>(row.stored));
    }
}

TEST(AcceptEntry, BrandAndModelGainThreeSpacesAtEachPress)
{
    Worksheet ws;
    const std::string first = core::acceptEntry(ws, Entry::LabeledEdit1, "Tamsorel", {});
    EXPECT_EQ(first, "   Tamsorel   ");
    EXPECT_EQ(ws.SpkBrand, "Tamsorel");
    const std::string second = core::acceptEntry(ws, Entry::LabeledEdit1, first, {});
    EXPECT_EQ(second, "      Tamsorel      ");
    EXPECT_EQ(ws.SpkBrand, "   Tamsorel   ");
    EXPECT_EQ(core::recalcEntryText(ws, Entry::LabeledEdit1, {}), "Tamsorel");
}

TEST(AcceptEntry, TextThatIsNotAFiniteNumberChangesNothing)
{
    for (const char* text : {"", "abc", "1e39", "nan", "8.5.1"}) {
        SCOPED_TRACE(text);
        Worksheet ws = testsupport::acceptedDefaults();
        const Worksheet before = ws;
        EXPECT_THROW(core::acceptEntry(ws, Entry::LabeledEdit9, text, {}), numtext::ConversionError);
        EXPECT_THROW(core::storeEntryText(ws, Entry::LabeledEdit3, text[0] ? text : " ", {}), numtext::ConversionError);
        EXPECT_TRUE(ws == before);
    }
}

TEST(StoreEntryText, EmptyTextKeepsTheLastNumber)
{
    Worksheet ws;
    EXPECT_TRUE(core::storeEntryText(ws, Entry::LabeledEdit4, "300", {}));
    EXPECT_FALSE(core::storeEntryText(ws, Entry::LabeledEdit4, "", {}));
    EXPECT_EQ(ws.SpkPmax, 300.0f);
    EXPECT_TRUE(core::storeEntryText(ws, Entry::LabeledEdit4, "-3", {}));
    EXPECT_EQ(ws.SpkPmax, -3.0f);
}

}  // namespace
