// Whatever a tab's storage holds, taken up into a fresh window: the input
// cut at each NUL (which no JSON text holds) is the texts of the session's
// state, then of its blocks 1, 2, ... Random bytes seldom match a text's
// checksum, so where the first byte is odd each text that is JSON with
// "data" is sealed again and chained as the store's writer does, and its
// data is read on. resume() must not crash, hang or throw; a session it
// takes up, kept again, reads back as the same window; one it refuses is
// cleared first; and after a pass on the window it leaves, the store still
// reads back as the window.
#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <map>
#include <numeric>
#include <optional>
#include <sstream>
#include <string>

#include <nlohmann/json.hpp>

#include "behaviour/session.h"

namespace {

using behaviour::StoreStep;
using Texts = std::map<std::string, std::string>;

void need(bool holds)
{
    if (!holds)
        std::abort();
}

behaviour::StoreReader readerOf(const Texts& texts)
{
    return [&texts](const std::string& key) -> std::optional<std::string> {
        const auto found = texts.find(key);
        return found == texts.end() ? std::nullopt : std::optional{found->second};
    };
}

// Sealed as the writer seals: FNV-1a over the data's text; linked to the
// text before it under `link`.
std::string resealed(const std::string& text, const char* link, std::string& check)
{
    nlohmann::json whole = nlohmann::json::parse(
        text, [](int depth, auto, auto&) { return depth <= 32; }, false);
    if (!whole.is_object() || !whole.contains("data") || !whole["data"].is_object())
        return text;
    whole["data"][link] = check;
    const std::string data = whole["data"].dump(-1, ' ', false, nlohmann::json::error_handler_t::replace);
    const std::uint64_t hash = std::accumulate(data.begin(), data.end(), std::uint64_t{0xcbf29ce484222325U},
        [](std::uint64_t h, char c) { return (h ^ static_cast<unsigned char>(c)) * 0x100000001b3U; });
    std::ostringstream hex;
    hex.width(16);
    hex.fill('0');
    hex << std::hex << hash;
    whole["check"] = check = hex.str();
    return whole.dump(-1, ' ', false, nlohmann::json::error_handler_t::replace);
}

// A tab's store after it took `steps`.
void take(Texts& texts, const behaviour::StoreSteps& steps)
{
    for (const StoreStep& s : steps) {
        if (s.kind == StoreStep::Kind::Set)
            texts[s.key] = s.text;
        else
            std::erase_if(texts, [&s](const auto& t) { return t.first == s.key || t.first.starts_with(s.key + '.'); });
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const bool seal = size > 0 && (data[0] & 1) != 0;
    std::string input(reinterpret_cast<const char*>(data), size);
    input.erase(0, size > 0 ? 1 : 0);
    std::istringstream parts(input);
    std::string state, part, check;
    std::getline(parts, state, '\0');
    Texts texts;
    for (std::size_t block = 1; std::getline(parts, part, '\0'); ++block)
        texts[behaviour::SessionStore::kKey + ".block." + std::to_string(block)] =
            seal ? resealed(part, "after", check) : part;
    texts[behaviour::SessionStore::kKey] = seal ? resealed(state, "lastBlock", check) : state;

    behaviour::SessionStore store, keeper, taker;
    behaviour::Window window{{'.'}, "07/12/2026"}, readBack{{','}, "01/01/2027"};
    const behaviour::Effects resumed = store.resume(window, readerOf(texts));
    Texts kept;
    for (const StoreStep& s : keeper.keep(window))
        kept[s.key] = s.text;
    taker.resume(readBack, readerOf(kept));
    need(readBack == window);
    const bool refused = std::any_of(resumed.begin(), resumed.end(),
        [](const behaviour::Effect& e) { return e.kind == behaviour::Effect::Kind::Notice; });
    const behaviour::StoreSteps steps = store.keep(window);
    need((steps.front().kind == StoreStep::Kind::Clear) == refused);
    take(texts, steps);
    // A pass from wherever the session was, the store keeping the window
    // after each button; then it reads back as the window drawn afresh.
    using B = behaviour::Button;
    for (const B b : {B::Voltar, B::Recalcula, B::SpeakerAceita, B::AmplifierAceita, B::Calcula, B::Listar}) {
        window.press(b);
        take(texts, store.keep(window));
    }
    behaviour::Window drawn = window, last{{','}, "01/01/2027"};
    drawn.redraw();
    behaviour::SessionStore().resume(last, readerOf(texts));
    need(last == drawn);
    return 0;
}
