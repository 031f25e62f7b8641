// A stand-in StatusNotifier watcher with one host, for the D-Bus tray test: it owns
// org.kde.StatusNotifierWatcher on the session bus, reports a registered host, prints each
// item that registers, and then activates it as a host does on a click.
#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QObject>
#include <QStringList>
#include <QTimer>

#include <cstdio>

class FakeWatcher : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.kde.StatusNotifierWatcher")
    Q_PROPERTY(bool IsStatusNotifierHostRegistered READ hostRegistered)
    Q_PROPERTY(int ProtocolVersion READ protocolVersion)
    Q_PROPERTY(QStringList RegisteredStatusNotifierItems READ items)

public:
    bool hostRegistered() const { return true; }
    int protocolVersion() const { return 0; }
    QStringList items() const { return items_; }

public slots:
    void RegisterStatusNotifierItem(const QString& service, const QDBusMessage& message) {
        // Items register either by bus name or by object path on their own connection.
        const QString owner = service.startsWith(u'/') ? message.service() : service;
        const QString path =
            service.startsWith(u'/') ? service : QStringLiteral("/StatusNotifierItem");
        items_ << owner;
        std::printf("registered %s\n", qPrintable(owner));
        std::fflush(stdout);
        QTimer::singleShot(500, this, [owner, path] {
            QDBusMessage activate = QDBusMessage::createMethodCall(
                owner, path, QStringLiteral("org.kde.StatusNotifierItem"),
                QStringLiteral("Activate"));
            activate << 0 << 0;
            const QDBusMessage reply =
                QDBusConnection::sessionBus().call(activate, QDBus::Block, 5000);
            std::printf("activated %s\n",
                        reply.type() == QDBusMessage::ErrorMessage ? "error" : "ok");
            std::fflush(stdout);
        });
    }
    void RegisterStatusNotifierHost(const QString&) {}

private:
    QStringList items_;
};

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    FakeWatcher watcher;
    QDBusConnection bus = QDBusConnection::sessionBus();
    bus.registerObject(QStringLiteral("/StatusNotifierWatcher"), &watcher,
                       QDBusConnection::ExportAllSlots | QDBusConnection::ExportAllProperties);
    if (!bus.registerService(QStringLiteral("org.kde.StatusNotifierWatcher"))) {
        std::fprintf(stderr, "fake watcher: the name is taken or there is no bus\n");
        return 1;
    }
    std::printf("watching\n");
    std::fflush(stdout);
    return app.exec();
}

#include "FakeWatcher.moc"
