// Cost of one tick of the enabling timer on a 1 MB page: with the selection
// unchanged since the last tick (the usual case), and with a whole-page
// selection that changed, which makes the tick read the selected text.
#include "QtServices.h"
#include "TForm1.h"

#include <QApplication>
#include <benchmark/benchmark.h>

#include <memory>

namespace {

std::unique_ptr<vela::TForm1> g_form;

std::string onePage() {
    std::string page;
    const std::string line = "<P>\x93\xFA\x96\x7B\x8C\xEA\x82\xCC text of a line <B>bold</B>\r\n"; // 日本語の
    while (page.size() < (1u << 20)) page += line;
    return page;
}

void prepare(int selectionLength) {
    vela::Pane& pane = g_form->pane();
    pane.setSelStart(0);
    pane.setSelLength(selectionLength);
}

void BM_TickSelectionUnchanged(benchmark::State& state) {
    prepare(g_form->pane().textLength());
    g_form->Timer1Timer();
    for (auto _ : state) g_form->Timer1Timer();
}
BENCHMARK(BM_TickSelectionUnchanged);

void BM_TickAfterWholePageSelected(benchmark::State& state) {
    const int length = g_form->pane().textLength();
    int flip = 0;
    for (auto _ : state) {
        prepare(length - (flip ^= 1)); // a different selection at every tick
        g_form->Timer1Timer();
    }
}
BENCHMARK(BM_TickAfterWholePageSelected)->Unit(benchmark::kMillisecond);

void BM_TickCaretMoved(benchmark::State& state) {
    int pos = 0;
    for (auto _ : state) {
        g_form->pane().setSelStart(pos = (pos + 97) % 100000);
        g_form->Timer1Timer();
    }
}
BENCHMARK(BM_TickCaretMoved);

} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    vela::QtServices services;
    g_form = std::make_unique<vela::TForm1>(services);
    g_form->pane().clear();
    g_form->pane().setSelText(onePage());
    benchmark::AddCustomContext("page bytes", std::to_string(g_form->pane().textLength()));
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    g_form.reset();
    return 0;
}
