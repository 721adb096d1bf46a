// Quorvane: one window, no command line, nothing read or written.
#include <QApplication>
#include <QIcon>
#include <QMessageBox>

#include <cstdio>
#include <cstdlib>
#include <exception>

#include "ui/tform1.h"

namespace {

// Without a display Qt aborts with a toolkit message; say what is needed.
bool hasDisplay()
{
    const char* platform = std::getenv("QT_QPA_PLATFORM");
    if (platform != nullptr && *platform != '\0')
        return true;
    for (const char* variable : {"DISPLAY", "WAYLAND_DISPLAY"}) {
        const char* value = std::getenv(variable);
        if (value != nullptr && *value != '\0')
            return true;
    }
    return false;
}

void showFailure(const QString& text)
{
    QMessageBox box(QMessageBox::NoIcon, QStringLiteral("Quorvane"), text, QMessageBox::Ok);
    box.exec();
}

}  // namespace

int main(int argc, char* argv[])
{
    if (!hasDisplay()) {
        std::fputs("Quorvane needs a graphical session: no DISPLAY or WAYLAND_DISPLAY is set.\n"
                   "Run it from a desktop, or under a virtual X server: xvfb-run -a make run\n",
            stderr);
        return 1;
    }
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Quorvane"));
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/icons/quorvane-32.png")));
    try {
        ui::TForm1 form;
        form.show();
        QApplication::exec();
    } catch (const std::exception& e) {
        showFailure(QString::fromUtf8(e.what()));
    } catch (...) {
        showFailure(QString());
    }
    return 0;
}
