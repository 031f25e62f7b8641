// A StatusNotifier watcher and host for the reply-to-tray benchmark: it owns
// org.kde.StatusNotifierWatcher on the session bus, reports a registered host, and prints
// "<monotonic seconds> tooltip|icon" each time a registered item signals a new tooltip or
// picture, so the moment the tray changes can be set beside the simulator's log.
#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QObject>
#include <QStringList>

#include <time.h>

#include <cstdio>

class TrayStamp : public QObject {
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
        const QString owner = service.startsWith(u'/') ? message.service() : service;
        const QString path =
            service.startsWith(u'/') ? service : QStringLiteral("/StatusNotifierItem");
        items_ << owner;
        QDBusConnection bus = QDBusConnection::sessionBus();
        const QString item = QStringLiteral("org.kde.StatusNotifierItem");
        bus.connect(owner, path, item, QStringLiteral("NewToolTip"), this, SLOT(toolTip()));
        bus.connect(owner, path, item, QStringLiteral("NewIcon"), this, SLOT(icon()));
        Stamp("registered");
    }
    void RegisterStatusNotifierHost(const QString&) {}
    void toolTip() { Stamp("tooltip"); }
    void icon() { Stamp("icon"); }

private:
    static void Stamp(const char* what) {
        timespec now{};
        clock_gettime(CLOCK_MONOTONIC, &now);
        std::printf("%ld.%06ld %s\n", static_cast<long>(now.tv_sec), now.tv_nsec / 1000, what);
        std::fflush(stdout);
    }

    QStringList items_;
};

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    TrayStamp stamp;
    QDBusConnection bus = QDBusConnection::sessionBus();
    bus.registerObject(QStringLiteral("/StatusNotifierWatcher"), &stamp,
                       QDBusConnection::ExportAllSlots | QDBusConnection::ExportAllProperties);
    if (!bus.registerService(QStringLiteral("org.kde.StatusNotifierWatcher"))) {
        std::fprintf(stderr, "tray-stamp: the name is taken or there is no bus\n");
        return 1;
    }
    std::printf("watching\n");
    std::fflush(stdout);
    return app.exec();
}

#include "TrayStamp.moc"
