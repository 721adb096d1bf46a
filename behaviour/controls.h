// The window's controls without a toolkit: what each one is, where it sits
// and how it starts, built from one table per kind of control. The desktop
// window and the web page both build themselves from this list.
#pragma once

#include <array>
#include <cstddef>
#include <string>
#include <vector>

#include "core/worksheet.h"
#include "numtext/numtext.h"

namespace behaviour {

// The window's four numbered panels.
enum class Panel { Speaker, Amplifier, Limiter, Diversos };

enum class Button { SpeakerAceita, AmplifierAceita, Calcula, Recalcula, Listar, Sair, Voltar };

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

// Panel 4's six status lines, in reading order over two columns.
enum class StatusLine { Line1, Line2, Line3, Line4, Line5, Line6 };

enum class Colour { Default, Red, Blue, Green, Black };

enum class Kind {
    Panel,   // a titled frame
    Entry,   // a one-line entry the user types into
    Result,  // a read-only one-line field
    Label,   // a caption, sized to its text
    Button,
    Report,  // the read-only report, many lines
};

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
    int fontPoints = 8;
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
    std::array<ControlId, 4> panels{};
    std::array<ControlId, 7> buttons{};
    std::array<ControlId, core::kEntryCount> entries{};
    std::vector<ControlId> results;  // by ResultField
    std::array<ControlId, 6> statusLines{};
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

// Every value of the Worksheet, as the controls that show it name them: an
// entry, a line of panel 4 or a result field shows each one.
struct WorksheetValues {
    std::vector<core::WorksheetNumber> numbers;
    std::vector<core::WorksheetText> texts;
};
const WorksheetValues& worksheetValues();

// The window's title, outer size and the font its texts are measured in.
inline constexpr const char* kWindowTitle = "Quorvane V " QUORVANE_VERSION;
inline constexpr int kWindowLeft = 20;
inline constexpr int kWindowTop = 20;
inline constexpr int kClientWidth = 580;
inline constexpr int kClientHeight = 562;
inline constexpr const char* kFontFamily = "Liberation Sans";
inline constexpr int kCaptionLineHeight = 13;  // an entry's caption line, 3 px above it

}  // namespace behaviour
