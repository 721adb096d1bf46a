#include "report/report.h"

#include <algorithm>
#include <array>

#include "core/forms.h"

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
    core::WorksheetNumber value = nullptr;  // shown in its report form
    core::WorksheetText brand = nullptr;
    core::WorksheetText model = nullptr;
};

constexpr Row text(const char* text) { return {Row::Kind::Text, text}; }

constexpr Row value(const char* label, core::WorksheetNumber value) { return {Row::Kind::Value, label, value}; }

constexpr Row names(core::WorksheetText brand, const char* modelLabel, core::WorksheetText model)
{
    return {Row::Kind::Names, modelLabel, nullptr, brand, model};
}

constexpr Row blockNumber() { return {Row::Kind::BlockNumber}; }

constexpr const char* kBlank = "   ";

constexpr auto kBlock = std::to_array<Row>({
    text(kBlank),
    blockNumber(),
    text(kBlank),
    text("1 - Dados do Alto-Falante / Driver "),
    names(&Worksheet::SpkBrand, "     Modelo Falante / Driver : ", &Worksheet::SpkModel),
    value("Impedancia Nominal : ", &Worksheet::SpkZnom),
    value("Potencia Maxima Admissivel  : ", &Worksheet::SpkPmax),
    value("Frequencia de Corte Recomendada  : ", &Worksheet::FreqRec),
    value("Frequencia de Corte Desejada  : ", &Worksheet::FreqDes),
    value("Tensão de Trabalho Média  : ", &Worksheet::SpkVavg),
    value("Potencia de Operação Média  : ", &Worksheet::SpkPavg),
    value("Tensão de Trabalho Pico  : ", &Worksheet::SpkVpeak),
    value("Potencia de Operação Pico  : ", &Worksheet::SpkPpeak),
    value("Tensão de Trabalho Programa  : ", &Worksheet::SpkVprog),
    value("Potencia de Operação Programa  : ", &Worksheet::SpkPprog),
    text(kBlank),
    text("2 - Dados do Amplificador de Potencia "),
    names(&Worksheet::AmpBrand, "     Modelo Amplificador : ", &Worksheet::AmpModel),
    value("Tensão de Entrada para Pot Maxima  : ", &Worksheet::AmpVin),
    value("Impedancia Nominal  : ", &Worksheet::AmpZnom),
    value("Potencia Saida Maxima @ Znom  : ", &Worksheet::AmpPmax),
    value("Tensão Maxima de Saida @ Znom  : ", &Worksheet::AmpVmax),
    value("Relação de Ganho ( Linear )  : ", &Worksheet::GainLin),
    value("Relação de Ganho  (dB)  : ", &Worksheet::GainDb),
    value("Fator de Crista Desejado (Lin)  : ", &Worksheet::CrestLin),
    value("Fator de Crista Desejado (dB)  : ", &Worksheet::CrestDb),
    value("Fator de Crista Maximo Possivel  : ", &Worksheet::CrestMaxDb),
    text(kBlank),
    text("3 - Dados para Ajuste do Limiter "),
    value("Tensão de Saida Limiter  : ", &Worksheet::LimVout),
    value("Tensão de Saida Limiter  : ", &Worksheet::LimDbu),
    value("Tensão de Saida Limiter  : ", &Worksheet::LimDbv),
    value("Tempo de Ataque (Modo Lento) : ", &Worksheet::AttackSlow),
    value("Tempo de Ataque (Modo Médio)  : ", &Worksheet::AttackMedium),
    value("Tempo de Ataque (Modo Rapido)  : ", &Worksheet::AttackFast),
    value("Tempo de Liberação (Release Lento)  : ", &Worksheet::ReleaseSlow),
    value("Tempo de Liberação (Rel Medio )  : ", &Worksheet::ReleaseMedium),
    value("Tempo de Liberação (Rel Rapido)  : ", &Worksheet::ReleaseFast),
    text(kBlank),
    text("==== FIM ===="),
    text(kBlank),
});

static_assert(core::showsEachValueOnce(&core::ValueForms::report, kBlock, [](const Row& row) { return row.value; }));

std::string lineOf(const Row& row, const Worksheet& ws, std::int32_t adjustCount, const numtext::NumberFormat& nf)
{
    switch (row.kind) {
    case Row::Kind::Value:
        return row.text + core::shownText(core::formsOf(row.value)->report, ws.*row.value, nf);
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
