#include "ui/CLinkPanelDlg.h"

#include <sys/socket.h>
#include <unistd.h>

#include <QContextMenuEvent>
#include <QLabel>
#include <QMenu>
#include <cerrno>
#include <thread>

#include "protocol/CommandSender.h"
#include "protocol/Datagram.h"
#include "protocol/Receiver.h"
#include "res/Pictures.h"
#include "state/Constants.h"
#include "state/DesktopOps.h"
#include "state/Tooltip.h"
#include "supervision/Supervision.h"
#include "ui/CAboutDlg.h"
#include "ui/CTipsDlg.h"
#include "ui/CloseChannel.h"
#include "ui/InstanceGuard.h"
#include "ui/MessageBox.h"
#include "ui/Process.h"
#include "ui/TrayIcon.h"

namespace linkpanel {

CLinkPanelDlg::CLinkPanelDlg(bool runStartup)
    : CDialog(102),
      // Opening the window asks for the router's information; its five paced copies must
      // not hold the window back for half a second.
      sendCommand([](int selector) { SendCommandInBackground(selector); }),
      runStartup_(runStartup) {
    modal_ = false;
    setWindowIcon(WindowIconResource(128));
    tray_ = new TrayIcon(this);
    channel_ = new CloseChannel(this);
    connect(tray_, &TrayIcon::notify, this, &CLinkPanelDlg::OnTrayNotify);
    connect(tray_, &TrayIcon::command, this, &CLinkPanelDlg::OnTrayCommand);
    connect(channel_, &CloseChannel::received, this, &CLinkPanelDlg::OnCopyData);
    MapCommand(1000, ControlEvent::Clicked, [this] { OnOptions(); });
    MapCommand(1053, ControlEvent::Clicked, [this] { OnTips(); });
    hideTimer_.setSingleShot(true);
    connect(&hideTimer_, &QTimer::timeout, this, [this] { OnTimer(3); });
    connect(&pollTimer_, &QTimer::timeout, this, [this] { OnTimer(101); });
}

CLinkPanelDlg::~CLinkPanelDlg() {
    // The window's end removes the tray icon and stops the poll.
    tray_->Remove();
    pollTimer_.stop();
}

void CLinkPanelDlg::DoDataExchange(DataExchange& dx) {
    dx.Text(1006, fields_.networkName);
    dx.Text(1005, fields_.routerName);
    dx.Text(1007, fields_.channel);
    dx.Text(1008, fields_.wepState);
    dx.Text(1009, fields_.routerAddress);
    dx.Text(1012, fields_.localAddress);
    dx.Check(1027, fields_.autoRun);
    dx.Text(1047, fields_.connectionType);
}

void CLinkPanelDlg::PushFrom(const LinkState& s) {
    fields_ = Fields{s.networkName,   s.routerName,   s.channel, s.wepState,
                     s.routerAddress, s.localAddress, s.autoRun, s.connectionType};
    UpdateData(false);
}

void CLinkPanelDlg::SetLinkPicture(LinkPicture which, bool shown) {
    auto* control = qobject_cast<IconControl*>(GetDlgItem(static_cast<int>(which)));
    // Every answered poll asks for the pictures again; only a change is drawn.
    if (control == nullptr || LinkPictureShown(which) == shown) {
        return;
    }
    if (shown && linkIcon_.isNull()) {
        linkIcon_ = IconResource(145);
    }
    control->SetIcon(shown ? linkIcon_ : QIcon());
}

bool CLinkPanelDlg::LinkPictureShown(LinkPicture which) const {
    auto* control = qobject_cast<IconControl*>(GetDlgItem(static_cast<int>(which)));
    return control != nullptr && !control->Icon().isNull();
}

bool CLinkPanelDlg::OnInitDialog() {
    CDialog::OnInitDialog();
    if (runStartup_) {
        RunStartup();
    }
    return true;
}

void CLinkPanelDlg::RunStartup() {
    const InstanceGuardResult guard = AcquireSingleInstance(INSTANCE_NAME);
    if (guard != InstanceGuardResult::Acquired) {
        if (guard == InstanceGuardResult::Failed) {
            ShowMessageBox(this, QStringLiteral("Create mutex error! Application will terminate!"),
                           QStringLiteral("Error"), QMessageBox::Critical);
        } else {
            ShowMessageBox(this,
                           QStringLiteral("Application is already exist, please double-click the "
                                          "icon in the system tray."),
                           QStringLiteral("Warning"), QMessageBox::Warning);
        }
        tray_->Remove();
        ExitProcess(0);
    }

    // There is no sockets library to start on Linux; what can be missing is IPv4 itself,
    // a kernel without AF_INET, which no later step could get past.
    const int probe = ::socket(AF_INET, SOCK_DGRAM, 0);
    if (probe < 0 && errno == EAFNOSUPPORT) {
        ShowMessageBox(this, QStringLiteral("Load Winsock DLL fail!"), QStringLiteral("Error"),
                       QMessageBox::Critical);
        ExitProcess(0);
    }
    if (probe >= 0) {
        ::close(probe);
    }

    linkpanel::SetLinkPicture(LinkPicture::RouterIsp, false);
    linkpanel::SetLinkPicture(LinkPicture::PcRouter, false);
    Link().Update([](LinkState& s) { s.autoRun = true; });
    PushMainWindow();
    tray_->Add(QString::fromLatin1(ComposeInitialTooltip(Link().Snapshot())));

    StartDiscovery();
    std::thread([] { ReceiverWorker(); }).detach();

    // The 200 ms count from the moment the window is on screen, not from before it is
    // first shown, so that it really is seen at start.
    hideOnShow_ = true;
    pollTimer_.start(POLL_PERIOD);
    // A QTimer has no failure to report: start() cannot fail once the event loop exists.
    // What is left is an id the event dispatcher did not hand out, seen as an inactive timer.
    if (!pollTimer_.isActive()) {
        ShowMessageBox(this, QStringLiteral("Warring! Can not set timer!"), ApplicationName(),
                       QMessageBox::NoIcon);
        EndDialog(IDCANCEL);
        return;
    }
    channel_->Listen(QString::fromLatin1(INSTANCE_NAME));
}

void CLinkPanelDlg::showEvent(QShowEvent* event) {
    CDialog::showEvent(event);
    if (hideOnShow_) {
        hideOnShow_ = false;
        hideTimer_.start(HIDE_DELAY);
    }
}

void CLinkPanelDlg::OnTimer(int id) {
    if (id == 3) {
        hideTimer_.stop();
        hide();
    }
    OnTimerEvent();
}

void CLinkPanelDlg::Open() {
    Link().Update([](LinkState& s) { s.infoReceived = false; });
    sendCommand(CMD_GET_ROUTER_INFO);
    show();
    raise();
    activateWindow();
}

void CLinkPanelDlg::OnTrayNotify(int mouseMessage) {
    if (mouseMessage == MOUSE_LEFT_DOUBLE_CLICK) {
        Open();
    } else if (mouseMessage == MOUSE_RIGHT_DOWN) {
        // The menu itself is the tray icon's; the window only comes to the front.
        raise();
        activateWindow();
    }
}

void CLinkPanelDlg::OnTrayCommand(int id) {
    if (id == ID_TRAY_OPEN) {
        Open();
    } else if (id == ID_TRAY_EXIT) {
        tray_->Remove();
        ExitProcess(0);
    }
}

void CLinkPanelDlg::OnCopyData() {
    exitAllowed_ = true;
    Link().Update([](LinkState& s) { s.exitAllowed = true; });
    ShowMessageBox(this, QStringLiteral("hi"), ApplicationName(), QMessageBox::Warning);
}

void CLinkPanelDlg::OnClose() {
    if (exitAllowed_) {
        CDialog::OnClose();
    } else {
        hide();
    }
}

void CLinkPanelDlg::OnOptions() {
    if (SettingsDialog) {
        SettingsDialog();
    }
}

void CLinkPanelDlg::OnTips() {
    if (TipsDialog) {
        TipsDialog();
    } else if (linkpanel::TipsDialog() != nullptr) {
        linkpanel::TipsDialog()->DoModal();
    } else {
        CTipsDlg tips(this);
        tips.DoModal();
    }
}

void CLinkPanelDlg::OnAbout() {
    CAboutDlg about(this);
    about.DoModal();
}

void CLinkPanelDlg::contextMenuEvent(QContextMenuEvent* event) {
    // The window manager owns the title-bar menu, so the About item lives in the window's
    // own context menu, after a separator as it would be there.
    const QString text = QString::fromLatin1(LoadStringResource(IDS_ABOUTBOX));
    if (text.isEmpty()) {
        return;
    }
    QMenu menu(this);
    menu.addSeparator();
    menu.addAction(text, this, &CLinkPanelDlg::OnAbout);
    menu.exec(event->globalPos());
}

}  // namespace linkpanel
