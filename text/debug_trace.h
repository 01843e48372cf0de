// Where GString::DebugTrace sends its lines.
//
// On Windows the default is the debugger output (OutputDebugStringW); on the
// host the default discards the lines. Tests install their own sink to see
// them; a null sink restores the default.
#pragma once

#include "text/wchar16.h"

typedef void (*DebugTraceSink)(const WChar* line, void* context);

void SetDebugTraceSink(DebugTraceSink sink, void* context);

// Sends one line (already ended by its line feed) to the current sink.
void DebugTraceOutput(const WChar* line);
