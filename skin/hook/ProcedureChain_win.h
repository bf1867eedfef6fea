#pragma once
// Keeping a dressed window's engine procedure first. The engine subclasses with the real setter; whoever sets
// the window's procedure later, through the interception, is placed under the engine's procedure instead of
// over it, and whoever reads it is shown the procedure under the engine's.
#include <windows.h>

#include "skin/hook/HookEngine_win.h"

namespace skin::hook {

// Installs chain.engine as the window's procedure with the real setter and records what was there as the
// previous procedure (both forms). When chain.engine is already the window's procedure nothing changes.
// False when the platform refuses (the chain is left as it was then).
bool InstallEngineProcedure(HWND hwnd, ProcedureChain& chain);

// What a procedure setter does on a dressed window of the calling thread: puts the previous procedure back,
// makes the caller's call (`ansi` picks the A or W form), records the procedure that results as the new
// previous one and installs the engine's procedure again. Returns what the caller's call returned, with its
// last-error code.
LONG_PTR SetProcedureUnderEngine(HWND hwnd, ProcedureChain& chain, LONG_PTR procedure, bool ansi);

}  // namespace skin::hook
