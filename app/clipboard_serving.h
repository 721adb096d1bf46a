// On X11 the clipboard's text lives in the program that put it there.
#pragma once

namespace app {

// With no clipboard manager to take the report over, goes on without a
// window, serving it, until another program takes the clipboard. Elsewhere,
// and with a clipboard manager, returns at once.
void serveClipboardUntilTaken();

}  // namespace app
