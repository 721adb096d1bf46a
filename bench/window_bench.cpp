// The window's handlers end to end on the offscreen platform.
#include <QApplication>
#include <QPushButton>

#include <benchmark/benchmark.h>

#include "ui/tform1.h"

namespace {

std::unique_ptr<ui::TForm1> acceptedForm()
{
    auto form = std::make_unique<ui::TForm1>();
    form->setMessageBox([](const QString& text) { qFatal("unexpected message: %s", qPrintable(text)); });
    form->show();
    form->Button1Click();
    form->Button2Click();
    return form;
}

// "Calcula" end to end, with the report already holding `range(0)` blocks:
// the block appended after 999 others must cost no more than the first.
void BM_CalculaHandler(benchmark::State& state)
{
    auto form = acceptedForm();
    for (int64_t i = 0; i < state.range(0); ++i)
        form->Button3Click();
    for (auto _ : state) {
        (void)_;
        form->Button3Click();
    }
    state.counters["blocks"] = form->adjustCount() - 1;
}
BENCHMARK(BM_CalculaHandler)
    ->Arg(0)
    ->Arg(999)
    ->Iterations(1000)
    ->Repetitions(3)
    ->ReportAggregatesOnly(true)
    ->Unit(benchmark::kMicrosecond);

void BM_SairCopyOf1000Blocks(benchmark::State& state)
{
    auto form = acceptedForm();
    for (int i = 0; i < 1000; ++i)
        form->Button3Click();
    const ui::Environment system = ui::Environment::fromSystem();
    for (auto _ : state) {
        (void)_;
        const bool copied = system.copyToClipboard(form->reportText());
        if (!copied)
            state.SkipWithError("the clipboard did not take the report");
    }
}
BENCHMARK(BM_SairCopyOf1000Blocks)->Unit(benchmark::kMillisecond);

// "Listar" after 1000 blocks: the memo takes in all the report at once.
void BM_ListarAfter1000Blocks(benchmark::State& state)
{
    for (auto _ : state) {
        (void)_;
        state.PauseTiming();
        auto form = acceptedForm();
        for (int i = 0; i < 1000; ++i)
            form->Button3Click();
        state.ResumeTiming();
        form->Button5Click();
    }
}
BENCHMARK(BM_ListarAfter1000Blocks)->Iterations(5)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
