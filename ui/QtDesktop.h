// The desktop the core talks to: every operation is carried to the window thread.
#pragma once

#include <QObject>
#include <cstdint>
#include <mutex>
#include <optional>

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
// call it from the window thread) and PullSettingsDialog, which needs the answer. A push of
// the main window's fields while it is hidden waits, the latest one only, for its showing.
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

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void Apply(const LinkState& fields, std::uint64_t number);  // window thread

    CLinkPanelDlg* window_;
    std::mutex pushMutex_;  // guards the four below
    bool windowShown_ = false;
    std::uint64_t pushes_ = 0;
    std::optional<LinkState> waiting_;
    std::uint64_t waitingNumber_ = 0;
    std::uint64_t applied_ = 0;  // window thread only
    SettingsDialogInterface* settings_ = nullptr;  // touched on the window thread only
};

}  // namespace linkpanel
