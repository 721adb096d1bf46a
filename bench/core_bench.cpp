// One full pass of the calculator without a window, and the number-text
// functions on their own.
#include <benchmark/benchmark.h>

#include "core/display.h"
#include "core/limiter.h"
#include "numtext/numtext.h"
#include "report/report.h"

namespace {

struct NullSink : core::MessageSink {
    void report(const std::string&, core::Entry) override { }
};

using core::Entry;

// The window's default entries, panel by panel.
const std::pair<Entry, const char*> kSpeakerDefaults[] = {{Entry::SpkBrand, "Tamsorel"}, {Entry::SpkModel, "TQ 2005"},
    {Entry::SpkZnom, "8.00"}, {Entry::SpkPmax, "125"}, {Entry::FreqRec, "1250"}, {Entry::FreqDes, "2000"}};
const std::pair<Entry, const char*> kAmplifierDefaults[] = {{Entry::AmpBrand, "Morvask"}, {Entry::AmpModel, "RZ 2005"},
    {Entry::AmpVin, "0.775"}, {Entry::AmpZnom, "8"}, {Entry::AmpPmax, "1000"}, {Entry::CrestDb, "6"}};

template <typename Entries> void acceptAll(core::Worksheet& ws, const Entries& entries, const numtext::NumberFormat& nf)
{
    for (const auto& [entry, text] : entries)
        core::acceptEntry(ws, entry, text, nf);
}

void BM_FullPass(benchmark::State& state)
{
    const numtext::NumberFormat nf;
    NullSink sink;
    for (auto _ : state) {
        (void)_;
        core::Worksheet ws;
        acceptAll(ws, kSpeakerDefaults, nf);
        core::CheckSpeakerData(ws, sink);
        core::DeriveSpeakerValues(ws);
        auto speaker = core::speakerCaptions(ws, nf);
        acceptAll(ws, kAmplifierDefaults, nf);
        core::CheckAmplifierData(ws, sink);
        core::DeriveAmplifierValues(ws);
        auto amplifier = core::amplifierCaptions(ws, nf);
        core::ComputeLimiterSettings(ws);
        std::string fields;
        for (int field = 0; field < core::kResultFieldCount; ++field)
            fields += core::resultFieldText(ws, static_cast<core::ResultField>(field), nf);
        auto block = report::BuildReportBlock(ws, 1, nf);
        benchmark::DoNotOptimize(speaker);
        benchmark::DoNotOptimize(amplifier);
        benchmark::DoNotOptimize(fields);
        benchmark::DoNotOptimize(block);
    }
}
BENCHMARK(BM_FullPass);

void BM_Format(benchmark::State& state)
{
    const numtext::NumberFormat nf;
    double value = 345.76953125;
    for (auto _ : state) {
        (void)_;
        benchmark::DoNotOptimize(value);
        auto text = numtext::Format("   %4.3f", value, nf);
        benchmark::DoNotOptimize(text);
    }
}
BENCHMARK(BM_Format);

void BM_StrToFloat(benchmark::State& state)
{
    const numtext::NumberFormat nf;
    std::string text = "1250.00";
    for (auto _ : state) {
        (void)_;
        benchmark::DoNotOptimize(text);
        benchmark::DoNotOptimize(numtext::StrToFloat(text, nf));
    }
}
BENCHMARK(BM_StrToFloat);

}  // namespace
