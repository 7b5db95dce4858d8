// Per-keystroke cost of the pane on a 1 MB page at its start, middle and end:
// the position index should keep it flat. Loading a page, from runs and from a file.

#include "ColouredPage.h"
#include "Pane.h"

#include <QApplication>
#include <QFile>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

#include <algorithm>
#include <memory>

namespace {

std::unique_ptr<vela::Pane> pageAtOneMegabyte() {
    auto pane = std::make_unique<vela::Pane>();
    pane->setRuns({{vela::bench::generatedPage(1 << 20), {}}});
    return pane;
}

int positionAt(vela::Pane& pane, int percent) {
    const int total = pane.textLength();
    return percent >= 100 ? total : int(static_cast<long long>(total) * percent / 100);
}

// Typing at the start, middle or end of the page: one character per
// keystroke at the caret, a line break every 64th, the caret read back.
void BM_TypeCharacter(benchmark::State& state) {
    auto pane = pageAtOneMegabyte();
    pane->setSelStart(positionAt(*pane, int(state.range(0))));
    int typed = 0;
    for (auto _ : state) {
        pane->setSelText(++typed % 64 ? "a" : "\r\n");
        benchmark::DoNotOptimize(pane->selStart());
    }
}
BENCHMARK(BM_TypeCharacter)->Arg(0)->Arg(50)->Arg(100)->Iterations(10000)->Unit(benchmark::kMicrosecond);

// The selection queries the 200 ms timer and the tag engine make.
void BM_SelectionQuery(benchmark::State& state) {
    auto pane = pageAtOneMegabyte();
    const int pos = positionAt(*pane, int(state.range(0)));
    for (auto _ : state) {
        pane->setSelStart(pos);
        pane->setSelLength(40);
        benchmark::DoNotOptimize(pane->selStart() + pane->selLength());
        benchmark::DoNotOptimize(pane->selText());
    }
}
BENCHMARK(BM_SelectionQuery)->Arg(0)->Arg(50)->Arg(100)->Iterations(10000)->Unit(benchmark::kMicrosecond);

// Colouring a tag range: a format-only change the index must absorb.
void BM_ColourTag(benchmark::State& state) {
    auto pane = pageAtOneMegabyte();
    const int pos = std::max(0, positionAt(*pane, int(state.range(0))) - 10);
    for (auto _ : state) {
        pane->setSelStart(pos);
        pane->setSelLength(5);
        pane->setSelColor(0xFFFF00);
    }
}
BENCHMARK(BM_ColourTag)->Arg(0)->Arg(50)->Arg(100)->Iterations(10000)->Unit(benchmark::kMicrosecond);

std::unique_ptr<vela::Pane> colouredPageAtOneMegabyte() {
    auto pane = std::make_unique<vela::Pane>();
    pane->setRuns(vela::bench::colouredRuns(vela::bench::generatedPage(1 << 20)));
    return pane;
}

// Whole-document reads of a coloured page: what refresh, save and the undo
// snapshot start from.
void BM_Runs(benchmark::State& state) {
    auto pane = colouredPageAtOneMegabyte();
    for (auto _ : state) benchmark::DoNotOptimize(pane->runs());
}
BENCHMARK(BM_Runs)->Unit(benchmark::kMillisecond);

void BM_Colours(benchmark::State& state) {
    auto pane = colouredPageAtOneMegabyte();
    for (auto _ : state) benchmark::DoNotOptimize(pane->colours());
}
BENCHMARK(BM_Colours)->Unit(benchmark::kMillisecond);

// The text after a change (the kept copy is dropped by every change).
void BM_TextAfterChange(benchmark::State& state) {
    auto pane = colouredPageAtOneMegabyte();
    for (auto _ : state) {
        state.PauseTiming();
        pane->setSelStart(0);
        pane->setSelText("a");
        state.ResumeTiming();
        benchmark::DoNotOptimize(pane->text().size());
    }
}
BENCHMARK(BM_TextAfterChange)->Unit(benchmark::kMillisecond);

void BM_LoadColouredPage(benchmark::State& state) {
    vela::Pane pane;
    const vela::rtf::RunList runs = vela::bench::colouredRuns(vela::bench::generatedPage(1 << 20));
    for (auto _ : state) pane.setRuns(runs);
}
BENCHMARK(BM_LoadColouredPage)->Iterations(5)->Unit(benchmark::kMillisecond);

void BM_LoadPage(benchmark::State& state) {
    vela::Pane pane;
    const std::string page = vela::bench::generatedPage(1 << 20);
    for (auto _ : state) pane.setRuns({{page, {}}});
}
BENCHMARK(BM_LoadPage)->Iterations(5)->Unit(benchmark::kMillisecond);

// Import's load of a 10 MB page from its file, encoding detection and
// conversion included: 0 the page in CP932, 1 the same page in UTF-8.
void BM_LoadPageFile(benchmark::State& state) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("page.htm"));
    std::string page = vela::bench::generatedPage(10 << 20);
    if (state.range(0) == 1) page = vela::cp932::toUtf8(page);
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(page.data(), qint64(page.size())) != qint64(page.size())) {
        state.SkipWithError("cannot write the page");
        return;
    }
    file.close();
    vela::Pane pane;
    for (auto _ : state) pane.loadFromFile(path.toStdString(), vela::StreamFormat::Rtf);
}
BENCHMARK(BM_LoadPageFile)->Arg(0)->Arg(1)->Iterations(5)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
