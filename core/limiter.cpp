#include "core/limiter.h"

#include <cmath>
#include <string>

namespace core {

namespace {

[[noreturn]] void cannotCompute(const std::string& what, const std::string& why)
{
    throw ArithmeticFailure("Não é possível calcular " + what + ": " + why + ".");
}

// Rounds to single precision as the Worksheet stores it, refusing results the
// Worksheet cannot hold.
float stored(double value, const char* what)
{
    const auto single = static_cast<float>(value);
    if (!std::isfinite(single))
        cannotCompute(what, "o valor fica fora da faixa que o programa representa");
    return single;
}

double squareRoot(double value, const char* what, const char* whyNegative)
{
    if (value < 0.0)
        cannotCompute(what, whyNegative);
    return std::sqrt(value);
}

double quotient(double numerator, double denominator, const char* what, const char* whyZero)
{
    if (denominator == 0.0)
        cannotCompute(what, whyZero);
    return numerator / denominator;
}

double log10Of(double value, const char* what, const char* whyNotPositive)
{
    if (!(value > 0.0))
        cannotCompute(what, whyNotPositive);
    return std::log10(value);
}

// Whether low < value < high, and whether low <= value < high; a NaN is
// neither.
bool within(float value, float low, float high) { return value > low && value < high; }
bool fromUpTo(float value, float low, float high) { return value >= low && value < high; }

bool outOfRange(bool broken, Entry entry, MessageSink& sink, const char* message = kValueRefused)
{
    if (broken)
        sink.report(message, entry);
    return broken;
}

}  // namespace

void CheckSpeakerData(const Worksheet& ws, MessageSink& sink)
{
    outOfRange(ws.SpkZnom < 1.0f || ws.SpkZnom > 32.0f, Entry::SpkZnom, sink);
    outOfRange(ws.SpkPmax <= 0.0f || ws.SpkPmax >= 5000.0f, Entry::SpkPmax, sink);
    outOfRange(ws.FreqDes < ws.FreqRec, Entry::FreqDes, sink, kFrequencyRefused);
}

void DeriveSpeakerValues(Worksheet& ws)
{
    const char* voltage = "a tensão do falante";
    const char* power = "a potência do falante";
    const char* zeroImpedance = "a impedância do falante é zero";
    const double znom = ws.SpkZnom;

    const float pavg = stored(0.4 * ws.SpkPmax, power);
    const float vavg = stored(
        squareRoot(double(pavg) * znom, voltage, "a potência e a impedância do falante têm sinais opostos"), voltage);
    const float vpeak = stored(std::sqrt(2.0) * vavg, voltage);
    const float ppeak = stored(quotient(double(vpeak) * vpeak, znom, power, zeroImpedance), power);
    const float vprog = stored(2.0 * vavg, voltage);
    const float pprog = stored(quotient(double(vprog) * vprog, znom, power, zeroImpedance), power);

    ws.SpkPavg = pavg;
    ws.SpkVavg = vavg;
    ws.SpkVpeak = vpeak;
    ws.SpkPpeak = ppeak;
    ws.SpkVprog = vprog;
    ws.SpkPprog = pprog;
}

void CheckAmplifierData(const Worksheet& ws, MessageSink& sink)
{
    outOfRange(!within(ws.AmpVin, 0.0f, 50.0f), Entry::AmpVin, sink);
    outOfRange(!within(ws.AmpZnom, 0.0f, 128.0f), Entry::AmpZnom, sink);
    outOfRange(!within(ws.AmpPmax, 0.0f, 10000.0f), Entry::AmpPmax, sink);
    outOfRange(!fromUpTo(ws.CrestDb, 0.0f, 30.0f), Entry::CrestDb, sink);
}

void DeriveAmplifierValues(Worksheet& ws)
{
    const char* vmaxName = "a tensão máxima do amplificador";
    const char* gainName = "o ganho do amplificador";
    const char* crestName = "o fator de crista";
    const char* crestMaxName = "o fator de crista máximo";

    const float vmax = stored(squareRoot(double(ws.AmpPmax) * ws.AmpZnom, vmaxName,
                                  "a potência e a impedância do amplificador têm sinais opostos"),
        vmaxName);
    const float gainLin =
        stored(quotient(vmax, ws.AmpVin, gainName, "a tensão de entrada do amplificador é zero"), gainName);
    const float gainDb =
        stored(20.0 * log10Of(gainLin, gainName, "o ganho linear é zero ou negativo (potência do amplificador zero?)"),
            gainName);
    const float crestLin = stored(std::pow(10.0, 0.1 * ws.CrestDb), crestName);
    const double ampProduct = double(ws.AmpZnom) * ws.AmpPmax;
    const double speakerProduct = double(ws.SpkPmax) * ws.SpkZnom;
    const double ratio =
        quotient(ampProduct, speakerProduct, crestMaxName, "a potência ou a impedância do falante é zero");
    const float crestMaxDb =
        stored(10.0 * log10Of(2.5 * ratio, crestMaxName, "a razão entre amplificador e falante é zero ou negativa"),
            crestMaxName);

    ws.AmpVmax = vmax;
    ws.GainLin = gainLin;
    ws.GainDb = gainDb;
    ws.CrestLin = crestLin;
    ws.CrestMaxDb = crestMaxDb;
}

void ComputeLimiterSettings(Worksheet& ws, MessageSink& sink)
{
    const char* threshold = "o limiar do limiter";
    const char* levels = "o limiar em dBu e dBV";
    const char* times = "os tempos de ataque e liberação";

    const double a = 0.4 * ws.CrestLin;
    const double b = quotient(ws.SpkPmax, ws.AmpPmax, threshold, "a potência do amplificador é zero");
    const double c = quotient(ws.SpkZnom, ws.AmpZnom, threshold, "a impedância do amplificador é zero");
    const double r = squareRoot(a * b * c, threshold, "potências e impedâncias com sinais opostos");
    const float limVout = stored(r * ws.AmpVin, threshold);

    const char* notPositive = "o limiar em volts é zero ou negativo";
    const float limDbu = stored(20.0 * log10Of(limVout / std::sqrt(0.6), levels, notPositive), levels);
    const float limDbv = stored(20.0 * log10Of(limVout, levels, notPositive), levels);

    const double periodMs = quotient(1.0, ws.FreqDes, times, "a frequência desejada é zero") * 1000.0;
    // Every attack time has a floor of 0.3 ms, tested against 0.3 in double.
    auto attack = [&](double factor) {
        const float value = stored(periodMs * factor, times);
        return double(value) >= 0.3 ? value : 0.3f;
    };
    const float attackSlow = attack(1.0);
    const float attackMedium = attack(0.75);
    const float attackFast = attack(0.5);
    const float releaseSlow = stored(12.0 * attackSlow, times);
    const float releaseMedium = stored(6.0 * attackMedium, times);
    const float releaseFast = stored(3.0 * attackFast, times);

    ws.LimVout = limVout;
    ws.LimDbu = limDbu;
    ws.LimDbv = limDbv;
    ws.AttackSlow = attackSlow;
    ws.AttackMedium = attackMedium;
    ws.AttackFast = attackFast;
    ws.ReleaseSlow = releaseSlow;
    ws.ReleaseMedium = releaseMedium;
    ws.ReleaseFast = releaseFast;
    outOfRange(ws.LimVout > ws.AmpVin, Entry::CrestDb, sink, kThresholdWarning);
}

}  // namespace core
