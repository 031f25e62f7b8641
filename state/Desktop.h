// What the core asks of the windows and the tray. The core never touches a widget: it
// calls these operations, and the desktop (or a test, or linkwatch) decides what they do.
#pragma once

#include <string>

#include "state/LinkState.h"

namespace linkpanel {

enum class LinkPicture {
    PcRouter = 1031,   // linkPcRouter
    RouterIsp = 1030,  // linkRouterIsp
};

enum class TrayPicture {
    Connected = 128,
    NotConnected = 175,
};

// Every operation may be called from any thread; an implementation that owns widgets
// marshals to its window thread. The default does nothing, so the core runs headless.
class Desktop {
public:
    virtual ~Desktop() = default;

    // Copy the router-information fields, autoRun and localAddress into the main window.
    virtual void PushMainWindow(const LinkState& /*fields*/) {}
    // Put icon 145 into control 1031 or 1030, or remove it.
    virtual void SetLinkPicture(LinkPicture /*which*/, bool /*shown*/) {}
    // Show the tooltip (already cut to its limit) and the picture on the tray icon.
    virtual void UpdateTrayIcon(const std::string& /*tip*/, TrayPicture /*picture*/) {}
    // Copy the settings dialog's fields into its controls, when it is open.
    virtual void PushSettingsDialog(const SettingsFields& /*fields*/) {}
    // Copy the settings dialog's controls into Link().settings, with its length
    // validation; false when the validation failed (the fields after it keep their values).
    virtual bool PullSettingsDialog() { return true; }
    // The PPPoE no-response alert: returns once the user has dismissed it.
    virtual void ShowPppoeAlert() {}
};

// The desktop that does nothing, used while no main window is set.
Desktop& NullDesktop();

}  // namespace linkpanel
