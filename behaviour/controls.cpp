#include "behaviour/controls.h"

#include <algorithm>
#include <span>

#include "core/entries.h"
#include "core/forms.h"
#include "tables/keyed_table.h"

namespace behaviour {

namespace {

using core::Entry;
using core::Worksheet;

constexpr int kEditHeight = 21;
constexpr int kButtonWidth = 75;
constexpr int kButtonHeight = 25;

struct PanelRow {
    Panel key;
    const char* objectName;
    const char* title;
    Place place;
};

constexpr auto kPanels = std::to_array<PanelRow>({
    {Panel::Speaker, "speakerPanel", "   1 - Dados do Falante / Driver   ", {5, 10, 570, 115}},
    {Panel::Amplifier, "amplifierPanel", "   2 - Dados do Amplificador   ", {5, 135, 570, 115}},
    {Panel::Limiter, "limiterPanel", "   3 - Parametros Ajuste Limiter   ", {5, 255, 570, 195}},
    {Panel::Diversos, "diversosPanel", "   4 - Diversos  ", {5, 455, 570, 100}},
});
static_assert(tables::inKeyOrder(kPanels) && kPanels.size() == kPanelCount);

// The entries of panels 1 and 2: caption, default text and place.
struct EntryRow {
    Entry key;
    Panel panel;
    const char* objectName;
    const char* caption;
    const char* defaultText;
    int left, top, width;
};

constexpr auto kEntries = std::to_array<EntryRow>({
    {Entry::SpkBrand, Panel::Speaker, "speakerBrand", "1.1 - Marca", "Tamsorel", 10, 35, 215},
    {Entry::SpkModel, Panel::Speaker, "speakerModel", "1.2 - Modelo", "TQ 2005", 235, 35, 217},
    {Entry::SpkZnom, Panel::Speaker, "speakerZnom", "1.3 - Znom (Ohms)", "8.00", 10, 75, 100},
    {Entry::SpkPmax, Panel::Speaker, "speakerPmax", "1.4 - P. Max (Watts)", "125", 125, 75, 100},
    {Entry::FreqRec, Panel::Speaker, "freqRec", "1.5 - Freq Rec (Hertz)", "1250", 235, 75, 100},
    {Entry::FreqDes, Panel::Speaker, "freqDes", "1.6 - Freq Desejada ", "2000", 350, 75, 100},
    {Entry::AmpBrand, Panel::Amplifier, "amplifierBrand", "2.1 - Marca", "Morvask", 10, 35, 215},
    {Entry::AmpModel, Panel::Amplifier, "amplifierModel", "2.2 - Modelo", "RZ 2005", 235, 35, 215},
    {Entry::AmpVin, Panel::Amplifier, "amplifierVin", "2.3 Vin (Volts)", "0.775", 10, 75, 100},
    {Entry::AmpZnom, Panel::Amplifier, "amplifierZnom", "2.4 - Znom (Ohms)", "8", 120, 75, 100},
    {Entry::AmpPmax, Panel::Amplifier, "amplifierPmax", "2.5 - Pmax @ Znom", "1000", 235, 75, 100},
    {Entry::CrestDb, Panel::Amplifier, "crestDb", "2.6 - Fator Crista (dB)", "6", 352, 75, 100},
});
static_assert(tables::inKeyOrder(kEntries) && kEntries.size() == core::kEntryCount);

// A label of panel 3 that belongs to a result field: the caption of the row
// the field starts, the heading of its column, or a note beside it.
enum class CaptionRole { Row, Column, Note };
constexpr std::size_t kCaptionRoleCount = static_cast<std::size_t>(CaptionRole::Note) + 1;
// A caption is named after its field and its role: limVoltsCaption.
constexpr std::array<const char*, kCaptionRoleCount> kCaptionSuffixes{"Caption", "Heading", "Note"};

struct Caption {
    CaptionRole role = CaptionRole::Row;
    const char* text = nullptr;
    int left = 0, top = 0;
};

// Panel 3's read-only fields: place, the name a screen reader says (from the
// field's row and column), the value it shows and in which of its forms (the
// right-hand field of a row is the one "Calcula" shows in red), and the
// captions that go with it.
struct ResultRow {
    ResultField key;  // cppcheck-suppress unusedStructMember ; read by inKeyOrder
    const char* objectName;
    Place place;
    const char* name;
    core::WorksheetNumber value;
    core::FormIn form;  // the field on the left of its row, or right of it
    std::array<Caption, 2> captions;
};

using R = ResultField;
using W = Worksheet;
constexpr core::FormIn kLeft = &core::ValueForms::panel3;
constexpr core::FormIn kRight = &core::ValueForms::panel3Right;
constexpr auto kResults = std::to_array<ResultRow>({
    {R::LimVolts, "limVolts", {235, 25, 100, kEditHeight}, "3.1 - Limiar Tensão em Volts, V", &W::LimVout, kLeft,
        {{{CaptionRole::Row, "3.1 - Limiar Tensão em Volts  : ", 15, 30}}}},
    {R::LimMillivolts, "limMillivolts", {350, 25, 100, kEditHeight}, "3.1 - Limiar Tensão em Volts, mV", &W::LimVout,
        kRight, {{{CaptionRole::Note, "(Threshold = Limiar)", 460, 30}}}},
    {R::LimDbu, "limDbu", {235, 50, 100, kEditHeight}, "3.2 - Limiar Tensão em dBU, dBu", &W::LimDbu, kLeft,
        {{{CaptionRole::Row, "3.2 - Limiar Tensão em dBU :", 15, 55}}}},
    {R::LimDbuRight, "limDbuRight", {350, 50, 100, kEditHeight}, "3.2 - Limiar Tensão em dBU, dBu, coluna direita",
        &W::LimDbu, kRight, {}},
    {R::LimDbv, "limDbv", {235, 75, 100, kEditHeight}, "3.3 - Limiar Tensão em dBV, dBV", &W::LimDbv, kLeft,
        {{{CaptionRole::Row, "3.3 - Limiar Tensão em dBV  : ", 15, 80}}}},
    {R::LimDbvRight, "limDbvRight", {350, 75, 100, kEditHeight}, "3.3 - Limiar Tensão em dBV, dBV, coluna direita",
        &W::LimDbv, kRight, {}},
    {R::AttackSlow, "attackSlow", {200, 128, 75, kEditHeight}, "3.5 - Tempo de Ataque, Slow (ms)", &W::AttackSlow,
        kLeft,
        {{{CaptionRole::Row, "3.5 - Tempo de Ataque (Attack) ", 15, 128},
            {CaptionRole::Column, "Slow (ms)", 216, 104}}}},
    {R::AttackMedium, "attackMedium", {288, 128, 75, kEditHeight}, "3.5 - Tempo de Ataque, Medium (ms)",
        &W::AttackMedium, kLeft, {{{CaptionRole::Column, "Medium (ms)", 296, 104}}}},
    {R::AttackFast, "attackFast", {376, 128, 75, kEditHeight}, "3.5 - Tempo de Ataque, Fast (ms)", &W::AttackFast,
        kLeft, {{{CaptionRole::Column, "Fast (ms)", 392, 104}}}},
    {R::ReleaseSlow, "releaseSlow", {200, 160, 75, kEditHeight}, "3.6 - Tempo de Liberação, Slow (ms)", &W::ReleaseSlow,
        kLeft, {{{CaptionRole::Row, "3.6 - Tempo de Liberação (Release) ", 15, 168}}}},
    {R::ReleaseMedium, "releaseMedium", {288, 160, 75, kEditHeight}, "3.6 - Tempo de Liberação, Medium (ms)",
        &W::ReleaseMedium, kLeft, {}},
    {R::ReleaseFast, "releaseFast", {376, 160, 75, kEditHeight}, "3.6 - Tempo de Liberação, Fast (ms)", &W::ReleaseFast,
        kLeft, {}},
});
static_assert(tables::inKeyOrder(kResults) && kResults.size() == kResultFieldCount);
static_assert(
    core::showsEachValueOnce(kLeft, kResults, [](const ResultRow& r) { return r.form == kLeft ? r.value : nullptr; }));
static_assert(core::showsEachValueOnce(
    kRight, kResults, [](const ResultRow& r) { return r.form == kRight ? r.value : nullptr; }));

// Panel 4's lines: place and first text, and what each says after panel 1's
// "Aceita" and after panel 2's.
struct StatusCaption {
    const char* prefix;
    core::WorksheetNumber value;
};

struct StatusRow {
    StatusLine key;
    const char* objectName;
    const char* startText;
    int left, top;
    StatusCaption speaker;
    StatusCaption amplifier;
};

constexpr auto kStatusLines = std::to_array<StatusRow>({
    {StatusLine::Line1, "statusLine1", "01", 16, 24, {"Tensao   (01) Driver : ", &W::SpkVavg},
        {"Tensao Maxima Power  : ", &W::AmpVmax}},
    {StatusLine::Line2, "statusLine2", "02", 232, 24, {"Potencia (01) Driver : ", &W::SpkPavg},
        {"Ganho Linear (X)     : ", &W::GainLin}},
    {StatusLine::Line3, "statusLine3", "03", 16, 48, {"Tensao   (02) Driver : ", &W::SpkVpeak},
        {"Ganho LOG dB (X dB)  : ", &W::GainDb}},
    {StatusLine::Line4, "statusLine4", "04", 232, 48, {"Potencia (02) Driver : ", &W::SpkPpeak},
        {"Fator Crista (Vezes) : ", &W::CrestLin}},
    {StatusLine::Line5, "statusLine5", "05", 16, 72, {"Tensao   (03) Driver : ", &W::SpkVprog},
        {"Fator Crista (dB)    : ", &W::CrestDb}},
    {StatusLine::Line6, "statusLine6", "06", 232, 72, {"Potencia (03) Driver : ", &W::SpkPprog},
        {"Fator Crista Max (dB): ", &W::CrestMaxDb}},
});
static_assert(tables::inKeyOrder(kStatusLines) && kStatusLines.size() == kStatusLineCount);
constexpr auto kStatusValues = [] {
    std::array<core::WorksheetNumber, 2 * kStatusLineCount> values{};
    std::size_t next = 0;
    for (const StatusRow& row : kStatusLines) {
        values[next++] = row.speaker.value;
        values[next++] = row.amplifier.value;
    }
    return values;
}();
static_assert(core::showsEachValueOnce(
    &core::ValueForms::panel4, kStatusValues, [](core::WorksheetNumber value) { return value; }));

struct ButtonRow {
    Button key;
    Panel panel;
    const char* objectName;
    const char* caption;
    int left, top;
};

constexpr auto kButtons = std::to_array<ButtonRow>({
    {Button::SpeakerAceita, Panel::Speaker, "speakerAceita", "Aceita", 480, 75},
    {Button::AmplifierAceita, Panel::Amplifier, "amplifierAceita", "Aceita", 480, 75},
    {Button::Calcula, Panel::Limiter, "calcula", "Calcula", 480, 160},
    {Button::Recalcula, Panel::Diversos, "recalcula", "Recalcula", 480, 12},
    {Button::Listar, Panel::Diversos, "listar", "Listar", 480, 40},
    {Button::Sair, Panel::Diversos, "sair", "Sair", 480, 70},
    {Button::Voltar, Panel::Diversos, "voltar", "Voltar", 392, 40},  // shown in the report view only
});
static_assert(tables::inKeyOrder(kButtons) && kButtons.size() == kButtonCount);

constexpr auto kColours = std::to_array<ColourRow>({
    {Colour::Default, "default", 0x000000, 0x000000},
    {Colour::Red, "red", 0xFF0000, 0xDD0000},
    {Colour::Blue, "blue", 0x0000FF, 0x0000FF},
    {Colour::Green, "green", 0x008000, 0x008000},
    {Colour::Black, "black", 0x000000, 0x000000},
});
static_assert(tables::inKeyOrder(kColours) && kColours.size() == kColourCount);

bool hasCaption(const ResultRow& row, CaptionRole role)
{
    return std::any_of(row.captions.begin(), row.captions.end(),
        [role](const Caption& c) { return c.text != nullptr && c.role == role; });
}

// Panel 3 on a phone: each row of results as a line of captions, a line of
// column headings if it has any, its fields side by side, then its notes.
// A row starts at a field with a row caption.
struct PhoneResults {
    std::array<Cell, kResults.size()> fields;
    std::array<std::array<Cell, 2>, kResults.size()> captions;
    int lines = 0;
};

PhoneResults phoneResults()
{
    PhoneResults out;
    for (std::size_t first = 0; first < kResults.size();) {
        std::size_t end = first + 1;
        while (end < kResults.size() && !hasCaption(kResults[end], CaptionRole::Row))
            ++end;
        const auto row = std::span(kResults).subspan(first, end - first);
        const auto any = [row](CaptionRole role) {
            return std::any_of(row.begin(), row.end(), [role](const ResultRow& r) { return hasCaption(r, role); });
        };
        std::array<int, kCaptionRoleCount> lines{};
        const auto lineOf = [&lines](CaptionRole role) -> int& { return lines[static_cast<std::size_t>(role)]; };
        lineOf(CaptionRole::Row) = any(CaptionRole::Row) ? out.lines++ : 0;
        lineOf(CaptionRole::Column) = any(CaptionRole::Column) ? out.lines++ : 0;
        const int fieldLine = out.lines++;
        lineOf(CaptionRole::Note) = any(CaptionRole::Note) ? out.lines++ : 0;
        const int columns = static_cast<int>(row.size());
        for (std::size_t i = first; i < end; ++i) {
            const int column = static_cast<int>(i - first);
            out.fields[i] = {fieldLine, column, columns};
            for (std::size_t k = 0; k < kResults[i].captions.size(); ++k) {
                const CaptionRole role = kResults[i].captions[k].role;
                out.captions[i][k] =
                    role == CaptionRole::Column ? Cell{lineOf(role), column, columns} : Cell{lineOf(role)};
            }
        }
        first = end;
    }
    return out;
}

Layout buildLayout()
{
    Layout out;
    // The next free line of each panel on a phone.
    std::array<int, kPanelCount> nextLine{};
    const auto add = [&out](Kind kind, ControlId parent, std::string objectName, ControlState start, Cell phone) {
        out.controls.push_back({kind, parent, std::move(objectName), {}, kNoControl, std::move(start), false, phone});
        return out.controls.size() - 1;
    };
    const auto lineIn = [&nextLine](Panel p) { return Cell{nextLine[static_cast<std::size_t>(p)]++}; };
    // On a phone the panels stand in one column, and the report, which takes
    // panels 1 to 3's place on the desktop, between panel 3 and panel 4.
    for (const PanelRow& p : kPanels) {
        out.panels[static_cast<std::size_t>(p.key)] =
            add(Kind::Panel, kNoControl, p.objectName, {p.title, p.place}, {2 * static_cast<int>(p.key)});
    }
    // An entry's caption on the line above it.
    for (const EntryRow& e : kEntries) {
        const Cell captionCell = lineIn(e.panel);
        const ControlId entry = add(Kind::Entry, out.id(e.panel), e.objectName,
            {e.defaultText, {e.left, e.top, e.width, kEditHeight}}, lineIn(e.panel));
        out.controls[entry].name = e.caption;
        out.controls[entry].numeric = core::isNumeric(e.key);
        const ControlId caption = add(Kind::Label, out.id(e.panel), std::string(e.objectName) + "Caption",
            {e.caption, {e.left, e.top - 3 - kCaptionLineHeight}}, captionCell);
        out.controls[caption].labelFor = entry;
        out.entries[static_cast<std::size_t>(e.key)] = entry;
    }
    const PhoneResults phone = phoneResults();
    nextLine[static_cast<std::size_t>(Panel::Limiter)] = phone.lines;
    for (std::size_t i = 0; i < kResults.size(); ++i) {
        const ResultRow& r = kResults[i];
        const ControlId field = add(Kind::Result, out.id(Panel::Limiter), r.objectName, {"", r.place}, phone.fields[i]);
        out.controls[field].name = r.name;
        out.controls[field].start.readOnly = true;
        out.results[static_cast<std::size_t>(r.key)] = field;
    }
    for (std::size_t i = 0; i < kResults.size(); ++i) {
        for (std::size_t k = 0; k < kResults[i].captions.size(); ++k) {
            const Caption& c = kResults[i].captions[k];
            if (c.text != nullptr) {
                add(Kind::Label, out.id(Panel::Limiter),
                    kResults[i].objectName + std::string(kCaptionSuffixes[static_cast<std::size_t>(c.role)]),
                    {c.text, {c.left, c.top}}, phone.captions[i][k]);
            }
        }
    }
    for (const StatusRow& s : kStatusLines) {
        out.statusLines[static_cast<std::size_t>(s.key)] = add(Kind::Label, out.id(Panel::Diversos), s.objectName,
            {s.startText, {s.left, s.top}}, lineIn(Panel::Diversos));
    }
    // Buttons last in their panel, one a line.
    for (const ButtonRow& b : kButtons) {
        out.buttons[static_cast<std::size_t>(b.key)] = add(Kind::Button, out.id(b.panel), b.objectName,
            {b.caption, {b.left, b.top, kButtonWidth, kButtonHeight}}, lineIn(b.panel));
    }
    out.controls[out.id(Button::Voltar)].start.hidden = true;
    out.report = add(Kind::Report, kNoControl, "report",
        {"", {5, 10, 570, 420}, Colour::Default, kFontPoints, true, true}, {2 * static_cast<int>(Panel::Limiter) + 1});
    out.controls[out.report].name = "Relatório";

    // Panel by panel, and inside each panel as the user reads it; but the
    // right-hand dBu field comes last in panel 3, after "Calcula".
    auto& tab = out.tabOrder;
    for (const EntryRow& e : kEntries) {
        if (e.key == Entry::AmpBrand)
            tab.push_back(out.id(Button::SpeakerAceita));
        tab.push_back(out.id(e.key));
    }
    tab.push_back(out.id(Button::AmplifierAceita));
    std::copy_if(out.results.begin(), out.results.end(), std::back_inserter(tab),
        [&out](ControlId field) { return field != out.id(R::LimDbuRight); });
    tab.insert(tab.end(),
        {out.id(Button::Calcula), out.id(R::LimDbuRight), out.id(Button::Recalcula), out.id(Button::Listar),
            out.id(Button::Sair), out.id(Button::Voltar), out.report});
    return out;
}

}  // namespace

const Layout& layout()
{
    static const Layout built = buildLayout();
    return built;
}

std::string resultText(const Worksheet& ws, ResultField field, const numtext::NumberFormat& nf)
{
    const ResultRow& row = tables::rowOf(kResults, field);
    return core::shownText(core::formsOf(row.value)->*row.form, ws.*row.value, nf);
}

bool resultInRed(ResultField field) { return tables::rowOf(kResults, field).form == kRight; }

std::string statusText(StatusLine line, StatusForm form, const Worksheet& ws, const numtext::NumberFormat& nf)
{
    const StatusRow& row = tables::rowOf(kStatusLines, line);
    const StatusCaption& says = form == StatusForm::Speaker ? row.speaker : row.amplifier;
    return says.prefix + core::shownText(core::formsOf(says.value)->panel4, ws.*says.value, nf);
}

const ColourRow& colourOf(Colour colour) { return tables::rowOf(kColours, colour); }

ControlState lastStatusLine(StatusForm form, ControlState line)
{
    const bool amplifier = form == StatusForm::Amplifier;
    line.place.top = amplifier ? 80 : kStatusLines.back().top;
    line.fontPoints = amplifier ? 10 : 8;
    line.colour = amplifier ? Colour::Red : Colour::Black;
    return line;
}

}  // namespace behaviour
