// One press of "Calcola" (15 boxes read, 112 cells written) and one preset,
// through the in-memory window.
#include "altitude.h"
#include "memory_form.h"
#include "presets.h"

#include <benchmark/benchmark.h>

namespace {

void BM_ComputeTable(benchmark::State &state)
{
    solvara::MemoryForm form;
    solvara::applyPreset(solvara::kFifteenDaySteps, form);
    for (auto _ : state) {
        auto error = solvara::computeTable(form);
        benchmark::DoNotOptimize(error);
    }
    state.SetLabel("one press of Calcola");
}
BENCHMARK(BM_ComputeTable);

void BM_ApplyPreset(benchmark::State &state)
{
    solvara::MemoryForm form;
    for (auto _ : state) {
        solvara::applyPreset(solvara::kFifteenDaySteps, form);
        benchmark::ClobberMemory();
    }
    state.SetLabel("one press of Passo di 15 giorni");
}
BENCHMARK(BM_ApplyPreset);

} // namespace
