// Quorvane: one window, no command line, nothing read or written.
#include <QApplication>
#include <QClipboard>
#include <QIcon>
#include <QMessageBox>

#include <cstdio>
#include <cstdlib>
#include <exception>
#include <string>

#ifdef QUORVANE_X11
#include <xcb/xcb.h>
#endif

#include "ui/tform1.h"

namespace {

std::string environmentValue(const char* name)
{
    const char* value = std::getenv(name);
    return value == nullptr ? std::string() : std::string(value);
}

void adviseVirtualServer()
{
    std::fputs("Run it from a desktop, or under a virtual X server: xvfb-run -a make run\n", stderr);
}

// Without a display Qt aborts with a toolkit message; say what is needed.
bool hasDisplay()
{
    if (!environmentValue("QT_QPA_PLATFORM").empty() || !environmentValue("DISPLAY").empty() ||
        !environmentValue("WAYLAND_DISPLAY").empty())
        return true;
    std::fputs("Quorvane needs a graphical session: no DISPLAY or WAYLAND_DISPLAY is set.\n", stderr);
    adviseVirtualServer();
    return false;
}

// Qt also aborts when the X server named by DISPLAY cannot be reached: try
// it first, where Qt would use X.
bool displayReachable()
{
#ifdef QUORVANE_X11
    const std::string platform = environmentValue("QT_QPA_PLATFORM");
    const std::string display = environmentValue("DISPLAY");
    const bool usesX = platform.empty() ? environmentValue("WAYLAND_DISPLAY").empty() : platform.starts_with("xcb");
    if (!usesX || display.empty())
        return true;
    xcb_connection_t* connection = xcb_connect(nullptr, nullptr);
    const bool reached = xcb_connection_has_error(connection) == 0;
    xcb_disconnect(connection);
    if (!reached) {
        std::fprintf(
            stderr, "Quorvane cannot open the X display \"%s\": no X server answers there.\n", display.c_str());
        adviseVirtualServer();
    }
    return reached;
#else
    return true;
#endif
}

#ifdef QUORVANE_X11
// A clipboard manager takes the clipboard over when Qt leaves.
bool clipboardManagerRunning()
{
    const auto* x11 = qApp->nativeInterface<QNativeInterface::QX11Application>();
    if (x11 == nullptr)
        return false;
    xcb_connection_t* connection = x11->connection();
    const char name[] = "CLIPBOARD_MANAGER";
    xcb_intern_atom_reply_t* atom =
        xcb_intern_atom_reply(connection, xcb_intern_atom(connection, 1, sizeof name - 1, name), nullptr);
    if (atom == nullptr)
        return false;
    xcb_get_selection_owner_reply_t* owner =
        xcb_get_selection_owner_reply(connection, xcb_get_selection_owner(connection, atom->atom), nullptr);
    const bool running = atom->atom != XCB_ATOM_NONE && owner != nullptr && owner->owner != XCB_WINDOW_NONE;
    std::free(owner);
    std::free(atom);
    return running;
}
#endif

// On X11 the clipboard's text lives in the program that put it there. With no
// clipboard manager to take it over, go on without a window, serving the
// report, until another program takes the clipboard.
void serveClipboardUntilTaken()
{
#ifdef QUORVANE_X11
    if (QGuiApplication::platformName() != QLatin1String("xcb") || clipboardManagerRunning())
        return;
    QClipboard* clipboard = QGuiApplication::clipboard();
    QObject::connect(clipboard, &QClipboard::changed, [clipboard](QClipboard::Mode mode) {
        if (mode == QClipboard::Clipboard && !clipboard->ownsClipboard())
            QCoreApplication::quit();
    });
    if (clipboard->ownsClipboard())
        QApplication::exec();
#endif
}

void showFailure(const QString& text)
{
    QMessageBox box(QMessageBox::NoIcon, QStringLiteral("Quorvane"), text, QMessageBox::Ok);
    box.setTextFormat(Qt::PlainText);
    box.exec();
}

}  // namespace

int main(int argc, char* argv[])
{
    if (!hasDisplay() || !displayReachable())
        return 1;
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Quorvane"));
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/icons/quorvane-32.png")));
    bool reportOnClipboard = false;
    try {
        ui::TForm1 form;
        form.show();
        QApplication::exec();
        reportOnClipboard = form.reportOnClipboard();
    } catch (const std::exception& e) {
        showFailure(QString::fromUtf8(e.what()));
    } catch (...) {
        showFailure(QString());
    }
    if (reportOnClipboard)
        serveClipboardUntilTaken();
    return 0;
}
