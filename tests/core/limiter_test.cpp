#include "core/limiter.h"

#include <gtest/gtest.h>

#include <bit>
#include <cstdint>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "core/display.h"
#include "support/default_pass.h"

using core::Entry;
using core::Worksheet;

namespace {

struct RecordingSink : core::MessageSink {
    std::vector<std::pair<std::string, Entry>> messages;
    void report(const std::string& text, Entry entry) override { messages.emplace_back(text, entry); }
};

using Messages = std::vector<std::pair<std::string, Entry>>;

std::uint32_t bits(float f) { return std::bit_cast<std::uint32_t>(f); }

#define EXPECT_SAME_FLOAT(actual, expected) EXPECT_EQ(bits(actual), bits(expected)) << (actual)

Worksheet acceptedSpeaker(const char* znom, const char* pmax, const char* frec, const char* fdes)
{
    Worksheet ws;
    testsupport::acceptAll(ws,
        std::array<std::pair<Entry, const char*>, 4>{{{Entry::LabeledEdit3, znom}, {Entry::LabeledEdit4, pmax},
            {Entry::LabeledEdit5, frec}, {Entry::LabeledEdit6, fdes}}});
    return ws;
}

Worksheet acceptedAmplifier(const char* vin, const char* znom, const char* pmax, const char* crest)
{
    Worksheet ws = acceptedSpeaker("8", "125", "1250", "2000");
    testsupport::acceptAll(ws,
        std::array<std::pair<Entry, const char*>, 4>{{{Entry::LabeledEdit9, vin}, {Entry::LabeledEdit10, znom},
            {Entry::LabeledEdit11, pmax}, {Entry::LabeledEdit12, crest}}});
    return ws;
}

const std::string kRefused = core::kValueRefused;
const std::string kFrequency = core::kFrequencyRefused;

TEST(Speaker, DefaultPassDerivesTheWorkedExample)
{
    const Worksheet ws = testsupport::acceptedDefaults();
    EXPECT_SAME_FLOAT(ws.SpkVavg, 20.0f);
    EXPECT_SAME_FLOAT(ws.SpkPavg, 50.0f);
    EXPECT_SAME_FLOAT(ws.SpkVpeak, 28.284271240234375f);
    EXPECT_SAME_FLOAT(ws.SpkPpeak, 100.0f);
    EXPECT_SAME_FLOAT(ws.SpkVprog, 40.0f);
    EXPECT_SAME_FLOAT(ws.SpkPprog, 200.0f);
}

TEST(Speaker, CaptionsShowFifteenDigitsOfTheStoredValue)
{
    struct Row {
        const char* name;
        const char* znom;
        const char* pmax;
        std::array<const char*, 6> captions;
    };
    const Row rows[] = {
        {"defaults", "8.00", "125",
            {"Tensao   (01) Driver : 20", "Potencia (01) Driver : 50", "Tensao   (02) Driver : 28.2842712402344",
                "Potencia (02) Driver : 100", "Tensao   (03) Driver : 40", "Potencia (03) Driver : 200"}},
        {"4 ohm 300 W", "4", "300",
            {"Tensao   (01) Driver : 21.9089031219482", "Potencia (01) Driver : 120",
                "Tensao   (02) Driver : 30.9838676452637", "Potencia (02) Driver : 240.000015258789",
                "Tensao   (03) Driver : 43.8178062438965", "Potencia (03) Driver : 480.000030517578"}},
        {"40 ohm 5000 W, rules broken, values derived all the same", "40", "5000",
            {"Tensao   (01) Driver : 282.842712402344", "Potencia (01) Driver : 2000", "Tensao   (02) Driver : 400",
                "Potencia (02) Driver : 4000", "Tensao   (03) Driver : 565.685424804688",
                "Potencia (03) Driver : 8000"}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        Worksheet ws = acceptedSpeaker(row.znom, row.pmax, "1250", "2000");
        core::DeriveSpeakerValues(ws);
        const auto captions = core::speakerCaptions(ws, {});
        for (std::size_t i = 0; i < captions.size(); ++i)
            EXPECT_EQ(captions[i], row.captions[i]);
    }
}

TEST(Speaker, RulesAreTestedOnTheShownValuesInOrder)
{
    struct Row {
        const char* name;
        const char* znom;
        const char* pmax;
        const char* frec;
        const char* fdes;
        Messages expected;
    };
    const Row rows[] = {
        {"defaults", "8.00", "125", "1250", "2000", {}},
        {"0.999 ohm shows 1.00", "0.999", "125", "1250", "2000", {}},
        {"32.004 ohm shows 32.00", "32.004", "125", "1250", "2000", {}},
        {"32.01 ohm", "32.01", "125", "1250", "2000", {{kRefused, Entry::LabeledEdit3}}},
        {"0.99 ohm", "0.99", "125", "1250", "2000", {{kRefused, Entry::LabeledEdit3}}},
        {"4999.99 W", "8", "4999.99", "1250", "2000", {}},
        {"5000 W", "8", "5000", "1250", "2000", {{kRefused, Entry::LabeledEdit4}}},
        {"0 W", "8", "0", "1250", "2000", {{kRefused, Entry::LabeledEdit4}}},
        {"4999.996 W shows 5000.00", "8", "4999.996", "1250", "2000", {{kRefused, Entry::LabeledEdit4}}},
        {"equal frequencies", "8", "125", "1250", "1250", {}},
        {"1249.999 Hz shows 1250.00", "8", "125", "1250", "1249.999", {}},
        {"desired below recommended", "8", "125", "1250", "1249.99", {{kFrequency, Entry::LabeledEdit6}}},
        {"all three, in rule order", "40", "5000", "1250", "1000",
            {{kRefused, Entry::LabeledEdit3}, {kRefused, Entry::LabeledEdit4}, {kFrequency, Entry::LabeledEdit6}}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        const Worksheet ws = acceptedSpeaker(row.znom, row.pmax, row.frec, row.fdes);
        RecordingSink sink;
        core::CheckSpeakerData(ws, sink);
        EXPECT_EQ(sink.messages, row.expected);
    }
}

TEST(Amplifier, DefaultPassDerivesTheWorkedExample)
{
    const Worksheet ws = testsupport::acceptedDefaults();
    EXPECT_SAME_FLOAT(ws.AmpVin, 0.77499998f);
    EXPECT_SAME_FLOAT(ws.AmpVmax, 89.442719f);
    EXPECT_SAME_FLOAT(ws.GainLin, 115.409966f);
    EXPECT_SAME_FLOAT(ws.GainDb, 41.244865f);
    EXPECT_SAME_FLOAT(ws.CrestLin, 3.9810717f);
    EXPECT_SAME_FLOAT(ws.CrestMaxDb, 13.0103f);
    const std::array<std::string, 6> expected{"Tensao Maxima Power  : 89.44", "Ganho Linear (X)     : 115.41",
        "Ganho LOG dB (X dB)  : 41.24", "Fator Crista (Vezes) : 3.98", "Fator Crista (dB)    : 6.00",
        "Fator Crista Max (dB): 13.01"};
    EXPECT_EQ(core::amplifierCaptions(ws, {}), expected);
}

TEST(Amplifier, RangesAreCheckedOnTheShownValuesInOrder)
{
    struct Row {
        const char* name;
        const char* vin;
        const char* znom;
        const char* pmax;
        const char* crest;
        Messages expected;
    };
    const Row rows[] = {
        {"defaults", "0.775", "8", "1000", "6", {}},
        {"crest factor 0 is accepted", "0.775", "8", "1000", "0", {}},
        {"49.9996 V shows 50.000", "49.9996", "8", "1000", "6", {{kRefused, Entry::LabeledEdit9}}},
        {"0.0004 V shows 0.000", "0.0004", "8", "1000", "6", {{kRefused, Entry::LabeledEdit9}}},
        {"49.999 V", "49.999", "8", "1000", "6", {}},
        {"127.996 ohm shows 128.00", "0.775", "127.996", "1000", "6", {{kRefused, Entry::LabeledEdit10}}},
        {"0 ohm", "0.775", "0", "1000", "6", {{kRefused, Entry::LabeledEdit10}}},
        {"10000 W", "0.775", "8", "10000", "6", {{kRefused, Entry::LabeledEdit11}}},
        {"9999.99 W", "0.775", "8", "9999.99", "6", {}},
        {"30 dB", "0.775", "8", "1000", "30", {{kRefused, Entry::LabeledEdit12}}},
        {"negative crest factor", "0.775", "8", "1000", "-0.01", {{kRefused, Entry::LabeledEdit12}}},
        {"all four, in check order", "50", "128", "10000", "30",
            {{kRefused, Entry::LabeledEdit9}, {kRefused, Entry::LabeledEdit10}, {kRefused, Entry::LabeledEdit11},
                {kRefused, Entry::LabeledEdit12}}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        const Worksheet ws = acceptedAmplifier(row.vin, row.znom, row.pmax, row.crest);
        RecordingSink sink;
        core::CheckAmplifierData(ws, sink);
        EXPECT_EQ(sink.messages, row.expected);
    }
}

TEST(Amplifier, CrestFactorZeroGivesRatioOneAndShownImpedanceIsUsed)
{
    Worksheet ws = acceptedAmplifier("0.775", "8.127", "1000", "0");
    core::DeriveAmplifierValues(ws);
    EXPECT_SAME_FLOAT(ws.CrestLin, 1.0f);
    EXPECT_SAME_FLOAT(ws.AmpZnom, 8.13f);
    EXPECT_EQ(core::amplifierCaptions(ws, {})[0], "Tensao Maxima Power  : 90.17");  // sqrt(8130), not sqrt(8127)
}

TEST(Limiter, DefaultPassGivesTheWorkedExample)
{
    Worksheet ws = testsupport::acceptedDefaults();
    EXPECT_FALSE(core::ComputeLimiterSettings(ws));
    EXPECT_SAME_FLOAT(ws.LimVout, 0.3457695f);
    EXPECT_SAME_FLOAT(ws.LimDbu, -7.005779f);
    EXPECT_SAME_FLOAT(ws.LimDbv, -9.224266f);
    EXPECT_SAME_FLOAT(ws.AttackSlow, 0.5f);
    EXPECT_SAME_FLOAT(ws.AttackMedium, 0.375f);
    EXPECT_SAME_FLOAT(ws.AttackFast, 0.3f);
    EXPECT_SAME_FLOAT(ws.ReleaseSlow, 6.0f);
    EXPECT_SAME_FLOAT(ws.ReleaseMedium, 2.25f);
    EXPECT_SAME_FLOAT(ws.ReleaseFast, 0.90000004f);
    const std::array<std::string, 12> expected{"    0.346  V", "   345.769 mV", "    -7.01  dBu", "   -7.01 dBu",
        "    -9.22  dBV", "   -9.22 dBV", "   0.500 ms", "   0.38 ms", "   0.30 ms", "   6.000 ms", "   2.25 ms",
        "   0.90 ms"};
    EXPECT_EQ(core::limiterFieldTexts(ws, {}), expected);
}

TEST(Limiter, ThresholdWarningWhenAboveTheInputVoltage)
{
    struct Row {
        const char* crest;
        bool warns;
        float limVout;
        std::array<const char*, 6> threshold;
    };
    const Row rows[] = {
        {"14", true, 0.86853373f,
            {"    0.869  V", "   868.534 mV", "    0.99  dBu", "   0.99 dBu", "    -1.22  dBV", "   -1.22 dBV"}},
        {"13", false, 0.77408153f,
            {"    0.774  V", "   774.082 mV", "    -0.01  dBu", "   -0.01 dBu", "    -2.22  dBV", "   -2.22 dBV"}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.crest);
        Worksheet ws = acceptedAmplifier("0.775", "8", "1000", row.crest);
        core::DeriveAmplifierValues(ws);
        EXPECT_EQ(core::ComputeLimiterSettings(ws), row.warns);
        EXPECT_SAME_FLOAT(ws.LimVout, row.limVout);
        const auto texts = core::limiterFieldTexts(ws, {});
        for (std::size_t i = 0; i < row.threshold.size(); ++i)
            EXPECT_EQ(texts[i], row.threshold[i]);
    }
}

TEST(Limiter, ThresholdEqualToTheInputVoltageGivesNoWarning)
{
    Worksheet ws;
    ws.SpkPmax = ws.AmpPmax = 500.0f;
    ws.SpkZnom = ws.AmpZnom = 8.0f;
    ws.CrestLin = 2.5f;  // 0.4 x 2.5 = 1: the threshold is the input voltage itself
    ws.AmpVin = 1.234f;
    ws.FreqDes = 1000.0f;
    EXPECT_FALSE(core::ComputeLimiterSettings(ws));
    EXPECT_SAME_FLOAT(ws.LimVout, ws.AmpVin);
}

TEST(Limiter, AttackTimesHaveAFloorOf0_3ms)
{
    struct Row {
        const char* freq;
        std::array<const char*, 6> times;  // Edit7 to Edit12
    };
    const Row rows[] = {
        {"4000", {"   0.300 ms", "   0.30 ms", "   0.30 ms", "   3.600 ms", "   1.80 ms", "   0.90 ms"}},
        {"1200", {"   0.833 ms", "   0.63 ms", "   0.42 ms", "   10.000 ms", "   3.75 ms", "   1.25 ms"}},
        {"1000", {"   1.000 ms", "   0.75 ms", "   0.50 ms", "   12.000 ms", "   4.50 ms", "   1.50 ms"}},
        {"-500", {"   0.300 ms", "   0.30 ms", "   0.30 ms", "   3.600 ms", "   1.80 ms", "   0.90 ms"}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.freq);
        Worksheet ws = testsupport::acceptedDefaults();
        core::acceptEntry(ws, Entry::LabeledEdit6, row.freq, {});
        core::ComputeLimiterSettings(ws);
        const auto texts = core::limiterFieldTexts(ws, {});
        for (std::size_t i = 0; i < row.times.size(); ++i)
            EXPECT_EQ(texts[6 + i], row.times[i]);
    }
}

TEST(Arithmetic, UndefinedFormulasThrowAndLeaveTheWorksheetAlone)
{
    using Setup = std::function<void(Worksheet&)>;
    using Step = std::function<void(Worksheet&)>;
    const Step speaker = core::DeriveSpeakerValues;
    const Step amplifier = core::DeriveAmplifierValues;
    const Step limiter = [](Worksheet& ws) { core::ComputeLimiterSettings(ws); };
    struct Row {
        const char* name;
        Setup setup;
        Step step;
        const char* why;
    };
    const Row rows[] = {
        {"Calcula at start-up", [](Worksheet& ws) { ws = Worksheet{}; }, limiter, "a potência do amplificador é zero"},
        {"speaker impedance zero", [](Worksheet& ws) { ws.SpkZnom = 0; }, speaker, "a impedância do falante é zero"},
        {"negative speaker impedance", [](Worksheet& ws) { ws.SpkZnom = -8; }, speaker, "sinais opostos"},
        {"speaker power beyond single precision",
            [](Worksheet& ws) {
                ws.SpkPmax = 3e38f;
                ws.SpkZnom = 30;
            },
            speaker, "fora da faixa"},
        {"input voltage zero", [](Worksheet& ws) { ws.AmpVin = 0; }, amplifier,
            "tensão de entrada do amplificador é zero"},
        {"amplifier power zero", [](Worksheet& ws) { ws.AmpPmax = 0; }, amplifier, "zero ou negativo"},
        {"negative amplifier impedance", [](Worksheet& ws) { ws.AmpZnom = -8; }, amplifier, "sinais opostos"},
        {"speaker never entered", [](Worksheet& ws) { ws.SpkPmax = 0; }, amplifier, "falante é zero"},
        {"crest factor beyond range", [](Worksheet& ws) { ws.CrestDb = 400; }, amplifier, "fora da faixa"},
        {"amplifier impedance zero", [](Worksheet& ws) { ws.AmpZnom = 0; }, limiter,
            "impedância do amplificador é zero"},
        {"input voltage zero", [](Worksheet& ws) { ws.AmpVin = 0; }, limiter, "zero ou negativo"},
        {"desired frequency zero", [](Worksheet& ws) { ws.FreqDes = 0; }, limiter, "frequência desejada é zero"},
        {"attack time beyond range", [](Worksheet& ws) { ws.FreqDes = 1e-38f; }, limiter, "fora da faixa"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        Worksheet ws = testsupport::acceptedDefaults();
        core::ComputeLimiterSettings(ws);
        row.setup(ws);
        const Worksheet before = ws;
        try {
            row.step(ws);
            ADD_FAILURE() << "no failure";
        } catch (const core::ArithmeticFailure& e) {
            EXPECT_NE(std::string(e.what()).find(row.why), std::string::npos) << e.what();
            EXPECT_EQ(std::string(e.what()).rfind("Não é possível calcular", 0), 0u) << e.what();
        }
        EXPECT_TRUE(ws == before);
    }
}

TEST(Arithmetic, NegativeValuesThatStayDefinedAreComputed)
{
    Worksheet ws = testsupport::acceptedDefaults();
    ws.SpkPmax = -125;
    ws.SpkZnom = -8;
    core::DeriveSpeakerValues(ws);
    EXPECT_SAME_FLOAT(ws.SpkVavg, 20.0f);
    EXPECT_SAME_FLOAT(ws.SpkPpeak, -100.0f);
}

}  // namespace
