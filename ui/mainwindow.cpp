#include "ui/mainwindow.h"

#include <QClipboard>
#include <QDate>
#include <QGroupBox>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QMessageBox>
#include <QPalette>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSignalBlocker>
#include <QStyle>
#include <QStyleFactory>

namespace ui {

namespace {

using behaviour::Button;
using behaviour::Colour;
using behaviour::Control;
using behaviour::ControlId;
using behaviour::ControlState;
using behaviour::Kind;

QString qs(const std::string& text) { return QString::fromStdString(text); }

QColor rgb(std::uint32_t colour) { return QColor::fromRgb(colour); }

QPalette lightPalette()
{
    QPalette palette(rgb(behaviour::kWindowGrey));  // the window and the buttons
    palette.setColor(QPalette::Base, rgb(behaviour::kBaseWhite));
    for (const QPalette::ColorRole role : {QPalette::WindowText, QPalette::Text, QPalette::ButtonText})
        palette.setColor(role, rgb(behaviour::colourOf(Colour::Black).desktop));
    palette.setColor(QPalette::Highlight, rgb(behaviour::kHighlight));
    palette.setColor(QPalette::HighlightedText, rgb(behaviour::kBaseWhite));
    return palette;
}

// Each button's slot.
struct ButtonSlot {
    Button button;
    void (MainWindow::*slot)();
};

}  // namespace

Environment Environment::fromSystem()
{
    Environment env;
    const QLocale locale = QLocale::system();
    env.numberFormat = behaviour::numberFormatOf(locale.toString(1.5).toStdString());
    env.reportDate = locale.toString(QDate::currentDate(), QLocale::ShortFormat);
    env.copyToClipboard = [](const QString& text) {
        QClipboard* clipboard = QGuiApplication::clipboard();
        clipboard->setText(text);
        return clipboard->text() == text;
    };
    return env;
}

MainWindow::MainWindow(Environment environment, QWidget* parent)
    : QWidget(parent), env(std::move(environment)), window(env.numberFormat, env.reportDate.toStdString())
{
    setObjectName(QStringLiteral("mainWindow"));
    setWindowTitle(QString::fromUtf8(behaviour::kWindowTitle));
    QFont font(QString::fromUtf8(behaviour::kFontFamily));
    font.setPointSize(behaviour::kFontPoints);
    setFont(font);
    // The colours of the texts carry meaning and were chosen for a light
    // window: keep it light whatever the desktop's theme.
    setPalette(lightPalette());
    move(behaviour::kWindowLeft, behaviour::kWindowTop);
    // Room for panel 4 (down to y = 555) and a small margin; with the frame
    // the window is about 590 x 590.
    resize(behaviour::kClientWidth, behaviour::kClientHeight);
    buildWidgets();
    widgets[window.focus()]->setFocus();
}

void MainWindow::buildWidgets()
{
    const auto& layout = behaviour::Window::controls();
    panelStyle = QStyleFactory::create(QStringLiteral("Windows"));
    if (panelStyle != nullptr)
        panelStyle->setParent(this);
    for (const Control& c : layout.controls) {
        QWidget* parent = c.parent == behaviour::kNoControl ? this : widgets[c.parent];
        widgets.push_back(buildWidget(c, parent));
        widgets.back()->setObjectName(qs(c.objectName));
        if (!c.name.empty())
            widgets.back()->setAccessibleName(qs(c.name));
        render(widgets.size() - 1, c.start);
    }
    for (std::size_t i = 0; i < layout.controls.size(); ++i) {
        if (layout.controls[i].labelFor != behaviour::kNoControl)
            qobject_cast<QLabel*>(widgets[i])->setBuddy(widgets[layout.controls[i].labelFor]);
    }
    const ButtonSlot buttonSlots[] = {{Button::SpeakerAceita, &MainWindow::acceptSpeaker},
        {Button::AmplifierAceita, &MainWindow::acceptAmplifier}, {Button::Calcula, &MainWindow::calculate},
        {Button::Recalcula, &MainWindow::recalculate}, {Button::Listar, &MainWindow::showReport},
        {Button::Sair, &MainWindow::copyReportAndQuit}, {Button::Voltar, &MainWindow::hideReport}};
    for (const ButtonSlot& s : buttonSlots)
        connect(qobject_cast<QPushButton*>(widgets[layout.id(s.button)]), &QPushButton::clicked, this, s.slot);
    for (const ControlId entry : layout.entries) {
        connect(qobject_cast<QLineEdit*>(widgets[entry]), &QLineEdit::textChanged, this,
            [this, entry](const QString& text) { play(window.edit(entry, text.toStdString())); });
    }
    for (std::size_t i = 1; i < layout.tabOrder.size(); ++i)
        QWidget::setTabOrder(widgets[layout.tabOrder[i - 1]], widgets[layout.tabOrder[i]]);
}

QWidget* MainWindow::buildWidget(const Control& c, QWidget* parent)
{
    switch (c.kind) {
    case Kind::Panel: {
        // Panels in the classic style: the frame starts half a line down with
        // the title on its top line, so controls placed near the top
        // (Recalcula at 12) stay inside the frame.
        auto* box = new QGroupBox(parent);
        if (panelStyle != nullptr)
            box->setStyle(panelStyle);
        return box;
    }
    case Kind::Entry:
    case Kind::Result:
        return new QLineEdit(parent);
    case Kind::Label:
        return new QLabel(parent);
    case Kind::Button: {
        auto* button = new QPushButton(parent);
        button->setAccessibleName(qs(c.start.text));
        // Return and Enter press the focused button, as Space does.
        button->setAutoDefault(true);
        return button;
    }
    case Kind::Report:
        break;
    }
    reportView = new QPlainTextEdit(parent);
    // Nothing is ever undone in the report; an undo history would only grow.
    reportView->setUndoRedoEnabled(false);
    reportView->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    reportView->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    return reportView;
}

void MainWindow::setMessageBox(MessageBox box) { messageBox = std::move(box); }

QColor MainWindow::colour(Colour colour) { return rgb(behaviour::colourOf(colour).desktop); }

QColor MainWindow::fontColor(const QWidget* widget)
{
    const bool isEdit = qobject_cast<const QLineEdit*>(widget) != nullptr;
    return widget->palette().color(isEdit ? QPalette::Text : QPalette::WindowText);
}

void MainWindow::render(ControlId control, const ControlState& state)
{
    QWidget* w = widgets[control];
    if (auto* box = qobject_cast<QGroupBox*>(w)) {
        box->setTitle(qs(state.text));
    } else if (auto* edit = qobject_cast<QLineEdit*>(w)) {
        // The behaviour has read this text already: it is not a new change.
        const QSignalBlocker quiet(edit);
        if (edit->text() != qs(state.text))
            edit->setText(qs(state.text));
        edit->setReadOnly(state.readOnly);
    } else if (auto* label = qobject_cast<QLabel*>(w)) {
        label->setText(qs(state.text));
    } else if (auto* button = qobject_cast<QPushButton*>(w)) {
        button->setText(qs(state.text));
    } else {
        reportView->setReadOnly(state.readOnly);
    }
    if (fontColor(w) != colour(state.colour)) {
        QPalette palette = w->palette();
        for (const QPalette::ColorRole role : {QPalette::Text, QPalette::WindowText})
            palette.setColor(role, colour(state.colour));
        w->setPalette(palette);
    }
    if (w->font().pointSize() != state.fontPoints) {
        QFont font = w->font();
        font.setPointSize(state.fontPoints);
        w->setFont(font);
    }
    if (state.place.width > 0)
        w->setGeometry(state.place.left, state.place.top, state.place.width, state.place.height);
    else {
        w->move(state.place.left, state.place.top);
        w->adjustSize();  // a label takes its text's size, in the font it now has
    }
    w->setHidden(state.hidden);
}

void MainWindow::showMessage(const QString& text)
{
    if (messageBox) {
        messageBox(text);
        return;
    }
    QMessageBox box(QMessageBox::NoIcon, QStringLiteral("Quorvane"), text, QMessageBox::Ok, this);
    // Messages quote what the user typed: never read it as markup.
    box.setTextFormat(Qt::PlainText);
    box.setPalette(palette());
    box.setFont(font());
    box.exec();
}

void MainWindow::play(const behaviour::Effects& effects)
{
    using E = behaviour::Effect::Kind;
    for (const behaviour::Effect& effect : effects) {
        switch (effect.kind) {
        case E::Change:
            render(effect.control, effect.state);
            break;
        case E::Message:
            showMessage(qs(effect.text));
            break;
        case E::Focus:
            widgets[effect.control]->setFocus();
            break;
        case E::CopyReport: {
            const bool copied = env.copyToClipboard && env.copyToClipboard(qs(window.reportText()));
            play(window.reportCopied(copied));
            break;
        }
        case E::ReportLines:
            reportView->appendPlainText(qs(effect.text));
            break;
        case E::SelectReport:
            reportView->selectAll();
            break;
        case E::Notice:  // only for a view that cannot close
        case E::OfferShare:
            break;
        case E::Close:
            close();
            break;
        }
    }
}

void MainWindow::acceptSpeaker() { play(window.press(Button::SpeakerAceita)); }
void MainWindow::acceptAmplifier() { play(window.press(Button::AmplifierAceita)); }
void MainWindow::calculate() { play(window.press(Button::Calcula)); }
void MainWindow::recalculate() { play(window.press(Button::Recalcula)); }
void MainWindow::showReport() { play(window.press(Button::Listar)); }
void MainWindow::copyReportAndQuit() { play(window.press(Button::Sair)); }
void MainWindow::hideReport() { play(window.press(Button::Voltar)); }

}  // namespace ui
