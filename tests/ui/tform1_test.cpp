// The real window on the offscreen platform, its messages recorded and its
// clipboard kept in memory, its controls found by name; what a user sees
// stated step by step.
#include <QCollator>
#include <QDate>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMap>
#include <QMessageBox>
#include <QPushButton>
#include <QRegularExpression>
#include <QSet>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <ostream>

#include "report/report.h"
#include "ui/mainwindow.h"

// Failures show texts, not bytes.
inline void PrintTo(const QString& text, std::ostream* os) { *os << '"' << text.toStdString() << '"'; }

namespace {

const QString kInvalid = QStringLiteral("Valor Incorreto !");
const QString kRefused = QStringLiteral("Valor Não Aceito ! Altere Valor !");
const QString kWarning = QStringLiteral("Tensão Saida Limiter > Tensão Entrada Power ! Altere Valor Fator de Crista !");
const QString kTitle = QStringLiteral("Dados para Quorvane") + QString(36, QLatin1Char(' '));

// The window as a user sees it: for each named control its place, its size
// (not for labels, which take their text's size), text, colour, font size,
// read-only state and whether it is hidden itself. Black, 8 pt, editable and
// shown go unsaid.
using Look = QMap<QString, QStringList>;
const QStringList kUsual{"", "", "''", "black", "8pt", "rw", "shown"};

Look look(const QWidget* form)
{
    const QMap<QRgb, QString> colours{{ui::MainWindow::colour(behaviour::Colour::Red).rgb(), "red"}, {ui::MainWindow::colour(behaviour::Colour::Blue).rgb(), "blue"},
        {ui::MainWindow::colour(behaviour::Colour::Green).rgb(), "green"}, {ui::MainWindow::colour(behaviour::Colour::Black).rgb(), "black"}};
    Look controls;
    for (const QWidget* w : form->findChildren<QWidget*>(QRegularExpression("^[A-Z]"))) {
        const QRect r = w->geometry();
        const bool label = qobject_cast<const QLabel*>(w) != nullptr;
        const QVariant text = w->property(qobject_cast<const QGroupBox*>(w) != nullptr ? "title" : "text");
        controls[w->objectName()] = {QStringLiteral("%1,%2").arg(r.x()).arg(r.y()),
            label ? QString() : QStringLiteral("%1x%2").arg(r.width()).arg(r.height()),
            text.isValid() ? '\'' + text.toString() + '\'' : QString(),
            colours.value(ui::MainWindow::fontColor(w).rgb(), ui::MainWindow::fontColor(w).name()),
            QStringLiteral("%1pt").arg(w->font().pointSize()), w->property("readOnly").toBool() ? "ro" : "rw",
            w->isHidden() ? "hidden" : "shown"};
    }
    return controls;
}

// What differs from one look to the next, control by control in numeric
// order; from an empty look, everything but the usual.
QString changes(const Look& before, const Look& after)
{
    QStringList names = after.keys();
    QCollator numeric;
    numeric.setNumericMode(true);
    std::sort(names.begin(), names.end(), numeric);
    QStringList lines;
    for (const QString& name : names) {
        QString said = name;
        for (qsizetype i = 0; i < kUsual.size(); ++i) {
            const QString now = after[name][i];
            if (!now.isEmpty() && now != (before.contains(name) ? before[name][i] : kUsual[i]))
                said += ' ' + now;
        }
        if (said != name)
            lines << said;
    }
    return lines.join("; ");
}

// What only rendering shows, with the font in use: every shown text fits its
// control, every control lies inside its panel, and none overlaps another.
void expectFitsAndApart(const QWidget* form)
{
    const QList<QWidget*> shown = form->findChildren<QWidget*>(QRegularExpression("^[A-Z]"));
    for (const QWidget* w : shown) {
        if (!w->isVisibleTo(form))
            continue;
        const QString text = w->property(qobject_cast<const QGroupBox*>(w) != nullptr ? "title" : "text").toString();
        const int margins = qobject_cast<const QLabel*>(w) != nullptr ? 0 : 8;
        EXPECT_LE(w->fontMetrics().horizontalAdvance(text), w->width() - margins) << w->objectName().toStdString();
        EXPECT_TRUE(w->parentWidget()->rect().contains(w->geometry())) << w->objectName().toStdString();
        for (const QWidget* other : shown) {
            if (other != w && other->parentWidget() == w->parentWidget() && other->isVisibleTo(form)) {
                EXPECT_FALSE(w->geometry().intersects(other->geometry()))
                    << w->objectName().toStdString() << " overlaps " << other->objectName().toStdString();
            }
        }
    }
}

// The controls a test touches, by what the user reads on them.
constexpr const char* SpeakerAceita = "Button1";
constexpr const char* AmplifierAceita = "Button2";
constexpr const char* Calcula = "Button3";
constexpr const char* Recalcula = "Button4";
constexpr const char* Listar = "Button5";
constexpr const char* Sair = "Button6";
constexpr const char* Voltar = "Button7";
constexpr const char* SpkBrand = "LabeledEdit1";
constexpr const char* CrestDb = "LabeledEdit12";

class FormTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        const auto copy = [this](const QString& text) { return (clipboard = text, clipboardWorks); };
        form = std::make_unique<ui::MainWindow>(ui::Environment{{'.'}, "07/12/2026", copy});
        form->setMessageBox([this](const QString& text) { messages << text; });
        form->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(form.get()));
        form->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(form.get()));
        seen = look(form.get());
    }

    QWidget* control(const char* name) const { return form->findChild<QWidget*>(name); }
    void click(std::initializer_list<const char*> buttons) const
    {
        for (const char* name : buttons)
            QTest::mouseClick(control(name), Qt::LeftButton);
    }

    // Replaces an entry's text as a user does: select all, erase, then type
    // key by key, one change per character.
    void type(const char* name, const QString& text) const
    {
        auto* entry = qobject_cast<QLineEdit*>(control(name));
        entry->selectAll();
        QTest::keyClick(entry, Qt::Key_Backspace);
        for (const char32_t c : text.toUcs4())
            QTest::sendKeyEvent(QTest::Click, entry, Qt::Key_unknown, QString::fromUcs4(&c, 1), Qt::NoModifier);
    }

    // Clicks, then states every change the user sees and where the focus is.
    void step(std::initializer_list<const char*> buttons, const char* focus, const char* expected)
    {
        click(buttons);
        const Look now = look(form.get());
        EXPECT_EQ(changes(seen, now), QString::fromUtf8(expected));
        EXPECT_EQ(form->focusWidget(), control(focus));
        expectFitsAndApart(form.get());
        seen = now;
    }

    std::unique_ptr<ui::MainWindow> form;
    Look seen;  // the window as the last step left it
    QStringList messages;
    QString clipboard;
    bool clipboardWorks = true;
};

