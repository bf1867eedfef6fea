#pragma once
// The replacements of the intercepted functions and the table that pairs each with its real entry point.
#include <windows.h>

#include <cstddef>

#include "skin/hook/HookEngine_win.h"

namespace skin::hook {

struct Interception {
  const char* name;
  void* real;
  void* replacement;
};

// Every intercepted function; real addresses are those of Real(). The table never changes once built.
const Interception* Interceptions(size_t& count);

// The replacement that stands in for a real entry point, or null when `real` is not intercepted.
void* ReplacementFor(const void* real);

// The engine the replacements answer for, and the one thread on which they ask it; null sends every call to
// the real function. The replacements stay callable after that (GetProcAddress may have handed them out).
void SetAnsweringEngine(HookEngine* engine, DWORD thread);
bool HasAnsweringEngine();

}  // namespace skin::hook
