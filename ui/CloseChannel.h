// The close-for-real message: another program of the same user tells the main window that
// its next close request may end the program.
#pragma once

#include <QObject>
#include <QString>

#include <map>

class QSocketNotifier;

namespace linkpanel {

// "<runtime directory>/<name>.sock", or empty when there is no runtime directory.
QString CloseChannelPath(const QString& name);

class CloseChannel : public QObject {
    Q_OBJECT
public:
    explicit CloseChannel(QObject* parent = nullptr);
    ~CloseChannel() override;

    // Listens on CloseChannelPath(name), reachable by this user only. Call it only after the
    // single-instance guard is won: a socket file left there is then ours and stale.
    bool Listen(const QString& name);

signals:
    // A connection sent at least one byte. The data is not read.
    void received();

private:
    void Accept();
    void Take(int fd);  // a connection that sent a byte counts, once; one that hung up, not

    int fd_ = -1;
    QSocketNotifier* listener_ = nullptr;
    std::map<int, QSocketNotifier*> connections_;  // accepted, nothing read from them yet
};

}  // namespace linkpanel
