// What the window cannot reach cheaply: the bounds of every rule, every
// formula that cannot be computed, thresholds the default pass does not give.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <optional>
#include <string>
#include <tuple>
#include <vector>

#include "core/entries.h"
#include "core/forms.h"
#include "core/limiter.h"

using core::Entry;
using core::Worksheet;

namespace {

struct RecordingSink : core::MessageSink {  // the texts are checked where the window shows them
    std::vector<std::optional<Entry>> marked;
    void report(const std::string&, std::optional<Entry> entry) override { marked.push_back(entry); }
};

// The threshold computed; whether it was reported above the input voltage.
bool warns(Worksheet& ws)
{
    RecordingSink sink;
    core::ComputeLimiterSettings(ws, sink);
    EXPECT_TRUE(sink.marked.empty() || sink.marked == std::vector<std::optional<Entry>>{Entry::CrestDb});
    return !sink.marked.empty();
}

// The window's default entries, accepted and derived, with one entry changed.
Worksheet defaultsWith(Entry entry = Entry::SpkBrand, const char* text = "", bool derive = true)
{
    Worksheet ws;
    for (const auto& [e, t] : {std::pair{Entry::SpkZnom, "8"}, {Entry::SpkPmax, "125"}, {Entry::FreqRec, "1250"},
             {Entry::FreqDes, "2000"}, {Entry::AmpVin, "0.775"}, {Entry::AmpZnom, "8"}, {Entry::AmpPmax, "1000"},
             {Entry::CrestDb, "6"}, {entry, text}})
        core::acceptEntry(ws, e, t, {});
    if (derive) {
        core::DeriveSpeakerValues(ws);
        core::DeriveAmplifierValues(ws);
    }
    return ws;
}

TEST(Rules, AreTestedOnTheValuesAsShown)
{
    using E = Entry;
    const std::tuple<Entry, const char*, bool> rows[] = {{E::SpkZnom, "0.999", false}, {E::SpkZnom, "32.004", false},
        {E::SpkZnom, "32.01", true}, {E::SpkZnom, "0.99", true}, {E::SpkPmax, "4999.99", false},
        {E::SpkPmax, "4999.996", true}, {E::SpkPmax, "0", true}, {E::SpkPmax, "0.01", false},
        {E::FreqDes, "1249.999", false}, {E::FreqDes, "1249.99", true}, {E::AmpVin, "0.001", false},
        {E::AmpVin, "0.0004", true}, {E::AmpVin, "49.9996", true}, {E::AmpZnom, "127.996", true},
        {E::AmpZnom, "0", true}, {E::AmpZnom, "0.01", false}, {E::AmpPmax, "0.01", false},
        {E::AmpPmax, "9999.99", false}, {E::AmpPmax, "0", true}, {E::AmpPmax, "10000", true}, {E::CrestDb, "0", false},
        {E::CrestDb, "-0.01", true}, {E::CrestDb, "30", true}};
    for (const auto& [entry, text, refused] : rows) {
        RecordingSink sink;
        const Worksheet ws = defaultsWith(entry, text, false);
        core::CheckSpeakerData(ws, sink);
        core::CheckAmplifierData(ws, sink);
        EXPECT_EQ(sink.marked, refused ? std::vector<std::optional<Entry>>{entry} : std::vector<std::optional<Entry>>{})
            << text;
    }
}

TEST(Arithmetic, UndefinedFormulasSayWhyAndLeaveTheWorksheetAlone)
{
    using W = Worksheet;
    const auto S = core::DeriveSpeakerValues, A = core::DeriveAmplifierValues;
    const auto L = [](W& ws) { warns(ws); };
    const std::string range = "o valor fica fora da faixa que o programa representa";
    const std::tuple<void (*)(W&), float W::*, float, std::string> rows[] = {
        {S, &W::SpkZnom, 0, "a potência do falante: a impedância do falante é zero"},
        {S, &W::SpkZnom, -8, "a tensão do falante: a potência e a impedância do falante têm sinais opostos"},
        {S, &W::SpkPmax, 3e38f, "a potência do falante: " + range},
        {A, &W::AmpZnom, -8,
            "a tensão máxima do amplificador: a potência e a impedância do amplificador têm sinais opostos"},
        {A, &W::AmpVin, 0, "o ganho do amplificador: a tensão de entrada do amplificador é zero"},
        {A, &W::AmpPmax, 0,
            "o ganho do amplificador: o ganho linear é zero ou negativo (potência do amplificador zero?)"},
        {A, &W::CrestDb, 400, "o fator de crista: " + range},
        {A, &W::SpkPmax, 0, "o fator de crista máximo: a potência ou a impedância do falante é zero"},
        {A, &W::SpkPmax, -125, "o fator de crista máximo: a razão entre amplificador e falante é zero ou negativa"},
        {L, &W::AmpPmax, 0, "o limiar do limiter: a potência do amplificador é zero"},
        {L, &W::AmpZnom, 0, "o limiar do limiter: a impedância do amplificador é zero"},
        {L, &W::SpkPmax, -125, "o limiar do limiter: potências e impedâncias com sinais opostos"},
        {L, &W::AmpVin, 0, "o limiar em dBu e dBV: o limiar em volts é zero ou negativo"},
        {L, &W::FreqDes, 0, "os tempos de ataque e liberação: a frequência desejada é zero"},
        {L, &W::FreqDes, 1e-38f, "os tempos de ataque e liberação: " + range}};
    for (const auto& [step, member, value, message] : rows) {
        Worksheet ws = defaultsWith();
        warns(ws);
        ws.*member = value;
        const Worksheet before = ws;
        EXPECT_THAT(([&, run = step] { run(ws); }),
            testing::ThrowsMessage<core::ArithmeticFailure>("Não é possível calcular " + message + "."));
        EXPECT_TRUE(ws == before) << message;
    }
}

// Every number of the Worksheet after the default pass (8 ohm, 125 W,
// 1250 and 2000 Hz; 0.775 V, 8 ohm, 1000 W, 6 dB), and the threshold of a
// 1 W loudspeaker, worked out by hand. Every value that is shown anywhere
// has its row, so a value without a formula cannot pass as 0.
//   Pavg 0.4 x 125 W = 50 W; Vavg sqrt(50 W x 8 ohm) = 20 V; Vpeak sqrt(2) x 20 V = 28.2842712 V;
//   Ppeak 28.28 V^2 / 8 ohm = 100 W; Vprog 2 x 20 V = 40 V; Pprog 40 V^2 / 8 ohm = 200 W.
//   Vmax sqrt(1000 W x 8 ohm) = 89.4427191 V; gain 89.44 V / 0.775 V = 115.409960 = 41.2448658 dB;
//   crest 10^(6 / 10) = 3.98107171; crest max 10 log10(2.5 x (8 x 1000) / (125 x 8)) = 13.0103000 dB.
//   Threshold 0.775 V x sqrt(0.4 x 3.981 x 125 / 1000 x 8 / 8) = 0.345769518 V,
//   20 log10(0.34577 / sqrt(0.6)) = -7.00577841 dBu, 20 log10(0.34577) = -9.22426591 dBV.
//   Period 1000 ms / 2000 Hz = 0.5 ms: attacks 0.5, 0.375 and 0.25 ms, floored at 0.3;
//   releases 12 x 0.5 = 6, 6 x 0.375 = 2.25 and 3 x 0.3 = 0.9 ms.
TEST(Formulas, GiveWhatIsWorkedOutByHand)
{
    using W = Worksheet;
    const std::vector<std::pair<core::WorksheetNumber, double>> expected{{&W::SpkZnom, 8}, {&W::SpkPmax, 125},
        {&W::FreqRec, 1250}, {&W::FreqDes, 2000}, {&W::AmpVin, 0.775}, {&W::AmpZnom, 8}, {&W::AmpPmax, 1000},
        {&W::CrestDb, 6}, {&W::SpkPavg, 50}, {&W::SpkVavg, 20}, {&W::SpkVpeak, 28.2842712}, {&W::SpkPpeak, 100},
        {&W::SpkVprog, 40}, {&W::SpkPprog, 200}, {&W::AmpVmax, 89.4427191}, {&W::GainLin, 115.409960},
        {&W::GainDb, 41.2448658}, {&W::CrestLin, 3.98107171}, {&W::CrestMaxDb, 13.0103000}, {&W::LimVout, 0.345769518},
        {&W::LimDbu, -7.00577841}, {&W::LimDbv, -9.22426591}, {&W::AttackSlow, 0.5}, {&W::AttackMedium, 0.375},
        {&W::AttackFast, 0.3}, {&W::ReleaseSlow, 6}, {&W::ReleaseMedium, 2.25}, {&W::ReleaseFast, 0.9}};
    Worksheet ws = defaultsWith();
    EXPECT_FALSE(warns(ws));
    for (const core::ValueForms& shown : core::kValueForms) {
        const auto found = std::find_if(
            expected.begin(), expected.end(), [&shown](const auto& row) { return row.first == shown.value; });
        ASSERT_NE(found, expected.end()) << "a value shown with nothing worked out for it";
        EXPECT_THAT(
            ws.*shown.value, testing::FloatNear(static_cast<float>(found->second), 5e-7 * std::abs(found->second)));
    }
    // 1 W: 0.775 V x sqrt(0.4 x 3.981 / 1000) = 30.93 mV, -27.97 dBu, -30.19 dBV.
    Worksheet small = defaultsWith(Entry::SpkPmax, "1");
    EXPECT_FALSE(warns(small));
    EXPECT_THAT((std::array{small.LimVout, small.LimDbu, small.LimDbv}),
        testing::Pointwise(testing::FloatNear(1e-5f), std::array{0.0309265659f, -27.9748785f, -30.1933660f}));
    // 1250 Hz: a period of 0.8 ms, no attack at its floor: 0.8, 0.6 and 0.4 ms; releases 9.6, 3.6 and 1.2 ms.
    Worksheet slow = defaultsWith(Entry::FreqDes, "1250");
    EXPECT_FALSE(warns(slow));
    EXPECT_THAT((std::array{slow.AttackSlow, slow.AttackMedium, slow.AttackFast, slow.ReleaseSlow, slow.ReleaseMedium,
                    slow.ReleaseFast}),
        testing::Pointwise(testing::FloatNear(1e-6f), std::array{0.8f, 0.6f, 0.4f, 9.6f, 3.6f, 1.2f}));
}

// The warning's edge: a threshold equal to the input voltage is no warning.
TEST(Limiter, WarnsOnlyAboveTheInputVoltage)
{
    Worksheet ws = defaultsWith();
    ws.CrestLin = 2.5f;  // 0.4 x 2.5 x 1000 W / 1000 W: the threshold is the input voltage itself
    ws.SpkPmax = 1000.0f;
    EXPECT_FALSE(warns(ws));
    EXPECT_EQ(ws.LimVout, ws.AmpVin);
}

}  // namespace
