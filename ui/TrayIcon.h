// The notification-area icon: one icon, two pictures, a tooltip, mouse events and menu 165.
#pragma once

#include <QObject>
#include <QString>
#include <QSystemTrayIcon>

#include <map>
#include <memory>
#include <optional>

#include "state/Desktop.h"
#include "state/Tooltip.h"

class QMenu;
class QTimer;

namespace linkpanel {

inline constexpr int TRAY_ICON_ID = 128;
inline constexpr int MOUSE_LEFT_DOUBLE_CLICK = 515;
inline constexpr int MOUSE_RIGHT_DOWN = 516;
inline constexpr int TRAY_MENU_ID = 165;
inline constexpr int ID_TRAY_OPEN = 32782;
inline constexpr int ID_TRAY_EXIT = 32786;
inline constexpr int TRAY_TIP_LIMIT = static_cast<int>(TOOLTIP_LIMIT);

// The two ways a Linux tray host shows our icon; they deliver mouse events differently.
enum class TrayBackend {
    XEmbed,          // an X11 window embedded in the host
    StatusNotifier,  // the D-Bus StatusNotifierItem protocol
};

// The mouse message a Qt activation stands for, or 0 when it stands for none. An XEmbed tray
// gives Trigger on every press and DoubleClick after a second one: only the double-click
// opens. A StatusNotifier host never delivers DoubleClick: its activation (Trigger) opens.
int MouseMessageFor(QSystemTrayIcon::ActivationReason reason, TrayBackend backend);

// The first 63 characters.
QString CutTrayTip(const QString& tip);

// Every member is called on the window thread.
class TrayIcon : public QObject {
    Q_OBJECT
public:
    explicit TrayIcon(QObject* parent = nullptr);
    ~TrayIcon() override;

    // Shows picture 175 with this tip (cut at 63 characters), as soon as a tray host exists.
    void Add(const QString& initialTip);
    // Picture and tip (cut at 63 characters). Before a host exists the last values are kept
    // and shown when the icon appears; after Remove() nothing happens.
    void Modify(linkpanel::TrayPicture picture, const QString& tip);
    // The icon is gone from the host when this returns; later Add/Modify calls do nothing.
    void Remove();

    // Whether the icon has been handed to a tray host, and which kind of host that is.
    bool IsShown() const;
    TrayBackend Backend() const { return backend_; }
    // The picture last asked for, shown or still waiting for a host.
    TrayPicture Picture() const { return picture_; }

signals:
    void notify(int mouseMessage);  // 515 = open, 516 = context request
    void command(int id);           // 32782 "Open", 32786 "Exit"

private:
    void Poll();
    void HostFound(TrayBackend backend);
    void Apply();
    void OnActivated(QSystemTrayIcon::ActivationReason reason);

    std::unique_ptr<QMenu> menu_;
    QSystemTrayIcon* icon_ = nullptr;  // created only once a host exists
    QTimer* watch_ = nullptr;
    TrayBackend backend_ = TrayBackend::XEmbed;
    TrayPicture picture_ = TrayPicture::NotConnected;
    QString tip_;
    // What the icon shows now: a poll that changes nothing leaves the icon alone, since
    // setting a picture repaints it and setting a text signals the host.
    std::optional<TrayPicture> shownPicture_;
    std::optional<QString> shownTip_;
    std::map<TrayPicture, QIcon> icons_;  // each picture made once, with its renderings
    bool added_ = false;
    bool removed_ = false;
    bool asking_ = false;  // a D-Bus question about the watcher is on its way
};

}  // namespace linkpanel
