// The text report: a title line, then one numbered block per "Calcula".
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "core/worksheet.h"
#include "numtext/numtext.h"

namespace report {

// The lines of one block, as its table has them.
extern const std::size_t kBlockLineCount;

// "Dados para Quorvane", 36 spaces, and the date as the desktop writes a
// short date.
std::string ReportTitle(std::string_view shortDate);

// The lines of one block, numbered `adjustCount`, from the Worksheet.
std::vector<std::string> BuildReportBlock(
    const core::Worksheet& ws, std::int32_t adjustCount, const numtext::NumberFormat& nf);

}  // namespace report
