#include "report/report.h"

#include <algorithm>
#include <array>

namespace report {

namespace {

using core::Worksheet;

// One line of the block, of one of four kinds.
struct Row {
    enum class Kind {
        Text,         // `text` alone
        Value,        // `text`, a value in its format, `unit`
        Names,        // "Marca : ", a brand, `text`, a model
        BlockNumber,  // the number of the "Calcula" that made the block
    };
    Kind kind = Kind::Text;
    const char* text = "";
    core::WorksheetNumber value = nullptr;
    double scale = 1.0;
    const char* format = nullptr;
    const char* unit = nullptr;
    core::WorksheetText brand = nullptr;
    core::WorksheetText model = nullptr;
};

constexpr Row text(const char* text) { return {Row::Kind::Text, text}; }

constexpr Row value(
    const char* label, core::WorksheetNumber value, const char* format, const char* unit, double scale = 1.0)
{
    return {Row::Kind::Value, label, value, scale, format, unit};
}

constexpr Row names(core::WorksheetText brand, const char* modelLabel, core::WorksheetText model)
{
    return {Row::Kind::Names, modelLabel, nullptr, 1.0, nullptr, nullptr, brand, model};
}

constexpr Row blockNumber() { return {Row::Kind::BlockNumber}; }

constexpr const char* kBlank = "   ";
constexpr const char* kMs = " ms (mili segundos) ";

constexpr auto kBlock = std::to_array<Row>({
    text(kBlank),
    blockNumber(),
    text(kBlank),
    text("1 - Dados do Alto-Falante / Driver "),
    names(&Worksheet::SpkBrand, "     Modelo Falante / Driver : ", &Worksheet::SpkModel),
    value("Impedancia Nominal : ", &Worksheet::SpkZnom, "%3.2f", " Ohms "),
    value("Potencia Maxima Admissivel  : ", &Worksheet::SpkPmax, "%4.2f", " Watts "),
    value("Frequencia de Corte Recomendada  : ", &Worksheet::FreqRec, "%5.2f", " Hertz "),
    value("Frequencia de Corte Desejada  : ", &Worksheet::FreqDes, "%5.2f", " Hertz "),
    value("Tensão de Trabalho Média  : ", &Worksheet::SpkVavg, "%5.2f", " Volts "),
    value("Potencia de Operação Média  : ", &Worksheet::SpkPavg, "%5.2f", " Watts "),
    value("Tensão de Trabalho Pico  : ", &Worksheet::SpkVpeak, "%5.2f", " Volts "),
    value("Potencia de Operação Pico  : ", &Worksheet::SpkPpeak, "%5.2f", " Watts "),
    value("Tensão de Trabalho Programa  : ", &Worksheet::SpkVprog, "%5.2f", " Volts "),
    value("Potencia de Operação Programa  : ", &Worksheet::SpkPprog, "%5.2f", " Watts "),
    text(kBlank),
    text("2 - Dados do Amplificador de Potencia "),
    names(&Worksheet::AmpBrand, "     Modelo Amplificador : ", &Worksheet::AmpModel),
    value("Tensão de Entrada para Pot Maxima  : ", &Worksheet::AmpVin, "%5.2f", " mV ", 1000),
    value("Impedancia Nominal  : ", &Worksheet::AmpZnom, "%3.2f", " Ohms "),
    value("Potencia Saida Maxima @ Znom  : ", &Worksheet::AmpPmax, "%5.2f", " Watts "),
    value("Tensão Maxima de Saida @ Znom  : ", &Worksheet::AmpVmax, "%5.2f", " Volts "),
    value("Relação de Ganho ( Linear )  : ", &Worksheet::GainLin, "%5.2f", " X (vezes) "),
    value("Relação de Ganho  (dB)  : ", &Worksheet::GainDb, "%5.2f", " dB "),
    value("Fator de Crista Desejado (Lin)  : ", &Worksheet::CrestLin, "%5.2f", " (vezes) "),
    value("Fator de Crista Desejado (dB)  : ", &Worksheet::CrestDb, "%5.2f", " dB "),
    value("Fator de Crista Maximo Possivel  : ", &Worksheet::CrestMaxDb, "%5.2f", " dB "),
    text(kBlank),
    text("3 - Dados para Ajuste do Limiter "),
    value("Tensão de Saida Limiter  : ", &Worksheet::LimVout, "%3.3f", " mV ", 1000),
    value("Tensão de Saida Limiter  : ", &Worksheet::LimDbu, "%3.3f", " dBU "),
    value("Tensão de Saida Limiter  : ", &Worksheet::LimDbv, "%3.3f", " dBV "),
    value("Tempo de Ataque (Modo Lento) : ", &Worksheet::AttackSlow, "%3.2f", kMs),
    value("Tempo de Ataque (Modo Médio)  : ", &Worksheet::AttackMedium, "%3.2f", kMs),
    value("Tempo de Ataque (Modo Rapido)  : ", &Worksheet::AttackFast, "%3.2f", kMs),
    value("Tempo de Liberação (Release Lento)  : ", &Worksheet::ReleaseSlow, "%3.2f", kMs),
    value("Tempo de Liberação (Rel Medio )  : ", &Worksheet::ReleaseMedium, "%3.2f", kMs),
    value("Tempo de Liberação (Rel Rapido)  : ", &Worksheet::ReleaseFast, "%3.2f", kMs),
    text(kBlank),
    text("==== FIM ===="),
    text(kBlank),
});

std::string lineOf(const Row& row, const Worksheet& ws, std::int32_t adjustCount, const numtext::NumberFormat& nf)
{
    switch (row.kind) {
    case Row::Kind::Value:
        return row.text + numtext::Format(row.format, row.scale * (ws.*row.value), nf) + row.unit;
    case Row::Kind::Names:
        return "Marca : " + ws.*row.brand + row.text + ws.*row.model;
    case Row::Kind::BlockNumber:
        return " Ajuste : " + std::to_string(adjustCount) + "  ";
    case Row::Kind::Text:
        break;
    }
    return row.text;
}

}  // namespace

const std::size_t kBlockLineCount = kBlock.size();

std::string ReportTitle(std::string_view shortDate)
{
    return "Dados para Quorvane" + std::string(36, ' ') + std::string(shortDate);
}

std::vector<std::string> BuildReportBlock(
    const Worksheet& ws, std::int32_t adjustCount, const numtext::NumberFormat& nf)
{
    std::vector<std::string> lines(kBlock.size());
    std::transform(
        kBlock.begin(), kBlock.end(), lines.begin(), [&](const Row& row) { return lineOf(row, ws, adjustCount, nf); });
    return lines;
}

}  // namespace report
