// One running copy per user.
#pragma once

#include <string>

namespace linkpanel {

enum class InstanceGuardResult { Acquired, AlreadyRunning, Failed };

// Takes an exclusive lock on "<runtime directory>/<name>.lock". Once acquired, the lock is
// held until the process ends, however it ends: the kernel drops it with the process, so a
// crash leaves nothing stale. AlreadyRunning when another process holds it; Failed when the
// directory or the file cannot be used.
InstanceGuardResult AcquireSingleInstance(const std::string& name);

// The per-user directory for the lock and the close channel: $XDG_RUNTIME_DIR when it is set
// to an absolute path, otherwise /tmp/linkpanel-<uid>, made with mode 0700 and accepted only
// when it is a real directory owned by this user and closed to everyone else. Empty when no
// such directory can be had.
std::string RuntimeDirectory();

// Makes `path` with mode 0700 if it is missing; returns it when it is a directory (not a
// link to one) owned by this user with no access for group or others, else empty.
std::string PrivateDirectory(const std::string& path);

}  // namespace linkpanel
