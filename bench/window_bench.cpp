// The window's handlers end to end on the offscreen platform.
#include <QApplication>
#include <QPushButton>

#include <benchmark/benchmark.h>

#include "ui/tform1.h"

namespace {

std::unique_ptr<ui::TForm1> acceptedForm()
{
    auto form = std::make_unique<ui::TForm1>();
    form->setMessageBox([](const QString&) {});
    form->show();
    form->Button1Click();
    form->Button2Click();
    return form;
}

void BM_CalculaHandler(benchmark::State& state)
{
    auto form = acceptedForm();
    for (auto _ : state) {
        (void)_;
        form->Button3Click();
    }
    state.counters["blocks"] = form->adjustCount() - 1;
}
BENCHMARK(BM_CalculaHandler)->Unit(benchmark::kMicrosecond);

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
