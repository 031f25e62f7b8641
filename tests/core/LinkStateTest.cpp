#include "state/DesktopOps.h"
#include "state/LinkState.h"
#include "state/Tooltip.h"

#include <gtest/gtest.h>

#include <thread>
#include <vector>

namespace linkpanel {
namespace {

TEST(LinkState, StartsWithItsInitialValues) {
    const LinkState s;
    EXPECT_EQ(s.routerStatus, "Not connected");
    EXPECT_EQ(s.ispStatus, "Not connected");
    EXPECT_EQ(s.tooltipNetworkName, "NULL");
    for (const std::string* text :
         {&s.routerName, &s.networkName, &s.channel, &s.wepState, &s.routerAddress, &s.localAddress,
          &s.connectionType, &s.routerPassword}) {
        EXPECT_TRUE(text->empty());
    }
    EXPECT_FALSE(s.autoRun);
    EXPECT_FALSE(s.linkPcRouter);
    EXPECT_FALSE(s.linkRouterIsp);
    EXPECT_FALSE(s.infoReceived);
    EXPECT_FALSE(s.settingsReceived);
    EXPECT_FALSE(s.statusReceived);
    EXPECT_FALSE(s.routerFound);
    EXPECT_EQ(s.missCount, 0);
    EXPECT_FALSE(s.pppoeSeen);
    EXPECT_TRUE(s.alertArmed);
    EXPECT_EQ(s.alertCount, 0u);
    EXPECT_EQ(s.mainWindow, nullptr);
    EXPECT_FALSE(s.exitAllowed);
    EXPECT_TRUE(s.settings.ssid.empty());
    EXPECT_TRUE(s.settings.newPassword.empty());
    EXPECT_EQ(ComposeInitialTooltip(s),
              "Router : Not connected\nISP : Not connected\nNetwork name : NULL");
}

TEST(Tooltip, FormsAndTheirCut) {
    struct Case {
        const char* router;
        const char* isp;
        std::string name;
        std::string shown;
        TrayPicture picture;
    };
    const std::vector<Case> cases = {
        {"Connected", "Connected", "wireless",
         " Router : Connected \n ISP : Connected \n Network name : wireless",
         TrayPicture::Connected},
        {"Not connected", "Not connected", "NULL",
         " Router : Not connected \n ISP : Not connected \n Network name : ",
         TrayPicture::NotConnected},
        {"Connected", "Not connected", "NULL",
         " Router : Connected \n ISP : Not connected \n Network name : NULL",
         TrayPicture::NotConnected},
        {"Connected", "Not connected", "wireless",
         " Router : Connected \n ISP : Not connected \n Network name : wire",
         TrayPicture::NotConnected},
        {"Connected", "Connected", std::string(40, 'x'),
         " Router : Connected \n ISP : Connected \n Network name : xxxxxxxx",
         TrayPicture::Connected},
        {"Connected", "connected", "a",
         " Router : Connected \n ISP : connected \n Network name : a", TrayPicture::NotConnected},
    };
    for (const Case& c : cases) {
        LinkState s;
        s.routerStatus = c.router;
        s.ispStatus = c.isp;
        s.tooltipNetworkName = c.name;
        const std::string shown = CutTooltip(ComposeTooltip(s));
        EXPECT_EQ(shown, c.shown);
        EXPECT_LE(shown.size(), TOOLTIP_LIMIT);
        EXPECT_EQ(TrayPictureFor(s.ispStatus), c.picture);
    }
}

class RecordingDesktop : public Desktop {
public:
    void SetLinkPicture(LinkPicture which, bool shown) override {
        calls.push_back(std::string(which == LinkPicture::PcRouter ? "1031 " : "1030 ") +
                        (shown ? "shown" : "cleared"));
    }
    void UpdateTrayIcon(const std::string& tip, TrayPicture picture) override {
        calls.push_back(std::to_string(static_cast<int>(picture)) + " " + tip);
    }
    std::vector<std::string> calls;
};

TEST(DesktopOps, GoToTheMainWindowOrNowhere) {
    Link().Reset();
    SetLinkPicture(LinkPicture::PcRouter, true);  // no window yet: only the record changes
    EXPECT_TRUE(Link().Snapshot().linkPcRouter);

    RecordingDesktop desktop;
    Link().Update([&](LinkState& s) { s.mainWindow = &desktop; });
    SetLinkPicture(LinkPicture::RouterIsp, true);
    SetLinkPicture(LinkPicture::PcRouter, false);
    Link().Update([](LinkState& s) { s.ispStatus = "Connected"; });
    ComposeAndUpdateTray();
    EXPECT_EQ(desktop.calls,
              (std::vector<std::string>{
                  "1030 shown", "1031 cleared",
                  "128  Router : Not connected \n ISP : Connected \n Network name : NULL"}));
    EXPECT_FALSE(Link().Snapshot().linkPcRouter);
    Link().Update([](LinkState& s) { s.mainWindow = nullptr; });
    Link().Reset();
}

// Writers replace texts whole under the lock; a reader's copy is never torn.
TEST(LinkState, SnapshotsAreNeverTorn) {
    Link().Reset();
    std::thread writer([] {
        for (int i = 0; i < 20000; ++i) {
            Link().Update([i](LinkState& s) {
                s.routerStatus = i % 2 ? TEXT_CONNECTED : TEXT_NOT_CONNECTED;
                s.missCount = i % 2 ? 2 : 0;
            });
        }
    });
    for (int i = 0; i < 20000; ++i) {
        const LinkState s = Link().Snapshot();
        ASSERT_EQ(s.routerStatus == TEXT_CONNECTED, s.missCount == 2);
    }
    writer.join();
    Link().Reset();
}

}  // namespace
}  // namespace linkpanel
