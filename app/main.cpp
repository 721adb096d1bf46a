// Quorvane: one window, no command line, nothing read or written.
#include <QApplication>
#include <QClipboard>
#include <QIcon>
#include <QList>
#include <QMessageBox>
#include <QRegularExpression>

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

// Where a platform that Qt found looked for a graphical session.
std::string whereItLooked(const std::string& platform)
{
    if (platform.starts_with("xcb")) {
        const std::string display = environmentValue("DISPLAY");
        return display.empty() ? "no X display is named (DISPLAY is not set)"
                               : "no X server answers on display \"" + display + "\"";
    }
    if (platform.starts_with("wayland")) {
        std::string socket = environmentValue("WAYLAND_DISPLAY");
        socket = socket.empty() ? "wayland-0" : socket;
        if (!socket.starts_with('/'))
            socket = environmentValue("XDG_RUNTIME_DIR") + "/" + socket;
        return "no Wayland compositor answers at \"" + socket + "\"";
    }
    return "it could not start";
}

// Qt's messages until the application has a platform: a failure ends them
// with a fatal message that advises reinstalling, which would not help.
QtMessageHandler qtMessageHandler = nullptr;
struct HeldMessage {
    QtMsgType type;
    QByteArray category;
    QString text;
};
QList<HeldMessage> heldMessages;

// Says which platforms Qt tried, from its own messages, and how to run
// without a desktop; then ends with exit code 1, without a core dump.
[[noreturn]] void explainNoSession()
{
    static const QRegularExpression tried(QStringLiteral("Could not (find|load) the Qt platform plugin \"([^\"]*)\""));
    std::string text = "Quorvane cannot open its window: no graphical session answers.\n";
    std::string platforms;
    for (const HeldMessage& message : heldMessages) {
        const QRegularExpressionMatch match = tried.match(message.text);
        if (!match.hasMatch())
            continue;
        const std::string platform = match.captured(2).toStdString();
        platforms += "  platform \"" + platform + "\": " +
            (match.captured(1) == QLatin1String("find") ? "Qt has no such platform plugin" : whereItLooked(platform)) +
            "\n";
    }
    text += platforms.empty() ? "  Qt named no platform that it tried.\n" : platforms;
#ifdef QUORVANE_X11
    text += "Run it from a desktop session, or without one under a virtual X server: xvfb-run -a quorvane\n";
#else
    text += "Run it from a desktop session.\n";
#endif
    std::fputs(text.c_str(), stderr);
    std::_Exit(1);
}

void holdStartUpMessage(QtMsgType type, const QMessageLogContext& context, const QString& message)
{
    if (type == QtFatalMsg) {
        if (message.contains(QLatin1String("no Qt platform plugin could be initialized")))
            explainNoSession();
        qtMessageHandler(type, context, message);
    }
    heldMessages.append({type, QByteArray(context.category != nullptr ? context.category : "default"), message});
}

// Once the application has its platform, Qt's messages go out as Qt writes
// them, those held first.
void releaseStartUpMessages()
{
    qInstallMessageHandler(qtMessageHandler);
    for (const HeldMessage& message : heldMessages)
        qtMessageHandler(
            message.type, QMessageLogContext(nullptr, 0, nullptr, message.category.constData()), message.text);
    heldMessages.clear();
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
    qtMessageHandler = qInstallMessageHandler(holdStartUpMessage);
    QApplication app(argc, argv);
    releaseStartUpMessages();
    QApplication::setApplicationName(QStringLiteral("Quorvane"));
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/icons/quorvane-32.png")));
    ui::loadFontsBesideProgram();
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
