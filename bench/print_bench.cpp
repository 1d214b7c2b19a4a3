// From the press of "Stampa" to the job accepted by CUPS, on the default
// printer (scripts/bench.sh makes that a PDF queue).
#include "cups_printer.h"
#include "memory_form.h"
#include "print_table.h"

#include <benchmark/benchmark.h>

#include <QGuiApplication>

namespace {

void BM_PrintToDefaultPrinter(benchmark::State &state)
{
    solvara::MemoryForm form;
    for (auto _ : state) {
        solvara::CupsPrinter printer;
        if (solvara::printTable(form, printer) != solvara::PrintOutcome::Sent) {
            state.SkipWithError("the default printer did not accept the page");
            return;
        }
    }
}
BENCHMARK(BM_PrintToDefaultPrinter)->Unit(benchmark::kMillisecond)->Iterations(10);

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
