#include "ui/Process.h"

#include <unistd.h>

#include <cstdio>

namespace linkpanel {

void ExitProcess(int code) {
    std::fflush(nullptr);
    _exit(code);
}

}  // namespace linkpanel
