// Rules and formulas over the Worksheet: the loudspeaker's and amplifier's
// checks and derived values, and the limiter settings.
#pragma once

#include <stdexcept>

#include "core/worksheet.h"

namespace core {

// A formula that cannot be computed from the values held (division by zero,
// square root of a negative, logarithm of zero or below, a result beyond the
// single-precision range). The function that throws it leaves the Worksheet
// exactly as it found it.
class ArithmeticFailure : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

inline constexpr const char* kValueRefused = "Valor Não Aceito ! Altere Valor !";
inline constexpr const char* kFrequencyRefused =
    "Frequencia Desejada MENOR QUE Frequencia Recomendada ! Altere Valor !";
inline constexpr const char* kThresholdWarning =
    "Tensão Saida Limiter > Tensão Entrada Power ! Altere Valor Fator de Crista !";

void CheckSpeakerData(const Worksheet& ws, MessageSink& sink);
void DeriveSpeakerValues(Worksheet& ws);

void CheckAmplifierData(const Worksheet& ws, MessageSink& sink);
void DeriveAmplifierValues(Worksheet& ws);

// Computes the threshold and the time constants. A stored threshold LimVout
// above the amplifier's input voltage AmpVin is reported against the crest
// factor; the values are kept all the same.
void ComputeLimiterSettings(Worksheet& ws, MessageSink& sink);

}  // namespace core