TEST_F(FormTest, StartsWithTheDefaultEntriesAndTabsInReadingOrder)
{
    EXPECT_EQ(changes({}, seen),
        "Button1 480,75 75x25 'Aceita'; Button2 480,75 75x25 'Aceita'; Button3 480,160 75x25 'Calcula'; "
        "Button4 480,12 75x25 'Recalcula'; Button5 480,40 75x25 'Listar'; Button6 480,70 75x25 'Sair'; "
        "Button7 392,40 75x25 'Voltar' hidden; Edit1 235,25 100x21 ro; Edit2 350,25 100x21 ro; "
        "Edit3 235,50 100x21 ro; Edit4 350,50 100x21 ro; Edit5 235,75 100x21 ro; Edit6 350,75 100x21 ro; "
        "Edit7 200,128 75x21 ro; Edit8 288,128 75x21 ro; Edit9 376,128 75x21 ro; Edit10 200,160 75x21 ro; "
        "Edit11 288,160 75x21 ro; Edit12 376,160 75x21 ro; "
        "GroupBox1 5,10 570x115 '   1 - Dados do Falante / Driver   '; "
        "GroupBox2 5,135 570x115 '   2 - Dados do Amplificador   '; "
        "GroupBox3 5,255 570x195 '   3 - Parametros Ajuste Limiter   '; "
        "GroupBox4 5,455 570x100 '   4 - Diversos  '; Label1 15,30 '3.1 - Limiar Tensão em Volts  : '; "
        "Label2 15,55 '3.2 - Limiar Tensão em dBU :'; Label3 15,80 '3.3 - Limiar Tensão em dBV  : '; "
        "Label4 15,128 '3.5 - Tempo de Ataque (Attack) '; Label5 216,104 'Slow (ms)'; "
        "Label6 296,104 'Medium (ms)'; Label7 392,104 'Fast (ms)'; "
        "Label8 15,168 '3.6 - Tempo de Liberação (Release) '; Label9 16,24 '01'; Label10 232,24 '02'; "
        "Label11 16,48 '03'; Label12 232,48 '04'; Label13 16,72 '05'; Label14 232,72 '06'; "
        "Label15 460,30 '(Threshold = Limiar)'; LabeledEdit1 10,35 215x21 'Tamsorel'; "
        "LabeledEdit1Label 10,19 '1.1 - Marca'; LabeledEdit2 235,35 217x21 'TQ 2005'; "
        "LabeledEdit2Label 235,19 '1.2 - Modelo'; LabeledEdit3 10,75 100x21 '8.00'; "
        "LabeledEdit3Label 10,59 '1.3 - Znom (Ohms)'; LabeledEdit4 125,75 100x21 '125'; "
        "LabeledEdit4Label 125,59 '1.4 - P. Max (Watts)'; LabeledEdit5 235,75 100x21 '1250'; "
        "LabeledEdit5Label 235,59 '1.5 - Freq Rec (Hertz)'; LabeledEdit6 350,75 100x21 '2000'; "
        "LabeledEdit6Label 350,59 '1.6 - Freq Desejada '; LabeledEdit7 10,35 215x21 'Morvask'; "
        "LabeledEdit7Label 10,19 '2.1 - Marca'; LabeledEdit8 235,35 215x21 'RZ 2005'; "
        "LabeledEdit8Label 235,19 '2.2 - Modelo'; LabeledEdit9 10,75 100x21 '0.775'; "
        "LabeledEdit9Label 10,59 '2.3 Vin (Volts)'; LabeledEdit10 120,75 100x21 '8'; "
        "LabeledEdit10Label 120,59 '2.4 - Znom (Ohms)'; LabeledEdit11 235,75 100x21 '1000'; "
        "LabeledEdit11Label 235,59 '2.5 - Pmax @ Znom'; LabeledEdit12 352,75 100x21 '6'; "
        "LabeledEdit12Label 352,59 '2.6 - Fator Crista (dB)'; Memo1 5,10 570x420 ro hidden");
    EXPECT_EQ(form->focusWidget(), control(SpkBrand));
    expectFitsAndApart(form.get());
    QStringList order, names;  // Tab walks the panels in reading order and comes back
    for (int i = 0; i < 30; ++i) {
        QTest::keyClick(form->focusWidget(), Qt::Key_Tab);
        order << form->focusWidget()->objectName();
        names << form->focusWidget()->accessibleName().trimmed();  // what a screen reader says
    }
    EXPECT_EQ(order.join(' '),
        "LabeledEdit2 LabeledEdit3 LabeledEdit4 LabeledEdit5 LabeledEdit6 Button1 LabeledEdit7 LabeledEdit8 "
        "LabeledEdit9 LabeledEdit10 LabeledEdit11 LabeledEdit12 Button2 Edit1 Edit2 Edit3 Edit5 Edit6 Edit7 Edit8 "
        "Edit9 Edit10 Edit11 Edit12 Button3 Edit4 Button4 Button5 Button6 LabeledEdit1");
    EXPECT_FALSE(names.contains(QString()));
    EXPECT_EQ(QSet<QString>(names.begin(), names.end()).size(), names.size() - 1);  // but two "Aceita"
}

