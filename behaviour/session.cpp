#include "behaviour/session.h"

#include <nlohmann/json.hpp>

#include <algorithm>
#include <cfloat>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <numeric>
#include <utility>

#include "core/forms.h"

namespace behaviour {

namespace {

using nlohmann::json;

// Formats 1 and 2 were texts of their own; this one gains names, never a
// new format, as builds add controls and values.
constexpr int kFormat = 3;
constexpr const char* kNotResumed = "A sessão guardada nesta aba não pôde ser retomada: começa uma nova sessão.";
constexpr const char* kNotKept = "Esta aba não tem mais espaço para guardar a sessão: ela não sobreviverá se a "
                                 "página for recarregada. \u201cSair\u201d copia o relatório para o clipboard.";

// A text that is not what this build writes.
struct Refused { };

void need(bool holds)
{
    if (!holds)
        throw Refused{};
}

// Field by field: mingw's -O3 takes a braced empty state for uninitialised.
Effect notice(const char* text)
{
    Effect said{};
    said.kind = Effect::Kind::Notice;
    said.text = text;
    return said;
}

std::string blockKey(std::size_t block) { return SessionStore::kKey + ".block." + std::to_string(block + 1); }

// Text that is not UTF-8 (a lone surrogate typed in a browser) is kept with
// U+FFFD in its place rather than refused.
std::string dumped(const json& data) { return data.dump(-1, ' ', false, json::error_handler_t::replace); }

std::string checksum(const std::string& text)
{
    const std::uint64_t hash = std::accumulate(text.begin(), text.end(), std::uint64_t{0xcbf29ce484222325U},
        [](std::uint64_t h, char c) { return (h ^ static_cast<unsigned char>(c)) * 0x100000001b3U; });  // FNV-1a
    std::string hex(16, '0');
    const auto written = std::to_chars(hex.data(), hex.data() + hex.size(), hash, 16).ptr - hex.data();
    std::rotate(hex.begin(), hex.begin() + written, hex.end());  // zeros first
    return hex;
}

// A text and the checksum of its data.
struct Sealed {
    std::string text;
    std::string check;
};

Sealed sealed(const json& data)
{
    std::string check = checksum(dumped(data));
    return {dumped(json{{"check", check}, {"data", data}}), std::move(check)};
}

// The writer nests objects and arrays five deep; a text nested deeper is
// refused as it is read, before the checksum's dump, which recurses, runs
// out of stack on it.
constexpr int kDeepest = 16;

// A sealed text's data and checksum, where the checksum holds: the data as
// the writer wrote it reads back to the same text.
std::pair<json, std::string> unsealed(const std::string& text)
{
    json whole = json::parse(text, [](int depth, json::parse_event_t, const json&) {
        need(depth <= kDeepest);
        return true;
    });
    need(whole.is_object() && whole.size() == 2);
    std::string check = whole.at("check").get<std::string>();
    need(checksum(dumped(whole.at("data"))) == check);
    return {std::move(whole.at("data")), std::move(check)};
}

// A whole number in [low, high] (JSON's are signed or unsigned 64-bit).
int integer(const json& n, int low, int high)
{
    need(n.is_number_integer());
    need(n.is_number_unsigned() ? n.get<std::uint64_t>() <= std::uint64_t(high) && low <= n.get<std::int64_t>()
                                : n.get<std::int64_t>() >= low && n.get<std::int64_t>() <= high);
    return n.get<int>();
}

// Of a control's state, a session holds the text of the controls whose
// text the window writes, the colour, the lock and whether it shows; the
// place and size of text where they left the start (the report's "Voltar",
// panel 4's last line). The rest, captions and layout, is the build's own.
bool textIsTheSessions(ControlId id)
{
    const Layout& l = Window::controls();
    const Kind kind = l.controls[id].kind;
    return kind == Kind::Entry || kind == Kind::Result ||
        std::find(l.statusLines.begin(), l.statusLines.end(), id) != l.statusLines.end();
}

json controlData(ControlId id, const ControlState& s)
{
    const ControlState& start = Window::controls().controls[id].start;
    json c{{"colour", colourOf(s.colour).name}, {"readOnly", s.readOnly}, {"hidden", s.hidden}};
    if (textIsTheSessions(id))
        c["text"] = s.text;
    if (s.place != start.place || s.fontPoints != start.fontPoints) {
        c["place"] = {s.place.left, s.place.top, s.place.width, s.place.height};
        c["fontPoints"] = s.fontPoints;
    }
    return c;
}

// A field the data does not hold keeps the start's.
ControlState controlState(ControlId id, const json& c)
{
    ControlState s = Window::controls().controls[id].start;
    need(c.is_object());
    if (textIsTheSessions(id))
        s.text = c.value("text", s.text);
    s.readOnly = c.value("readOnly", s.readOnly);
    s.hidden = c.value("hidden", s.hidden);
    if (c.contains("colour")) {
        const std::string name = c.at("colour").get<std::string>();
        std::size_t colour = 0;
        while (colour < kColourCount && name != colourOf(static_cast<Colour>(colour)).name)
            ++colour;
        need(colour < kColourCount);
        s.colour = static_cast<Colour>(colour);
    }
    if (c.contains("place")) {
        const json& at = c.at("place");
        need(at.is_array() && at.size() == 4);
        constexpr int kMost = 1 << 20;
        s.place = {integer(at[0], -kMost, kMost), integer(at[1], -kMost, kMost), integer(at[2], 0, kMost),
            integer(at[3], 0, kMost)};
        s.fontPoints = integer(c.at("fontPoints"), 1, 1000);
    }
    return s;
}

ControlId idOf(const std::string& objectName)
{
    const auto& controls = Window::controls().controls;
    const auto found = std::find_if(
        controls.begin(), controls.end(), [&objectName](const Control& c) { return c.objectName == objectName; });
    return found == controls.end() ? kNoControl : static_cast<ControlId>(found - controls.begin());
}

Snapshot snapshotOf(const json& data)
{
    need(data.is_object() && data.at("format") == kFormat);
    Snapshot s;
    const std::string separator = data.at("separator").get<std::string>();
    need(separator.size() == 1);
    s.numberFormat.decimalSeparator = separator[0];
    const json& values = data.at("worksheet");
    need(values.is_object());
    for (const core::ValueForms& v : core::kValueForms) {
        if (values.contains(v.name)) {
            const json& n = values.at(v.name);
            need(n.is_number() && std::fabs(n.get<double>()) <= FLT_MAX);
            s.worksheet.*v.value = static_cast<float>(n.get<double>());
        }
    }
    for (const core::NamedText& t : core::kWorksheetTexts)
        s.worksheet.*t.value = values.value(t.name, std::string());
    const auto& controls = Window::controls().controls;
    std::transform(
        controls.begin(), controls.end(), std::back_inserter(s.states), [](const Control& c) { return c.start; });
    const json& states = data.at("controls");
    need(states.is_object());
    for (const auto& [name, state] : states.items()) {
        const ControlId id = idOf(name);
        if (id != kNoControl)
            s.states[id] = controlState(id, state);
    }
    const ControlId focus = idOf(data.at("focus").get<std::string>());
    s.focus = focus == kNoControl ? Window::controls().id(core::Entry::SpkBrand) : focus;
    s.adjustCount = integer(data.at("adjustCount"), 1, INT32_MAX);
    s.onClipboard = data.at("onClipboard").get<bool>();
    s.title = data.at("title").get<std::string>();
    return s;
}

Sealed encodeState(const Snapshot& s, const std::string& lastBlockCheck)
{
    json values = json::object();
    for (const core::ValueForms& v : core::kValueForms)
        values[v.name] = s.worksheet.*v.value;
    for (const core::NamedText& t : core::kWorksheetTexts)
        values[t.name] = s.worksheet.*t.value;
    // A control as it starts is left out: it starts so again.
    json states = json::object();
    for (ControlId id = 0; id < s.states.size(); ++id) {
        const Control& control = Window::controls().controls[id];
        if (!(s.states[id] == control.start))
            states[control.objectName] = controlData(id, s.states[id]);
    }
    return sealed({{"format", kFormat}, {"separator", std::string(1, s.numberFormat.decimalSeparator)},
        {"focus", Window::controls().controls[s.focus].objectName}, {"adjustCount", s.adjustCount},
        {"onClipboard", s.onClipboard}, {"title", s.title}, {"worksheet", values}, {"controls", states},
        {"lastBlock", lastBlockCheck}});
}

Sealed encodeBlock(const Block& lines, const std::string& previousCheck)
{
    return sealed({{"after", previousCheck}, {"lines", lines}});
}

struct Session {
    Snapshot snapshot;
    std::vector<Block> blocks;
    std::string lastBlockCheck;
};

// The session a store holds, whole, or nullopt.
std::optional<Session> decodeSession(const std::string& state, const StoreReader& read)
{
    try {
        const json data = unsealed(state).first;
        Session session{snapshotOf(data), {}, {}};
        for (std::int32_t b = 1; b < session.snapshot.adjustCount; ++b) {
            const auto text = read(blockKey(static_cast<std::size_t>(b - 1)));
            need(text.has_value());
            auto [block, blockCheck] = unsealed(*text);
            need(block.at("after") == session.lastBlockCheck);
            session.blocks.push_back(block.at("lines").get<Block>());
            session.lastBlockCheck = std::move(blockCheck);
        }
        need(data.at("lastBlock") == session.lastBlockCheck);
        return session;
    } catch (const json::exception&) {
        return std::nullopt;
    } catch (const Refused&) {
        return std::nullopt;
    }
}

}  // namespace

const std::string SessionStore::kKey = "quorvane-session";

StoreSteps SessionStore::keep(const Window& window)
{
    StoreSteps steps;
    if (std::exchange(clearFirst, false) || (window.sessionEnded() && holding)) {
        steps.push_back({StoreStep::Kind::Clear, kKey, {}});
        holding = false;
        blocksKept = 0;
        lastBlockCheck.clear();
    }
    if (window.sessionEnded() || full)
        return steps;
    for (; blocksKept < window.blockCount(); ++blocksKept) {
        Sealed block = encodeBlock(window.block(blocksKept), lastBlockCheck);
        lastBlockCheck = std::move(block.check);
        steps.push_back({StoreStep::Kind::Set, blockKey(blocksKept), std::move(block.text)});
    }
    steps.push_back({StoreStep::Kind::Set, kKey, encodeState(window.snapshot(), lastBlockCheck).text});
    holding = true;
    return steps;
}

Effects SessionStore::refused()
{
    Effects said;
    if (!full) {
        full = true;
        clearFirst = true;
        said.push_back(notice(kNotKept));
    }
    return said;
}

Effects SessionStore::resume(Window& window, const StoreReader& read)
{
    Effects effects;
    if (const auto state = read(kKey)) {
        auto session = decodeSession(*state, read);
        if (session && window.restore(std::move(session->snapshot), session->blocks)) {
            blocksKept = session->blocks.size();
            lastBlockCheck = std::move(session->lastBlockCheck);
            holding = true;
        } else {
            clearFirst = true;
            effects.push_back(notice(kNotResumed));
        }
    }
    Effects drawn = window.redraw();
    effects.insert(effects.end(), std::make_move_iterator(drawn.begin()), std::make_move_iterator(drawn.end()));
    return effects;
}

}  // namespace behaviour
