// The window's behaviour without a toolkit: every control's state, the
// focus, the report, and what each event does. An event returns what a view
// must do, in order (change this control, show this message, ...), so that a
// view whose message boxes block and one whose dialogs do not play it alike.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "behaviour/controls.h"
#include "core/worksheet.h"
#include "numtext/numtext.h"

namespace behaviour {

struct Effect {
    enum class Kind {
        Change,        // `control` now shows `state`
        Message,       // a message box with `text` and one OK; what follows waits for it
        Focus,         // the input focus goes to `control`
        CopyReport,    // put reportText() on the clipboard, then call reportCopied()
        ReportLines,   // the report view takes `text`'s lines at its end
        SelectReport,  // the report is selected whole
        Notice,        // a line of `text` beside the window, for a view that cannot close
        OfferShare,    // where the platform can send a text to another app: offer the report, captioned `text`
        Close,         // the session is over: a view that cannot close calls closeRefused()
    };
    Kind kind;
    ControlId control = kNoControl;
    ControlState state;
    std::string text;
    bool operator==(const Effect&) const = default;
};

inline constexpr std::size_t kEffectKindCount = static_cast<std::size_t>(Effect::Kind::Close) + 1;

using Effects = std::vector<Effect>;

// What a window is beyond its controls' start: enough to draw it again
// elsewhere, the report apart, which is given block by block.
struct Snapshot {
    numtext::NumberFormat numberFormat;
    core::Worksheet worksheet;
    std::vector<ControlState> states;  // every control's, by its id
    ControlId focus = kNoControl;
    std::int32_t adjustCount = 1;  // the next block's number
    bool onClipboard = false;
    std::string title;  // the report's first line
};
using Block = std::vector<std::string>;

// What a view says when it cannot start although the program has loaded,
// with what failed.
std::string startFailure(std::string_view what);

// The number format of a locale that writes one and a half as `oneAndAHalf`
// ("1,5", "1.5"); a separator that is not one ASCII character reads as a
// full stop.
numtext::NumberFormat numberFormatOf(std::string_view oneAndAHalf);

class Window {
public:
    // The decimal separator of the user's locale, and today's date as the
    // locale writes a short date, for the report's title.
    Window(numtext::NumberFormat numberFormat, const std::string& shortDate);

    static const Layout& controls() { return layout(); }
    const ControlState& state(ControlId control) const { return states[control]; }
    ControlId focus() const { return focused; }

    // The report, line by line: the title, then one block per "Calcula"; and
    // as the clipboard takes it, every line ending in CR LF.
    const std::vector<std::string>& reportLines() const { return report; }
    std::string reportText() const;
    std::int32_t adjustCount() const { return AdjustCount; }
    // True once "Sair" has put the report on the clipboard.
    bool reportOnClipboard() const { return onClipboard; }

    // The user changed an entry's text; a number is read at once.
    Effects edit(ControlId control, const std::string& text);
    Effects press(Button button);
    // The answer to CopyReport.
    Effects reportCopied(bool copied);
    // A view that cannot close after "Sair" (a page) shows the report, now
    // on the clipboard, and says so; the session goes on.
    Effects closeRefused();
    // What a view drawn in the controls' start (a page after a reload) must
    // be told: each control that left its start, the report's lines, the
    // focus.
    Effects redraw();
    // The user moved the focus (Tab, a click): a session read back puts it
    // there again.
    void focusMoved(ControlId control);

    // The window as a snapshot, and a snapshot taken back with its report's
    // blocks, each a "Calcula"'s lines: false, and nothing changes, where
    // they do not make one window (a block too few or empty, a control too
    // many). What a view built afresh shows is then redraw()'s.
    Snapshot snapshot() const;
    std::size_t blockCount() const { return blockStarts.size(); }
    Block block(std::size_t index) const;
    bool restore(Snapshot taken, const std::vector<Block>& blocks);
    // The last event put the report on the clipboard: the session is over.
    bool sessionEnded() const { return sessionOver; }

    bool operator==(const Window&) const = default;

private:
    class Sink;

    // Runs a step; a failure that leaves it (a formula that cannot be
    // computed, a text that is no number) ends it there and is reported as
    // a broken rule, and the window goes on.
    Effects run(void (Window::*step)());
    void acceptSpeaker();
    void acceptAmplifier();
    void calculate();
    void recalculate();
    void showReport();
    void copyReport();
    void hideReport();

    template <typename Change> void change(ControlId control, Change apply);
    void show(ControlId control, bool shown);
    void setColour(ControlId control, Colour colour);
    void setEntryText(core::Entry entry, const std::string& text);
    void readEntry(core::Entry entry);
    void setReadOnly(const std::array<core::Entry, 6>& entries, bool readOnly);
    void acceptEntries(const std::array<core::Entry, 6>& entries);
    void showStatusLines(StatusForm form);
    void message(std::string text);
    void say(Effect::Kind kind, std::string text);  // a message, a notice, an offer
    void focusOn(ControlId control);
    void showPanels(bool shown);
    void giveReportLines();

    numtext::NumberFormat nf;
    core::Worksheet ws;
    std::vector<ControlState> states;
    ControlId focused;
    std::vector<std::string> report;
    std::vector<std::size_t> blockStarts;  // each block's first line in `report`
    std::int32_t AdjustCount = 1;
    bool onClipboard = false;
    std::size_t reportLinesGiven = 0;  // the lines the view's report has
    bool sessionOver = false;          // the last event copied the report
    Effects effects;                   // of the event under way
};

}  // namespace behaviour