TEST_F(FormTest, TheDefaultPassFillsPanelFourThenPanelThree)
{
    step({SpeakerAceita, SpeakerAceita}, AmplifierAceita,
        "Label9 'Tensao   (01) Driver : 20'; Label10 'Potencia (01) Driver : 50'; "
        "Label11 'Tensao   (02) Driver : 28.2842712402344'; Label12 'Potencia (02) Driver : 100'; "
        "Label13 'Tensao   (03) Driver : 40'; Label14 'Potencia (03) Driver : 200'; "
        "LabeledEdit1 '      Tamsorel      ' blue; LabeledEdit2 '      TQ 2005      ' blue; LabeledEdit3 blue; "
        "LabeledEdit4 '125.00' blue; LabeledEdit5 '1250.00' blue; LabeledEdit6 '2000.00' blue");
    step({AmplifierAceita}, Calcula,
        "Button1 hidden; Label9 'Tensao Maxima Power  : 89.44'; Label10 'Ganho Linear (X)     : 115.41'; "
        "Label11 'Ganho LOG dB (X dB)  : 41.24'; Label12 'Fator Crista (Vezes) : 3.98'; "
        "Label13 'Fator Crista (dB)    : 6.00'; Label14 232,80 'Fator Crista Max (dB): 13.01' red 10pt; "
        "LabeledEdit1 ro; LabeledEdit2 ro; LabeledEdit3 ro; LabeledEdit4 ro; LabeledEdit5 ro; LabeledEdit6 ro; "
        "LabeledEdit7 '   Morvask   ' blue; LabeledEdit8 '   RZ 2005   ' blue; LabeledEdit9 blue; "
        "LabeledEdit10 '8.00' blue; LabeledEdit11 '1000.00' blue; LabeledEdit12 '6.00' blue");
    step({Calcula}, Recalcula,
        "Button2 hidden; Edit1 '    0.346  V'; Edit2 '   345.769 mV' red; Edit3 '    -7.01  dBu'; "
        "Edit4 '   -7.01 dBu' red; Edit5 '    -9.22  dBV'; Edit6 '   -9.22 dBV' red; Edit7 '   0.500 ms'; "
        "Edit8 '   0.38 ms'; Edit9 '   0.30 ms'; Edit10 '   6.000 ms'; Edit11 '   2.25 ms'; Edit12 '   0.90 ms'; "
        "Label9 ''; Label10 ''; Label11 ''; Label12 ''; Label13 ''; Label14 ''; LabeledEdit7 ro; LabeledEdit8 ro; "
        "LabeledEdit9 ro; LabeledEdit10 ro; LabeledEdit11 ro; LabeledEdit12 ro");
}

