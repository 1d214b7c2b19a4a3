// Time from constructing the window to its being exposed, beside the same
// for an empty QWidget in the same run, and the process's peak memory.
#include "mainform.h"

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QTest>

#include <sys/resource.h>

namespace {

template<typename Window>
void showUntilExposed(benchmark::State &state)
{
    for (auto _ : state) {
        auto *window = new Window;
        window->show();
        const bool exposed = QTest::qWaitForWindowExposed(window);
        state.PauseTiming(); // closing is not part of opening
        delete window;
        QCoreApplication::processEvents();
        state.ResumeTiming();
        if (!exposed) {
            state.SkipWithError("window never exposed");
            return;
        }
    }
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    state.counters["peak_rss_MB"] = double(usage.ru_maxrss) / 1024.0;
}

void BM_ShowEmptyWidget(benchmark::State &state) { showUntilExposed<QWidget>(state); }
void BM_ShowMainForm(benchmark::State &state) { showUntilExposed<MainForm>(state); }

BENCHMARK(BM_ShowEmptyWidget)->Unit(benchmark::kMillisecond)->Iterations(20);
BENCHMARK(BM_ShowMainForm)->Unit(benchmark::kMillisecond)->Iterations(20);

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("DISPLAY") && qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
