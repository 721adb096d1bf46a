// Quorvane: one window, no command line, nothing read or written.
#include <QApplication>
#include <QIcon>

#include <exception>

#include "app/carried_fonts.h"
#include "app/clipboard_serving.h"
#include "app/startup_diagnostics.h"
#include "ui/mainwindow.h"

namespace {

// The window until it closes; then, if "Sair" put the report on the
// clipboard, the clipboard's serving.
int runWindow()
{
    ui::MainWindow window;
    window.show();
    const int status = QApplication::exec();
    if (window.reportOnClipboard())
        app::serveClipboardUntilTaken();
    return status;
}

}  // namespace

int main(int argc, char* argv[])
{
    app::holdStartUpMessages();
    QApplication application(argc, argv);
    app::releaseStartUpMessages();
    QApplication::setApplicationName(QStringLiteral("Quorvane"));
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/icons/quorvane-32.png")));
    app::loadCarriedFonts();
    try {
        return runWindow();
    } catch (const std::exception& e) {
        app::showFailure(QString::fromUtf8(e.what()));
    } catch (...) {
        app::showFailure(QStringLiteral("Erro inesperado."));
    }
    return 1;
}
