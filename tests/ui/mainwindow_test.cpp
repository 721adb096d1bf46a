// The Qt window on the offscreen platform: its widgets show what the
// window's behaviour holds, step by step, with real keys and clicks; and
// what only Qt shows: the Tab walk, the texts fitting with the font in use,
// the desktop's locale and real message boxes.
#include <QDate>
#include <QFontInfo>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QStyle>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <iterator>
#include <memory>
#include <ostream>
#include <tuple>
#include <vector>

#include "support/golden.h"
#include "ui/mainwindow.h"

// Failures show texts, not bytes.
inline void PrintTo(const QString& text, std::ostream* os) { *os << '"' << text.toStdString() << '"'; }

namespace {

using behaviour::Button;
using core::Entry;
const auto& kLayout = behaviour::Window::controls();

QString textOf(const QWidget* w)
{
    if (const auto* box = qobject_cast<const QGroupBox*>(w))
        return box->title();
    if (qobject_cast<const QPlainTextEdit*>(w) != nullptr)
        return {};
    return w->property("text").toString();
}

// The desktop's colours, written as the system defines them: 0x00BBGGRR.
QColor desktopColour(behaviour::Colour colour)
{
    const std::uint32_t bgr[] = {0x000000, 0x0000FF, 0xFF0000, 0x008000, 0x000000};  // default, red, blue, green, black
    const std::uint32_t c = bgr[static_cast<int>(colour)];
    return {static_cast<int>(c & 0xFFU), static_cast<int>((c >> 8) & 0xFFU), static_cast<int>(c >> 16)};
}

// The report as its view shows it: the clipboard's lines, LF apart.
QString shownReport(std::string text)
{
    std::erase(text, '\r');
    text.pop_back();
    return QString::fromStdString(text);
}

// Every widget shows its control's state, and what only rendering shows
// holds with the font in use: every shown text fits its control, every
// control lies inside its parent, and none overlaps another.
void expectShowsItsBehaviour(const ui::MainWindow& window)
{
    for (behaviour::ControlId id = 0; id < kLayout.controls.size(); ++id) {
        const behaviour::ControlState& s = window.behaviour().state(id);
        const QWidget* w = window.widget(id);
        SCOPED_TRACE(kLayout.controls[id].objectName);
        EXPECT_EQ(textOf(w), QString::fromStdString(s.text));
        EXPECT_EQ(ui::MainWindow::fontColor(w), desktopColour(s.colour));
        EXPECT_EQ(w->font().pointSize(), s.fontPoints);
        EXPECT_EQ(w->pos(), QPoint(s.place.left, s.place.top));
        if (s.place.width > 0) {
            EXPECT_EQ(w->size(), QSize(s.place.width, s.place.height));
        }
        EXPECT_EQ(w->property("readOnly").toBool(), s.readOnly);
        EXPECT_EQ(w->isHidden(), s.hidden);
        if (!w->isVisibleTo(&window))
            continue;
        EXPECT_LE(w->fontMetrics().horizontalAdvance(textOf(w)),
            w->width() - (qobject_cast<const QLabel*>(w) != nullptr ? 0 : 8));
        EXPECT_TRUE(w->parentWidget()->rect().contains(w->geometry()));
        for (const QWidget* other : w->parentWidget()->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
            if (other != w && other->isVisibleTo(&window) && !other->objectName().isEmpty()) {
                EXPECT_FALSE(w->geometry().intersects(other->geometry())) << other->objectName().toStdString();
            }
        }
    }
}

class MainWindowTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        const auto copy = [this](const QString& text) { return (clipboard = text, true); };
        window = std::make_unique<ui::MainWindow>(ui::Environment{{'.'}, "07/12/2026", copy});
        window->setMessageBox([this](const QString& text) { messages << text; });
        window->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get()));
        window->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
    }
    QWidget* widget(Button button) const { return window->widget(kLayout.id(button)); }
    void click(std::initializer_list<Button> buttons) const
    {
        for (const Button b : buttons)
            QTest::mouseClick(widget(b), Qt::LeftButton);
    }

    std::unique_ptr<ui::MainWindow> window;
    QStringList messages;
    QString clipboard;
};

TEST_F(MainWindowTest, TabWalksThePanelsInReadingOrder)
{
    expectShowsItsBehaviour(*window);
    EXPECT_EQ(window->pos(), QPoint(20, 20));  // with its frame
    EXPECT_EQ(window->size(), QSize(580, 562));
    // Light whatever the desktop's theme: the tests run under a dark one.
    EXPECT_EQ(window->palette().color(QPalette::Window), QColor(0xF0, 0xF0, 0xF0));
    EXPECT_EQ(window->palette().color(QPalette::Base), QColor(Qt::white));
    EXPECT_EQ(window->palette().color(QPalette::Highlight), QColor(0x00, 0x78, 0xD7));
    EXPECT_EQ(window->palette().color(QPalette::HighlightedText), QColor(Qt::white));
    EXPECT_EQ(QFontInfo(window->font()).family(), "Liberation Sans");  // the font drawn, not the one asked for
    EXPECT_EQ(window->font().pointSize(), 8);
    // Panels in the classic style, with the title on the frame's top line.
    EXPECT_EQ(window->widget(kLayout.id(behaviour::Panel::Speaker))->style()->name(), "windows");
    // Tab walks the shown controls in the behaviour's order, round to the
    // first, and a screen reader hears each one's name.
    std::vector<behaviour::ControlId> walk;
    std::copy_if(kLayout.tabOrder.begin(), kLayout.tabOrder.end(), std::back_inserter(walk),
        [](behaviour::ControlId id) { return !kLayout.controls[id].start.hidden; });
    QStringList heard;
    for (std::size_t i = 1; i <= walk.size(); ++i) {
        SCOPED_TRACE(kLayout.controls[walk[i % walk.size()]].objectName);
        QTest::keyClick(window->focusWidget(), Qt::Key_Tab);
        EXPECT_EQ(window->focusWidget(), window->widget(walk[i % walk.size()]));
        heard << window->focusWidget()->accessibleName();
    }
    for (const char* name : {"1.1 - Marca", "1.6 - Freq Desejada ", "Aceita", "2.6 - Fator Crista (dB)", "Calcula",
             "3.3 - Limiar Tensão em dBV, dBV, coluna direita", "Sair", "Recalcula"})
        EXPECT_TRUE(heard.contains(name)) << name;
}

