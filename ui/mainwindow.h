// The main window on the desktop: the window's behaviour drawn with Qt
// widgets. It builds a widget for each control, shows each change the
// behaviour makes and passes the user's clicks and typing on.
#pragma once

#include <QColor>
#include <QString>
#include <QWidget>

#include <functional>
#include <vector>

#include "behaviour/window.h"
#include "numtext/numtext.h"

class QPlainTextEdit;
class QStyle;

namespace ui {

// What the window needs from the desktop: the decimal separator of the
// user's locale, today's date as the locale writes a short date (for the
// report's title), and the clipboard. Tests give their own.
struct Environment {
    numtext::NumberFormat numberFormat;
    QString reportDate;
    // Puts the text on the clipboard; true when the clipboard then holds it.
    std::function<bool(const QString&)> copyToClipboard;

    static Environment fromSystem();
};

class MainWindow : public QWidget {
    Q_OBJECT

public:
    explicit MainWindow(Environment environment = Environment::fromSystem(), QWidget* parent = nullptr);

    // Every message box of the window goes through here; tests replace it to
    // record the messages instead of waiting for a click.
    using MessageBox = std::function<void(const QString&)>;
    void setMessageBox(MessageBox messageBox);

    // What the widgets show.
    const behaviour::Window& behaviour() const { return window; }
    QWidget* widget(behaviour::ControlId control) const { return widgets[control]; }
    bool reportOnClipboard() const { return window.reportOnClipboard(); }

    static QColor colour(behaviour::Colour colour);
    // Font colour of an entry, result field or label.
    static QColor fontColor(const QWidget* widget);

private slots:
    // Panel 1's "Aceita": takes the loudspeaker's entries.
    void acceptSpeaker();
    // Panel 2's "Aceita": takes the amplifier's entries.
    void acceptAmplifier();
    // "Calcula": the limiter's settings and a report block.
    void calculate();
    // "Recalcula": reopens the panels for another pass.
    void recalculate();
    // "Listar": the report in place of panels 1 to 3.
    void showReport();
    // "Sair": the report to the clipboard, and the window closes.
    void copyReportAndQuit();
    // "Voltar": from the report back to the panels.
    void hideReport();

private:  // NOLINT(readability-redundant-access-specifiers): the slots end here
    void buildWidgets();
    QWidget* buildWidget(const behaviour::Control& control, QWidget* parent);
    void play(const behaviour::Effects& effects);
    void render(behaviour::ControlId control, const behaviour::ControlState& state);
    void showMessage(const QString& text);

    Environment env;
    behaviour::Window window;
    MessageBox messageBox;
    std::vector<QWidget*> widgets;  // by control
    QStyle* panelStyle = nullptr;
    QPlainTextEdit* reportView = nullptr;
};

}  // namespace ui
