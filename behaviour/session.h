// The session as a view keeps it where a reload finds it (a page's tab): the
// window's snapshot under one key, and each report block under its own,
// written once when it is added, so that an event costs the same after a
// thousand blocks. Each text is named data: a build with more controls or
// values reads the one before it, and a name it does not know is ignored.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "behaviour/window.h"

namespace behaviour {

// What a store does with one key: set its text, or clear it and every key
// under it (the key, then a full stop).
struct StoreStep {
    enum class Kind { Set, Clear };
    Kind kind;
    std::string key;
    std::string text;
    bool operator==(const StoreStep&) const = default;
};
using StoreSteps = std::vector<StoreStep>;
// A key's text in the store; nullopt where it holds none or cannot be read.
using StoreReader = std::function<std::optional<std::string>(const std::string& key)>;

// What the page's store does after each event, for one window. Each text
// carries a checksum of its data, and each block the checksum of the block
// before it, which the state's text holds of the last, so that a text cut
// short, altered or of another session is refused.
class SessionStore {
public:
    static const std::string kKey;  // the state's; each block's is under it

    // What the store must do after the window's last event, in order. Once
    // "Sair" has copied the report nothing is kept, and the next session
    // starts anew.
    StoreSteps keep(const Window& window);
    // The store refused a write (a full tab): nothing is kept any more, no
    // older copy stays behind to be taken up, and the user is told once.
    // The next keep() clears the store.
    Effects refused();
    // Takes up the session the store holds into `window`, and gives what
    // its redraw() gives. One that does not read back whole changes
    // nothing, is cleared from the store, and the user is told that a new
    // session starts.
    Effects resume(Window& window, const StoreReader& read);

private:
    std::size_t blocksKept = 0;
    std::string lastBlockCheck;
    bool holding = false;     // the store holds this session
    bool clearFirst = false;  // the store holds what must not be taken up
    bool full = false;        // the store refused a write: nothing more is kept
};

}  // namespace behaviour
