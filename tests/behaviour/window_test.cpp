// The window's behaviour, driven as a user drives the window: typed changes
// key by key and pressed buttons; what every control then shows, stated step
// by step, and the effects a view plays, in their order.
#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <initializer_list>
#include <map>
#include <sstream>
#include <string>
#include <tuple>
#include <vector>

#include "behaviour/window.h"
#include "report/report.h"

namespace {

using behaviour::Button;
using behaviour::ControlId;
using behaviour::ControlState;
using behaviour::Effect;
using core::Entry;

const auto& kLayout = behaviour::Window::controls();

// A control as a user sees it: place, size (not for labels, which take their
// text's size), text, colour, font size, read-only and hidden. What is usual
// (black, 8 pt, editable, shown) goes unsaid.
std::vector<std::string> seen(ControlId id, const ControlState& s)
{
    static const char* const colours[] = {"black", "red", "blue", "green", "black"};
    const bool report = id == kLayout.report;
    return {std::to_string(s.place.left) + ',' + std::to_string(s.place.top),
        s.place.width > 0 ? std::to_string(s.place.width) + 'x' + std::to_string(s.place.height) : "",
        report ? "" : '\'' + s.text + '\'', colours[static_cast<int>(s.colour)], std::to_string(s.fontPoints) + "pt",
        s.readOnly ? "ro" : "rw", s.hidden ? "hidden" : "shown"};
}
const std::vector<std::string> kUsual{"", "", "''", "black", "8pt", "rw", "shown"};

// Controls by name with their number as a number: Edit2 before Edit10.
std::vector<ControlId> inNameOrder()
{
    const auto key = [](ControlId id) {
        const std::string& name = kLayout.controls[id].objectName;
        const auto digit = name.find_first_of("0123456789");
        const auto rest = name.find_first_not_of("0123456789", digit);
        return std::tuple(
            name.substr(0, digit), std::stoi(name.substr(digit)), rest == std::string::npos ? "" : name.substr(rest));
    };
    std::vector<ControlId> ids(kLayout.controls.size());
    for (ControlId i = 0; i < ids.size(); ++i)
        ids[i] = i;
    std::sort(ids.begin(), ids.end(), [&](ControlId a, ControlId b) { return key(a) < key(b); });
    return ids;
}

using Look = std::vector<ControlState>;

// What differs from one look to the next, control by control; from an empty
// look, everything but the usual.
std::string changes(const Look& before, const Look& after)
{
    std::string out;
    for (const ControlId id : inNameOrder()) {
        const auto now = seen(id, after[id]);
        const auto then = before.empty() ? kUsual : seen(id, before[id]);
        std::string said;
        for (std::size_t i = 0; i < now.size(); ++i) {
            if (!now[i].empty() && now[i] != then[i])
                said += ' ' + now[i];
        }
        if (!said.empty())
            out += (out.empty() ? "" : "; ") + kLayout.controls[id].objectName + said;
    }
    return out;
}

class WindowTest : public ::testing::Test {
protected:
    Look look() const
    {
        Look all;
        for (ControlId id = 0; id < kLayout.controls.size(); ++id)
            all.push_back(window.state(id));
        return all;
    }
    const std::string& focus() const { return kLayout.controls[window.focus()].objectName; }

    // Plays the effects as a view would, and keeps their trail: each change
    // with what it changed, each message.
    void play(const behaviour::Effects& effects)
    {
        for (const Effect& e : effects) {
            if (e.kind == Effect::Kind::Message) {
                messages.push_back(e.text);
                trail += "«" + e.text + "» ";
            } else if (e.kind == Effect::Kind::Change) {
                Look before = shown, after = shown;
                after[e.control] = e.state;
                shown = after;
                const std::string changed = changes(before, after);
                trail += changed.empty() ? "" : changed + "; ";
            } else if (e.kind == Effect::Kind::CopyReport) {
                clipboard = clipboardWorks ? window.reportText() : "";
                play(window.reportCopied(clipboardWorks));
            } else if (e.kind == Effect::Kind::Close) {
                closed = true;
            }
        }
    }
    void press(std::initializer_list<Button> buttons)
    {
        for (const Button b : buttons)
            play(window.press(b));
    }
    // Replaces an entry's text as a user does: select all, erase, then type
    // character by character, one change each.
    void type(Entry entry, const std::string& text)
    {
        for (std::size_t n = 0; n <= text.size(); ++n) {
            shown[kLayout.id(entry)].text = text.substr(0, n);  // the view shows what was typed
            play(window.edit(kLayout.id(entry), text.substr(0, n)));
        }
    }
    // Presses, then states every change the user sees and where the focus is.
    void step(std::initializer_list<Button> buttons, const char* focused, const char* expected)
    {
        press(buttons);
        EXPECT_EQ(changes(last, look()), expected);
        EXPECT_EQ(focus(), focused);
        EXPECT_EQ(shown, look());  // what the effects said is what the window holds
        last = look();
    }

