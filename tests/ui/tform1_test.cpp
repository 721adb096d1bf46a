#include <QDate>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QMap>
#include <QMessageBox>
#include <QRegularExpression>
#include <QSet>
#include <QTimer>

#include <algorithm>
#include <tuple>
#include <vector>

#include "form_fixture.h"

using uitest::FormTest;

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
    Look controls;
    for (const QWidget* w : form->findChildren<QWidget*>(QRegularExpression("^[A-Z]"))) {
        const QRect r = w->geometry();
        const bool label = qobject_cast<const QLabel*>(w) != nullptr;
        const QVariant text = w->property(qobject_cast<const QGroupBox*>(w) != nullptr ? "title" : "text");
        const QColor c = ui::TForm1::fontColor(w);
        const QMap<QRgb, QString> names{{ui::clRed.rgb(), "red"}, {ui::clBlue.rgb(), "blue"},
            {ui::clGreen.rgb(), "green"}, {ui::clBlack.rgb(), "black"}};
        controls[w->objectName()] = {QStringLiteral("%1,%2").arg(r.x()).arg(r.y()),
            label ? QString() : QStringLiteral("%1x%2").arg(r.width()).arg(r.height()),
            text.isValid() ? '\'' + text.toString() + '\'' : QString(), names.value(c.rgb(), c.name()),
            QStringLiteral("%1pt").arg(w->font().pointSize()), w->property("readOnly").toBool() ? "ro" : "rw",
            w->isHidden() ? "hidden" : "shown"};
    }
    return controls;
}

