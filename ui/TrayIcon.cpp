#include "ui/TrayIcon.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QDBusVariant>
#include <QGuiApplication>
#include <QMenu>
#include <QTextDocument>
#include <QTimer>

#include <xcb/xcb.h>

#include <cstdlib>
#include <string>

#include "res/Pictures.h"
#include "res/Templates.h"

namespace linkpanel {
namespace {

xcb_connection_t* XConnection() {
    if (!qGuiApp)
        return nullptr;
    auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    return x11 ? x11->connection() : nullptr;
}

// Whether an XEmbed tray manager owns the selection _NET_SYSTEM_TRAY_S<screen>. One round
// trip to the X server (two the first time), cheap enough to ask once a second.
bool XEmbedHostPresent() {
    xcb_connection_t* c = XConnection();
    if (!c || xcb_connection_has_error(c))
        return false;
    static xcb_atom_t selection = XCB_ATOM_NONE;
    if (selection == XCB_ATOM_NONE) {
        int screen = 0;
        char* host = nullptr;
        int display = 0;
        if (!xcb_parse_display(nullptr, &host, &display, &screen))
            screen = 0;
        std::free(host);
        const std::string name = "_NET_SYSTEM_TRAY_S" + std::to_string(screen);
        xcb_intern_atom_reply_t* atom =
            xcb_intern_atom_reply(c, xcb_intern_atom(c, 0, name.size(), name.c_str()), nullptr);
        if (!atom)
            return false;
        selection = atom->atom;
        std::free(atom);
    }
    xcb_get_selection_owner_reply_t* owner =
        xcb_get_selection_owner_reply(c, xcb_get_selection_owner(c, selection), nullptr);
    if (!owner)
        return false;
    const bool owned = owner->owner != XCB_WINDOW_NONE;
    std::free(owner);
    return owned;
}

// Makes sure every request queued on Qt's X connection (the icon window's destruction) has
// been carried out by the server before the process may end.
void SyncWithXServer() {
    xcb_connection_t* c = XConnection();
    if (!c || xcb_connection_has_error(c))
        return;
    std::free(xcb_get_input_focus_reply(c, xcb_get_input_focus(c), nullptr));
}

}  // namespace

int MouseMessageFor(QSystemTrayIcon::ActivationReason reason, TrayBackend backend) {
    switch (reason) {
        case QSystemTrayIcon::DoubleClick:
            return MOUSE_LEFT_DOUBLE_CLICK;
        case QSystemTrayIcon::Trigger:
            return backend == TrayBackend::StatusNotifier ? MOUSE_LEFT_DOUBLE_CLICK : 0;
        case QSystemTrayIcon::Context:
            return MOUSE_RIGHT_DOWN;
        case QSystemTrayIcon::MiddleClick:
        case QSystemTrayIcon::Unknown:
            break;
    }
    return 0;
}

QString CutTrayTip(const QString& tip) {
    return tip.left(TRAY_TIP_LIMIT);
}

TrayIcon::TrayIcon(QObject* parent) : QObject(parent), menu_(std::make_unique<QMenu>()) {
    // The menu is built once; the tray shows it on a context request.
    for (const MenuItemTemplate& item : TrayMenuTemplate().items) {
        if (item.id == 0) {
            menu_->addSeparator();
            continue;
        }
        const int id = item.id;
        QAction* action = menu_->addAction(QString::fromLatin1(item.text));
        connect(action, &QAction::triggered, this, [this, id] { emit command(id); });
    }
    watch_ = new QTimer(this);
    watch_->setInterval(1000);
    connect(watch_, &QTimer::timeout, this, &TrayIcon::Poll);
}

// The icon goes before the menu it shows.
TrayIcon::~TrayIcon() {
    delete icon_;
}

bool TrayIcon::IsShown() const {
    return icon_ && icon_->isVisible();
}

void TrayIcon::Add(const QString& initialTip) {
    if (added_ || removed_)
        return;
    added_ = true;
    picture_ = TrayPicture::NotConnected;
    tip_ = CutTrayTip(initialTip);
    watch_->start();
    Poll();
}

void TrayIcon::Modify(TrayPicture picture, const QString& tip) {
    if (removed_)
        return;
    picture_ = picture;
    tip_ = CutTrayTip(tip);
    if (icon_)
        Apply();
}

void TrayIcon::Remove() {
    if (removed_)
        return;
    removed_ = true;
    watch_->stop();
    if (!icon_)
        return;
    // Hiding tears the icon down at once: the XEmbed window is destroyed (then flushed
    // here), the D-Bus item's name is released with a blocking call.
    icon_->hide();
    SyncWithXServer();
}

// Qt chooses its tray backend once per process, at the first tray call, so that call waits
// until a host is there. A StatusNotifier host is preferred, as Qt itself does.
void TrayIcon::Poll() {
    if (icon_ || removed_ || !added_ || asking_)
        return;
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected()) {
        if (XEmbedHostPresent())
            HostFound(TrayBackend::XEmbed);
        return;
    }
    QDBusMessage ask = QDBusMessage::createMethodCall(
        QStringLiteral("org.kde.StatusNotifierWatcher"), QStringLiteral("/StatusNotifierWatcher"),
        QStringLiteral("org.freedesktop.DBus.Properties"), QStringLiteral("Get"));
    ask << QStringLiteral("org.kde.StatusNotifierWatcher")
        << QStringLiteral("IsStatusNotifierHostRegistered");
    ask.setAutoStartService(false);
    asking_ = true;
    auto* pending = new QDBusPendingCallWatcher(bus.asyncCall(ask, 1000), this);
    connect(pending, &QDBusPendingCallWatcher::finished, this,
            [this](QDBusPendingCallWatcher* call) {
                QDBusPendingReply<QDBusVariant> reply = *call;
                call->deleteLater();
                asking_ = false;
                if (icon_ || removed_)
                    return;
                if (!reply.isError() && reply.value().variant().toBool())
                    HostFound(TrayBackend::StatusNotifier);
                else if (XEmbedHostPresent())
                    HostFound(TrayBackend::XEmbed);
            });
}

void TrayIcon::HostFound(TrayBackend backend) {
    watch_->stop();
    backend_ = backend;
    icon_ = new QSystemTrayIcon(this);
    icon_->setContextMenu(menu_.get());
    connect(icon_, &QSystemTrayIcon::activated, this, &TrayIcon::OnActivated);
    Apply();
    icon_->show();
}

void TrayIcon::Apply() {
    if (shownPicture_ != picture_) {
        QIcon& icon = icons_[picture_];
        if (icon.isNull())
            icon = IconResource(static_cast<int>(picture_));
        icon_->setIcon(icon);
        shownPicture_ = picture_;
    }
    if (shownTip_ == tip_)
        return;
    shownTip_ = tip_;
    QString tip = tip_;
    // The XEmbed tooltip is a Qt tooltip, which takes a text that looks like markup as
    // markup; a network name such as "<b>" must still show as it is.
    if (backend_ == TrayBackend::XEmbed && Qt::mightBeRichText(tip))
        tip = QStringLiteral("<p style='white-space:pre'>") +
              tip.toHtmlEscaped().replace(u'\n', QStringLiteral("<br>")) + QStringLiteral("</p>");
    icon_->setToolTip(tip);
}

// Re-entrant: a StatusNotifier host delivers activations even while a modal box is open, so
// this only forwards; it keeps no state across the emit.
void TrayIcon::OnActivated(QSystemTrayIcon::ActivationReason reason) {
    const int message = MouseMessageFor(reason, backend_);
    if (message != 0)
        emit notify(message);
}

}  // namespace linkpanel
