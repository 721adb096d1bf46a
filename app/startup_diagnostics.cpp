#include "app/startup_diagnostics.h"

#include <QList>
#include <QMessageBox>
#include <QRegularExpression>

#include <cstdio>
#include <cstdlib>
#include <string>

namespace app {

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

}  // namespace

void holdStartUpMessages() { qtMessageHandler = qInstallMessageHandler(holdStartUpMessage); }

void releaseStartUpMessages()
{
    qInstallMessageHandler(qtMessageHandler);
    for (const HeldMessage& message : heldMessages)
        qtMessageHandler(
            message.type, QMessageLogContext(nullptr, 0, nullptr, message.category.constData()), message.text);
    heldMessages.clear();
}

void showFailure(const QString& text)
{
    QMessageBox box(QMessageBox::NoIcon, QStringLiteral("Quorvane"), text, QMessageBox::Ok);
    box.setTextFormat(Qt::PlainText);
    box.exec();
}

}  // namespace app