TEST_F(FormTest, RecalculaReopensThePanelsForAPassThatWarns)
{
    click({SpeakerAceita, SpeakerAceita});
    const Look speaker = look(form.get());  // the brand gains three spaces a side at each Aceita
    click({AmplifierAceita, Calcula});
    const Look calculated = seen = look(form.get());
    step({Recalcula, Recalcula}, SpkBrand,
        "Button1 shown; Button2 shown; Edit1 ''; Edit2 ''; Edit3 ''; Edit4 ''; Edit5 ''; Edit6 ''; Edit7 ''; "
        "Edit8 ''; Edit9 ''; Edit10 ''; Edit11 ''; Edit12 ''; LabeledEdit1 'Tamsorel' green rw; "
        "LabeledEdit2 'TQ 2005' green rw; LabeledEdit3 green rw; LabeledEdit4 green rw; LabeledEdit5 green rw; "
        "LabeledEdit6 green rw; LabeledEdit7 'Morvask' green rw; LabeledEdit8 'RZ 2005' green rw; "
        "LabeledEdit9 green rw; LabeledEdit10 green rw; LabeledEdit11 green rw; LabeledEdit12 green rw");
    type(CrestDb, "14");
    click({SpeakerAceita, SpeakerAceita});  // as after the first Aceita, Label14 home, black and 8 pt again
    EXPECT_EQ(changes(speaker, look(form.get())),
        "Edit2 red; Edit4 red; Edit6 red; LabeledEdit7 green; LabeledEdit8 green; LabeledEdit9 green; "
        "LabeledEdit10 '8.00' green; LabeledEdit11 '1000.00' green; LabeledEdit12 '14' green");
    click({AmplifierAceita, Calcula});
    EXPECT_EQ(messages, QStringList{kWarning});
    EXPECT_EQ(form->focusWidget(), control(Recalcula));
    EXPECT_EQ(changes(calculated, look(form.get())),
        "Button2 shown; Edit1 '    0.869  V'; Edit2 '   868.534 mV'; Edit3 '    0.99  dBu'; "
        "Edit4 '   0.99 dBu'; Edit5 '    -1.22  dBV'; Edit6 '   -1.22 dBV'; LabeledEdit12 '14.00' red rw");
}

