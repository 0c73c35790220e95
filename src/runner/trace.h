#pragma once
// The player's side of the studio's trace: on only in a player that carries
// the trace resource (the studio's runs); elsewhere each call is one branch.

#include "runner/trace_protocol.h"

#include <cstdint>

// Reads the trace resource of the player's own module, if it has one.
void traceStartUp();
// Before the command of `line` (1-based, as the player counts lines) in pass
// `pass`: stops there while the studio asks for it (a breakpoint, Pause, Step).
void traceBeforeCommand(std::int32_t line, std::int32_t pass);
void traceAfterCommand(std::int32_t line);
// Tells the end of the run and why; `line` for a syntax error.
void traceEnd(TraceEnd reason, std::int32_t line = 0);
