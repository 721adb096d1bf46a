// One full pass of the window's behaviour without a toolkit, and the number-text
// functions on their own.
#include <benchmark/benchmark.h>

#include "behaviour/window.h"
#include "numtext/numtext.h"

namespace {

// Aceita, Aceita and Calcula on the default entries, as the window does
// them, from a new window each time.
void BM_FullPass(benchmark::State& state)
{
    using behaviour::Button;
    for (auto _ : state) {
        (void)_;
        behaviour::Window window({}, "07/12/2026");
        for (const Button button : {Button::SpeakerAceita, Button::AmplifierAceita, Button::Calcula}) {
            auto effects = window.press(button);
            benchmark::DoNotOptimize(effects);
        }
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
        auto text = numtext::Format(value, 4, 3, nf);
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
