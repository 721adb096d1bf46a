#include "report/report.h"

#include <array>

namespace report {

namespace {

using core::Worksheet;

// One line of the block: a plain text, or text + formatted value + text.
// Lines with a null `value` are plain text.
struct Line {
    const char* before;
    core::WorksheetNumber value;
    double scale;
    const char* format;
    const char* after;
};

constexpr const char* kBlank = "   ";
constexpr const char* kMs = " ms (mili segundos) ";

// Lines 2, 5 and 18 (number, loudspeaker and amplifier names) are built
// separately; their places here hold nullptr texts.
constexpr std::array<Line, kBlockLineCount> kLines{{
    {kBlank, nullptr, 0, nullptr, nullptr},
    {nullptr, nullptr, 0, nullptr, nullptr},
    {kBlank, nullptr, 0, nullptr, nullptr},
    {"1 - Dados do Alto-Falante / Driver ", nullptr, 0, nullptr, nullptr},
    {nullptr, nullptr, 0, nullptr, nullptr},
    {"Impedancia Nominal : ", &Worksheet::SpkZnom, 1, "%3.2f", " Ohms "},
    {"Potencia Maxima Admissivel  : ", &Worksheet::SpkPmax, 1, "%4.2f", " Watts "},
    {"Frequencia de Corte Recomendada  : ", &Worksheet::FreqRec, 1, "%5.2f", " Hertz "},
    {"Frequencia de Corte Desejada  : ", &Worksheet::FreqDes, 1, "%5.2f", " Hertz "},
    {"Tensão de Trabalho Média  : ", &Worksheet::SpkVavg, 1, "%5.2f", " Volts "},
    {"Potencia de Operação Média  : ", &Worksheet::SpkPavg, 1, "%5.2f", " Watts "},
    {"Tensão de Trabalho Pico  : ", &Worksheet::SpkVpeak, 1, "%5.2f", " Volts "},
    {"Potencia de Operação Pico  : ", &Worksheet::SpkPpeak, 1, "%5.2f", " Watts "},
    {"Tensão de Trabalho Programa  : ", &Worksheet::SpkVprog, 1, "%5.2f", " Volts "},
    {"Potencia de Operação Programa  : ", &Worksheet::SpkPprog, 1, "%5.2f", " Watts "},
    {kBlank, nullptr, 0, nullptr, nullptr},
    {"2 - Dados do Amplificador de Potencia ", nullptr, 0, nullptr, nullptr},
    {nullptr, nullptr, 0, nullptr, nullptr},
    {"Tensão de Entrada para Pot Maxima  : ", &Worksheet::AmpVin, 1000, "%5.2f", " mV "},
    {"Impedancia Nominal  : ", &Worksheet::AmpZnom, 1, "%3.2f", " Ohms "},
    {"Potencia Saida Maxima @ Znom  : ", &Worksheet::AmpPmax, 1, "%5.2f", " Watts "},
    {"Tensão Maxima de Saida @ Znom  : ", &Worksheet::AmpVmax, 1, "%5.2f", " Volts "},
    {"Relação de Ganho ( Linear )  : ", &Worksheet::GainLin, 1, "%5.2f", " X (vezes) "},
    {"Relação de Ganho  (dB)  : ", &Worksheet::GainDb, 1, "%5.2f", " dB "},
    {"Fator de Crista Desejado (Lin)  : ", &Worksheet::CrestLin, 1, "%5.2f", " (vezes) "},
    {"Fator de Crista Desejado (dB)  : ", &Worksheet::CrestDb, 1, "%5.2f", " dB "},
    {"Fator de Crista Maximo Possivel  : ", &Worksheet::CrestMaxDb, 1, "%5.2f", " dB "},
    {kBlank, nullptr, 0, nullptr, nullptr},
    {"3 - Dados para Ajuste do Limiter ", nullptr, 0, nullptr, nullptr},
    {"Tensão de Saida Limiter  : ", &Worksheet::LimVout, 1000, "%3.3f", " mV "},
    {"Tensão de Saida Limiter  : ", &Worksheet::LimDbu, 1, "%3.3f", " dBU "},
    {"Tensão de Saida Limiter  : ", &Worksheet::LimDbv, 1, "%3.3f", " dBV "},
    {"Tempo de Ataque (Modo Lento) : ", &Worksheet::AttackSlow, 1, "%3.2f", kMs},
    {"Tempo de Ataque (Modo Médio)  : ", &Worksheet::AttackMedium, 1, "%3.2f", kMs},
    {"Tempo de Ataque (Modo Rapido)  : ", &Worksheet::AttackFast, 1, "%3.2f", kMs},
    {"Tempo de Liberação (Release Lento)  : ", &Worksheet::ReleaseSlow, 1, "%3.2f", kMs},
    {"Tempo de Liberação (Rel Medio )  : ", &Worksheet::ReleaseMedium, 1, "%3.2f", kMs},
    {"Tempo de Liberação (Rel Rapido)  : ", &Worksheet::ReleaseFast, 1, "%3.2f", kMs},
    {kBlank, nullptr, 0, nullptr, nullptr},
    {"==== FIM ====", nullptr, 0, nullptr, nullptr},
    {kBlank, nullptr, 0, nullptr, nullptr},
}};

// Room for the longest value line without growing (a value of any size still fits).
constexpr std::size_t kLongestLine = 72;
constexpr std::size_t kNumberLine = 1;
constexpr std::size_t kSpeakerNameLine = 4;
constexpr std::size_t kAmplifierNameLine = 17;

}  // namespace

std::string ReportTitle(
    const numtext::CivilDate& date, std::string_view shortDatePattern, const numtext::DateNames& names)
{
    return "Dados para Quorvane" + std::string(36, ' ') + numtext::DateToStr(date, shortDatePattern, names);
}

std::vector<std::string> BuildReportBlock(
    const Worksheet& ws, std::int32_t adjustCount, const numtext::NumberFormat& nf)
{
    std::vector<std::string> lines;
    lines.reserve(kLines.size());
    for (const Line& line : kLines) {
        if (line.value != nullptr) {
            std::string text;
            text.reserve(kLongestLine);
            text += line.before;
            numtext::appendFormat(text, line.format, line.scale * (ws.*line.value), nf);
            text += line.after;
            lines.push_back(std::move(text));
        } else
            lines.emplace_back(line.before != nullptr ? line.before : "");
    }
    lines[kNumberLine] = " Ajuste : " + std::to_string(adjustCount) + "  ";
    lines[kSpeakerNameLine] = "Marca : " + ws.SpkBrand + "     Modelo Falante / Driver : " + ws.SpkModel;
    lines[kAmplifierNameLine] = "Marca : " + ws.AmpBrand + "     Modelo Amplificador : " + ws.AmpModel;
    return lines;
}

}  // namespace report
