#include "ui/TrayIcon.h"

#include <gtest/gtest.h>

#include "state/LinkState.h"
#include "state/Tooltip.h"

namespace linkpanel {
namespace {

struct MappingCase {
    QSystemTrayIcon::ActivationReason reason;
    TrayBackend backend;
    int message;
};

TEST(TrayIcon, ActivationsMapToMouseMessages) {
    const MappingCase cases[] = {
        // XEmbed: every press is a Trigger; only the double-click opens.
        {QSystemTrayIcon::Trigger, TrayBackend::XEmbed, 0},
        {QSystemTrayIcon::DoubleClick, TrayBackend::XEmbed, 515},
        {QSystemTrayIcon::Context, TrayBackend::XEmbed, 516},
        {QSystemTrayIcon::MiddleClick, TrayBackend::XEmbed, 0},
        {QSystemTrayIcon::Unknown, TrayBackend::XEmbed, 0},
        // StatusNotifier: no double-click is ever delivered; the activation opens.
        {QSystemTrayIcon::Trigger, TrayBackend::StatusNotifier, 515},
        {QSystemTrayIcon::DoubleClick, TrayBackend::StatusNotifier, 515},
        {QSystemTrayIcon::Context, TrayBackend::StatusNotifier, 516},
        {QSystemTrayIcon::MiddleClick, TrayBackend::StatusNotifier, 0},
    };
    for (const MappingCase& c : cases) {
        SCOPED_TRACE(testing::Message() << "reason " << c.reason << " backend " << int(c.backend));
        EXPECT_EQ(MouseMessageFor(c.reason, c.backend), c.message);
    }
}

TEST(TrayIcon, TipIsCutAt63Characters) {
    LinkState lost;
    lost.routerStatus = lost.ispStatus = "Not connected";
    lost.tooltipNetworkName = "NULL";
    LinkState up;
    up.routerStatus = up.ispStatus = "Connected";
    up.tooltipNetworkName = "wireless";
    LinkState longName = up;
    longName.tooltipNetworkName = "a-very-long-wireless-network-name";

    struct {
        std::string text;
        const char* shown;
    } cases[] = {
        {ComposeTooltip(up), " Router : Connected \n ISP : Connected \n Network name : wireless"},
        {ComposeTooltip(lost), " Router : Not connected \n ISP : Not connected \n Network name : "},
        {ComposeInitialTooltip(lost),
         "Router : Not connected\nISP : Not connected\nNetwork name : NULL"},
        {ComposeTooltip(longName),
         " Router : Connected \n ISP : Connected \n Network name : a-very-l"},
        {"", ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(CutTrayTip(QString::fromLatin1(c.text)), QString::fromLatin1(c.shown));
    }
}

// Without any tray host (the offscreen platform has none) the icon waits: it is not shown,
// and every call, including those after Remove(), is harmless.
TEST(TrayIcon, WaitsWithoutATrayHost) {
    TrayIcon tray;
    tray.Modify(TrayPicture::Connected, QStringLiteral("early"));
    tray.Add(QStringLiteral("Router : Not connected"));
    tray.Modify(TrayPicture::Connected, QStringLiteral(" Router : Connected"));
    EXPECT_FALSE(tray.IsShown());
    tray.Remove();
    tray.Modify(TrayPicture::NotConnected, QStringLiteral("late"));
    tray.Add(QStringLiteral("again"));
    EXPECT_FALSE(tray.IsShown());
}

}  // namespace
}  // namespace linkpanel
