// Opening blobs of the payload's sizes (the largest is about 1.1 MB raw),
// and text lookups with the language fallback.
#include <benchmark/benchmark.h>

#include <stdlib.h>
#include <string.h>

#include "payload/packer/pack.h"
#include "payload/text_table.h"

namespace {

struct Fixture {
    KeyMaterial key;
    CGuard* guard = nullptr;
    Fixture()
    {
        GenerateKeyMaterial("benchmark seed", key);
        guard = new CGuard(key.Params);
        guard->Load(key.Block.data(), (uint32_t)key.Block.size());
    }
    ~Fixture() { delete guard; }
};

Bytes DocumentLike(size_t cb)
{
    Bytes raw(cb);
    uint32_t x = 12345;
    for (size_t i = 0; i < cb; ++i) {
        x = x * 1103515245u + 12345u;
        raw[i] = (i % 64 < 48) ? (uint8_t)("klawiatura "[i % 11]) : (uint8_t)(x >> 24);
    }
    return raw;
}

void BM_UnpackBlob(benchmark::State& state)
{
    Fixture f;
    Bytes stored;
    MakeBlob(*f.guard, DocumentLike((size_t)state.range(0)), 0, stored);
    for (auto _ : state) {
        uint32_t cb = (uint32_t)stored.size();
        uint8_t* out = f.guard->UnpackBlob(stored.data(), cb, nullptr);
        benchmark::DoNotOptimize(out);
        free(out);
    }
    state.SetBytesProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_UnpackBlob)->Arg(3000)->Arg(7800)->Arg(1149048);

void BM_LookupWithFallback(benchmark::State& state)
{
    TextMap language, common;
    for (uint32_t id = 90; id < 330; ++id)
        language[id] = u"text";
    for (uint32_t id = 0; id < 160; ++id)
        common[id] = u"name";
    const Bytes languageImage = BuildTextTableImage(language), commonImage = BuildTextTableImage(common);
    TextTable tables[2];
    tables[0].Clear();
    tables[1].Clear();
    uint8_t* a = (uint8_t*)malloc(languageImage.size());
    uint8_t* b = (uint8_t*)malloc(commonImage.size());
    memcpy(a, languageImage.data(), languageImage.size());
    memcpy(b, commonImage.data(), commonImage.size());
    tables[0].Adopt(a, (uint32_t)languageImage.size(), (int32_t)language.size());
    tables[1].Adopt(b, (uint32_t)commonImage.size(), (int32_t)common.size());
    const TextTable* order[] = {&tables[0], &tables[1]};
    TextId id = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(LookupInOrder(order, 2, id));
        id = (id + 7) % 340;
    }
    tables[0].Release();
    tables[1].Release();
}
BENCHMARK(BM_LookupWithFallback);

}  // namespace

BENCHMARK_MAIN();
