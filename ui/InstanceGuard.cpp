#include "ui/InstanceGuard.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>

namespace linkpanel {

std::string RuntimeDirectory() {
    const char* xdg = std::getenv("XDG_RUNTIME_DIR");
    if (xdg && xdg[0] == '/')
        return xdg;

    // /tmp is shared: someone else may have made this name first, as a link or a directory
    // of their own.
    return PrivateDirectory("/tmp/linkpanel-" + std::to_string(getuid()));
}

std::string PrivateDirectory(const std::string& path) {
    if (mkdir(path.c_str(), 0700) != 0 && errno != EEXIST)
        return {};
    struct stat st {};
    if (lstat(path.c_str(), &st) != 0)
        return {};
    if (!S_ISDIR(st.st_mode) || st.st_uid != getuid() || (st.st_mode & 077) != 0)
        return {};
    return path;
}

InstanceGuardResult AcquireSingleInstance(const std::string& name) {
    const std::string dir = RuntimeDirectory();
    if (dir.empty())
        return InstanceGuardResult::Failed;
    const std::string path = dir + "/" + name + ".lock";
    const int fd = open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
    if (fd < 0)
        return InstanceGuardResult::Failed;
    if (flock(fd, LOCK_EX | LOCK_NB) != 0) {
        const int error = errno;
        close(fd);
        return error == EWOULDBLOCK ? InstanceGuardResult::AlreadyRunning
                                    : InstanceGuardResult::Failed;
    }
    // The descriptor is deliberately never closed: the lock lives as long as the process.
    return InstanceGuardResult::Acquired;
}

}  // namespace linkpanel
