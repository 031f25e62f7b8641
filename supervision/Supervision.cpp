#include "supervision/Supervision.h"

#include <atomic>
#include <mutex>
#include <thread>

#include "protocol/CommandSender.h"
#include "protocol/Datagram.h"
#include "protocol/Endpoint.h"
#include "state/Clock.h"
#include "state/DesktopOps.h"
#include "state/LinkState.h"

namespace linkpanel {

void SupervisionPlatform::EnumerateLocalAddresses() {
    linkpanel::EnumerateLocalAddresses();
}
void SupervisionPlatform::CloseEndpoint() {
    linkpanel::CloseEndpoint();
}
void SupervisionPlatform::OpenEndpoint(const std::string& addressText) {
    linkpanel::OpenEndpoint(addressText);
}
void SupervisionPlatform::SendCommand(int selector) {
    linkpanel::SendCommand(selector);
}
void SupervisionPlatform::StartThread(std::function<void()> work) {
    std::thread(std::move(work)).detach();
}

namespace {

SupervisionPlatform realPlatform;
std::atomic<SupervisionPlatform*> installed{nullptr};

SupervisionPlatform& Platform() {
    SupervisionPlatform* p = installed.load(std::memory_order_acquire);
    return p ? *p : realPlatform;
}

// At most one discovery worker runs. A loss while one is still in its pause does not
// start a second one (two would open and close the endpoint under each other's feet);
// it asks the running one to start over, so it behaves like a fresh worker: new
// enumeration, first address. The running flag is cleared under the same lock at which
// the worker decides to return, so a request is never lost between the two.
std::mutex discoveryMutex;
bool discoveryRunning = false;
bool discoveryRestart = false;

enum class CheckResult { Found, Continue, StartOver };

CheckResult CheckAtEndOfCycle() {
    std::lock_guard lock(discoveryMutex);
    const bool found = Link().Update([](LinkState& s) { return s.routerFound; });
    const bool restart = discoveryRestart;
    discoveryRestart = false;
    if (found) {
        discoveryRunning = false;
        return CheckResult::Found;
    }
    return restart ? CheckResult::StartOver : CheckResult::Continue;
}

}  // namespace

void SetSupervisionPlatform(SupervisionPlatform* platform) {
    installed.store(platform, std::memory_order_release);
}

int DiscoveryWorker() {
    SupervisionPlatform& net = Platform();
    net.EnumerateLocalAddresses();
    std::size_t index = 0;
    for (CheckResult check = CheckAtEndOfCycle(); check != CheckResult::Found;
         check = CheckAtEndOfCycle()) {
        if (check == CheckResult::StartOver) {
            net.EnumerateLocalAddresses();
            index = 0;
        }
        const LocalAddressList& list = LocalAddresses();
        if (index >= list.count) {
            // The list is exhausted: read the addresses again, open nothing this cycle.
            net.EnumerateLocalAddresses();
            index = 0;
        } else {
            net.CloseEndpoint();
            net.OpenEndpoint(list.addresses[index]);
            net.SendCommand(CMD_DISCOVER);
            ++index;
        }
        Link().Update([](LinkState& s) { s.infoReceived = false; });
        net.SendCommand(CMD_GET_ROUTER_INFO);
        Sleep(DISCOVERY_PAUSE);
    }
    return 0;
}

void StartDiscovery() {
    {
        std::lock_guard lock(discoveryMutex);
        if (discoveryRunning) {
            discoveryRestart = true;
            return;
        }
        discoveryRunning = true;
        discoveryRestart = false;
    }
    Platform().StartThread([] { DiscoveryWorker(); });
}

void OnTimerEvent() {
    const bool found = Link().Update([](LinkState& s) {
        if (s.routerFound) {
            s.statusReceived = false;
        }
        return s.routerFound;
    });
    if (!found) {
        return;
    }
    // The request's copies are paced COPY_PAUSE apart: they go out from the check's own
    // thread, so the thread that runs the timer (the main window's) never waits on them.
    // The check still comes STATUS_CHECK_DELAY after the last copy.
    Platform().StartThread([] {
        Platform().SendCommand(CMD_GET_INTERNET_STATUS);
        StatusCheckWorker();
    });
}

int StatusCheckWorker() {
    Sleep(STATUS_CHECK_DELAY);
    const bool lost = Link().Update([](LinkState& s) {
        if (s.statusReceived) {
            s.missCount = 0;
            return false;
        }
        if (s.missCount < 2) {
            ++s.missCount;
        }
        return s.missCount == 2;
    });
    if (!lost) {
        return 0;
    }
    SetLinkPicture(LinkPicture::RouterIsp, false);
    SetLinkPicture(LinkPicture::PcRouter, false);
    Link().Update([](LinkState& s) {
        s.routerStatus = TEXT_NOT_CONNECTED;
        s.ispStatus = TEXT_NOT_CONNECTED;
        s.tooltipNetworkName = TEXT_NO_NETWORK_NAME;
    });
    ComposeAndUpdateTray();
    Link().Update([](LinkState& s) { s.routerFound = false; });
    StartDiscovery();
    return 0;
}

}  // namespace linkpanel
