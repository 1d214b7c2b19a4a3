// One press of "Calcola" (15 boxes read, 112 cells written) and one preset,
// through the in-memory window; beside the press, the bare trigonometry of
// its 112 cells, the floor no press can go under, and the ratio of the two.
#include "altitude.h"
#include "memory_form.h"
#include "presets.h"

#include <benchmark/benchmark.h>

#include <array>
#include <cmath>
#include <cstdio>
#include <map>
#include <string>

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

// The same 112 altitudes as numbers only: nothing read, formatted or written.
// Once per press the latitude's sine and cosine and the cosines of the seven
// hour angles; per column the declination's sine and cosine; per hour cell a
// square root and an arctangent; the noon cell a subtraction.
void BM_BareTrigonometry(benchmark::State &state)
{
    double latitude = 38.1217;
    std::array<double, solvara::kColumns> declinations{};
    for (int column = 0; column < solvara::kColumns; ++column)
        declinations[column] = solvara::kFifteenDaySteps.declinationHundredths[column] / 100.0;
    std::array<double, solvara::kColumns * solvara::kRows> altitudes{};
    for (auto _ : state) {
        benchmark::DoNotOptimize(latitude);
        benchmark::DoNotOptimize(declinations);
        const double pi = 4.0 * std::atan(1.0);
        const double toRadians = pi / 180.0;
        const double toDegrees = 180.0 / pi;
        const double sinLatitude = std::sin(latitude * toRadians);
        const double cosLatitude = std::cos(latitude * toRadians);
        std::array<double, solvara::kRows - 1> cosHour;
        for (int row = 1; row < solvara::kNoonRow; ++row)
            cosHour[row - 1] = std::cos(solvara::hourAngleDegrees(row) * toRadians);
        double *cell = altitudes.data();
        for (const double declination : declinations) {
            const double sinDeclination = std::sin(declination * toRadians);
            const double cosDeclination = std::cos(declination * toRadians);
            for (const double c : cosHour) {
                const double s = sinDeclination * sinLatitude + cosDeclination * cosLatitude * c;
                *cell++ = std::atan(s / std::sqrt(1.0 - s * s)) * toDegrees;
            }
            *cell++ = 90.0 - std::fabs(latitude - declination);
        }
        benchmark::DoNotOptimize(altitudes);
    }
    state.SetLabel("the trigonometry of the same 112 cells");
}
BENCHMARK(BM_BareTrigonometry);

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

// The console report, keeping each benchmark's CPU time per iteration: the
// median of the repetitions when repeated (scripts/bench.sh repeats them, as
// other work on the machine slows some repetitions down), else the one run.
class RatioReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run> &runs) override
    {
        // (None of these benchmarks stops with an error; the field that says
        // so is named differently from one Google Benchmark release to the
        // next, so it is not read.)
        for (const Run &run : runs) {
            const std::string &name = run.run_name.function_name;
            if (run.run_type == Run::RT_Aggregate && run.aggregate_name == "median")
                medianCpuTime[name] = run.GetAdjustedCPUTime();
            else if (run.run_type == Run::RT_Iteration)
                cpuTime[name] = run.GetAdjustedCPUTime();
        }
        ConsoleReporter::ReportRuns(runs);
    }
    double timeOf(const std::string &name) const
    {
        for (const auto *times : {&medianCpuTime, &cpuTime})
            if (const auto it = times->find(name); it != times->end())
                return it->second;
        return 0;
    }

private:
    std::map<std::string, double> cpuTime;
    std::map<std::string, double> medianCpuTime;
};

} // namespace

int main(int argc, char **argv)
{
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    const double press = reporter.timeOf("BM_ComputeTable");
    const double floor = reporter.timeOf("BM_BareTrigonometry");
    if (press > 0 && floor > 0)
        std::printf("\none press of Calcola / bare trigonometry of its 112 cells, CPU: %.2fx "
                    "(target 4.00x)\n",
                    press / floor);
    return 0;
}
