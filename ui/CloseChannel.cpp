#include "ui/CloseChannel.h"

#include <QLocalServer>
#include <QLocalSocket>

#include <memory>

#include "ui/InstanceGuard.h"

namespace linkpanel {

QString CloseChannelPath(const QString& name) {
    const std::string dir = RuntimeDirectory();
    if (dir.empty())
        return {};
    return QString::fromStdString(dir) + u'/' + name + QStringLiteral(".sock");
}

CloseChannel::CloseChannel(QObject* parent) : QObject(parent), server_(new QLocalServer(this)) {
    connect(server_, &QLocalServer::newConnection, this, &CloseChannel::Accept);
}

bool CloseChannel::Listen(const QString& name) {
    const QString path = CloseChannelPath(name);
    if (path.isEmpty())
        return false;
    server_->setSocketOptions(QLocalServer::UserAccessOption);
    QLocalServer::removeServer(path);
    return server_->listen(path);
}

void CloseChannel::Accept() {
    while (QLocalSocket* socket = server_->nextPendingConnection()) {
        // Done with the connection before telling anyone: the receiver may open a modal box
        // and, inside it, be told again.
        auto counted = std::make_shared<bool>(false);
        auto take = [this, socket, counted] {
            if (*counted)
                return;
            if (socket->bytesAvailable() <= 0)
                return;
            *counted = true;
            socket->abort();
            socket->deleteLater();
            emit received();
        };
        connect(socket, &QLocalSocket::readyRead, this, take);
        connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        take();
    }
}

}  // namespace linkpanel
