// Ending the process.
#pragma once

namespace linkpanel {

// Flushes stdio, then ends the process at once with this code. No destructors and no atexit
// handlers run, so worker threads that are still running cannot trip over torn-down
// globals; hide the tray icon before calling this.
[[noreturn]] void ExitProcess(int code);

}  // namespace linkpanel
