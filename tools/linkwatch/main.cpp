// linkwatch: the monitor's whole cycle in a terminal. Receiver, discovery and a 6000 ms
// poll timer run as in the monitor; every desktop operation is printed as one line:
//   <monotonic seconds> <operation> <details>
// Texts are quoted with C escapes, so a tooltip's line breaks stay on one line. It uses
// this machine's own addresses: run it only inside a private network namespace.
#include <time.h>

#include <cstdio>
#include <mutex>
#include <string>
#include <thread>

#include "protocol/Receiver.h"
#include "state/Constants.h"
#include "state/Desktop.h"
#include "state/LinkState.h"
#include "state/Tooltip.h"
#include "supervision/Supervision.h"

namespace linkpanel {
namespace {

std::string Quoted(const std::string& text) {
    std::string out = "\"";
    for (unsigned char c : text) {
        if (c == '\n') {
            out += "\\n";
        } else if (c == '"' || c == '\\') {
            out += '\\';
            out += static_cast<char>(c);
        } else if (c < 0x20 || c >= 0x7F) {
            char hex[5];
            std::snprintf(hex, sizeof hex, "\\x%02x", c);
            out += hex;
        } else {
            out += static_cast<char>(c);
        }
    }
    return out + "\"";
}

class PrintingDesktop final : public Desktop {
public:
    void PushMainWindow(const LinkState& s) override {
        Print("push-main-window",
              "name=" + Quoted(s.routerName) + " network=" + Quoted(s.networkName) +
                  " channel=" + Quoted(s.channel) + " wep=" + Quoted(s.wepState) +
                  " address=" + Quoted(s.routerAddress) + " local=" + Quoted(s.localAddress) +
                  " type=" + Quoted(s.connectionType) + " autorun=" + (s.autoRun ? "1" : "0"));
    }
    void SetLinkPicture(LinkPicture which, bool shown) override {
        Print("link-picture",
              std::to_string(static_cast<int>(which)) + (shown ? " shown" : " cleared"));
    }
    void UpdateTrayIcon(const std::string& tip, TrayPicture picture) override {
        Print("tray", std::to_string(static_cast<int>(picture)) + " " + Quoted(tip));
    }
    void PushSettingsDialog(const SettingsFields& f) override {
        Print("push-settings", "ssid=" + Quoted(f.ssid) + " channel=" + Quoted(f.channelText));
    }
    void ShowPppoeAlert() override { Print("pppoe-alert", "dismissed"); }

    void Print(const char* operation, const std::string& details) {
        timespec now{};
        clock_gettime(CLOCK_MONOTONIC, &now);
        std::lock_guard lock(mutex_);
        std::printf("%ld.%06ld %s %s\n", static_cast<long>(now.tv_sec), now.tv_nsec / 1000,
                    operation, details.c_str());
        std::fflush(stdout);
    }

private:
    std::mutex mutex_;
};

}  // namespace
}  // namespace linkpanel

int main(int argc, char** argv) {
    using namespace linkpanel;
    if (argc > 1) {
        std::fprintf(stderr,
                     "usage: %s\n"
                     "Runs the monitor's discovery, receiver and 6000 ms polls on this machine's\n"
                     "own addresses and prints every desktop operation on stdout. Run it only\n"
                     "inside a private network namespace.\n",
                     argv[0]);
        return 2;
    }
    static PrintingDesktop desktop;
    Link().Update([](LinkState& s) {
        s.mainWindow = &desktop;
        s.autoRun = true;
    });
    desktop.Print("tray-add",
                  "175 " + Quoted(CutTooltip(ComposeInitialTooltip(Link().Snapshot()))));
    StartDiscovery();
    std::thread(ReceiverWorker).detach();
    auto next = std::chrono::steady_clock::now();
    for (;;) {
        next += POLL_PERIOD;
        std::this_thread::sleep_until(next);
        OnTimerEvent();
    }
}
