// The report of the default pass, as the clipboard takes it: CR LF line
// ends, the title dated `date`, and the block `blocks` times, each numbered
// as the "Calcula" that added it.
#pragma once

#include <fstream>
#include <string>

inline std::string goldenReport(const std::string& date, int blocks = 1)
{
    std::ifstream saved(QUORVANE_TEST_SUPPORT_DIR "/default_report.txt");
    std::string title, block, line;
    std::getline(saved, title);
    while (std::getline(saved, line))
        block += line + "\r\n";
    std::string text = title.replace(title.find("{date}"), 6, date) + "\r\n";
    for (int i = 1; i <= blocks; ++i)
        text += std::string(block).replace(block.find(" Ajuste : 1  "), 13, " Ajuste : " + std::to_string(i) + "  ");
    return text;
}
