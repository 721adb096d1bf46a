// Whatever a tab's storage holds, taken up into a fresh window: the input
// cut at each NUL (which no JSON text holds) is the texts of the session's
// state, then of its blocks 1, 2, ... Random bytes seldom match a text's
// checksum, so where the first byte is odd each text that is JSON with
// "data" is sealed again and chained as the store's writer does, and its
// data is read on. resume() must not crash, hang or throw; a session it
// takes up, kept again, reads back as the same window; one it refuses is
// cleared first; and after a pass on the window it leaves, the store still
// reads back as the window.
#include <cstdint>
#include <cstdlib>
#include <sstream>
#include <string>

#include "support/store.h"

namespace {

void need(bool holds)
{
    if (!holds)
        std::abort();
}

// The text sealed again where `seal` says so, linked by `link` to the one
// before it, whose check `check` holds and then takes this one's.
std::string sealed(bool seal, const std::string& text, const char* link, std::string& check)
{
    const std::optional<std::string> again = seal ? resealed(text, {{link, check}}) : std::nullopt;
    if (again)
        check = nlohmann::json::parse(*again)["check"];
    return again.value_or(text);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const bool seal = size > 0 && (data[0] & 1) != 0;
    std::istringstream parts(std::string(reinterpret_cast<const char*>(data), size).substr(size > 0 ? 1 : 0));
    std::string state, part, check;
    std::getline(parts, state, '\0');
    Store tab;
    for (std::size_t block = 1; std::getline(parts, part, '\0'); ++block)
        tab.texts[behaviour::SessionStore::kKey + ".block." + std::to_string(block)] =
            sealed(seal, part, "after", check);
    tab.texts[behaviour::SessionStore::kKey] = sealed(seal, state, "lastBlock", check);

    behaviour::Window window{{'.'}, "07/12/2026"}, readBack{{','}, "01/01/2027"};
    const behaviour::Effects resumed = tab.session.resume(window, tab.reader());
    Store keeper;
    keeper.keep(window);
    Store taker{{}, keeper.texts};
    taker.session.resume(readBack, taker.reader());
    need(readBack == window);
    const bool refused = !resumed.empty() && resumed.front().kind == behaviour::Effect::Kind::Notice;
    const std::vector<std::string> steps = tab.keep(window);
    need(!steps.empty() && steps.front().starts_with("clear ") == refused);
    // A pass from wherever the session was, the store keeping the window
    // after each button; then it reads back as the window drawn afresh.
    using B = behaviour::Button;
    for (const B b : {B::Voltar, B::Recalcula, B::SpeakerAceita, B::AmplifierAceita, B::Calcula, B::Listar}) {
        window.press(b);
        tab.keep(window);
    }
    behaviour::Window drawn = window, last{{','}, "01/01/2027"};
    drawn.redraw();
    Store reread{{}, tab.texts};
    reread.session.resume(last, reread.reader());
    need(last == drawn);
    return 0;
}
