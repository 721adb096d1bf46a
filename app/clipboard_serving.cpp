#include "app/clipboard_serving.h"

#include <QApplication>
#include <QClipboard>

#ifdef QUORVANE_X11
#include <xcb/xcb.h>

#include <cstdlib>
#include <memory>
#endif

namespace app {

#ifdef QUORVANE_X11
namespace {

// xcb hands out its replies for the caller to free.
struct FreeReply {
    void operator()(void* reply) const { std::free(reply); }
};
template <typename Reply> using ReplyPtr = std::unique_ptr<Reply, FreeReply>;

// A clipboard manager takes the clipboard over when Qt leaves.
bool clipboardManagerRunning()
{
    const auto* x11 = qApp->nativeInterface<QNativeInterface::QX11Application>();
    if (x11 == nullptr)
        return false;
    xcb_connection_t* connection = x11->connection();
    const char name[] = "CLIPBOARD_MANAGER";
    const ReplyPtr<xcb_intern_atom_reply_t> atom(
        xcb_intern_atom_reply(connection, xcb_intern_atom(connection, 1, sizeof name - 1, name), nullptr));
    if (atom == nullptr || atom->atom == XCB_ATOM_NONE)
        return false;
    const ReplyPtr<xcb_get_selection_owner_reply_t> owner(
        xcb_get_selection_owner_reply(connection, xcb_get_selection_owner(connection, atom->atom), nullptr));
    return owner != nullptr && owner->owner != XCB_WINDOW_NONE;
}

}  // namespace
#endif

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

}  // namespace app
