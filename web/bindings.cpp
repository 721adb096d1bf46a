// The window's behaviour for the page: each user event is one call, which
// answers with the effects to play and what the tab's store must do. Its
// structs cross as embind's value objects, vectors and enums.
#include <emscripten/bind.h>
#include <emscripten/val.h>

#include <array>
#include <cstdio>
#include <optional>
#include <string>
#include <vector>

#include "behaviour/session.h"
#include "tables/keyed_table.h"

namespace {

namespace bind = emscripten;
using behaviour::ControlId;
using behaviour::Effect;
using emscripten::val;

// The names the page knows an enum's values by.
template <typename Key> struct Named {
    Key key;
    const char* name;
};

template <typename Key, std::size_t N> void registerEnum(const char* name, const std::array<Named<Key>, N>& values)
{
    bind::enum_<Key> e(name);
    for (const Named<Key>& v : values)
        e.value(v.name, v.key);
}

using K = behaviour::Kind;
constexpr auto kKinds = std::to_array<Named<K>>({{K::Panel, "panel"}, {K::Entry, "entry"}, {K::Result, "result"},
    {K::Label, "label"}, {K::Button, "button"}, {K::Report, "report"}});
static_assert(tables::inKeyOrder(kKinds) && kKinds.size() == behaviour::kKindCount);

using E = Effect::Kind;
constexpr auto kEffects = std::to_array<Named<E>>({{E::Change, "change"}, {E::Message, "message"}, {E::Focus, "focus"},
    {E::CopyReport, "copyReport"}, {E::ReportLines, "reportLines"}, {E::SelectReport, "selectReport"},
    {E::Notice, "notice"}, {E::OfferShare, "offerShare"}, {E::Close, "close"}});
static_assert(tables::inKeyOrder(kEffects) && kEffects.size() == behaviour::kEffectKindCount);

using S = behaviour::StoreStep::Kind;
constexpr auto kStoreSteps = std::to_array<Named<S>>({{S::Set, "set"}, {S::Clear, "clear"}});

// As CSS writes a colour.
std::string css(std::uint32_t rgb)
{
    char text[8];
    std::snprintf(text, sizeof text, "#%06x", static_cast<unsigned>(rgb & 0xFFFFFFU));
    return text;
}

// An effect as the page plays it: a control's new state only where it
// changes one, and the report's text where it goes to the clipboard.
struct PageEffect {
    E kind = E::Change;
    int control = -1;  // -1: none
    std::string text;
    val state = val::undefined();
};

struct Answer {
    std::vector<PageEffect> effects;
    behaviour::StoreSteps store;
};

int indexOf(ControlId id) { return id == behaviour::kNoControl ? -1 : static_cast<int>(id); }

// Everything the page's HTML is drawn from at build time.
struct PageLayout {
    std::vector<behaviour::Control> controls;
    std::vector<int> tabOrder;
    std::vector<std::string> colours;  // by Colour
    std::string title, fontFamily, windowColour, baseColour, highlightColour, sessionKey;
    int width, height, fontPoints;
};

PageLayout layout()
{
    const behaviour::Layout& l = behaviour::Window::controls();
    PageLayout out{l.controls, {}, {}, behaviour::kWindowTitle, behaviour::kFontFamily, css(behaviour::kWindowGrey),
        css(behaviour::kBaseWhite), css(behaviour::kHighlight), behaviour::SessionStore::kKey, behaviour::kClientWidth,
        behaviour::kClientHeight, behaviour::kFontPoints};
    for (const ControlId id : l.tabOrder)
        out.tabOrder.push_back(indexOf(id));
    for (std::size_t c = 0; c < behaviour::kColourCount; ++c)
        out.colours.push_back(css(behaviour::colourOf(static_cast<behaviour::Colour>(c)).page));
    return out;
}

std::string startFailure(const std::string& what) { return behaviour::startFailure(what); }

// The window and its store for the page: how the browser's language writes
// one and a half, and a short date. Controls come as the page's indexes,
// checked here.
class PageWindow {
public:
    PageWindow(const std::string& oneAndAHalf, const std::string& shortDate)
        : window(behaviour::numberFormatOf(oneAndAHalf), shortDate)
    {
    }
    Answer edit(int control, const std::string& text)
    {
        return answer(known(control) ? window.edit(static_cast<ControlId>(control), text) : behaviour::Effects{});
    }
    // By the button's control, as the page knows it.
    Answer press(int control)
    {
        const auto& buttons = behaviour::Window::controls().buttons;
        for (std::size_t b = 0; b < buttons.size(); ++b) {
            if (buttons[b] == static_cast<ControlId>(control))
                return answer(window.press(static_cast<behaviour::Button>(b)));
        }
        return answer({});
    }
    Answer reportCopied(bool copied) { return answer(window.reportCopied(copied)); }
    // The user moved the focus (Tab, a click): a reload puts it back.
    Answer focusMoved(int control)
    {
        if (known(control))
            window.focusMoved(static_cast<ControlId>(control));
        return answer({});
    }
    // A write the store refused: what to tell the user, and to clear it.
    Answer storeRefused() { return answer(store.refused()); }
    // `read(key)` gives the key's text, or null; it never throws.
    Answer resume(const val& read)
    {
        return answer(store.resume(window, [&read](const std::string& key) -> std::optional<std::string> {
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

    // A page cannot close: what it shows instead takes the close's place.
    Answer answer(behaviour::Effects effects)
    {
        Answer out;
        for (const Effect& e : effects) {
            if (e.kind == E::Close) {
                for (const Effect& instead : window.closeRefused())
                    out.effects.push_back(pageEffect(instead));
            } else {
                out.effects.push_back(pageEffect(e));
            }
        }
        out.store = store.keep(window);
        return out;
    }
    PageEffect pageEffect(const Effect& e) const
    {
        return {e.kind, indexOf(e.control), e.kind == E::CopyReport ? window.reportText() : e.text,
            e.kind == E::Change ? val(e.state) : val::undefined()};
    }

    behaviour::Window window;
    behaviour::SessionStore store;
};

}  // namespace

EMSCRIPTEN_BINDINGS(quorvane)
{
    registerEnum("Kind", kKinds);
    registerEnum("EffectKind", kEffects);
    registerEnum("StoreStepKind", kStoreSteps);
    bind::enum_<behaviour::Colour> colours("Colour");
    for (std::size_t c = 0; c < behaviour::kColourCount; ++c)
        colours.value(behaviour::colourOf(static_cast<behaviour::Colour>(c)).name, static_cast<behaviour::Colour>(c));
    bind::value_object<behaviour::Place>("Place")
        .field("left", &behaviour::Place::left)
        .field("top", &behaviour::Place::top)
        .field("width", &behaviour::Place::width)
        .field("height", &behaviour::Place::height);
    bind::value_object<behaviour::ControlState>("ControlState")
        .field("text", &behaviour::ControlState::text)
        .field("place", &behaviour::ControlState::place)
        .field("colour", &behaviour::ControlState::colour)
        .field("fontPoints", &behaviour::ControlState::fontPoints)
        .field("readOnly", &behaviour::ControlState::readOnly)
        .field("hidden", &behaviour::ControlState::hidden);
    bind::value_object<behaviour::Cell>("Cell")
        .field("line", &behaviour::Cell::line)
        .field("column", &behaviour::Cell::column)
        .field("columns", &behaviour::Cell::columns);
    bind::value_object<behaviour::Control>("Control")
        .field("kind", &behaviour::Control::kind)
        .field("parent", &behaviour::Control::parent)
        .field("objectName", &behaviour::Control::objectName)
        .field("name", &behaviour::Control::name)
        .field("labelFor", &behaviour::Control::labelFor)
        .field("start", &behaviour::Control::start)
        .field("numeric", &behaviour::Control::numeric)
        .field("phone", &behaviour::Control::phone);
    bind::register_vector<behaviour::Control>("Controls");
    bind::register_vector<int>("Indexes");
    bind::register_vector<std::string>("Texts");
    bind::value_object<PageLayout>("Layout")
        .field("controls", &PageLayout::controls)
        .field("tabOrder", &PageLayout::tabOrder)
        .field("colours", &PageLayout::colours)
        .field("title", &PageLayout::title)
        .field("fontFamily", &PageLayout::fontFamily)
        .field("windowColour", &PageLayout::windowColour)
        .field("baseColour", &PageLayout::baseColour)
        .field("highlightColour", &PageLayout::highlightColour)
        .field("sessionKey", &PageLayout::sessionKey)
        .field("width", &PageLayout::width)
        .field("height", &PageLayout::height)
        .field("fontPoints", &PageLayout::fontPoints);
    bind::value_object<PageEffect>("Effect")
        .field("kind", &PageEffect::kind)
        .field("control", &PageEffect::control)
        .field("text", &PageEffect::text)
        .field("state", &PageEffect::state);
    bind::value_object<behaviour::StoreStep>("StoreStep")
        .field("kind", &behaviour::StoreStep::kind)
        .field("key", &behaviour::StoreStep::key)
        .field("text", &behaviour::StoreStep::text);
    bind::register_vector<PageEffect>("Effects");
    bind::register_vector<behaviour::StoreStep>("StoreSteps");
    bind::value_object<Answer>("Answer").field("effects", &Answer::effects).field("store", &Answer::store);
    bind::function("layout", &layout);
    bind::function("startFailure", &startFailure);
    bind::class_<PageWindow>("Window")
        .constructor<std::string, std::string>()
        .function("edit", &PageWindow::edit)
        .function("press", &PageWindow::press)
        .function("reportCopied", &PageWindow::reportCopied)
        .function("focusMoved", &PageWindow::focusMoved)
        .function("storeRefused", &PageWindow::storeRefused)
        .function("resume", &PageWindow::resume)
        .function("reportText", &PageWindow::reportText);
}
