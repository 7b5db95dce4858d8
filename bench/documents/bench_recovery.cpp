// The recovery copy of a modified, coloured 10 MB page, in the main window:
// how long taking the copy holds the GUI thread at a time (the pane's RTF, in
// slices), how long the writer thread then needs (encoding, writing and
// syncing the file), and what a keystroke costs with no copy being made and
// while the writer is busy.
#include "ColouredPage.h"
#include "QtServices.h"
#include "TForm1.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QTest>
#include <benchmark/benchmark.h>

#include <algorithm>
#include <memory>

namespace {

std::unique_ptr<vela::TForm1> g_form;

vela::recovery::RecoveryCopy& copy() { return g_form->documents().recoveryCopy(); }

void typeKey() { QTest::keyClick(g_form->pane().widget(), Qt::Key_A); }

// The GUI thread's share, slice by slice: the longest one is the longest a
// keystroke can wait for the copy; their sum is what the copy costs it in all.
void BM_TakeCopyInSlices(benchmark::State& state) {
    qint64 longestNs = 0, slices = 0;
    // One turn of the event loop: the end of the pause, or one slice.
    auto turn = [&longestNs](const auto& work) {
        QElapsedTimer clock;
        clock.start();
        work();
        longestNs = std::max(longestNs, clock.nsecsElapsed());
    };
    for (auto _ : state) {
        turn([] { copy().writeNow(); });
        for (bool done = false; !done; ++slices) turn([&done] { done = copy().takeSlice(); });
        state.PauseTiming();
        copy().waitForWriter();
        state.ResumeTiming();
    }
    state.counters["longest turn ms"] = double(longestNs) / 1e6;
    state.counters["slices"] = double(slices) / double(state.iterations());
}
BENCHMARK(BM_TakeCopyInSlices)->Unit(benchmark::kMillisecond)->Iterations(5);

// The whole copy at once (as the undo snapshot takes it), for comparison.
void BM_RtfAtOnce(benchmark::State& state) {
    for (auto _ : state) benchmark::DoNotOptimize(g_form->pane().rtfText());
}
BENCHMARK(BM_RtfAtOnce)->Unit(benchmark::kMillisecond)->Iterations(5);

// From the end of the pause to the copy synced on disk.
void BM_TakeAndWriteCopy(benchmark::State& state) {
    for (auto _ : state) {
        copy().writeNow();
        while (!copy().takeSlice()) {
        }
        copy().waitForWriter();
    }
}
BENCHMARK(BM_TakeAndWriteCopy)->Unit(benchmark::kMillisecond)->Iterations(5);

// A character typed in the middle of the page; the pause restarts, nothing is written.
void BM_Keystroke(benchmark::State& state) {
    g_form->pane().setSelStart(g_form->pane().textLength() / 2);
    for (auto _ : state) typeKey();
}
BENCHMARK(BM_Keystroke)->Unit(benchmark::kMicrosecond)->Iterations(200);

// The same while the writer thread writes and syncs the copy: 20 keystrokes right after it started.
void BM_KeystrokeWhileCopyIsWritten(benchmark::State& state) {
    g_form->pane().setSelStart(g_form->pane().textLength() / 2);
    for (auto _ : state) {
        state.PauseTiming();
        copy().writeNow();
        while (!copy().takeSlice()) {
        }
        state.ResumeTiming();
        for (int i = 0; i < 20; ++i) typeKey();
        state.PauseTiming();
        copy().waitForWriter();
        state.ResumeTiming();
    }
    state.counters["per key"] = benchmark::Counter(20 * state.iterations(), benchmark::Counter::kIsRate |
                                                                                      benchmark::Counter::kInvert);
}
BENCHMARK(BM_KeystrokeWhileCopyIsWritten)->Unit(benchmark::kMillisecond)->Iterations(5);

} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    // The undo snapshot and the recovery copies go to a folder of the run's own.
    QTemporaryDir dir;
    QDir::setCurrent(dir.path());
    qputenv("XDG_STATE_HOME", QDir(dir.path()).filePath("state").toLocal8Bit());
    vela::QtServices services;
    g_form = std::make_unique<vela::TForm1>(services);
    g_form->pane().setRuns(vela::bench::colouredRuns(vela::bench::generatedPage(10 << 20)));
    benchmark::AddCustomContext("page bytes", std::to_string(g_form->pane().textLength()));
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    g_form.reset();
    return 0;
}
