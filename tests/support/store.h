// A view's store, as a page's tab keeps it, for the tests of the session:
// texts under keys; the store a build before this one left (a file per key);
// and a store's text sealed again after a change to its data.
#pragma once

#include <cstdint>
#include <fstream>
#include <iterator>
#include <map>
#include <numeric>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "behaviour/session.h"

// A view's store, as a page's tab keeps it: texts under keys.
struct Store {
    behaviour::SessionStore session;
    std::map<std::string, std::string> texts;
    // Takes what the window's session asks of it after an event; the steps it took.
    std::vector<std::string> keep(const behaviour::Window& window)
    {
        std::vector<std::string> taken;
        for (const behaviour::StoreStep& s : session.keep(window)) {
            taken.push_back((s.kind == behaviour::StoreStep::Kind::Set ? "set " : "clear ") + s.key);
            if (s.kind == behaviour::StoreStep::Kind::Set)
                texts[s.key] = s.text;
            else
                std::erase_if(texts,
                    [&s](const auto& kept) { return kept.first == s.key || kept.first.starts_with(s.key + '.'); });
        }
        return taken;
    }
    behaviour::StoreReader reader() const
    {
        return [this](const std::string& key) -> std::optional<std::string> {
            const auto found = texts.find(key);
            return found == texts.end() ? std::nullopt : std::optional{found->second};
        };
    }
};

// The store as a build before this one left it: two blocks, the second one
// warned, then "Listar"; kept by a build that had neither the right-hand dBV
// field nor the amplifier's crest factor margin.
inline Store keptBefore()
{
    Store store;
    for (const char* key : {"quorvane-session", "quorvane-session.block.1", "quorvane-session.block.2"}) {
        std::ifstream file(std::string(QUORVANE_TEST_SUPPORT_DIR "/session/") + key, std::ios::binary);
        store.texts[key] = std::string(std::istreambuf_iterator<char>(file), {});
    }
    return store;
}

// A store's text with a JSON merge patch applied to its data (null takes a
// name out), sealed again with its checksum: FNV-1a over the data as the
// writer writes it. Nothing where the text is no JSON object with data, or
// nests deeper than anything the writer writes.
inline std::optional<std::string> resealed(const std::string& text, const nlohmann::json& patch)
{
    using nlohmann::json;
    json whole = json::parse(
        text, [](int depth, json::parse_event_t, const json&) { return depth <= 32; }, false);
    if (!whole.is_object() || !whole.contains("data") || !whole["data"].is_object())
        return std::nullopt;
    whole["data"].merge_patch(patch);
    const std::string data = whole["data"].dump(-1, ' ', false, json::error_handler_t::replace);
    const std::uint64_t hash = std::accumulate(data.begin(), data.end(), std::uint64_t{0xcbf29ce484222325U},
        [](std::uint64_t h, char c) { return (h ^ static_cast<unsigned char>(c)) * 0x100000001b3U; });
    std::ostringstream check;
    check.width(16);
    check.fill('0');
    check << std::hex << hash;
    whole["check"] = check.str();
    return whole.dump(-1, ' ', false, json::error_handler_t::replace);
}
