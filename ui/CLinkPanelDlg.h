// The main window, dialog 102: the link pictures, the router's information, the tray's
// events, the two timers, and the start-up sequence in its initialisation.
#pragma once

#include <QTimer>
#include <functional>
#include <string>

#include "state/Constants.h"
#include "state/Desktop.h"
#include "state/LinkState.h"
#include "ui/CDialog.h"

namespace linkpanel {

class TrayIcon;
class CloseChannel;

class CLinkPanelDlg : public CDialog {
    Q_OBJECT
public:
    // With runStartup false the start-up sequence is left out (no guard, no tray host,
    // no workers), so the window's own behaviour can be driven alone.
    explicit CLinkPanelDlg(bool runStartup = true);
    ~CLinkPanelDlg() override;

    // The bound fields, exchanged in this order by DoDataExchange.
    struct Fields {
        std::string networkName, routerName, channel, wepState, routerAddress, localAddress;
        bool autoRun = false;
        std::string connectionType;
    };
    Fields& fields() { return fields_; }
    // Copies the bound fields out of the record and pushes them into the controls.
    void PushFrom(const LinkState& s);
    void SetLinkPicture(LinkPicture which, bool shown);
    bool LinkPictureShown(LinkPicture which) const;

    TrayIcon* tray() const { return tray_; }
    bool exitAllowed() const { return exitAllowed_; }

    // How commands reach the router; tests replace it to see the calls.
    std::function<void(int)> sendCommand;
    // Runs the settings dialog; empty until it exists.
    std::function<void()> SettingsDialog;
    // Shows the troubleshooting tips; unset, a dialog of its own is made for each showing.
    std::function<void()> TipsDialog;

    // The handlers, public so the tray and tests can reach them.
    void OnTrayNotify(int mouseMessage);
    void OnTrayCommand(int id);
    void OnCopyData();  // the close channel's message
    void OnOptions();
    void OnTips();
    void OnAbout();

protected:
    void DoDataExchange(DataExchange& dx) override;
    bool OnInitDialog() override;
    void OnClose() override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    void Open();
    void OnTimer(int id);
    void RunStartup();

    Fields fields_;
    bool runStartup_;
    bool exitAllowed_ = false;
    bool hideOnShow_ = false;
    TrayIcon* tray_ = nullptr;
    CloseChannel* channel_ = nullptr;
    QIcon linkIcon_;  // icon 145, made when a link is first shown
    QTimer hideTimer_;
    QTimer pollTimer_;
};

}  // namespace linkpanel
