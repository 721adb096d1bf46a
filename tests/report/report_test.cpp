#include "report/report.h"

#include <gtest/gtest.h>

#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include "support/default_pass.h"

using core::Worksheet;

namespace {

// The block of the default pass, as the end-to-end suite also expects it.
std::vector<std::string> defaultBlock()
{
    std::ifstream file(QUORVANE_TEST_SUPPORT_DIR "/default_block.txt");
    std::vector<std::string> lines;
    for (std::string line; std::getline(file, line);)
        lines.push_back(line);
    return lines;
}

Worksheet afterDefaultCalcula()
{
    Worksheet ws = testsupport::acceptedDefaults();
    core::ComputeLimiterSettings(ws);
    return ws;
}

TEST(ReportBlock, DefaultPassLineByLine)
{
    const auto block = report::BuildReportBlock(afterDefaultCalcula(), 1, {});
    const auto expected = defaultBlock();
    ASSERT_EQ(block.size(), static_cast<std::size_t>(report::kBlockLineCount));
    ASSERT_EQ(expected.size(), block.size());
    for (std::size_t i = 0; i < block.size(); ++i) {
        SCOPED_TRACE("line " + std::to_string(i + 1));
        EXPECT_EQ(block[i], expected[i]);
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
