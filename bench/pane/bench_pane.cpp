// Per-keystroke cost of the pane on a 1 MB page at its start, middle and end:
// the position index should keep it flat.

#include "Page.h"
#include "Pane.h"

#include <QApplication>
#include <benchmark/benchmark.h>

namespace {

vela::Pane& pageAtOneMegabyte() {
    static vela::Pane* pane = [] {
        auto* p = new vela::Pane;
        p->setRuns({{vela::bench::generatedPage(1 << 20), {}}});
        return p;
    }();
    return *pane;
}

int positionAt(vela::Pane& pane, int percent) {
    const int total = pane.textLength();
    return percent >= 100 ? total : int(static_cast<long long>(total) * percent / 100);
}

// One typed character: move the caret, insert, read the caret back.
void BM_InsertCharacter(benchmark::State& state) {
    vela::Pane& pane = pageAtOneMegabyte();
    const int percent = int(state.range(0));
    for (auto _ : state) {
        pane.setSelStart(positionAt(pane, percent));
        pane.setSelText("a");
        benchmark::DoNotOptimize(pane.selStart());
    }
}
BENCHMARK(BM_InsertCharacter)->Arg(0)->Arg(50)->Arg(100)->Iterations(10000)->Unit(benchmark::kMicrosecond);

// The selection queries the 200 ms timer and the tag engine make.
void BM_SelectionQuery(benchmark::State& state) {
    vela::Pane& pane = pageAtOneMegabyte();
    const int pos = positionAt(pane, int(state.range(0)));
    for (auto _ : state) {
        pane.setSelStart(pos);
        pane.setSelLength(40);
        benchmark::DoNotOptimize(pane.selStart() + pane.selLength());
        benchmark::DoNotOptimize(pane.selText());
    }
}
BENCHMARK(BM_SelectionQuery)->Arg(0)->Arg(50)->Arg(100)->Iterations(10000)->Unit(benchmark::kMicrosecond);

// Colouring a tag range: a format-only change the index must absorb.
void BM_ColourTag(benchmark::State& state) {
    vela::Pane& pane = pageAtOneMegabyte();
    const int pos = positionAt(pane, int(state.range(0)));
    for (auto _ : state) {
        pane.setSelStart(pos > 10 ? pos - 10 : pos);
        pane.setSelLength(5);
        pane.setSelColor(0xFFFF00);
    }
}
BENCHMARK(BM_ColourTag)->Arg(0)->Arg(50)->Arg(100)->Iterations(10000)->Unit(benchmark::kMicrosecond);

void BM_LoadPage(benchmark::State& state) {
    vela::Pane pane;
    const std::string page = vela::bench::generatedPage(1 << 20);
    for (auto _ : state) pane.setRuns({{page, {}}});
}
BENCHMARK(BM_LoadPage)->Iterations(5)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
