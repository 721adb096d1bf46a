// The window's behaviour for the page: its controls, the events, and each
// event's effects as plain JavaScript objects.
#include <emscripten/bind.h>
#include <emscripten/val.h>

#include <string>

#include "behaviour/window.h"

namespace {

using behaviour::ControlId;
using behaviour::ControlState;
using behaviour::Effect;
using emscripten::val;

const char* const kKinds[] = {"panel", "entry", "result", "label", "button", "report"};
const char* const kColours[] = {"default", "red", "blue", "green", "black"};
const char* const kEffects[] = {"change", "message", "focus", "copyReport", "selectReport", "close"};

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
    out.set("colour", kColours[static_cast<int>(s.colour)]);
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
        effect.set("kind", kEffects[static_cast<int>(e.kind)]);
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
        control.set("kind", kKinds[static_cast<int>(c.kind)]);
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
    out.set("listar", idOf(layout.id(behaviour::Button::Listar)));
    return out;
}

// The window for the page: the separator and the date come from the
// browser's language.
class PageWindow {
public:
    PageWindow(const std::string& decimalSeparator, const std::string& shortDate)
        : window({decimalSeparator.size() == 1 ? decimalSeparator[0] : '.'}, shortDate)
    {
    }
    val edit(int control, const std::string& text)
    {
        return effectsOf(window.edit(static_cast<ControlId>(control), text));
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
    val state(int control) const { return stateOf(window.state(static_cast<ControlId>(control))); }
    int focus() const { return static_cast<int>(window.focus()); }
    void focusMoved(int control) { window.focusMoved(static_cast<ControlId>(control)); }
    std::string snapshot() const { return window.snapshot(); }
    bool restore(const std::string& snapshot) { return window.restore(snapshot); }
    std::string reportText() const { return window.reportText(); }
    int reportLineCount() const { return static_cast<int>(window.reportLines().size()); }
    std::string reportLine(int index) const { return window.reportLines()[static_cast<std::size_t>(index)]; }

private:
    behaviour::Window window;
};

}  // namespace

EMSCRIPTEN_BINDINGS(quorvane)
{
    emscripten::function("layout", &layout);
    emscripten::class_<PageWindow>("Window")
        .constructor<std::string, std::string>()
        .function("edit", &PageWindow::edit)
        .function("press", &PageWindow::press)
        .function("reportCopied", &PageWindow::reportCopied)
        .function("state", &PageWindow::state)
        .function("focus", &PageWindow::focus)
        .function("focusMoved", &PageWindow::focusMoved)
        .function("snapshot", &PageWindow::snapshot)
        .function("restore", &PageWindow::restore)
        .function("reportText", &PageWindow::reportText)
        .function("reportLineCount", &PageWindow::reportLineCount)
        .function("reportLine", &PageWindow::reportLine);
}
