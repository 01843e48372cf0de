// Speed of the string operations the installer leans on: appends (amortised
// constant per character), conversions through the scratch, byte searches.
#include <benchmark/benchmark.h>

#include <string>
#include <vector>

#include "text/convert.h"
#include "text/gstring.h"

// Time per character should stay flat as the text grows.
static void AppendOneCharacterAtATime(benchmark::State& state)
{
    int n = int(state.range(0));
    for (auto _ : state) {
        GString s;
        s.ClearWide();
        for (int i = 0; i < n; i++)
            s.AppendWideChar('x', 1);
        benchmark::DoNotOptimize(s.block);
    }
    state.SetItemsProcessed(state.iterations() * n);
}
BENCHMARK(AppendOneCharacterAtATime)->RangeMultiplier(8)->Range(64, 1 << 18);

// A narrow text converted to wide and back, as registry and file texts are.
static void ConvertRoundTrip(benchmark::State& state)
{
    std::string text;
    while (int(text.size()) < state.range(0))
        text += "za\xC5\xBC\xC3\xB3\xC5\x82\xC4\x87 g\xC4\x99\xC5\x9Bl\xC4\x85 ";
    GString s;
    for (auto _ : state) {
        s.AssignNarrow(text.c_str(), int(text.size()), -1);
        benchmark::DoNotOptimize(s.ToWide(-1));
        benchmark::DoNotOptimize(s.ToNarrow(-1));
    }
    state.SetBytesProcessed(state.iterations() * int64_t(text.size()));
}
BENCHMARK(ConvertRoundTrip)->Arg(256)->Arg(64 << 10);

// A patch pattern near the end of a layout image.
static void FindPatternInImage(benchmark::State& state)
{
    std::vector<uint8_t> image(size_t(state.range(0)), 0x4B);
    const uint8_t pattern[] = {0x4B, 0x4B, 0x4B, 0x10, 0x00, 0x20, 0x00, 0xFF};
    std::copy(pattern, pattern + sizeof pattern, image.end() - 100);
    for (auto _ : state)
        benchmark::DoNotOptimize(FindBytes(image.data(), pattern, int(image.size()), int(sizeof pattern), 0));
    state.SetBytesProcessed(state.iterations() * int64_t(image.size()));
}
BENCHMARK(FindPatternInImage)->Arg(16 << 10)->Arg(256 << 10);

BENCHMARK_MAIN();
