#include "report/report.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "support/default_pass.h"

using core::Worksheet;

namespace {

const std::vector<std::string> kDefaultBlock = {
    "   ",
    " Ajuste : 1  ",
    "   ",
    "1 - Dados do Alto-Falante / Driver ",
    "Marca : Tamsorel     Modelo Falante / Driver : TQ 2005",
    "Impedancia Nominal : 8.00 Ohms ",
    "Potencia Maxima Admissivel  : 125.00 Watts ",
    "Frequencia de Corte Recomendada  : 1250.00 Hertz ",
    "Frequencia de Corte Desejada  : 2000.00 Hertz ",
    "Tensão de Trabalho Média  : 20.00 Volts ",
    "Potencia de Operação Média  : 50.00 Watts ",
    "Tensão de Trabalho Pico  : 28.28 Volts ",
    "Potencia de Operação Pico  : 100.00 Watts ",
    "Tensão de Trabalho Programa  : 40.00 Volts ",
    "Potencia de Operação Programa  : 200.00 Watts ",
    "   ",
    "2 - Dados do Amplificador de Potencia ",
    "Marca : Morvask     Modelo Amplificador : RZ 2005",
    "Tensão de Entrada para Pot Maxima  : 775.00 mV ",
    "Impedancia Nominal  : 8.00 Ohms ",
    "Potencia Saida Maxima @ Znom  : 1000.00 Watts ",
    "Tensão Maxima de Saida @ Znom  : 89.44 Volts ",
    "Relação de Ganho ( Linear )  : 115.41 X (vezes) ",
    "Relação de Ganho  (dB)  : 41.24 dB ",
    "Fator de Crista Desejado (Lin)  :  3.98 (vezes) ",
    "Fator de Crista Desejado (dB)  :  6.00 dB ",
    "Fator de Crista Maximo Possivel  : 13.01 dB ",
    "   ",
    "3 - Dados para Ajuste do Limiter ",
    "Tensão de Saida Limiter  : 345.769 mV ",
    "Tensão de Saida Limiter  : -7.006 dBU ",
    "Tensão de Saida Limiter  : -9.224 dBV ",
    "Tempo de Ataque (Modo Lento) : 0.50 ms (mili segundos) ",
    "Tempo de Ataque (Modo Médio)  : 0.38 ms (mili segundos) ",
    "Tempo de Ataque (Modo Rapido)  : 0.30 ms (mili segundos) ",
    "Tempo de Liberação (Release Lento)  : 6.00 ms (mili segundos) ",
    "Tempo de Liberação (Rel Medio )  : 2.25 ms (mili segundos) ",
    "Tempo de Liberação (Rel Rapido)  : 0.90 ms (mili segundos) ",
    "   ",
    "==== FIM ====",
    "   ",
};

Worksheet afterDefaultCalcula()
{
    Worksheet ws = testsupport::acceptedDefaults();
    core::ComputeLimiterSettings(ws);
    return ws;
}

TEST(ReportBlock, DefaultPassLineByLine)
{
    const auto block = report::BuildReportBlock(afterDefaultCalcula(), 1, {});
    ASSERT_EQ(block.size(), static_cast<std::size_t>(report::kBlockLineCount));
    for (std::size_t i = 0; i < block.size(); ++i) {
        SCOPED_TRACE("line " + std::to_string(i + 1));
        EXPECT_EQ(block[i], kDefaultBlock[i]);
    }
}

TEST(ReportBlock, VariableLines)
{
    struct Row {
        const char* name;
        std::function<void(Worksheet&)> change;
        std::int32_t number;
        numtext::NumberFormat nf;
        std::size_t line;  // 1-based
        const char* expected;
    };
    const Row rows[] = {
        {"large block number", [](Worksheet&) {}, 2147483647, {}, 2, " Ajuste : 2147483647  "},
        {"empty brand and model",
            [](Worksheet& ws) {
                ws.SpkBrand.clear();
                ws.SpkModel.clear();
            },
            1, {}, 5, "Marca :      Modelo Falante / Driver : "},
        {"names keep their spaces", [](Worksheet& ws) { ws.AmpBrand = "   Morvask   "; }, 1, {}, 18,
            "Marca :    Morvask        Modelo Amplificador : RZ 2005"},
        {"comma separator", [](Worksheet&) {}, 1, {','}, 25, "Fator de Crista Desejado (Lin)  :  3,98 (vezes) "},
        {"comma in millivolts", [](Worksheet&) {}, 1, {','}, 30, "Tensão de Saida Limiter  : 345,769 mV "},
        {"exact half away from zero", [](Worksheet& ws) { ws.AttackMedium = 0.625f; }, 1, {}, 34,
            "Tempo de Ataque (Modo Médio)  : 0.63 ms (mili segundos) "},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        Worksheet ws = afterDefaultCalcula();
        row.change(ws);
        EXPECT_EQ(report::BuildReportBlock(ws, row.number, row.nf).at(row.line - 1), row.expected);
    }
}

TEST(ReportTitle, NameThirtySixSpacesAndTheShortDate)
{
    EXPECT_EQ(report::ReportTitle({2026, 12, 7}, "dd/MM/yyyy"),
        "Dados para Quorvane                                    07/12/2026");
    EXPECT_EQ(report::ReportTitle({2026, 12, 7}, "M/d/yy"), "Dados para Quorvane" + std::string(36, ' ') + "12/7/26");
}

}  // namespace
