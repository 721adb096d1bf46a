// The window's buttons end to end on the offscreen platform.
#include <QApplication>
#include <QPushButton>

#include <benchmark/benchmark.h>

#include "ui/mainwindow.h"

namespace {

using behaviour::Button;

void click(const ui::MainWindow& form, Button button)
{
    qobject_cast<QPushButton*>(form.widget(behaviour::Window::controls().id(button)))->click();
}

std::unique_ptr<ui::MainWindow> acceptedForm()
{
    auto form = std::make_unique<ui::MainWindow>();
    form->setMessageBox([](const QString& text) { qFatal("unexpected message: %s", qPrintable(text)); });
    form->show();
    click(*form, Button::SpeakerAceita);
    click(*form, Button::AmplifierAceita);
    return form;
}

// "Calcula" end to end, with the report already holding `range(0)` blocks:
// the block appended after 999 others must cost no more than the first.
void BM_CalculaHandler(benchmark::State& state)
{
    auto form = acceptedForm();
    for (int64_t i = 0; i < state.range(0); ++i)
        click(*form, Button::Calcula);
    for (auto _ : state) {
        (void)_;
        click(*form, Button::Calcula);
    }
    state.counters["blocks"] = form->behaviour().adjustCount() - 1;
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
        click(*form, Button::Calcula);
    const ui::Environment system = ui::Environment::fromSystem();
    for (auto _ : state) {
        (void)_;
        const bool copied = system.copyToClipboard(QString::fromStdString(form->behaviour().reportText()));
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
            click(*form, Button::Calcula);
        state.ResumeTiming();
        click(*form, Button::Listar);
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
