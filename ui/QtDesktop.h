// The desktop the core talks to: every operation is carried to the window thread.
#pragma once

#include <QObject>

#include "state/Desktop.h"

namespace linkpanel {

class CLinkPanelDlg;

// What the settings dialog offers the core, once it exists.
class SettingsDialogInterface {
public:
    virtual ~SettingsDialogInterface() = default;
    virtual void Push(const SettingsFields& fields) = 0;
    virtual bool Pull() = 0;
};

// Construct on the window thread. Each operation copies its data and queues the work on
// that thread, except ShowPppoeAlert, which waits there until the box is dismissed (never
// call it from the window thread) and PullSettingsDialog, which needs the answer.
class QtDesktop : public QObject, public Desktop {
    Q_OBJECT
public:
    explicit QtDesktop(CLinkPanelDlg* window, QObject* parent = nullptr);

    void SetSettingsDialog(SettingsDialogInterface* dialog) { settings_ = dialog; }

    void PushMainWindow(const LinkState& fields) override;
    void SetLinkPicture(LinkPicture which, bool shown) override;
    void UpdateTrayIcon(const std::string& tip, TrayPicture picture) override;
    void PushSettingsDialog(const SettingsFields& fields) override;
    bool PullSettingsDialog() override;
    void ShowPppoeAlert() override;

private:
    CLinkPanelDlg* window_;
    SettingsDialogInterface* settings_ = nullptr;  // touched on the window thread only
};

}  // namespace linkpanel