    behaviour::Window window{{'.'}, "07/12/2026"};
    Look shown = look();  // as a view that played every effect shows it
    Look last = look();   // as the last step left it
    std::vector<std::string> messages;
    std::string trail;
    std::string clipboard;
    bool clipboardWorks = true;
    bool closed = false;
};

TEST_F(WindowTest, StartsWithTheDefaultEntries)
{
    EXPECT_EQ(changes({}, look()),
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
    EXPECT_EQ(focus(), "LabeledEdit1");
    EXPECT_EQ(
        window.reportLines(), std::vector<std::string>{"Dados para Quorvane" + std::string(36, ' ') + "07/12/2026"});
}

TEST_F(WindowTest, TheDefaultPassFillsPanelFourThenPanelThree)
{
    step({Button::SpeakerAceita, Button::SpeakerAceita}, "Button2",
        "Label9 'Tensao   (01) Driver : 20'; Label10 'Potencia (01) Driver : 50'; "
        "Label11 'Tensao   (02) Driver : 28.2842712402344'; Label12 'Potencia (02) Driver : 100'; "
        "Label13 'Tensao   (03) Driver : 40'; Label14 'Potencia (03) Driver : 200'; "
        "LabeledEdit1 '      Tamsorel      ' blue; LabeledEdit2 '      TQ 2005      ' blue; LabeledEdit3 blue; "
        "LabeledEdit4 '125.00' blue; LabeledEdit5 '1250.00' blue; LabeledEdit6 '2000.00' blue");
    step({Button::AmplifierAceita}, "Button3",
        "Button1 hidden; Label9 'Tensao Maxima Power  : 89.44'; Label10 'Ganho Linear (X)     : 115.41'; "
        "Label11 'Ganho LOG dB (X dB)  : 41.24'; Label12 'Fator Crista (Vezes) : 3.98'; "
        "Label13 'Fator Crista (dB)    : 6.00'; Label14 232,80 'Fator Crista Max (dB): 13.01' red 10pt; "
        "LabeledEdit1 ro; LabeledEdit2 ro; LabeledEdit3 ro; LabeledEdit4 ro; LabeledEdit5 ro; LabeledEdit6 ro; "
        "LabeledEdit7 '   Morvask   ' blue; LabeledEdit8 '   RZ 2005   ' blue; LabeledEdit9 blue; "
        "LabeledEdit10 '8.00' blue; LabeledEdit11 '1000.00' blue; LabeledEdit12 '6.00' blue");
    step({Button::Calcula}, "Button4",
        "Button2 hidden; Edit1 '    0.346  V'; Edit2 '   345.769 mV' red; Edit3 '    -7.01  dBu'; "
        "Edit4 '   -7.01 dBu' red; Edit5 '    -9.22  dBV'; Edit6 '   -9.22 dBV' red; Edit7 '   0.500 ms'; "
        "Edit8 '   0.38 ms'; Edit9 '   0.30 ms'; Edit10 '   6.000 ms'; Edit11 '   2.25 ms'; Edit12 '   0.90 ms'; "
        "Label9 ''; Label10 ''; Label11 ''; Label12 ''; Label13 ''; Label14 ''; LabeledEdit7 ro; LabeledEdit8 ro; "
        "LabeledEdit9 ro; LabeledEdit10 ro; LabeledEdit11 ro; LabeledEdit12 ro");
    EXPECT_TRUE(messages.empty());
}

TEST_F(WindowTest, RecalculaReopensThePanelsForAPassThatWarns)
{
    press({Button::SpeakerAceita, Button::SpeakerAceita});
    const Look speaker = look();  // the brand gains three spaces a side at each Aceita
    press({Button::AmplifierAceita, Button::Calcula});
    const Look calculated = last = look();
    step({Button::Recalcula, Button::Recalcula}, "LabeledEdit1",
        "Button1 shown; Button2 shown; Edit1 ''; Edit2 ''; Edit3 ''; Edit4 ''; Edit5 ''; Edit6 ''; Edit7 ''; "
        "Edit8 ''; Edit9 ''; Edit10 ''; Edit11 ''; Edit12 ''; LabeledEdit1 'Tamsorel' green rw; "
        "LabeledEdit2 'TQ 2005' green rw; LabeledEdit3 green rw; LabeledEdit4 green rw; LabeledEdit5 green rw; "
        "LabeledEdit6 green rw; LabeledEdit7 'Morvask' green rw; LabeledEdit8 'RZ 2005' green rw; "
        "LabeledEdit9 green rw; LabeledEdit10 green rw; LabeledEdit11 green rw; LabeledEdit12 green rw");
    type(Entry::CrestDb, "14");
    press({Button::SpeakerAceita, Button::SpeakerAceita});  // as after the first Aceita, Label14 home, black, 8 pt
    EXPECT_EQ(changes(speaker, look()),
        "Edit2 red; Edit4 red; Edit6 red; LabeledEdit7 green; LabeledEdit8 green; LabeledEdit9 green; "
        "LabeledEdit10 '8.00' green; LabeledEdit11 '1000.00' green; LabeledEdit12 '14' green");
    press({Button::AmplifierAceita});
    trail.clear();
    press({Button::Calcula});  // the warning, then the crest factor reopened in red for the user
    EXPECT_EQ(trail.substr(0, trail.find("Edit1 ")),
        "Button2 hidden; LabeledEdit7 ro; LabeledEdit8 ro; LabeledEdit9 ro; LabeledEdit10 ro; LabeledEdit11 ro; "
        "LabeledEdit12 ro; «Tensão Saida Limiter > Tensão Entrada Power ! Altere Valor Fator de Crista !» "
        "Button2 shown; LabeledEdit12 red rw; ");
    EXPECT_EQ(focus(), "Button4");
    EXPECT_EQ(changes(calculated, look()),
        "Button2 shown; Edit1 '    0.869  V'; Edit2 '   868.534 mV'; Edit3 '    0.99  dBu'; "
        "Edit4 '   0.99 dBu'; Edit5 '    -1.22  dBV'; Edit6 '   -1.22 dBV'; LabeledEdit12 '14.00' red rw");
}

TEST_F(WindowTest, RecalculaTakesTheNumbersAsItWritesThem)
{
    press({Button::SpeakerAceita, Button::AmplifierAceita, Button::Calcula, Button::Recalcula});
    type(Entry::AmpVin, "0.7755");
    press({Button::Recalcula, Button::Calcula});  // "0.775" again, and a Calcula with no new Aceita
    EXPECT_EQ(window.state(kLayout.id(behaviour::ResultField::LimMillivolts)).text, "   345.769 mV");
}

TEST_F(WindowTest, RefusedValuesShowTheirMessageThenTurnRed)
{
    type(Entry::SpkZnom, "-8");  // the minus alone is no number; the entry stays red after the digit
    EXPECT_EQ(trail, "«Valor Incorreto !» LabeledEdit3 red; ");
    type(Entry::SpkZnom, "0.5");
    type(Entry::SpkPmax, "5000");
    type(Entry::FreqDes, "1000");
    trail.clear();
    press({Button::SpeakerAceita});  // each broken rule's message, then its entry in red; then the rest
    EXPECT_EQ(trail.substr(trail.find("«"), trail.find("Label9") - trail.find("«")),
        "«Valor Não Aceito ! Altere Valor !» LabeledEdit3 red; «Valor Não Aceito ! Altere Valor !» "
        "LabeledEdit4 red; «Frequencia Desejada MENOR QUE Frequencia Recomendada ! Altere Valor !» "
        "LabeledEdit6 red; ");
    type(Entry::SpkPmax, "1e39");  // "1e" and "1e39" are no numbers the program can hold
    trail.clear();
    press({Button::SpeakerAceita});  // stops where the text cannot be read, and says why
    EXPECT_EQ(trail.substr(trail.find("«")), "«'1e39' não é um número válido» ");
    EXPECT_EQ(messages.size(), 7);
}

TEST_F(WindowTest, ListarShowsTheReportWhichSairCopiesOrLeavesAsItWas)
{
    clipboardWorks = false;
    step({Button::Listar, Button::Sair, Button::Calcula}, "LabeledEdit1",  // Calcula is hidden with its panel
        "Button4 hidden; Button7 480,12 shown; GroupBox1 hidden; GroupBox2 hidden; GroupBox3 hidden; Memo1 shown");
    EXPECT_EQ(messages, std::vector<std::string>{"Não foi possível copiar o relatório para o clipboard."});
    EXPECT_FALSE(closed || window.reportOnClipboard());
    step({Button::Voltar}, "Button4",
        "Button4 shown; Button7 hidden; GroupBox1 shown; GroupBox2 shown; GroupBox3 shown; Memo1 hidden");

    std::ifstream file(QUORVANE_TEST_SUPPORT_DIR "/default_block.txt");
    std::string block, line;
    while (std::getline(file, line))
        block += line + "\r\n";
    ASSERT_EQ(std::count(block.begin(), block.end(), '\n'), report::kBlockLineCount);
    clipboardWorks = true;
    messages.clear();
    press({Button::SpeakerAceita, Button::AmplifierAceita});
    for (int i = 0; i < 1000; ++i)
        press({Button::Calcula});
    press({Button::Sair});
    EXPECT_FALSE(window.state(kLayout.id(Button::Recalcula)).hidden);  // shown again as the report goes
    const std::string title = "Dados para Quorvane" + std::string(36, ' ') + "07/12/2026\r\n";
    EXPECT_EQ(clipboard.substr(0, title.size() + block.size()), title + block);
    const std::string lastBlock = block.replace(block.find(" 1  "), 4, " 1000  ");
    EXPECT_EQ(clipboard.substr(clipboard.size() - lastBlock.size()), lastBlock);
    EXPECT_EQ(clipboard.size(), window.reportText().size());
    EXPECT_EQ(window.reportLines().size(), 1 + 1000 * report::kBlockLineCount);
    EXPECT_EQ(messages, std::vector<std::string>{" TEXTO COPIADO PARA O CLIPBOARD !"});
    EXPECT_TRUE(closed && window.reportOnClipboard());
}

// A session kept as text reads back as the same window, whatever the
// locale and date of the window that reads it, after every kind of step;
// and once "Sair" has copied the report there is nothing to keep.
TEST_F(WindowTest, EverySessionReadsBackFromItsSnapshot)
{
    const auto readsBack = [this](const char* after) {
        SCOPED_TRACE(after);
        behaviour::Window restored{{','}, "01/01/2027"};
        ASSERT_TRUE(restored.restore(window.snapshot()));
        EXPECT_TRUE(restored == window);
    };
    readsBack("the start");
    type(Entry::SpkBrand, "Marca\tcom\\n\nlinhas\r");  // what no entry takes, escaped and read back
    type(Entry::SpkZnom, "-8");
    readsBack("a refused value");
    type(Entry::SpkZnom, "8");
    press({Button::SpeakerAceita, Button::AmplifierAceita});
    window.focusMoved(kLayout.id(Entry::AmpModel));  // by a click or Tab, which the view tells
    readsBack("both Aceita");
    press({Button::Calcula, Button::Listar});
    readsBack("Listar");
    clipboardWorks = false;
    press({Button::Sair, Button::Voltar, Button::Recalcula});
    readsBack("Recalcula");
    type(Entry::CrestDb, "14");
    press({Button::SpeakerAceita, Button::AmplifierAceita, Button::Calcula});
    readsBack("the warning");
    clipboardWorks = true;
    press({Button::Sair});
    EXPECT_EQ(window.snapshot(), "");
    press({Button::Listar, Button::Voltar});  // a page, which cannot close, goes on
    readsBack("Voltar after Sair");
}

// One that does not read back whole leaves the window as it was.
TEST_F(WindowTest, ASnapshotCutShortAlteredOrOfAnotherVersionChangesNothing)
{
    press({Button::SpeakerAceita, Button::AmplifierAceita, Button::Calcula});
    const std::string good = window.snapshot();
    const std::string header = "Quorvane session 1 " QUORVANE_VERSION "\n";
    ASSERT_EQ(good.substr(0, header.size()), header);
    std::vector<std::string> bad{"Quorvane session 1 0.0.1\n" + good.substr(header.size()), "\n" + good};
    for (std::size_t n = 0; n < good.size(); ++n)
        bad.push_back(good.substr(0, n));
    for (std::size_t at = 0; at < good.size(); at += 7) {
        std::string altered = good;
        altered[at] = altered[at] == '1' ? '2' : '1';
        bad.push_back(altered);
    }
    behaviour::Window fresh{{'.'}, "07/12/2026"};
    const behaviour::Window untouched = fresh;
    for (const std::string& snapshot : bad) {
        EXPECT_FALSE(fresh.restore(snapshot)) << snapshot.size() << " bytes";
        EXPECT_TRUE(fresh == untouched);
    }
    EXPECT_TRUE(fresh.restore(good));
}

}  // namespace
