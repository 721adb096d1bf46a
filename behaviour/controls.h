// The window's controls without a toolkit: what each one is, where it sits
// and how it starts, built from one table per kind of control. The desktop
// window and the web page both build themselves from this list.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "core/worksheet.h"
#include "numtext/numtext.h"

namespace behaviour {

// The window's four numbered panels.
// Each enum's count, from its last value: a table keyed by the enum is
// checked against it when it compiles.
enum class Panel { Speaker, Amplifier, Limiter, Diversos };
inline constexpr std::size_t kPanelCount = static_cast<std::size_t>(Panel::Diversos) + 1;

enum class Button { SpeakerAceita, AmplifierAceita, Calcula, Recalcula, Listar, Sair, Voltar };
inline constexpr std::size_t kButtonCount = static_cast<std::size_t>(Button::Voltar) + 1;

// Panel 3's results: the threshold in V and mV, twice in dBu and twice in
// dBV, then the attack and release times, slow, medium and fast.
enum class ResultField {
    LimVolts,
    LimMillivolts,
    LimDbu,
    LimDbuRight,
    LimDbv,
    LimDbvRight,
    AttackSlow,
    AttackMedium,
    AttackFast,
    ReleaseSlow,
    ReleaseMedium,
    ReleaseFast,
};
inline constexpr std::size_t kResultFieldCount = static_cast<std::size_t>(ResultField::ReleaseFast) + 1;

// Panel 4's six status lines, in reading order over two columns.
enum class StatusLine { Line1, Line2, Line3, Line4, Line5, Line6 };
inline constexpr std::size_t kStatusLineCount = static_cast<std::size_t>(StatusLine::Line6) + 1;

enum class Colour { Default, Red, Blue, Green, Black };
inline constexpr std::size_t kColourCount = static_cast<std::size_t>(Colour::Black) + 1;

// What a colour is, as 0xRRGGBB, on the desktop and on the page: the page's
// red is darker, to read at 4.5 : 1 on the panels' grey as the web asks.
struct ColourRow {
    Colour key;        // cppcheck-suppress unusedStructMember ; read by inKeyOrder
    const char* name;  // as a kept session names it
    std::uint32_t desktop;
    std::uint32_t page;
};
const ColourRow& colourOf(Colour colour);

// The window's own light palette, whatever the desktop's theme (its texts'
// colours mean something), and the size of its texts.
inline constexpr std::uint32_t kWindowGrey = 0xF0F0F0;  // the window, the panels and the buttons
inline constexpr std::uint32_t kBaseWhite = 0xFFFFFF;   // entries and the report
inline constexpr std::uint32_t kHighlight = 0x0078D7;   // selection and focus
inline constexpr int kFontPoints = 8;

enum class Kind {
    Panel,   // a titled frame
    Entry,   // a one-line entry the user types into
    Result,  // a read-only one-line field
    Label,   // a caption, sized to its text
    Button,
    Report,  // the read-only report, many lines
};
inline constexpr std::size_t kKindCount = static_cast<std::size_t>(Kind::Report) + 1;

// Left and top within the parent; a label's width and height are its text's.
struct Place {
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
    bool operator==(const Place&) const = default;
};

struct ControlState {
    std::string text;  // a panel's title, a button's caption; the report's lines are apart
    Place place;
    Colour colour = Colour::Default;
    int fontPoints = kFontPoints;
    bool readOnly = false;
    bool hidden = false;
    bool operator==(const ControlState&) const = default;
};

using ControlId = std::size_t;
inline constexpr ControlId kNoControl = static_cast<ControlId>(-1);

// Where a control stands on a phone, where the panels and the report stand
// in one column: its line (within its panel, or the window's for a panel and
// the report) and, on a line shared by several fields, its column of
// `columns` equal ones.
struct Cell {
    int line = 0;
    int column = 0;
    int columns = 1;
    bool operator==(const Cell&) const = default;
};

// What a view builds once; the state it starts in is in `start`.
struct Control {
    Kind kind;
    ControlId parent;        // a panel, or kNoControl for the window itself
    std::string objectName;  // stable, for tests and tools
    std::string name;        // what a screen reader says; empty: the text
    ControlId labelFor;      // an entry's caption names its entry
    ControlState start;
    bool numeric = false;  // an entry that holds a number
    Cell phone;
};

// Every control, in the order a view creates them (later ones on top), and
// the ids of the controls the behaviour addresses.
struct Layout {
    std::vector<Control> controls;
    std::vector<ControlId> tabOrder;
    std::array<ControlId, kPanelCount> panels{};
    std::array<ControlId, kButtonCount> buttons{};
    std::array<ControlId, core::kEntryCount> entries{};
    std::array<ControlId, kResultFieldCount> results{};
    std::array<ControlId, kStatusLineCount> statusLines{};
    ControlId report = kNoControl;

    ControlId id(Panel p) const { return panels[static_cast<std::size_t>(p)]; }
    ControlId id(Button b) const { return buttons[static_cast<std::size_t>(b)]; }
    ControlId id(core::Entry e) const { return entries[static_cast<std::size_t>(e)]; }
    ControlId id(ResultField f) const { return results[static_cast<std::size_t>(f)]; }
    ControlId id(StatusLine l) const { return statusLines[static_cast<std::size_t>(l)]; }
};

const Layout& layout();

// The text a result field shows after "Calcula", and whether it shows it in
// red.
std::string resultText(const core::Worksheet& ws, ResultField field, const numtext::NumberFormat& nf);
bool resultInRed(ResultField field);

// Panel 4 after panel 1's "Aceita" (the loudspeaker's voltages and powers)
// and after panel 2's (the amplifier's gain and crest factors).
enum class StatusForm { Speaker, Amplifier };
std::string statusText(StatusLine line, StatusForm form, const core::Worksheet& ws, const numtext::NumberFormat& nf);
// The last line is lower, larger and red in the amplifier's form.
ControlState lastStatusLine(StatusForm form, ControlState line);

// The window's title, outer size and the font its texts are measured in.
inline constexpr const char* kWindowTitle = "Quorvane V " QUORVANE_VERSION;
inline constexpr int kWindowLeft = 20;
inline constexpr int kWindowTop = 20;
inline constexpr int kClientWidth = 580;
inline constexpr int kClientHeight = 562;
inline constexpr const char* kFontFamily = "Liberation Sans";
inline constexpr int kCaptionLineHeight = 13;  // an entry's caption line, 3 px above it

}  // namespace behaviour
