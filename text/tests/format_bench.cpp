// GString::Format against the C library's snprintf and swprintf on the
// installer's own formats and on a float-heavy line. After the usual table
// it prints, per format, how many times faster the engine is than each C
// call (above 1: the engine wins).
#include <benchmark/benchmark.h>
#include <stdio.h>
#include <wchar.h>

#include <algorithm>
#include <map>
#include <string>
#include <vector>

#include "text/gstring.h"

namespace {

// Each format in the engine's form, the C library's narrow form and its wide
// form (%ls for wide text there).
struct BenchFormat {
    const char* name;
    const WChar* engine;
    const char* narrow;
    const wchar_t* wide;
};

const BenchFormat kPath    = {"path %s\\%s", WSTR("%s\\%s"), "%s\\%s", L"%ls\\%ls"};
const BenchFormat kMessage = {"message %s %u", WSTR("The layout %s was added to %u input languages."),
                              "The layout %s was added to %u input languages.",
                              L"The layout %ls was added to %u input languages."};
const BenchFormat kLanguage = {"language %04X", WSTR("%04X"), "%04X", L"%04X"};
const BenchFormat kFloats  = {"floats %.3f %e %g %8.2f", WSTR("%.3f %e %g %8.2f"), "%.3f %e %g %8.2f",
                              L"%.3f %e %g %8.2f"};

const WChar kFolderW[] = WSTR("C:\\Program Files (x86)\\Kreska Keyboard Layout");
const WChar kFileW[] = WSTR("kreska-layout-guide.pdf");
const char kFolderN[] = "C:\\Program Files (x86)\\Kreska Keyboard Layout";
const char kFileN[] = "kreska-layout-guide.pdf";
const wchar_t kFolderL[] = L"C:\\Program Files (x86)\\Kreska Keyboard Layout";
const wchar_t kFileL[] = L"kreska-layout-guide.pdf";
const WChar kLayoutW[] = WSTR("Polish (Kreska)");
const char kLayoutN[] = "Polish (Kreska)";
const wchar_t kLayoutL[] = L"Polish (Kreska)";

void EnginePath(benchmark::State& state)
{
    GString s;
    for (auto _ : state) {
        s.Format(kPath.engine, kFolderW, kFileW);
        benchmark::DoNotOptimize(s.WideAt(0));
    }
}

void NarrowPath(benchmark::State& state)
{
    char buffer[512];
    for (auto _ : state) {
        snprintf(buffer, sizeof buffer, kPath.narrow, kFolderN, kFileN);
        benchmark::DoNotOptimize(buffer);
    }
}

void WidePath(benchmark::State& state)
{
    wchar_t buffer[512];
    for (auto _ : state) {
        swprintf(buffer, 512, kPath.wide, kFolderL, kFileL);
        benchmark::DoNotOptimize(buffer);
    }
}

void EngineMessage(benchmark::State& state)
{
    GString s;
    unsigned n = 0;
    for (auto _ : state) {
        s.Format(kMessage.engine, kLayoutW, n++ & 7);
        benchmark::DoNotOptimize(s.WideAt(0));
    }
}

void NarrowMessage(benchmark::State& state)
{
    char buffer[512];
    unsigned n = 0;
    for (auto _ : state) {
        snprintf(buffer, sizeof buffer, kMessage.narrow, kLayoutN, n++ & 7);
        benchmark::DoNotOptimize(buffer);
    }
}

void WideMessage(benchmark::State& state)
{
    wchar_t buffer[512];
    unsigned n = 0;
    for (auto _ : state) {
        swprintf(buffer, 512, kMessage.wide, kLayoutL, n++ & 7);
        benchmark::DoNotOptimize(buffer);
    }
}

void EngineLanguage(benchmark::State& state)
{
    GString s;
    unsigned id = 0x415;
    for (auto _ : state) {
        s.Format(kLanguage.engine, id++ & 0xFFFF);
        benchmark::DoNotOptimize(s.WideAt(0));
    }
}

void NarrowLanguage(benchmark::State& state)
{
    char buffer[64];
    unsigned id = 0x415;
    for (auto _ : state) {
        snprintf(buffer, sizeof buffer, kLanguage.narrow, id++ & 0xFFFF);
        benchmark::DoNotOptimize(buffer);
    }
}

void WideLanguage(benchmark::State& state)
{
    wchar_t buffer[64];
    unsigned id = 0x415;
    for (auto _ : state) {
        swprintf(buffer, 64, kLanguage.wide, id++ & 0xFFFF);
        benchmark::DoNotOptimize(buffer);
    }
}

const double kValues[] = {3.14159265358979, 12345.678, 0.000123456, -2.5e-8, 6.02214076e23, 1.0};
const int kValueCount = sizeof kValues / sizeof kValues[0];

void EngineFloats(benchmark::State& state)
{
    GString s;
    int i = 0;
    for (auto _ : state) {
        double v = kValues[i++ % kValueCount];
        s.Format(kFloats.engine, v, v, v, v);
        benchmark::DoNotOptimize(s.WideAt(0));
    }
}

void NarrowFloats(benchmark::State& state)
{
    char buffer[512];
    int i = 0;
    for (auto _ : state) {
        double v = kValues[i++ % kValueCount];
        snprintf(buffer, sizeof buffer, kFloats.narrow, v, v, v, v);
        benchmark::DoNotOptimize(buffer);
    }
}

void WideFloats(benchmark::State& state)
{
    wchar_t buffer[512];
    int i = 0;
    for (auto _ : state) {
        double v = kValues[i++ % kValueCount];
        swprintf(buffer, 512, kFloats.wide, v, v, v, v);
        benchmark::DoNotOptimize(buffer);
    }
}

const int kRepetitions = 9;

// Records each benchmark's fastest repetition while printing as usual: on a
// shared machine the minimum of several repetitions is the steadiest measure
// of what the code itself costs.
class RatioReporter : public benchmark::ConsoleReporter {
public:
    std::map<std::string, double> nanoseconds;

