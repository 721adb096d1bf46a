#include "behaviour/window.h"

#include <algorithm>
#include <exception>
#include <iterator>
#include <utility>

#include "core/entries.h"
#include "core/limiter.h"
#include "report/report.h"

namespace behaviour {

namespace {

using core::Entry;

constexpr const char* kInvalidValue = "Valor Incorreto !";
constexpr const char* kCopied = " TEXTO COPIADO PARA O CLIPBOARD !";
constexpr const char* kNotCopied = "Não foi possível copiar o relatório para o clipboard.";
constexpr const char* kShare = "Enviar o relatório para outro aplicativo";
constexpr const char* kNotClosed = "O relatório foi copiado para o clipboard. A página não se fecha sozinha: o "
                                   "relatório continua aqui, e \u201cVoltar\u201d leva de volta aos painéis.";

const Layout& ids() { return layout(); }

}  // namespace

std::string startFailure(std::string_view what)
{
    return "O Quorvane carregou, mas não pôde começar (" + std::string(what) + "). Recarregue a página.";
}

numtext::NumberFormat numberFormatOf(std::string_view oneAndAHalf)
{
    const bool plain = oneAndAHalf.size() == 3 && oneAndAHalf.front() == '1' && oneAndAHalf.back() == '5' &&
        static_cast<unsigned char>(oneAndAHalf[1]) < 0x80;
    return {plain ? oneAndAHalf[1] : '.'};
}

// Every broken rule: its message, then its entry, if one is at fault, in red
// once the user has closed the message.
class Window::Sink : public core::MessageSink {
public:
    explicit Sink(Window& window) : owner(window) { }
    void report(const std::string& text, std::optional<Entry> entry) override
    {
        owner.message(text);
        if (entry) {
            owner.setColour(ids().id(*entry), Colour::Red);
            marked.push_back(*entry);
        }
    }
    bool marks(Entry entry) const { return std::find(marked.begin(), marked.end(), entry) != marked.end(); }

private:
    Window& owner;
    std::vector<Entry> marked;
};

Window::Window(numtext::NumberFormat numberFormat, const std::string& shortDate)
    : nf(numberFormat), focused(ids().id(Entry::SpkBrand)), report{report::ReportTitle(shortDate)}
{
    std::transform(ids().controls.begin(), ids().controls.end(), std::back_inserter(states),
        [](const Control& c) { return c.start; });
}

std::string Window::reportText() const
{
    std::string text;
    for (const std::string& line : report)
        text.append(line).append("\r\n");
    return text;
}

Effects Window::edit(ControlId control, const std::string& text)
{
    const auto& entries = ids().entries;
    const auto found = std::find(entries.begin(), entries.end(), control);
    if (found == entries.end() || states[control].readOnly)
        return {};
    sessionOver = false;
    // The view already shows what was typed: only the Worksheet follows.
    states[control].text = text;
    readEntry(static_cast<Entry>(found - entries.begin()));
    return std::exchange(effects, {});
}

Effects Window::press(Button button)
{
    // A hidden button, or one in a hidden panel, cannot be pressed.
    const ControlId control = ids().id(button);
    const ControlId panel = ids().controls[control].parent;
    if (states[control].hidden || states[panel].hidden)
        return {};
    sessionOver = false;
    switch (button) {
    case Button::SpeakerAceita:
        return run(&Window::acceptSpeaker);
    case Button::AmplifierAceita:
        return run(&Window::acceptAmplifier);
    case Button::Calcula:
        return run(&Window::calculate);
    case Button::Recalcula:
        return run(&Window::recalculate);
    case Button::Listar:
        return run(&Window::showReport);
    case Button::Sair:
        return {{Effect::Kind::CopyReport, kNoControl, {}, {}}};
    case Button::Voltar:
        return run(&Window::hideReport);
    }
    return {};
}

Effects Window::reportCopied(bool copied)
{
    // The report is the only record of the session: if the clipboard did not
    // take it, say so and leave the window as it was.
    if (!copied)
        message(kNotCopied);
    else
        copyReport();
    return std::exchange(effects, {});
}

Effects Window::closeRefused()
{
    showReport();
    say(Effect::Kind::Notice, kNotClosed);
    say(Effect::Kind::OfferShare, kShare);
    return std::exchange(effects, {});
}

Effects Window::redraw()
{
    for (ControlId id = 0; id < states.size(); ++id) {
        if (!(states[id] == ids().controls[id].start))
            effects.push_back({Effect::Kind::Change, id, states[id], {}});
    }
    reportLinesGiven = 0;
    if (!states[ids().report].hidden)
        giveReportLines();
    focusOn(focused);
    return std::exchange(effects, {});
}

Snapshot Window::snapshot() const { return {nf, ws, states, focused, AdjustCount, onClipboard, report.front()}; }

Block Window::block(std::size_t index) const
{
    const std::size_t end = index + 1 < blockCount() ? blockStarts[index + 1] : report.size();
    return {report.begin() + static_cast<std::ptrdiff_t>(blockStarts.at(index)),
        report.begin() + static_cast<std::ptrdiff_t>(end)};
}

bool Window::restore(Snapshot taken, const std::vector<Block>& blocks)
{
    const auto empty = [](const Block& b) { return b.empty(); };
    if (taken.states.size() != states.size() || taken.focus >= states.size() ||
        blocks.size() + 1 != static_cast<std::uint64_t>(taken.adjustCount) ||
        std::any_of(blocks.begin(), blocks.end(), empty))
        return false;
    nf = taken.numberFormat;
    ws = std::move(taken.worksheet);
    states = std::move(taken.states);
    focused = taken.focus;
    AdjustCount = taken.adjustCount;
    onClipboard = taken.onClipboard;
    report = {std::move(taken.title)};
    blockStarts.clear();
    for (const Block& b : blocks) {
        blockStarts.push_back(report.size());
        report.insert(report.end(), b.begin(), b.end());
    }
    reportLinesGiven = 0;
    sessionOver = false;
    return true;
}

void Window::focusMoved(ControlId control)
{
    if (control < states.size())
        focused = control;
}

Effects Window::run(void (Window::*step)())
{
    try {
        (this->*step)();
    } catch (const std::exception& e) {
        Sink(*this).report(e.what(), std::nullopt);
    } catch (...) {
        Sink(*this).report("Erro inesperado.", std::nullopt);
    }
    return std::exchange(effects, {});
}

template <typename Change> void Window::change(ControlId control, Change apply)
{
    ControlState next = states[control];
    apply(next);
    if (next == states[control])
        return;
    states[control] = next;
    effects.push_back({Effect::Kind::Change, control, std::move(next), {}});
}

void Window::show(ControlId control, bool shown)
{
    change(control, [shown](ControlState& s) { s.hidden = !shown; });
}

void Window::setColour(ControlId control, Colour colour)
{
    change(control, [colour](ControlState& s) { s.colour = colour; });
}

void Window::message(std::string text) { say(Effect::Kind::Message, std::move(text)); }

void Window::say(Effect::Kind kind, std::string text) { effects.push_back({kind, kNoControl, {}, std::move(text)}); }

void Window::focusOn(ControlId control)
{
    focused = control;
    effects.push_back({Effect::Kind::Focus, control, {}, {}});
}

// A numeric entry reads its text on every change, whoever made it: the
// number, or a message and the entry in red.
void Window::readEntry(Entry entry)
{
    if (!core::isNumeric(entry))
        return;
    try {
        core::storeEntryText(ws, entry, states[ids().id(entry)].text, nf);
    } catch (...) {
        Sink(*this).report(kInvalidValue, entry);
    }
}

void Window::setEntryText(Entry entry, const std::string& text)
{
    if (states[ids().id(entry)].text == text)
        return;
    change(ids().id(entry), [&text](ControlState& s) { s.text = text; });
    readEntry(entry);
}

void Window::setReadOnly(const std::array<Entry, 6>& entries, bool readOnly)
{
    for (const Entry e : entries)
        change(ids().id(e), [readOnly](ControlState& s) { s.readOnly = readOnly; });
}

void Window::acceptEntries(const std::array<Entry, 6>& entries)
{
    for (const Entry e : entries) {
        const std::string shown = core::acceptEntry(ws, e, states[ids().id(e)].text, nf);
        setColour(ids().id(e), Colour::Blue);
        setEntryText(e, shown);
    }
}

void Window::showStatusLines(StatusForm form)
{
    const ControlId last = ids().statusLines.back();
    change(last, [form](ControlState& s) { s = lastStatusLine(form, s); });
    for (std::size_t i = 0; i < kStatusLineCount; ++i) {
        const std::string text = statusText(static_cast<StatusLine>(i), form, ws, nf);
        change(ids().statusLines[i], [&text](ControlState& s) { s.text = text; });
    }
}

void Window::showPanels(bool shown)
{
    for (const Panel p : {Panel::Speaker, Panel::Amplifier, Panel::Limiter})
        show(ids().id(p), shown);
    show(ids().id(Button::Recalcula), shown);
}

void Window::acceptSpeaker()
{
    acceptEntries(core::kSpeakerEntries);
    Sink sink(*this);
    core::CheckSpeakerData(ws, sink);
    core::DeriveSpeakerValues(ws);
    showStatusLines(StatusForm::Speaker);
    // "Calcula" may have left panel 2's "Aceita" hidden: the focus then
    // stays on the amplifier's brand.
    focusOn(ids().id(Entry::AmpBrand));
    if (!states[ids().id(Button::AmplifierAceita)].hidden)
        focusOn(ids().id(Button::AmplifierAceita));
}

void Window::acceptAmplifier()
{
    show(ids().id(Button::SpeakerAceita), false);
    setReadOnly(core::kSpeakerEntries, true);
    acceptEntries(core::kAmplifierEntries);
    Sink sink(*this);
    core::CheckAmplifierData(ws, sink);
    core::DeriveAmplifierValues(ws);
    showStatusLines(StatusForm::Amplifier);
    focusOn(ids().id(Button::Calcula));
}

void Window::calculate()
{
    show(ids().id(Button::AmplifierAceita), false);
    setReadOnly(core::kAmplifierEntries, true);
    Sink sink(*this);
    core::ComputeLimiterSettings(ws, sink);
    // A threshold above the amplifier's input: the crest factor is reopened
    // for the user, and the results are shown all the same.
    if (sink.marks(Entry::CrestDb)) {
        show(ids().id(Button::AmplifierAceita), true);
        const ControlId crest = ids().id(Entry::CrestDb);
        change(crest, [](ControlState& s) { s.readOnly = false; });
        focusOn(crest);
    }
    for (std::size_t i = 0; i < kResultFieldCount; ++i) {
        const auto field = static_cast<ResultField>(i);
        const std::string text = resultText(ws, field, nf);
        change(ids().id(field), [&](ControlState& s) {
            s.colour = resultInRed(field) ? Colour::Red : s.colour;
            s.text = text;
        });
    }
    for (const ControlId line : ids().statusLines)
        change(line, [](ControlState& s) { s.text.clear(); });
    // The report view takes the block when it is next shown.
    std::vector<std::string> lines = report::BuildReportBlock(ws, AdjustCount, nf);
    blockStarts.push_back(report.size());
    report.insert(report.end(), std::make_move_iterator(lines.begin()), std::make_move_iterator(lines.end()));
    ++AdjustCount;
    focusOn(ids().id(Button::Recalcula));
}

void Window::recalculate()
{
    show(ids().id(Button::SpeakerAceita), true);
    show(ids().id(Button::AmplifierAceita), true);
    for (std::size_t i = 0; i < core::kEntryCount; ++i) {
        const auto e = static_cast<Entry>(i);
        setColour(ids().id(e), Colour::Green);
        setEntryText(e, core::recalcEntryText(ws, e, nf));
        change(ids().id(e), [](ControlState& s) { s.readOnly = false; });
    }
    for (const ControlId field : ids().results)
        change(field, [](ControlState& s) { s.text.clear(); });
    focusOn(ids().id(Entry::SpkBrand));
}

// The lines the view's report does not have yet, at once.
void Window::giveReportLines()
{
    if (reportLinesGiven == report.size())
        return;
    std::string text;
    for (std::size_t i = reportLinesGiven; i < report.size(); ++i)
        text.append(i > reportLinesGiven ? "\n" : "").append(report[i]);
    reportLinesGiven = report.size();
    effects.push_back({Effect::Kind::ReportLines, ids().report, {}, std::move(text)});
}

void Window::showReport()
{
    showPanels(false);
    show(ids().report, true);
    giveReportLines();
    change(ids().id(Button::Voltar), [](ControlState& s) {
        s.place.left = 480;
        s.place.top = 12;
        s.hidden = false;
    });
}

void Window::copyReport()
{
    onClipboard = true;
    sessionOver = true;
    show(ids().id(Button::Recalcula), true);
    giveReportLines();
    effects.push_back({Effect::Kind::SelectReport, ids().report, {}, {}});
    message(kCopied);
    effects.push_back({Effect::Kind::Close, kNoControl, {}, {}});
}

void Window::hideReport()
{
    showPanels(true);
    show(ids().report, false);
    show(ids().id(Button::Voltar), false);
    focusOn(ids().id(Button::Recalcula));
}

}  // namespace behaviour
