// Whatever a tab's storage holds, taken up into a fresh window: the input's
// first byte says how it is laid out, the rest, cut at each NUL (which no
// JSON text holds), is the texts of "quorvane-session", then of its blocks
// 1, 2, ... A session's texts are sealed with checksums, which random bytes
// seldom match: where the first byte says so, each text that is JSON with
// "data" is sealed again as the store's writer seals it (bit 0), and chained
// to the blocks before it (bit 1), so that what is in the data is read on.
//
// resume() must not crash, hang or throw. When it takes the session up, the
// window keeps it, and what it kept reads back as the same window, kept
// again in the same texts; when it does not, the store is cleared first.
// Then the window takes the buttons in their order, as many as the first
// byte's other six bits say (7 and more: all), its store keeping it after
// each, and the store still reads back as the window.
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <numeric>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include <nlohmann/json.hpp>

#include "behaviour/session.h"

namespace {

using behaviour::Effect;
using behaviour::SessionStore;
using behaviour::StoreStep;
using behaviour::StoreSteps;
using nlohmann::json;

[[noreturn]] void fail(const char* what)
{
    std::fprintf(stderr, "session fuzz: %s\n", what);
    std::abort();
}

void need(bool holds, const char* what)
{
    if (!holds)
        fail(what);
}

using Texts = std::map<std::string, std::string>;

behaviour::StoreReader readerOf(const Texts& texts)
{
    return [&texts](const std::string& key) -> std::optional<std::string> {
        const auto found = texts.find(key);
        return found == texts.end() ? std::nullopt : std::optional{found->second};
    };
}

// What a store holds after it took `steps`.
void take(Texts& texts, const StoreSteps& steps)
{
    for (const StoreStep& s : steps) {
        if (s.kind == StoreStep::Kind::Set)
            texts[s.key] = s.text;
        else
            std::erase_if(
                texts, [&s](const auto& kept) { return kept.first == s.key || kept.first.starts_with(s.key + '.'); });
    }
}

std::string blockKey(std::size_t block) { return SessionStore::kKey + ".block." + std::to_string(block); }

std::string dumped(const json& j) { return j.dump(-1, ' ', false, json::error_handler_t::replace); }

// FNV-1a of the data's text, in 16 hexadecimal digits, as the writer seals.
std::string checksum(const std::string& text)
{
    const std::uint64_t hash = std::accumulate(text.begin(), text.end(), std::uint64_t{0xcbf29ce484222325U},
        [](std::uint64_t h, char c) { return (h ^ static_cast<unsigned char>(c)) * 0x100000001b3U; });
    char hex[17];
    std::snprintf(hex, sizeof hex, "%016llx", static_cast<unsigned long long>(hash));
    return hex;
}

// The text sealed again, where it is an object with "data"; its check, or
// nullopt where it is left as it was.
std::optional<std::string> resealed(std::string& text, const char* link, const std::string& linked)
{
    int deepest = 0;
    const auto depth = [&deepest](int at, json::parse_event_t, const json&) {
        deepest = std::max(deepest, at);
        return at <= 64;  // deeper is left out
    };
    json whole = json::parse(text, depth, false);
    // Too deep to dump here: the reader refuses it as it reads it.
    if (deepest > 64 || !whole.is_object() || !whole.contains("data"))
        return std::nullopt;
    json& data = whole["data"];
    if (link && data.is_object())
        data[link] = linked;
    std::string check = checksum(dumped(data));
    whole["check"] = check;
    text = dumped(whole);
    return check;
}

Texts storeOf(std::uint8_t layout, std::string_view rest)
{
    Texts texts;
    const bool reseal = layout & 1;
    const bool chain = layout & 2;
    std::vector<std::string> parts;
    for (std::size_t start = 0;;) {
        const std::size_t end = rest.find('\0', start);
        parts.emplace_back(rest.substr(start, end - start));
        if (end == std::string_view::npos)
            break;
        start = end + 1;
    }
    // The blocks first, each chained to the one before; the state to the
    // last block its count of adjustments takes.
    std::vector<std::string> checks{""};
    for (std::size_t b = 1; b < parts.size(); ++b) {
        if (reseal) {
            const auto check = resealed(parts[b], chain ? "after" : nullptr, checks.back());
            checks.push_back(check.value_or(""));
        }
        texts[blockKey(b)] = parts[b];
    }
    if (reseal) {
        std::string last;
        if (chain) {
            const json state = json::parse(parts[0], nullptr, false);
            if (state.is_object() && state.contains("data") && state["data"].is_object()) {
                const json& count = state["data"].value("adjustCount", json());
                if (count.is_number_unsigned() && count.get<std::uint64_t>() >= 1 &&
                    count.get<std::uint64_t>() <= checks.size())
                    last = checks[count.get<std::size_t>() - 1];
            }
        }
        resealed(parts[0], chain ? "lastBlock" : nullptr, last);
    }
    texts[SessionStore::kKey] = parts[0];
    return texts;
}

bool told(const behaviour::Effects& effects)
{
    return std::any_of(effects.begin(), effects.end(), [](const Effect& e) { return e.kind == Effect::Kind::Notice; });
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* bytes, std::size_t size)
{
    // No input: a store that holds nothing.
    const std::uint8_t layout = size > 0 ? bytes[0] : 0;
    Texts texts =
        size > 0 ? storeOf(layout, std::string_view(reinterpret_cast<const char*>(bytes) + 1, size - 1)) : Texts{};
    SessionStore store;
    behaviour::Window window{{'.'}, "07/12/2026"};
    const bool refused = told(store.resume(window, readerOf(texts)));

    // A fresh store keeps the window whole, and reads it back as it was.
    SessionStore keeper;
    const StoreSteps kept = keeper.keep(window);
    need(!kept.empty() && kept.back().key == SessionStore::kKey, "a window kept without its state");
    Texts keptTexts;
    take(keptTexts, kept);
    SessionStore taker;
    behaviour::Window readBack{{','}, "01/01/2027"};
    need(!told(taker.resume(readBack, readerOf(keptTexts))), "a kept session not taken up");
    need(readBack == window, "a kept session read back as another window");
    need(SessionStore().keep(readBack) == kept, "a session read back kept in other texts");

    // The store that took the session up keeps only its state; one that
    // refused it is cleared first.
    const StoreSteps steps = store.keep(window);
    need(!steps.empty() && steps.back().kind == StoreStep::Kind::Set && steps.back().key == SessionStore::kKey,
        "the state not kept last");
    const bool cleared = steps.front().kind == StoreStep::Kind::Clear && steps.front().key == SessionStore::kKey;
    need(cleared == refused, "a refused session not cleared, or a taken one cleared");
    if (!refused)
        need(steps.size() == 1, "blocks taken up kept again");
    take(texts, steps);
    const std::size_t pressed = std::min<std::size_t>(layout >> 2, behaviour::kButtonCount);
    if (pressed == 0)
        return 0;

    // The buttons on what was taken up; "Sair" copies the report.
    for (std::size_t b = 0; b < pressed; ++b) {
        const behaviour::Effects effects = window.press(static_cast<behaviour::Button>(b));
        if (std::any_of(
                effects.begin(), effects.end(), [](const Effect& e) { return e.kind == Effect::Kind::CopyReport; }))
            window.reportCopied(true);
        take(texts, store.keep(window));
    }
    // Unless "Sair" ended the session, the store holds the window as it is.
    if (window.sessionEnded()) {
        need(texts.empty(), "an ended session left in the store");
        return 0;
    }
    behaviour::Window drawn = window;  // as a view built afresh draws it
    drawn.redraw();
    behaviour::Window last{{','}, "01/01/2027"};
    need(!told(SessionStore().resume(last, readerOf(texts))), "the session after its events not taken up");
    need(last == drawn, "the session after its events read back as another window");
    return 0;
}
