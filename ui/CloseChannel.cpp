#include "ui/CloseChannel.h"

#include <QSocketNotifier>

#include <fcntl.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "ui/InstanceGuard.h"

namespace linkpanel {
namespace {

bool Address(const std::string& path, sockaddr_un& address) {
    if (path.size() >= sizeof address.sun_path)
        return false;
    address = {};
    address.sun_family = AF_UNIX;
    std::memcpy(address.sun_path, path.c_str(), path.size() + 1);
    return true;
}

}  // namespace

QString CloseChannelPath(const QString& name) {
    const std::string dir = RuntimeDirectory();
    if (dir.empty())
        return {};
    return QString::fromStdString(dir) + u'/' + name + QStringLiteral(".sock");
}

CloseChannel::CloseChannel(QObject* parent) : QObject(parent) {}

CloseChannel::~CloseChannel() {
    for (auto& [fd, notifier] : connections_) {
        delete notifier;
        ::close(fd);
    }
    delete listener_;
    if (fd_ >= 0)
        ::close(fd_);
}

bool CloseChannel::Listen(const QString& name) {
    const std::string path = CloseChannelPath(name).toStdString();
    // Made under a name of its own, closed to others, then moved into place: no one else can
    // connect in between, and a file left by a crashed copy is replaced.
    const std::string building = path + ".new";
    sockaddr_un address{};
    sockaddr_un target{};
    if (path.empty() || !Address(building, address) || !Address(path, target))
        return false;
    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    if (fd < 0)
        return false;
    ::unlink(building.c_str());
    const bool ok = ::bind(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0 &&
                    ::chmod(building.c_str(), 0600) == 0 &&
                    ::rename(building.c_str(), path.c_str()) == 0 && ::listen(fd, 16) == 0;
    if (!ok) {
        ::unlink(building.c_str());
        ::close(fd);
        return false;
    }
    fd_ = fd;
    listener_ = new QSocketNotifier(fd_, QSocketNotifier::Read, this);
    connect(listener_, &QSocketNotifier::activated, this, &CloseChannel::Accept);
    return true;
}

void CloseChannel::Accept() {
    for (;;) {
        const int fd = ::accept4(fd_, nullptr, nullptr, SOCK_NONBLOCK | SOCK_CLOEXEC);
        if (fd < 0)
            return;  // nothing more waiting (or a connection that failed on its way)
        auto* notifier = new QSocketNotifier(fd, QSocketNotifier::Read, this);
        connections_[fd] = notifier;
        connect(notifier, &QSocketNotifier::activated, this, [this, fd] { Take(fd); });
        Take(fd);
    }
}

void CloseChannel::Take(int fd) {
    char byte = 0;
    const ssize_t n = ::recv(fd, &byte, 1, MSG_PEEK);
    if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR))
        return;  // connected, nothing sent yet
    // Done with the connection before telling anyone: the receiver may open a modal box
    // and, inside it, be told again.
    const auto found = connections_.find(fd);
    if (found != connections_.end()) {
        found->second->setEnabled(false);
        found->second->deleteLater();
        connections_.erase(found);
    }
    ::close(fd);
    if (n > 0)
        emit received();
}

}  // namespace linkpanel