TEST_F(FormTest, ListarShowsTheReportWhichSairCopiesOrLeavesAsItWas)
{
    clipboardWorks = false;
    step({Listar, Sair}, Sair,  // the window as Listar left it
        "Button4 hidden; Button7 480,12 shown; GroupBox1 hidden; GroupBox2 hidden; GroupBox3 hidden; Memo1 shown");
    EXPECT_EQ(messages, QStringList{QStringLiteral("Não foi possível copiar o relatório para o clipboard.")});
    EXPECT_FALSE(form->reportOnClipboard());
    step({Voltar}, Recalcula,
        "Button4 shown; Button7 hidden; GroupBox1 shown; GroupBox2 shown; GroupBox3 shown; Memo1 hidden");

    QFile file(QStringLiteral(QUORVANE_TEST_SUPPORT_DIR "/default_block.txt"));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QString block = QString::fromUtf8(file.readAll()).replace(QLatin1Char('\n'), QStringLiteral("\r\n"));
    clipboardWorks = true;
    messages.clear();
    click({SpeakerAceita, AmplifierAceita});
    for (int i = 0; i < 1000; ++i)
        click({Calcula});
    click({Listar, Sair});
    EXPECT_FALSE(control(Recalcula)->isHidden());  // "Recalcula" is shown again as the report goes
    EXPECT_TRUE(clipboard.startsWith(kTitle + QStringLiteral("07/12/2026\r\n") + block));
    EXPECT_TRUE(clipboard.endsWith(QString(block).replace(" Ajuste : 1  ", " Ajuste : 1000  ")));
    EXPECT_EQ(clipboard.count(QStringLiteral("\r\n")), 1 + 1000 * report::kBlockLineCount);
    EXPECT_EQ(messages, QStringList{QStringLiteral(" TEXTO COPIADO PARA O CLIPBOARD !")});
    EXPECT_FALSE(form->isVisible());
    EXPECT_TRUE(form->reportOnClipboard());
}

// The window as the program makes it: the desktop's locale (the tests run in
// pt_BR: comma decimals, dd/MM/yyyy) and real message boxes, which show what
// the user typed as plain text.
TEST(RealWindow, ReadsTheLocaleAndShowsPlainMessages)
{
    ui::MainWindow form;
    form.show();
    QStringList seen;
    QTimer closer;
    QObject::connect(&closer, &QTimer::timeout, [&] {
        if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
            EXPECT_EQ(box->windowTitle(), "Quorvane");
            EXPECT_EQ(box->textFormat(), Qt::PlainText);
            EXPECT_EQ(box->palette().color(QPalette::Window), form.palette().color(QPalette::Window));
            EXPECT_EQ(box->font(), form.font());
            seen << box->text();
            box->accept();
        }
    });
    closer.start(20);
    EXPECT_EQ(form.windowTitle(), "Quorvane V " QUORVANE_VERSION);
    EXPECT_EQ(QString::fromStdString(form.behaviour().reportLines()[0]), kTitle + QDate::currentDate().toString(QStringLiteral("dd/MM/yyyy")));
    const auto entry = [&](int n) { return form.findChild<QLineEdit*>(QStringLiteral("LabeledEdit%1").arg(n)); };
    const auto click = [&](const char* name) { QTest::mouseClick(form.findChild<QPushButton*>(name), Qt::LeftButton); };
    entry(3)->setText(QStringLiteral("8.5"));  // the whole text at once: one change
    entry(3)->setText(QStringLiteral("8,125"));
    entry(4)->setText(QStringLiteral("<b>12</b>"));
    click(SpeakerAceita);
    EXPECT_EQ(seen, QStringList({kInvalid, kInvalid, "'<b>12</b>' não é um número válido"}));
    EXPECT_EQ(entry(3)->text(), QStringLiteral("8,13"));  // taken before the failure
    EXPECT_EQ(entry(5)->text(), QStringLiteral("1250"));
    entry(4)->setText(QStringLiteral("5000"));
    entry(6)->setText(QStringLiteral("1000"));
    click(SpeakerAceita);  // each broken rule's message, then its entry in red
    EXPECT_EQ(
        seen.mid(3), QStringList({kRefused, "Frequencia Desejada MENOR QUE Frequencia Recomendada ! Altere Valor !"}));
    EXPECT_EQ(ui::MainWindow::fontColor(entry(4)), ui::MainWindow::colour(behaviour::Colour::Red));
    EXPECT_EQ(ui::MainWindow::fontColor(entry(6)), ui::MainWindow::colour(behaviour::Colour::Red));
    entry(4)->setText(QStringLiteral("125"));
    entry(6)->setText(QStringLiteral("2000"));
    entry(9)->setText(QStringLiteral("0,775"));
    for (const char* name : {SpeakerAceita, AmplifierAceita, Calcula})
        click(name);
    EXPECT_EQ(form.findChild<QLineEdit*>("Edit1")->text(), "    0,349  V");
    EXPECT_EQ(QString::fromStdString(form.behaviour().reportText()).split("\r\n").filter(QRegularExpression("\\d,\\d")).size(), 28);  // every number of the block
}

}  // namespace
