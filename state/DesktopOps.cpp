#include "state/DesktopOps.h"

#include "state/Tooltip.h"

namespace linkpanel {

Desktop& NullDesktop() {
    static Desktop nothing;
    return nothing;
}

Desktop& CurrentDesktop() {
    Desktop* desktop = Link().Update([](LinkState& s) { return s.mainWindow; });
    return desktop ? *desktop : NullDesktop();
}

void PushMainWindow() {
    CurrentDesktop().PushMainWindow(Link().Snapshot());
}

void SetLinkPicture(LinkPicture which, bool shown) {
    Link().Update([&](LinkState& s) {
        (which == LinkPicture::PcRouter ? s.linkPcRouter : s.linkRouterIsp) = shown;
    });
    CurrentDesktop().SetLinkPicture(which, shown);
}

void ComposeAndUpdateTray() {
    const LinkState s = Link().Snapshot();
    CurrentDesktop().UpdateTrayIcon(CutTooltip(ComposeTooltip(s)), TrayPictureFor(s.ispStatus));
}

void PushSettingsDialog() {
    CurrentDesktop().PushSettingsDialog(Link().Update([](LinkState& s) { return s.settings; }));
}

bool PullSettingsDialog() {
    return CurrentDesktop().PullSettingsDialog();
}

void ShowPppoeAlert() {
    CurrentDesktop().ShowPppoeAlert();
}

}  // namespace linkpanel