// What differs from one look to the next, control by control in numeric
// order, with runs of controls that changed alike as one ("Edit1-12 ''");
// from an empty look, everything but the usual.
QString changes(const Look& before, const Look& after)
{
    struct Said {
        QString kind, suffix;
        int n;
        QString tokens;
    };
    std::vector<Said> said;
    for (auto it = after.begin(); it != after.end(); ++it) {
        QString tokens;
        for (qsizetype i = 0; i < it->size(); ++i) {
            const bool changed = before.contains(it.key()) ? before[it.key()][i] != it->at(i) : it->at(i) != kUsual[i];
            if (changed && !it->at(i).isEmpty())
                tokens += ' ' + it->at(i);
        }
        const auto name = QRegularExpression("^(\\D+)(\\d+)(.*)$").match(it.key());
        if (!tokens.isEmpty())
            said.push_back({name.captured(1), name.captured(3), name.captured(2).toInt(), tokens});
    }
    std::sort(said.begin(), said.end(),
        [](const Said& a, const Said& b) { return std::tie(a.kind, a.suffix, a.n) < std::tie(b.kind, b.suffix, b.n); });
    QStringList lines;
    for (std::size_t i = 0, j = 0; i < said.size(); i = ++j) {
        while (j + 1 < said.size() && said[j + 1].kind == said[i].kind && said[j + 1].suffix == said[i].suffix &&
            said[j + 1].n == said[j].n + 1 && said[j + 1].tokens == said[i].tokens)
            ++j;
        const QString last = j > i ? QStringLiteral("-%1").arg(said[j].n) : QString();
        lines << said[i].kind + QString::number(said[i].n) + last + said[i].suffix + said[i].tokens;
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

class WindowSteps : public FormTest {
protected:
    // Clicks, then states every change the user sees and where the focus is.
    void step(std::initializer_list<int> buttons, const QWidget* focus, const char* expected)
    {
        click(buttons);
        const Look now = look(form.get());
        EXPECT_EQ(changes(seen, now), QString::fromUtf8(expected));
        EXPECT_EQ(form->focusWidget(), focus);
        expectFitsAndApart(form.get());
        seen = now;
    }
    Look seen;
};

TEST_F(WindowSteps, TheDefaultPassAndTheReportView)
{
    step({}, entry(1),
        "Button1-2 480,75 75x25 'Aceita'; Button3 480,160 75x25 'Calcula'; Button4 480,12 75x25 'Recalcula'; "
        "Button5 480,40 75x25 'Listar'; Button6 480,70 75x25 'Sair'; Button7 392,40 75x25 'Voltar' hidden; "
        "Edit1 235,25 100x21 ro; Edit2 350,25 100x21 ro; Edit3 235,50 100x21 ro; Edit4 350,50 100x21 ro; "
        "Edit5 235,75 100x21 ro; Edit6 350,75 100x21 ro; Edit7 200,128 75x21 ro; Edit8 288,128 75x21 ro; "
        "Edit9 376,128 75x21 ro; Edit10 200,160 75x21 ro; Edit11 288,160 75x21 ro; Edit12 376,160 75x21 ro; "
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
        "LabeledEdit2 235,35 217x21 'TQ 2005'; LabeledEdit3 10,75 100x21 '8.00'; LabeledEdit4 125,75 100x21 '125'; "
        "LabeledEdit5 235,75 100x21 '1250'; LabeledEdit6 350,75 100x21 '2000'; "
        "LabeledEdit7 10,35 215x21 'Morvask'; LabeledEdit8 235,35 215x21 'RZ 2005'; "
        "LabeledEdit9 10,75 100x21 '0.775'; LabeledEdit10 120,75 100x21 '8'; LabeledEdit11 235,75 100x21 '1000'; "
        "LabeledEdit12 352,75 100x21 '6'; LabeledEdit1Label 10,19 '1.1 - Marca'; "
        "LabeledEdit2Label 235,19 '1.2 - Modelo'; LabeledEdit3Label 10,59 '1.3 - Znom (Ohms)'; "
        "LabeledEdit4Label 125,59 '1.4 - P. Max (Watts)'; LabeledEdit5Label 235,59 '1.5 - Freq Rec (Hertz)'; "
        "LabeledEdit6Label 350,59 '1.6 - Freq Desejada '; LabeledEdit7Label 10,19 '2.1 - Marca'; "
        "LabeledEdit8Label 235,19 '2.2 - Modelo'; LabeledEdit9Label 10,59 '2.3 Vin (Volts)'; "
        "LabeledEdit10Label 120,59 '2.4 - Znom (Ohms)'; LabeledEdit11Label 235,59 '2.5 - Pmax @ Znom'; "
        "LabeledEdit12Label 352,59 '2.6 - Fator Crista (dB)'; Memo1 5,10 570x420 ro hidden");
    step({1, 1}, button(2),
        "Label9 'Tensao   (01) Driver : 20'; Label10 'Potencia (01) Driver : 50'; "
        "Label11 'Tensao   (02) Driver : 28.2842712402344'; Label12 'Potencia (02) Driver : 100'; "
        "Label13 'Tensao   (03) Driver : 40'; Label14 'Potencia (03) Driver : 200'; "
        "LabeledEdit1 '      Tamsorel      ' blue; LabeledEdit2 '      TQ 2005      ' blue; LabeledEdit3 blue; "
        "LabeledEdit4 '125.00' blue; LabeledEdit5 '1250.00' blue; LabeledEdit6 '2000.00' blue");
    const Look speaker = seen;  // the brand gains three spaces a side at each Aceita
    step({2}, button(3),
        "Button1 hidden; Label9 'Tensao Maxima Power  : 89.44'; Label10 'Ganho Linear (X)     : 115.41'; "
        "Label11 'Ganho LOG dB (X dB)  : 41.24'; Label12 'Fator Crista (Vezes) : 3.98'; "
        "Label13 'Fator Crista (dB)    : 6.00'; Label14 232,80 'Fator Crista Max (dB): 13.01' red 10pt; "
        "LabeledEdit1-6 ro; LabeledEdit7 '   Morvask   ' blue; LabeledEdit8 '   RZ 2005   ' blue; "
        "LabeledEdit9 blue; LabeledEdit10 '8.00' blue; LabeledEdit11 '1000.00' blue; LabeledEdit12 '6.00' blue");
    step({3}, button(4),
        "Button2 hidden; Edit1 '    0.346  V'; Edit2 '   345.769 mV' red; Edit3 '    -7.01  dBu'; "
        "Edit4 '   -7.01 dBu' red; Edit5 '    -9.22  dBV'; Edit6 '   -9.22 dBV' red; Edit7 '   0.500 ms'; "
        "Edit8 '   0.38 ms'; Edit9 '   0.30 ms'; Edit10 '   6.000 ms'; Edit11 '   2.25 ms'; Edit12 '   0.90 ms'; "
        "Label9-14 ''; LabeledEdit7-12 ro");
    step({5}, button(5), "Button4 hidden; Button7 480,12 shown; GroupBox1-3 hidden; Memo1 shown");
    step({7}, button(4), "Button4 shown; Button7 hidden; GroupBox1-3 shown; Memo1 hidden");
    step({4, 4}, entry(1),
        "Button1-2 shown; Edit1-12 ''; LabeledEdit1 'Tamsorel' green rw; LabeledEdit2 'TQ 2005' green rw; "
        "LabeledEdit3-6 green rw; LabeledEdit7 'Morvask' green rw; LabeledEdit8 'RZ 2005' green rw; "
        "LabeledEdit9-12 green rw");
    click({1, 1});  // as after the first Aceita, Label14 home, black and 8 pt again, but for what it leaves
    EXPECT_EQ(changes(speaker, look(form.get())),
        "Button7 480,12; Edit2 red; Edit4 red; Edit6 red; LabeledEdit7-9 green; LabeledEdit10 '8.00' green; "
        "LabeledEdit11 '1000.00' green; LabeledEdit12 '6.00' green");
    EXPECT_TRUE(messages.isEmpty()) << messages.join('|').toStdString();
    EXPECT_EQ(form->pos(), QPoint(20, 20));
}

TEST_F(WindowSteps, RecalculaRightAfterStart)
{
    seen = look(form.get());
    step({4}, entry(1),
        "LabeledEdit1-2 '' green; LabeledEdit3-4 '0.00' green; LabeledEdit5 ' 0.00' green; "
        "LabeledEdit6 '0.00' green; LabeledEdit7-8 '' green; LabeledEdit9 '0.000' green; "
        "LabeledEdit10 '0.00' green; LabeledEdit11 ' 0.00' green; LabeledEdit12 '0.00' green");
}

TEST_F(FormTest, TabWalksThePanelsInReadingOrder)
{
    QStringList order;
    for (int i = 0; i < 29; ++i) {
        QTest::keyClick(form->focusWidget(), Qt::Key_Tab);
        order << form->focusWidget()->objectName();
    }
    EXPECT_EQ(order.join(' '),
        QStringLiteral("LabeledEdit2 LabeledEdit3 LabeledEdit4 LabeledEdit5 LabeledEdit6 Button1 LabeledEdit7 "
                       "LabeledEdit8 LabeledEdit9 LabeledEdit10 LabeledEdit11 LabeledEdit12 Button2 Edit1 Edit2 Edit3 "
                       "Edit5 Edit6 Edit7 Edit8 Edit9 Edit10 Edit11 Edit12 Button3 Edit4 Button4 Button5 Button6"));
}

TEST_F(WindowSteps, TypedTextIsReadKeyByKeyAndBrokenRulesAreSaidInOrder)
{
    type(4, "-5");  // "-" alone is refused, then -5 is stored; an emptied entry keeps it
    type(4, "");
    EXPECT_EQ(messages.size(), 1);
    EXPECT_EQ(form->worksheet().SpkPmax, -5.0f);
    for (const auto& [field, text] :
        {std::pair{3, "40"}, {4, "5000"}, {6, "1000"}, {9, "50"}, {10, "128"}, {11, "10000"}, {12, "30"}})
        type(field, QString::fromLatin1(text));
    seen = look(form.get());
    step({1, 2}, button(3),
        "Button1 hidden; Label9 'Tensao Maxima Power  : 1131.37'; Label10 'Ganho Linear (X)     : 22.63'; "
        "Label11 'Ganho LOG dB (X dB)  : 27.09'; Label12 'Fator Crista (Vezes) : 1000.00'; "
        "Label13 'Fator Crista (dB)    : 30.00'; Label14 232,80 'Fator Crista Max (dB): 12.04' red 10pt; "
        "LabeledEdit1 '   Tamsorel   ' blue ro; LabeledEdit2 '   TQ 2005   ' blue ro; LabeledEdit3 '40.00' red ro; "
        "LabeledEdit4 '5000.00' ro; LabeledEdit5 '1250.00' blue ro; LabeledEdit6 '1000.00' red ro; "
        "LabeledEdit7 '   Morvask   ' blue; LabeledEdit8 '   RZ 2005   ' blue; LabeledEdit9 '50.000' red; "
        "LabeledEdit10 '128.00' red; LabeledEdit11 '10000.00' red; LabeledEdit12 '30.00' red");
    EXPECT_EQ(messages,
        QStringList(
            {kInvalid, kRefused, kRefused, "Frequencia Desejada MENOR QUE Frequencia Recomendada ! Altere Valor !",
                kRefused, kRefused, kRefused, kRefused}));
}

TEST_F(FormTest, ThresholdWarningAndItsWayOn)
{
    click({1, 2, 3});
    const Look calculated = look(form.get());
    click(4);
    type(12, "14");
    click({1, 2, 3});
    EXPECT_EQ(messages, QStringList{kWarning});
    EXPECT_EQ(form->focusWidget(), button(4));
    EXPECT_EQ(changes(calculated, look(form.get())),
        "Button2 shown; Edit1 '    0.869  V'; Edit2 '   868.534 mV'; Edit3 '    0.99  dBu'; Edit4 '   0.99 dBu'; "
        "Edit5 '    -1.22  dBV'; Edit6 '   -1.22 dBV'; LabeledEdit12 '14.00' red rw");
    type(12, "6");  // changes nothing until panel 2 is accepted again
    click({3, 2, 3});
    EXPECT_EQ(messages, QStringList(2, kWarning));
    EXPECT_EQ(changes(calculated, look(form.get())),
        "LabeledEdit7 '      Morvask      '; LabeledEdit8 '      RZ 2005      '");
}

TEST_F(FormTest, SairCopiesEveryBlockAndClosesOrLeavesTheWindowAsItWas)
{
    clipboardWorks = false;
    click({5, 6});
    EXPECT_EQ(messages, QStringList{QStringLiteral("Não foi possível copiar o relatório para o clipboard.")});
    EXPECT_TRUE(form->isVisible() && button(4)->isHidden() && !form->reportOnClipboard());

    QFile file(QStringLiteral(QUORVANE_TEST_SUPPORT_DIR "/default_block.txt"));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QString block = QString::fromUtf8(file.readAll()).replace(QLatin1Char('\n'), QStringLiteral("\r\n"));
    clipboardWorks = true;
    messages.clear();
    click({7, 1, 2});
    for (int i = 0; i < 1000; ++i)
        click(3);
    click({5, 6});
    EXPECT_FALSE(button(4)->isHidden());  // "Recalcula" is shown again as the report goes
    EXPECT_TRUE(clipboard.startsWith(kTitle + QStringLiteral("07/12/2026\r\n") + block));
    EXPECT_TRUE(clipboard.endsWith(QString(block).replace(" Ajuste : 1  ", " Ajuste : 1000  ")));
    EXPECT_EQ(clipboard.count(QStringLiteral("\r\n")), 1 + 1000 * 41);
    EXPECT_EQ(messages, QStringList{QStringLiteral(" TEXTO COPIADO PARA O CLIPBOARD !")});
    EXPECT_TRUE(!form->isVisible() && form->reportOnClipboard());
}

// The window as the program makes it: the desktop's locale (the tests run in
// pt_BR: comma decimals, dd/MM/yyyy) and real message boxes, which show what
// the user typed as plain text.
TEST(RealWindow, ReadsTheLocaleAndShowsPlainMessages)
{
    ui::TForm1 form;
    form.show();
    QStringList seen;
    QTimer closer;
    QObject::connect(&closer, &QTimer::timeout, [&] {
        if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
            EXPECT_TRUE(box->windowTitle() == "Quorvane" && box->textFormat() == Qt::PlainText);
            EXPECT_EQ(box->palette().color(QPalette::Window), form.palette().color(QPalette::Window));
            EXPECT_EQ(box->buttons().size(), 1);
            seen << box->text();
            box->accept();
        }
    });
    closer.start(20);
    EXPECT_EQ(form.reportTitle(), kTitle + QDate::currentDate().toString(QStringLiteral("dd/MM/yyyy")));
    const numtext::DateNames date = ui::Environment::fromSystem().dateNames;  // for patterns with MMM or ddd
    for (const auto& name : {date.shortMonths[0], date.longMonths[11], date.shortDays[0], date.longDays[6]})
        EXPECT_FALSE(name.empty());
    const auto entry = [&](int n) { return form.findChild<QLineEdit*>(QStringLiteral("LabeledEdit%1").arg(n)); };
    entry(3)->setText(QStringLiteral("8.5"));  // the whole text at once: one change
    entry(3)->setText(QStringLiteral("8,125"));
    entry(4)->setText(QStringLiteral("<b>12</b>"));
    QTest::mouseClick(form.findChild<QPushButton*>(QStringLiteral("Button1")), Qt::LeftButton);
    EXPECT_EQ(seen, QStringList({kInvalid, kInvalid, "'<b>12</b>' não é um número válido"}));
    EXPECT_EQ(entry(3)->text(), QStringLiteral("8,13"));  // taken before the failure
    EXPECT_EQ(entry(5)->text(), QStringLiteral("1250"));
    // Every control the focus reaches has a name a screen reader says.
    QStringList names;
    for (const QWidget* widget : form.findChildren<QWidget*>()) {
        if ((widget->focusPolicy() & Qt::TabFocus) != 0)
            names << widget->accessibleName().trimmed();
    }
    EXPECT_FALSE(names.contains(QString()));
    EXPECT_EQ(QSet<QString>(names.begin(), names.end()).size(), names.size() - 1);  // but two "Aceita"
}

}  // namespace
