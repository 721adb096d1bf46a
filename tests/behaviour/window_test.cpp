// The window's behaviour, driven as a user drives the window: typed changes
// key by key and pressed buttons; what every control then shows, stated step
// by step, and the effects a view plays, in their order.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <fstream>
#include <initializer_list>
#include <iomanip>
#include <map>
#include <numeric>
#include <sstream>
#include <string>
#include <tuple>
#include <vector>

#include <nlohmann/json.hpp>

#include "behaviour/session.h"
#include "support/golden.h"
#include "support/store.h"

namespace {

using behaviour::Button;
using behaviour::ControlId;
using behaviour::ControlState;
using behaviour::Effect;
using core::Entry;

const auto& kLayout = behaviour::Window::controls();

constexpr const char* kToday = "07/12/2026";  // as the windows under test write it

const std::string golden = goldenReport(kToday);

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

// Controls as Tab visits them, then the rest as the window makes them.
std::vector<ControlId> inTabOrder()
{
    std::vector<ControlId> ids = kLayout.tabOrder;
    for (ControlId id = 0; id < kLayout.controls.size(); ++id) {
        if (std::find(ids.begin(), ids.end(), id) == ids.end())
            ids.push_back(id);
    }
    return ids;
}

using Look = std::vector<ControlState>;

// What differs from one look to the next, control by control; from an empty
// look, everything but the usual, and the name a screen reader says where
// it is not the text.
std::string changes(const Look& before, const Look& after)
{
    std::string out;
    for (const ControlId id : inTabOrder()) {
        const auto now = seen(id, after[id]);
        const auto then = before.empty() ? kUsual : seen(id, before[id]);
        const std::string& name = kLayout.controls[id].name;
        std::string said = before.empty() && !name.empty() ? " \"" + name + '"' : "";
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
            } else if (e.kind == Effect::Kind::Notice) {
                notices.push_back(e.text);
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
    // Presses, then states every change the user sees and where the focus is;
    // a failure names the step's own line (std::source_location's builtin:
    // emscripten's library has no <source_location>).
    void step(
        std::initializer_list<Button> buttons, const char* focused, const char* expected, int line = __builtin_LINE())
    {
        const testing::ScopedTrace trace(__FILE__, line, "this step");
        press(buttons);
        EXPECT_EQ(changes(last, look()), expected);
        EXPECT_EQ(focus(), focused);
        EXPECT_EQ(shown, look());  // what the effects said is what the window holds
        last = look();
    }

    behaviour::Window window{{'.'}, kToday};
    Look shown = look();  // as a view that played every effect shows it
    Look last = look();   // as the last step left it
    std::vector<std::string> messages;
    std::string trail;
    std::string clipboard;
    std::vector<std::string> notices;
    bool clipboardWorks = true;
    bool closed = false;
};

TEST_F(WindowTest, StartsWithTheDefaultEntries)
{
    EXPECT_EQ(changes({}, look()),
        "speakerBrand \"1.1 - Marca\" 10,35 215x21 'Tamsorel'; "
        "speakerModel \"1.2 - Modelo\" 235,35 217x21 'TQ 2005'; "
        "speakerZnom \"1.3 - Znom (Ohms)\" 10,75 100x21 '8.00'; "
        "speakerPmax \"1.4 - P. Max (Watts)\" 125,75 100x21 '125'; "
        "freqRec \"1.5 - Freq Rec (Hertz)\" 235,75 100x21 '1250'; "
        "freqDes \"1.6 - Freq Desejada \" 350,75 100x21 '2000'; speakerAceita 480,75 75x25 'Aceita'; "
        "amplifierBrand \"2.1 - Marca\" 10,35 215x21 'Morvask'; "
        "amplifierModel \"2.2 - Modelo\" 235,35 215x21 'RZ 2005'; "
        "amplifierVin \"2.3 Vin (Volts)\" 10,75 100x21 '0.775'; "
        "amplifierZnom \"2.4 - Znom (Ohms)\" 120,75 100x21 '8'; "
        "amplifierPmax \"2.5 - Pmax @ Znom\" 235,75 100x21 '1000'; "
        "crestDb \"2.6 - Fator Crista (dB)\" 352,75 100x21 '6'; amplifierAceita 480,75 75x25 'Aceita'; "
        "limVolts \"3.1 - Limiar Tensão em Volts, V\" 235,25 100x21 ro; "
        "limMillivolts \"3.1 - Limiar Tensão em Volts, mV\" 350,25 100x21 ro; "
        "limDbu \"3.2 - Limiar Tensão em dBU, dBu\" 235,50 100x21 ro; "
        "limDbv \"3.3 - Limiar Tensão em dBV, dBV\" 235,75 100x21 ro; "
        "limDbvRight \"3.3 - Limiar Tensão em dBV, dBV, coluna direita\" 350,75 100x21 ro; "
        "attackSlow \"3.5 - Tempo de Ataque, Slow (ms)\" 200,128 75x21 ro; "
        "attackMedium \"3.5 - Tempo de Ataque, Medium (ms)\" 288,128 75x21 ro; "
        "attackFast \"3.5 - Tempo de Ataque, Fast (ms)\" 376,128 75x21 ro; "
        "releaseSlow \"3.6 - Tempo de Liberação, Slow (ms)\" 200,160 75x21 ro; "
        "releaseMedium \"3.6 - Tempo de Liberação, Medium (ms)\" 288,160 75x21 ro; "
        "releaseFast \"3.6 - Tempo de Liberação, Fast (ms)\" 376,160 75x21 ro; "
        "calcula 480,160 75x25 'Calcula'; "
        "limDbuRight \"3.2 - Limiar Tensão em dBU, dBu, coluna direita\" 350,50 100x21 ro; "
        "recalcula 480,12 75x25 'Recalcula'; listar 480,40 75x25 'Listar'; sair 480,70 75x25 'Sair'; "
        "voltar 392,40 75x25 'Voltar' hidden; report \"Relatório\" 5,10 570x420 ro hidden; "
        "speakerPanel 5,10 570x115 '   1 - Dados do Falante / Driver   '; "
        "amplifierPanel 5,135 570x115 '   2 - Dados do Amplificador   '; "
        "limiterPanel 5,255 570x195 '   3 - Parametros Ajuste Limiter   '; "
        "diversosPanel 5,455 570x100 '   4 - Diversos  '; speakerBrandCaption 10,19 '1.1 - Marca'; "
        "speakerModelCaption 235,19 '1.2 - Modelo'; speakerZnomCaption 10,59 '1.3 - Znom (Ohms)'; "
        "speakerPmaxCaption 125,59 '1.4 - P. Max (Watts)'; freqRecCaption 235,59 '1.5 - Freq Rec (Hertz)'; "
        "freqDesCaption 350,59 '1.6 - Freq Desejada '; amplifierBrandCaption 10,19 '2.1 - Marca'; "
        "amplifierModelCaption 235,19 '2.2 - Modelo'; amplifierVinCaption 10,59 '2.3 Vin (Volts)'; "
        "amplifierZnomCaption 120,59 '2.4 - Znom (Ohms)'; amplifierPmaxCaption 235,59 '2.5 - Pmax @ Znom'; "
        "crestDbCaption 352,59 '2.6 - Fator Crista (dB)'; "
        "limVoltsCaption 15,30 '3.1 - Limiar Tensão em Volts  : '; "
        "limMillivoltsNote 460,30 '(Threshold = Limiar)'; "
        "limDbuCaption 15,55 '3.2 - Limiar Tensão em dBU :'; "
        "limDbvCaption 15,80 '3.3 - Limiar Tensão em dBV  : '; "
        "attackSlowCaption 15,128 '3.5 - Tempo de Ataque (Attack) '; attackSlowHeading 216,104 'Slow (ms)'; "
        "attackMediumHeading 296,104 'Medium (ms)'; attackFastHeading 392,104 'Fast (ms)'; "
        "releaseSlowCaption 15,168 '3.6 - Tempo de Liberação (Release) '; statusLine1 16,24 '01'; "
        "statusLine2 232,24 '02'; statusLine3 16,48 '03'; statusLine4 232,48 '04'; statusLine5 16,72 '05'; "
        "statusLine6 232,72 '06'");
    EXPECT_EQ(focus(), "speakerBrand");
    EXPECT_EQ(window.reportLines(), std::vector<std::string>{golden.substr(0, golden.find('\r'))});
}

TEST_F(WindowTest, TheDefaultPassFillsPanelFourThenPanelThree)
{
    step({Button::SpeakerAceita, Button::SpeakerAceita}, "amplifierAceita",
        "speakerBrand '      Tamsorel      ' blue; speakerModel '      TQ 2005      ' blue; "
        "speakerZnom blue; speakerPmax '125.00' blue; freqRec '1250.00' blue; freqDes '2000.00' blue; "
        "statusLine1 'Tensao   (01) Driver : 20'; statusLine2 'Potencia (01) Driver : 50'; "
        "statusLine3 'Tensao   (02) Driver : 28.2842712402344'; statusLine4 'Potencia (02) Driver : 100'; "
        "statusLine5 'Tensao   (03) Driver : 40'; statusLine6 'Potencia (03) Driver : 200'");
    step({Button::AmplifierAceita}, "calcula",
        "speakerBrand ro; speakerModel ro; speakerZnom ro; speakerPmax ro; freqRec ro; freqDes ro; "
        "speakerAceita hidden; amplifierBrand '   Morvask   ' blue; amplifierModel '   RZ 2005   ' blue; "
        "amplifierVin blue; amplifierZnom '8.00' blue; amplifierPmax '1000.00' blue; crestDb '6.00' blue; "
        "statusLine1 'Tensao Maxima Power  : 89.44'; statusLine2 'Ganho Linear (X)     : 115.41'; "
        "statusLine3 'Ganho LOG dB (X dB)  : 41.24'; statusLine4 'Fator Crista (Vezes) : 3.98'; "
        "statusLine5 'Fator Crista (dB)    : 6.00'; "
        "statusLine6 232,80 'Fator Crista Max (dB): 13.01' red 10pt");
    step({Button::Calcula}, "recalcula",
        "amplifierBrand ro; amplifierModel ro; amplifierVin ro; amplifierZnom ro; amplifierPmax ro; "
        "crestDb ro; amplifierAceita hidden; limVolts '    0.346  V'; limMillivolts '   345.769 mV' red; "
        "limDbu '    -7.01  dBu'; limDbv '    -9.22  dBV'; limDbvRight '   -9.22 dBV' red; "
        "attackSlow '   0.500 ms'; attackMedium '   0.38 ms'; attackFast '   0.30 ms'; "
        "releaseSlow '   6.000 ms'; releaseMedium '   2.25 ms'; releaseFast '   0.90 ms'; "
        "limDbuRight '   -7.01 dBu' red; statusLine1 ''; statusLine2 ''; statusLine3 ''; statusLine4 ''; "
        "statusLine5 ''; statusLine6 ''");
    EXPECT_TRUE(messages.empty());
}

TEST_F(WindowTest, RecalculaReopensThePanelsForAPassThatWarns)
{
    press({Button::SpeakerAceita, Button::SpeakerAceita});
    const Look speaker = look();  // the brand gains three spaces a side at each Aceita
    press({Button::AmplifierAceita, Button::Calcula});
    const Look calculated = last = look();
    step({Button::Recalcula, Button::Recalcula}, "speakerBrand",
        "speakerBrand 'Tamsorel' green rw; speakerModel 'TQ 2005' green rw; speakerZnom green rw; "
        "speakerPmax green rw; freqRec green rw; freqDes green rw; speakerAceita shown; "
        "amplifierBrand 'Morvask' green rw; amplifierModel 'RZ 2005' green rw; amplifierVin green rw; "
        "amplifierZnom green rw; amplifierPmax green rw; crestDb green rw; amplifierAceita shown; "
        "limVolts ''; limMillivolts ''; limDbu ''; limDbv ''; limDbvRight ''; attackSlow ''; "
        "attackMedium ''; attackFast ''; releaseSlow ''; releaseMedium ''; releaseFast ''; limDbuRight ''");
    type(Entry::CrestDb, "14");
    press({Button::SpeakerAceita, Button::SpeakerAceita});  // as after the first Aceita, statusLine6 home, black, 8 pt
    EXPECT_EQ(changes(speaker, look()),
        "amplifierBrand green; amplifierModel green; amplifierVin green; amplifierZnom '8.00' green; "
        "amplifierPmax '1000.00' green; crestDb '14' green; limMillivolts red; limDbvRight red; "
        "limDbuRight red");
    press({Button::AmplifierAceita});
    trail.clear();
    press({Button::Calcula});  // the warning and the crest factor in red, as any broken rule; then reopened
    EXPECT_EQ(trail.substr(0, trail.find("limVolts ")),
        "amplifierAceita hidden; amplifierBrand ro; amplifierModel ro; amplifierVin ro; amplifierZnom ro; "
        "amplifierPmax ro; "
        "crestDb ro; «Tensão Saida Limiter > Tensão Entrada Power ! Altere Valor Fator de Crista !» "
        "crestDb red; amplifierAceita shown; crestDb rw; ");
    EXPECT_EQ(focus(), "recalcula");
    EXPECT_EQ(changes(calculated, look()),
        "crestDb '14.00' red rw; amplifierAceita shown; limVolts '    0.869  V'; "
        "limMillivolts '   868.534 mV'; limDbu '    0.99  dBu'; limDbv '    -1.22  dBV'; "
        "limDbvRight '   -1.22 dBV'; limDbuRight '   0.99 dBu'");
}

TEST_F(WindowTest, RefusedValuesShowTheirMessageThenTurnRed)
{
    type(Entry::SpkZnom, "-8");  // the minus alone is no number; the entry stays red after the digit
    EXPECT_EQ(trail, "«Valor Incorreto !» speakerZnom red; ");
    type(Entry::SpkZnom, "0.5");
    type(Entry::SpkPmax, "5000");
    type(Entry::FreqDes, "1000");
    trail.clear();
    press({Button::SpeakerAceita});  // each broken rule's message, then its entry in red; then the rest
    EXPECT_EQ(trail.substr(trail.find("«"), trail.find("statusLine1") - trail.find("«")),
        "«Valor Não Aceito ! Altere Valor !» speakerZnom red; «Valor Não Aceito ! Altere Valor !» "
        "speakerPmax red; «Frequencia Desejada MENOR QUE Frequencia Recomendada ! Altere Valor !» "
        "freqDes red; ");
    type(Entry::SpkPmax, "1e39");  // "1e" and "1e39" are no numbers the program can hold
    trail.clear();
    press({Button::SpeakerAceita});  // stops where the text cannot be read, and says why
    EXPECT_EQ(trail.substr(trail.find("«")), "«'1e39' não é um número válido» ");
    EXPECT_EQ(messages.size(), 7);
}

TEST_F(WindowTest, ListarShowsTheReportWhichSairCopiesOrLeavesAsItWas)
{
    clipboardWorks = false;
    step({Button::Listar, Button::Sair, Button::Calcula}, "speakerBrand",  // Calcula is hidden with its panel
        "recalcula hidden; voltar 480,12 shown; report shown; speakerPanel hidden; amplifierPanel hidden; "
        "limiterPanel hidden");
    EXPECT_EQ(messages, std::vector<std::string>{"Não foi possível copiar o relatório para o clipboard."});
    EXPECT_FALSE(closed || window.reportOnClipboard());
    step({Button::Voltar}, "recalcula",
        "recalcula shown; voltar hidden; report hidden; speakerPanel shown; amplifierPanel shown; "
        "limiterPanel shown");

    clipboardWorks = true;
    messages.clear();
    press({Button::SpeakerAceita, Button::AmplifierAceita});
    for (int i = 0; i < 1000; ++i)
        press({Button::Calcula});
    press({Button::Sair});
    EXPECT_FALSE(window.state(kLayout.id(Button::Recalcula)).hidden);  // shown again as the report goes
    EXPECT_EQ(clipboard, goldenReport(kToday, 1000));
    EXPECT_EQ(messages, std::vector<std::string>{" TEXTO COPIADO PARA O CLIPBOARD !"});
    EXPECT_TRUE(closed && window.reportOnClipboard());
    // A page, which cannot close, shows the report and says why it stays.
    const behaviour::Effects refused = window.closeRefused();
    play(refused);
    EXPECT_FALSE(window.state(kLayout.report).hidden);
    // and, where the platform can, offers to send the report to another app.
    EXPECT_EQ(refused.back().kind, Effect::Kind::OfferShare);
    EXPECT_EQ(refused.back().text, "Enviar o relatório para outro aplicativo");
    EXPECT_EQ(notices,
        std::vector<std::string>{"O relatório foi copiado para o clipboard. A página não se fecha "
                                 "sozinha: o relatório continua aqui, e “Voltar” leva de volta aos "
                                 "painéis."});
}

// A page that loaded but could not start says what failed, not the network.
TEST(StartFailure, SaysWhatFailed)
{
    EXPECT_EQ(behaviour::startFailure("TypeError: x"),
        "O Quorvane carregou, mas não pôde começar (TypeError: x). Recarregue a página.");
}

TEST(NumberFormat, TakesTheSeparatorALocaleWritesOneAndAHalfWith)
{
    for (const auto& [written, separator] :
        {std::pair{"1,5", ','}, {"1.5", '.'}, {"1\u066b5", '.'}, {"15", '.'}, {"", '.'}, {"2,5", '.'}}) {
        EXPECT_EQ(behaviour::numberFormatOf(written).decimalSeparator, separator) << written;
    }
}

// A session kept in a store reads back as the same window, Worksheet and
// all, every float bit for bit, whatever the locale and date of the window
// that reads it, after every kind of step; each report block is stored
// once, when it is added; once "Sair" has copied the report there is
// nothing to keep, nor once the store is full.
TEST_F(WindowTest, EverySessionReadsBackFromItsStore)
{
    Store store;
    const auto keeps = [&](const char* after, const std::vector<std::string>& steps) {
        SCOPED_TRACE(after);
        EXPECT_EQ(store.keep(window), steps);
        behaviour::Window restored{{','}, "01/01/2027"};
        Store taker{{}, store.texts};
        taker.session.resume(restored, taker.reader());
        behaviour::Window drawn = window;  // as a view built afresh, which is what a restore gives
        drawn.redraw();
        EXPECT_TRUE(restored == drawn);  // every control, the focus, the report, the Worksheet
        EXPECT_EQ(taker.keep(restored), std::vector<std::string>{"set quorvane-session"});  // its blocks already kept
    };
    const std::vector<std::string> state{"set quorvane-session"};
    keeps("the start", state);
    type(Entry::SpkBrand, "Marca\tcom\\n\n\"linhas\"\r}");  // what no entry takes, escaped and read back
    type(Entry::SpkZnom, "-8");
    keeps("a refused value", state);
    type(Entry::SpkZnom, "8");
    press({Button::SpeakerAceita, Button::AmplifierAceita});
    window.focusMoved(kLayout.id(Entry::AmpModel));  // by a click or Tab, which the view tells
    window.focusMoved(kLayout.controls.size());      // no such control: a page's stray element
    EXPECT_EQ(kLayout.controls[window.focus()].objectName, "amplifierModel");
    keeps("both Aceita", state);
    press({Button::Calcula, Button::Listar});
    keeps("Listar", {"set quorvane-session.block.1", "set quorvane-session"});
    clipboardWorks = false;
    press({Button::Sair, Button::Voltar, Button::Recalcula});
    keeps("Recalcula", state);
    type(Entry::CrestDb, "14");
    press({Button::SpeakerAceita, Button::AmplifierAceita, Button::Calcula});
    keeps("the warning", {"set quorvane-session.block.2", "set quorvane-session"});
    clipboardWorks = true;
    press({Button::Sair});
    EXPECT_EQ(store.keep(window), std::vector<std::string>{"clear quorvane-session"});
    EXPECT_TRUE(store.texts.empty());
    EXPECT_TRUE(store.keep(window).empty());
    press({Button::Listar, Button::Voltar});  // a page, which cannot close, goes on
    keeps(
        "Voltar after Sair", {"set quorvane-session.block.1", "set quorvane-session.block.2", "set quorvane-session"});
    // A store that refuses a write keeps nothing, no older session to be taken up, and the user is told once.
    play(store.session.refused());
    play(store.session.refused());
    EXPECT_EQ(notices,
        std::vector<std::string>{"Esta aba não tem mais espaço para guardar a sessão: ela não "
                                 "sobreviverá se a página for recarregada. “Sair” copia o "
                                 "relatório para o clipboard."});
    EXPECT_EQ(store.keep(window), std::vector<std::string>{"clear quorvane-session"});
    press({Button::Recalcula, Button::Calcula});
    EXPECT_TRUE(store.keep(window).empty());
}

// The store a build before this one left reads back, and so do its twins:
// resealed with nothing changed, with names a build after this one wrote,
// nested a little deeper than this build writes, a value at the edge of its
// range. What the build before lacked starts as it starts: the field empty
// and black until the next "Calcula", the value nought.
TEST(WindowSession, TheBuildBeforesSessionReadsBackWithWhatItLacksAtItsStart)
{
    const Store before = keptBefore();
    const ControlId voltar = kLayout.id(Button::Voltar);
    const ControlId start = kLayout.id(Entry::SpkBrand);  // where a focus it does not know goes
    for (const auto& [patch, focused] : {std::pair{"{}", voltar},
             {R"({"controls": {"gauge": {}}, "worksheet": {"Ohm": "x"}, "focus": "gauge"})", start},
             {R"({"controls": {"gauge": {"parts": [[[[[1]]]]]}}})", voltar},
             {R"({"worksheet": {"SpkPmax": 3.4028234663852886e38}})", voltar}}) {
        SCOPED_TRACE(patch);
        Store store{{}, before.texts};
        store.texts["quorvane-session"] = *resealed(before.texts.at("quorvane-session"), nlohmann::json::parse(patch));
        behaviour::Window window{{','}, "09/12/2026"};
        const behaviour::Effects drawn = store.session.resume(window, store.reader());
        const auto crest = [](const Effect& e) { return e.control == kLayout.id(Entry::CrestDb); };
        EXPECT_EQ(std::count_if(drawn.begin(), drawn.end(), crest), 1);  // red, unlike its start
        EXPECT_TRUE(drawn.back().kind == Effect::Kind::Focus && drawn.back().control == focused);
        EXPECT_EQ(window.reportLines().front(), "Dados para Quorvane                                    08/12/2026");
        const auto shown = [&window](ControlId id) {
            const ControlState& s = window.state(id);
            return std::tuple{s.text, s.colour, s.readOnly};
        };
        EXPECT_EQ(std::tuple(shown(kLayout.id(Entry::SpkBrand)), shown(kLayout.id(Entry::CrestDb)),
                      shown(kLayout.id(behaviour::ResultField::LimMillivolts)),
                      shown(kLayout.id(behaviour::ResultField::LimDbvRight))),
            std::tuple(std::tuple{"   Falante\tFixo   ", behaviour::Colour::Blue, true},
                std::tuple{"14.00", behaviour::Colour::Red, false},
                std::tuple{"   868.534 mV", behaviour::Colour::Red, true},
                std::tuple{"", behaviour::Colour::Default, true}));
        EXPECT_EQ(window.snapshot().worksheet.CrestMaxDb, 0.0f);
        EXPECT_EQ(window.snapshot().worksheet.AmpVin, 0.775f);  // 0.77499998f, as the build before kept it
        // The session's full stop, not the comma of the window that read it.
        EXPECT_TRUE(window.edit(kLayout.id(Entry::CrestDb), "7.5").empty());
        // Kept again, it is in the format this build writes, which is the fixture's.
        Store now;
        now.keep(window);
        const auto format = [](const std::string& text) { return text.substr(text.find("\"format\":"), 11); };
        EXPECT_EQ(format(now.texts.at("quorvane-session")), format(before.texts.at("quorvane-session")));
    }
}

// A stored session that does not read back whole leaves the window as it
// was, is cleared, and the user is told that a new session starts: one
// cut short, altered, of another session, of an earlier format, with a
// value of the wrong kind or out of its range, or nested too deep.
TEST(WindowSession, AStoredSessionCutShortOrAlteredChangesNothing)
{
    const Store good = keptBefore();
    std::vector<std::pair<std::string, std::string>> bad{{"quorvane-session", "Quorvane session 2\nseparator\t.\n"},
        {"quorvane-session.block.2", good.texts.at("quorvane-session.block.1")}};
    // Each text cut short, altered, and with data its checksum holds but of
    // the wrong kind or out of range, sealed again after a JSON merge patch
    // (null takes a name out).
    const std::map<std::string, std::vector<const char*>> patches{
        {"quorvane-session",
            {R"({"format": 2})", R"({"separator": ".,"})", R"({"adjustCount": 0})", R"({"adjustCount": "3"})",
                R"({"adjustCount": 2})", R"({"onClipboard": 1})", R"({"title": 5})", R"({"lastBlock": "0"})",
                R"({"focus": 7})", R"({"worksheet": {"SpkZnom": "8"}})", R"({"worksheet": {"SpkZnom": 1e39}})",
                R"({"worksheet": {"SpkBrand": 5}})", R"({"controls": {"speakerBrand": 1}})",
                R"({"controls": {"speakerBrand": {"colour": "purple"}}})",
                R"({"controls": {"speakerBrand": {"readOnly": "yes"}}})",
                R"({"controls": {"voltar": {"place": [1, 2]}}})", R"({"controls": {"voltar": {"fontPoints": 0}}})",
                R"({"controls": {"voltar": {"place": [1.5, 0, 1, 1]}}})", R"({"title": null})",
                R"({"worksheet": null})", R"({"controls": null})", R"({"focus": null})"}},
        {"quorvane-session.block.1", {R"({"after": "0"})"}},
        {"quorvane-session.block.2", {R"({"lines": []})", R"({"lines": [1]})"}}};
    for (const auto& [key, text] : good.texts) {
        for (std::size_t n = 0; n < text.size(); ++n)
            bad.emplace_back(key, text.substr(0, n));
        for (std::size_t at = 0; at < text.size(); at += 7) {
            std::string altered = text;
            altered[at] = altered[at] == '1' ? '2' : '1';
            bad.emplace_back(key, altered);
        }
        for (const char* patch : patches.at(key))
            bad.emplace_back(key, *resealed(text, nlohmann::json::parse(patch)));  // cppcheck-suppress useStlAlgorithm
    }
    // Nested far deeper than any build writes: refused as it is read, not
    // walked until the stack runs out. No checksum is needed to get there.
    const std::string deep = std::string(1000000, '[') + std::string(1000000, ']');
    bad.emplace_back("quorvane-session", R"({"check": "0", "data": {"gauge": )" + deep + "}}");
    bad.emplace_back("quorvane-session.block.1", R"({"check": "0", "data": )" + deep + "}");
    const behaviour::Window untouched{{'.'}, "07/12/2026"};
    for (const auto& [key, text] : bad) {
        Store store{{}, good.texts};
        store.texts[key] = text;
        behaviour::Window fresh = untouched;
        const behaviour::Effects effects = store.session.resume(fresh, store.reader());
        EXPECT_EQ(effects.front().text, "A sessão guardada nesta aba não pôde ser retomada: começa uma nova sessão.")
            << key << ": " << text.size() << " bytes";
        EXPECT_TRUE(fresh == untouched);
        EXPECT_EQ(store.keep(fresh), (std::vector<std::string>{"clear quorvane-session", "set quorvane-session"}));
    }
}

}  // namespace
