// The sink behind GString::DebugTrace.
#include "text/debug_trace.h"

#if defined(_WIN32)
#include <windows.h>
#endif

namespace {

void DefaultSink(const WChar* line, void*)
{
#if defined(_WIN32)
    OutputDebugStringW(line);
#else
    (void)line;  // the host has no debugger output
#endif
}

DebugTraceSink g_sink = DefaultSink;
void* g_context = nullptr;

}  // namespace

void SetDebugTraceSink(DebugTraceSink sink, void* context)
{
    g_sink = sink ? sink : DefaultSink;
    g_context = sink ? context : nullptr;
}

void DebugTraceOutput(const WChar* line)
{
    g_sink(line, g_context);
}
