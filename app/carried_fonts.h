// The window's font where the desktop lacks it.
#pragma once

namespace app {

// Windows has no Liberation Sans: the program carries it in fonts/ beside
// itself. Call once the application exists.
void loadCarriedFonts();

}  // namespace app