    void ReportRuns(const std::vector<Run>& runs) override
    {
        for (const Run& run : runs)
            if (run.run_type == Run::RT_Aggregate && run.aggregate_name == "min")
                nanoseconds[run.run_name.function_name] = run.GetAdjustedRealTime();
        ConsoleReporter::ReportRuns(runs);
    }
};

}  // namespace

int main(int argc, char** argv)
{
    struct Row {
        const BenchFormat* format;
        void (*engine)(benchmark::State&);
        void (*narrow)(benchmark::State&);
        void (*wide)(benchmark::State&);
    };
    const Row rows[] = {
        {&kPath,     EnginePath,     NarrowPath,     WidePath},
        {&kMessage,  EngineMessage,  NarrowMessage,  WideMessage},
        {&kLanguage, EngineLanguage, NarrowLanguage, WideLanguage},
        {&kFloats,   EngineFloats,   NarrowFloats,   WideFloats},
    };
    for (const Row& row : rows) {
        std::string name = row.format->name;
        const char* kinds[] = {"Format    ", "snprintf  ", "swprintf  "};
        void (*functions[])(benchmark::State&) = {row.engine, row.narrow, row.wide};
        for (int i = 0; i < 3; ++i)
            benchmark::RegisterBenchmark((kinds[i] + name).c_str(), functions[i])
                ->Repetitions(kRepetitions)
                ->ComputeStatistics("min", [](const std::vector<double>& v) {
                    return *std::min_element(v.begin(), v.end());
                })
                ->DisplayAggregatesOnly(true);
    }
    benchmark::Initialize(&argc, argv);
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);

    printf("\nFastest time of the C call / fastest time of Format (above 1: Format is faster)\n");
    printf("%-32s %18s %18s\n", "format", "snprintf/Format", "swprintf/Format");
    for (const Row& row : rows) {
        std::string name = row.format->name;
        double engine = reporter.nanoseconds["Format    " + name];
        if (engine <= 0)
            continue;
        printf("%-32s %17.2fx %17.2fx\n", name.c_str(),
               reporter.nanoseconds["snprintf  " + name] / engine,
               reporter.nanoseconds["swprintf  " + name] / engine);
    }
    benchmark::Shutdown();
    return 0;
}
