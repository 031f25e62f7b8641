// The one shared record of everything the monitor knows about the router and its links.
#pragma once

#include <mutex>
#include <string>

#include "state/Constants.h"

namespace linkpanel {

class Desktop;

// Fields of the settings dialog object. The receiver writes the password fields and the
// apply reads them all, so they live beside the record, under the same lock.
struct SettingsFields {
    std::string hiddenText1013;
    std::string ssid;
    std::string hiddenText1014;
    std::string channelText;
    std::string newPassword;
    std::string retypePassword;
    std::string currentPassword;
    std::string currentPassword2;
    // Set while the password confirmation is open: a settings reply then leaves the
    // fields above alone, so the apply sends what the user confirmed.
    bool applyInProgress = false;
};

struct LinkState {
    // Tray status texts: only ever the literals of Constants.h, except that
    // tooltipNetworkName also takes a network name copied from a reply.
    std::string routerStatus = TEXT_NOT_CONNECTED;
    std::string ispStatus = TEXT_NOT_CONNECTED;
    std::string tooltipNetworkName = TEXT_NO_NETWORK_NAME;

    // Router information, bound one-to-one to the main window's controls.
    std::string routerName;      // 1005
    std::string networkName;     // 1006
    std::string channel;         // 1007
    std::string wepState;        // 1008
    std::string routerAddress;   // 1009
    std::string localAddress;    // 1012, hidden
    std::string connectionType;  // 1047
    bool autoRun = false;        // 1027, hidden
    bool linkPcRouter = false;   // 1031: link picture shown
    bool linkRouterIsp = false;  // 1030: link picture shown

    // Credentials
    std::string routerPassword;

    // Once-only flags: cleared just before their request, set by the first matching reply.
    bool infoReceived = false;
    bool settingsReceived = false;
    bool statusReceived = false;

    // Supervision
    bool routerFound = false;
    int missCount = 0;  // 0..2
    bool pppoeSeen = false;
    bool alertArmed = true;
    unsigned alertCount = 0;

    // Process-wide
    Desktop* mainWindow = nullptr;  // set before any worker starts, never changed after
    bool exitAllowed = false;

    SettingsFields settings;
};

// Thread safety: one mutex guards the whole record. Every reader takes a copy
// (Snapshot), every writer changes it inside Update; texts are replaced whole. No
// desktop operation is ever called with the lock held, so a window-thread handler
// may read the record while a worker waits for that thread.
class SharedLinkState {
public:
    LinkState Snapshot() const {
        std::lock_guard lock(mutex_);
        return state_;
    }

    template <class F>
    decltype(auto) Update(F&& change) {
        std::lock_guard lock(mutex_);
        return change(state_);
    }

    // Back to the initial values, keeping the desktop; for tests and tools.
    void Reset() {
        std::lock_guard lock(mutex_);
        Desktop* desktop = state_.mainWindow;
        state_ = LinkState{};
        state_.mainWindow = desktop;
    }

private:
    mutable std::mutex mutex_;
    LinkState state_;
};

// The process-wide record.
SharedLinkState& Link();

}  // namespace linkpanel
