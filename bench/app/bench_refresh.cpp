// Refresh (R1Click) on generated pages of 100 KB, 1 MB and 10 MB: a page read
// without colours, where every tag changes, and a page refreshed before, where
// nothing does. The "s/MB" counter is the time per megabyte of page.
#include "QtServices.h"
#include "TForm1.h"
#include "TagInsertionEngine.h"

#include <QApplication>
#include <benchmark/benchmark.h>

#include <memory>

namespace {

std::unique_ptr<vela::TForm1> g_form;

std::string page(std::size_t bytes) {
    std::string text = "<HTML>\r\n<HEAD>\r\n<TITLE>x</TITLE>\r\n</HEAD>\r\n<BODY BGCOLOR=\"#000000\">\r\n";
    // 日本語の文章 and a half-width katakana word, so positions and widths differ.
    const std::string line = "<P>\x93\xFA\x96\x7B\x8C\xEA\x82\xCC\x95\xB6\x8F\xCD \xB6\xC5 text <B>bold</B> "
                             "<A HREF=\"page.htm\">link</A>\r\n";
    while (text.size() < bytes) text += line;
    return text + "</BODY>\r\n</HTML>\r\n";
}

void setRate(benchmark::State& state, std::size_t bytes) {
    const double megabytes = double(bytes) / (1 << 20);
    state.counters["s/MB"] =
        benchmark::Counter(megabytes * double(state.iterations()), benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
    state.SetBytesProcessed(std::int64_t(state.iterations()) * std::int64_t(bytes));
}

void BM_RefreshUncolouredPage(benchmark::State& state) {
    vela::Pane& pane = g_form->pane();
    vela::TagRecolouring& recolouring = g_form->recolouring();
    const vela::rtf::RunList plain{{page(std::size_t(state.range(0))), {}}};
    for (auto _ : state) {
        state.PauseTiming();
        pane.setRuns(plain);
        state.ResumeTiming();
        recolouring.R1Click();
    }
    setRate(state, plain.front().text.size());
}
BENCHMARK(BM_RefreshUncolouredPage)->Arg(100 << 10)->Arg(1 << 20)->Arg(10 << 20)->Unit(benchmark::kMillisecond);

void BM_RefreshRefreshedPage(benchmark::State& state) {
    vela::Pane& pane = g_form->pane();
    vela::TagRecolouring& recolouring = g_form->recolouring();
    const std::string text = page(std::size_t(state.range(0)));
    pane.setRuns({{text, {}}});
    recolouring.R1Click();
    for (auto _ : state) recolouring.R1Click();
    setRate(state, text.size());
}
BENCHMARK(BM_RefreshRefreshedPage)->Arg(100 << 10)->Arg(1 << 20)->Arg(10 << 20)->Unit(benchmark::kMillisecond);

/// A refreshed page with a few tags typed in white: the in-place path.
void BM_RefreshAfterHandTyping(benchmark::State& state) {
    vela::Pane& pane = g_form->pane();
    vela::TagRecolouring& recolouring = g_form->recolouring();
    const std::string text = page(std::size_t(state.range(0)));
    pane.setRuns({{text, {}}});
    recolouring.R1Click();
    const int typed = int(state.range(1));
    for (auto _ : state) {
        state.PauseTiming();
        for (int i = 0; i < typed; ++i) {
            pane.setSelStart(int(text.size()) * i / (typed + 1) / 2 * 2);
            pane.setSelLength(0);
            pane.setSelColor(vela::TextWhite);
            pane.setSelText("<I>");
        }
        state.ResumeTiming();
        recolouring.R1Click();
    }
    setRate(state, text.size());
}
BENCHMARK(BM_RefreshAfterHandTyping)
    ->Args({1 << 20, 8})
    ->Args({1 << 20, 30})
    ->Args({1 << 20, 60})
    ->Unit(benchmark::kMillisecond)
    ->Iterations(5);

} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    vela::QtServices services;
    g_form = std::make_unique<vela::TForm1>(services);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    g_form.reset();
    return 0;
}
