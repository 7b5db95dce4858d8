// RTF writer and reader over generated coloured pages of 100 KB, 1 MB and 10 MB.
#include "Cp932.h"
#include "Rtf.h"

#include <benchmark/benchmark.h>

namespace {

using vela::rtf::RunList;

// A page like the editor's: a coloured tag about every 35 bytes of text,
// the text between mixed Japanese and ASCII, lines ending in CR LF.
RunList page(std::size_t bytes) {
    const std::string tags[] = {"<P>", "</B>", "<FONT COLOR=\"#FF0000\">", "<BR>\r\n", "<A HREF=\"a.htm\">"};
    const std::string texts[] = {vela::cp932::fromUtf8("表示する本文とソースの例です。"), "plain ascii text, ",
                                 vela::cp932::fromUtf8("ﾊﾝｶｸ half-width 能力")};
    RunList runs;
    std::size_t total = 0;
    for (std::size_t i = 0; total < bytes; ++i) {
        vela::rtf::TextRun tag{tags[i % 5], {}};
        tag.format.color = 0x00FFFF00u;
        vela::rtf::TextRun text{texts[i % 3], {}};
        if (i % 7 == 0) text.format.bold = true;
        total += tag.text.size() + text.text.size();
        runs.push_back(std::move(tag));
        runs.push_back(std::move(text));
    }
    return runs;
}

std::size_t textBytes(const RunList& runs) {
    std::size_t n = 0;
    for (const auto& r : runs) n += r.text.size();
    return n;
}

void BM_Write(benchmark::State& state) {
    RunList runs = page(static_cast<std::size_t>(state.range(0)));
    for (auto _ : state) benchmark::DoNotOptimize(vela::rtf::write(runs));
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * textBytes(runs)));
}

void BM_Read(benchmark::State& state) {
    RunList runs = page(static_cast<std::size_t>(state.range(0)));
    std::string rtf = vela::rtf::write(runs);
    for (auto _ : state) benchmark::DoNotOptimize(vela::rtf::read(rtf));
    // Throughput counts the page's text, so reading and writing compare directly.
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * textBytes(runs)));
    state.counters["rtf_bytes"] = static_cast<double>(rtf.size());
}

} // namespace

BENCHMARK(BM_Write)->Arg(100 << 10)->Arg(1 << 20)->Arg(10 << 20)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Read)->Arg(100 << 10)->Arg(1 << 20)->Arg(10 << 20)->Unit(benchmark::kMillisecond);
BENCHMARK_MAIN();
