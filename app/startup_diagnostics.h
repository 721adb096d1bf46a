// What the program says when it cannot start or cannot go on.
#pragma once

#include <QString>

namespace app {

// Holds Qt's messages until the application has a platform. If Qt finds no
// graphical session, the program says which platforms Qt tried and where,
// and how to run without a desktop, and ends with exit code 1.
void holdStartUpMessages();

// Once the application has its platform: Qt's messages go out as Qt writes
// them, those held first.
void releaseStartUpMessages();

// A failure that ended the window, in a message box.
void showFailure(const QString& text);

}  // namespace app
