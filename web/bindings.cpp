// The window's behaviour for the page: its controls, the events, and each
// event's effects as plain JavaScript objects.
#include <emscripten/bind.h>
#include <emscripten/val.h>

#include <array>
#include <cstdio>
#include <optional>
#include <string>

#include "behaviour/window.h"
#include "tables/keyed_table.h"

namespace {

using behaviour::ControlId;
using behaviour::ControlState;
using behaviour::Effect;
using emscripten::val;

// The names the page knows an enum's values by.
template <typename Key> struct Named {
    Key key;
    const char* name;
};

using K = behaviour::Kind;
constexpr auto kKinds = std::to_array<Named<K>>({{K::Panel, "panel"}, {K::Entry, "entry"}, {K::Result, "result"},
    {K::Label, "label"}, {K::Button, "button"}, {K::Report, "report"}});
static_assert(tables::inKeyOrder(kKinds) && kKinds.size() == behaviour::kKindCount);

using E = Effect::Kind;
constexpr auto kEffects = std::to_array<Named<E>>({{E::Change, "change"}, {E::Message, "message"}, {E::Focus, "focus"},
    {E::CopyReport, "copyReport"}, {E::ReportLines, "reportLines"}, {E::SelectReport, "selectReport"},
    {E::Notice, "notice"}, {E::OfferShare, "offerShare"}, {E::Close, "close"}});
static_assert(tables::inKeyOrder(kEffects) && kEffects.size() == behaviour::kEffectKindCount);

// As CSS writes a colour.
std::string css(std::uint32_t rgb)
{
    char text[8];
    std::snprintf(text, sizeof text, "#%06x", static_cast<unsigned>(rgb & 0xFFFFFFU));
    return text;
}

// No control: -1, which JavaScript tells from an index.
val idOf(ControlId id) { return id == behaviour::kNoControl ? val(-1) : val(static_cast<int>(id)); }

val stateOf(const ControlState& s)
{
    val out = val::object();
    out.set("text", s.text);
    out.set("left", s.place.left);
    out.set("top", s.place.top);
    out.set("width", s.place.width);
    out.set("height", s.place.height);
    out.set("colour", css(behaviour::colourOf(s.colour).page));
    out.set("fontPoints", s.fontPoints);
    out.set("readOnly", s.readOnly);
    out.set("hidden", s.hidden);
    return out;
}

val effectsOf(const behaviour::Effects& effects)
{
    val out = val::array();
    for (const Effect& e : effects) {
        val effect = val::object();
        effect.set("kind", tables::rowOf(kEffects, e.kind).name);
        effect.set("control", idOf(e.control));
        effect.set("state", stateOf(e.state));
        effect.set("text", e.text);
        out.call<void>("push", effect);
    }
    return out;
}

// Every control, in the order the page builds them, and the Tab order.
val layout()
{
    const behaviour::Layout& layout = behaviour::Window::controls();
    val controls = val::array();
    for (const behaviour::Control& c : layout.controls) {
        val control = val::object();
        control.set("kind", tables::rowOf(kKinds, c.kind).name);
        control.set("parent", idOf(c.parent));
        control.set("objectName", c.objectName);
        control.set("name", c.name);
        control.set("labelFor", idOf(c.labelFor));
        control.set("numeric", c.numeric);
        control.set("start", stateOf(c.start));
        control.set("line", c.phone.line);
        control.set("column", c.phone.column);
        control.set("columns", c.phone.columns);
        controls.call<void>("push", control);
    }
    val tabOrder = val::array();
    for (const ControlId id : layout.tabOrder)
        tabOrder.call<void>("push", idOf(id));
    val out = val::object();
    out.set("controls", controls);
    out.set("tabOrder", tabOrder);
    out.set("width", behaviour::kClientWidth);
    out.set("height", behaviour::kClientHeight);
    out.set("title", behaviour::kWindowTitle);
    out.set("fontFamily", behaviour::kFontFamily);
    out.set("fontPoints", behaviour::kFontPoints);
    out.set("windowColour", css(behaviour::kWindowGrey));
    out.set("baseColour", css(behaviour::kBaseWhite));
    out.set("highlightColour", css(behaviour::kHighlight));
    return out;
}

std::string startFailure(const std::string& what) { return behaviour::startFailure(what); }

// The window for the page: how the browser's language writes one and a half,
// and a short date. Controls come as the page's indexes, checked here.
class PageWindow {
public:
    PageWindow(const std::string& oneAndAHalf, const std::string& shortDate)
        : window(behaviour::numberFormatOf(oneAndAHalf), shortDate)
    {
    }
    val edit(int control, const std::string& text)
    {
        return known(control) ? effectsOf(window.edit(static_cast<ControlId>(control), text)) : val::array();
    }
    // By the button's control, as the page knows it.
    val press(int control)
    {
        const auto& buttons = behaviour::Window::controls().buttons;
        for (std::size_t b = 0; b < buttons.size(); ++b) {
            if (buttons[b] == static_cast<ControlId>(control))
                return effectsOf(window.press(static_cast<behaviour::Button>(b)));
        }
        return val::array();
    }
    val reportCopied(bool copied) { return effectsOf(window.reportCopied(copied)); }
    val closeRefused() { return effectsOf(window.closeRefused()); }
    val redraw() { return effectsOf(window.redraw()); }
    val state(int control) const
    {
        return known(control) ? stateOf(window.state(static_cast<ControlId>(control))) : val::undefined();
    }
    void focusMoved(int control)
    {
        if (known(control))
            window.focusMoved(static_cast<ControlId>(control));
    }
    // What the tab's store must do, as {kind: "set" or "clear", key, text}.
    val sessionSteps()
    {
        val out = val::array();
        for (const behaviour::StoreStep& s : window.sessionSteps()) {
            val step = val::object();
            step.set("kind", s.kind == behaviour::StoreStep::Kind::Set ? "set" : "clear");
            step.set("key", s.key);
            step.set("text", s.text);
            out.call<void>("push", step);
        }
        return out;
    }
    val storeRefused() { return effectsOf(window.storeRefused()); }
    // `read(key)` gives the key's text, or null; it never throws.
    val resume(val read)
    {
        return effectsOf(window.resume([&read](const std::string& key) -> std::optional<std::string> {
            const val text = read(key);
            return text.isString() ? std::optional{text.as<std::string>()} : std::nullopt;
        }));
    }
    std::string reportText() const { return window.reportText(); }

private:
    static bool known(int control)
    {
        return control >= 0 && static_cast<std::size_t>(control) < behaviour::Window::controls().controls.size();
    }

    behaviour::Window window;
};

}  // namespace

EMSCRIPTEN_BINDINGS(quorvane)
{
    emscripten::function("layout", &layout);
    emscripten::function("startFailure", &startFailure);
    emscripten::class_<PageWindow>("Window")
        .constructor<std::string, std::string>()
        .function("edit", &PageWindow::edit)
        .function("press", &PageWindow::press)
        .function("reportCopied", &PageWindow::reportCopied)
        .function("closeRefused", &PageWindow::closeRefused)
        .function("redraw", &PageWindow::redraw)
        .function("state", &PageWindow::state)
        .function("focusMoved", &PageWindow::focusMoved)
        .function("sessionSteps", &PageWindow::sessionSteps)
        .function("storeRefused", &PageWindow::storeRefused)
        .function("resume", &PageWindow::resume)
        .function("reportText", &PageWindow::reportText);
}