TEST_F(MainWindowTest, ShowsEachStepTypedAndClicked)
{
    auto* crest = qobject_cast<QLineEdit*>(window->widget(kLayout.id(Entry::CrestDb)));
    crest->selectAll();
    QTest::keyClicks(crest, "6x");  // one change per key, as a user types
    QTest::keyClick(crest, Qt::Key_Backspace);
    EXPECT_EQ(messages.size(), 1);  // the behaviour's texts are its tests' to hold
    for (const Button b : {Button::SpeakerAceita, Button::AmplifierAceita, Button::Calcula, Button::Listar}) {
        widget(b)->setFocus();  // Return presses the focused button
        QTest::keyClick(widget(b), Qt::Key_Return);
        expectShowsItsBehaviour(*window);
        if (b != Button::Listar) {  // which hides the focused Recalcula: Qt moves the focus on
            EXPECT_EQ(window->focusWidget(), window->widget(window->behaviour().focus()));
        }
    }
    const auto* report = window->findChild<QPlainTextEdit*>("report");
    EXPECT_EQ(report->toPlainText(), shownReport(goldenReport("07/12/2026")));
    // No undo history to grow over a long day; both scroll bars always shown.
    EXPECT_EQ((std::tuple{
                  report->isUndoRedoEnabled(), report->horizontalScrollBarPolicy(), report->verticalScrollBarPolicy()}),
        (std::tuple{false, Qt::ScrollBarAlwaysOn, Qt::ScrollBarAlwaysOn}));
    // A second pass adds its block to the report shown.
    for (const Button b : {Button::Voltar, Button::Recalcula, Button::SpeakerAceita, Button::AmplifierAceita,
             Button::Calcula, Button::Listar}) {
        click({b});
        expectShowsItsBehaviour(*window);
    }
    EXPECT_EQ(report->toPlainText(), shownReport(goldenReport("07/12/2026", 2)));
    click({Button::Sair});
    EXPECT_EQ(clipboard.toStdString(), goldenReport("07/12/2026", 2));
    EXPECT_EQ(report->textCursor().selectedText().size(), report->toPlainText().size());
    EXPECT_FALSE(window->isVisible());
}

// The window as the program makes it: the desktop's locale (the tests run in
// pt_BR: comma decimals, dd/MM/yyyy) and real message boxes, which show what
// the user typed as plain text.
TEST(RealWindow, ReadsTheLocaleAndShowsPlainMessages)
{
    const QString before = QDate::currentDate().toString("dd/MM/yyyy");
    ui::MainWindow window;
    const QString after = QDate::currentDate().toString("dd/MM/yyyy");
    window.show();
    QStringList seen;
    QTimer closer;
    QObject::connect(&closer, &QTimer::timeout, [&] {
        if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
            EXPECT_EQ(box->windowTitle(), "Quorvane");
            EXPECT_EQ(box->textFormat(), Qt::PlainText);
            EXPECT_EQ(box->palette().color(QPalette::Window), window.palette().color(QPalette::Window));
            EXPECT_EQ(box->font(), window.font());
            seen << box->text();
            box->accept();
        }
    });
    closer.start(20);
    EXPECT_TRUE(window.windowTitle().contains(QRegularExpression("^Quorvane V [0-9]+\\.[0-9]+\\.[0-9]+$")))
        << window.windowTitle().toStdString();
    const QString title = QString::fromStdString(window.behaviour().reportLines()[0]);
    EXPECT_TRUE(title.endsWith(' ' + before) || title.endsWith(' ' + after)) << title.toStdString();
    const auto entry = [&](Entry e) { return qobject_cast<QLineEdit*>(window.widget(kLayout.id(e))); };
    const auto click = [&](Button b) { QTest::mouseClick(window.widget(kLayout.id(b)), Qt::LeftButton); };
    entry(Entry::SpkZnom)->setText("8.5");  // the whole text at once: one change
    entry(Entry::SpkZnom)->setText("8,125");
    entry(Entry::SpkPmax)->setText("<b>12</b>");
    click(Button::SpeakerAceita);
    ASSERT_EQ(seen.size(), 3);  // the full stop refused, then the comma; the tags as typed
    EXPECT_TRUE(seen[0] == seen[1] && seen[2].startsWith("'<b>12</b>'")) << seen.join('|').toStdString();
    EXPECT_EQ(entry(Entry::SpkZnom)->text(), "8,13");  // taken before the failure
    entry(Entry::SpkPmax)->setText("125");
    entry(Entry::AmpVin)->setText("0,775");
    for (const Button b : {Button::SpeakerAceita, Button::AmplifierAceita, Button::Calcula})
        click(b);
    EXPECT_EQ(window.widget(kLayout.id(behaviour::ResultField::LimVolts))->property("text"), "    0,349  V");
    const QString block = QString::fromStdString(window.behaviour().reportText()).section("\r\n", 1);
    EXPECT_FALSE(block.contains(QRegularExpression("\\d\\.\\d")));  // every number of the block in the locale's form
    EXPECT_TRUE(block.contains(QRegularExpression("\\d,\\d")));
}

}  // namespace
