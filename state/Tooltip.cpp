#include "state/Tooltip.h"

namespace linkpanel {

std::string ComposeInitialTooltip(const LinkState& s) {
    return "Router : " + s.routerStatus + "\nISP : " + s.ispStatus +
           "\nNetwork name : " + s.tooltipNetworkName;
}

std::string ComposeTooltip(const LinkState& s) {
    return " Router : " + s.routerStatus + " \n ISP : " + s.ispStatus +
           " \n Network name : " + s.tooltipNetworkName;
}

std::string CutTooltip(std::string_view text) {
    return std::string(text.substr(0, TOOLTIP_LIMIT));
}

TrayPicture TrayPictureFor(std::string_view ispStatus) {
    return ispStatus == TEXT_CONNECTED ? TrayPicture::Connected : TrayPicture::NotConnected;
}

}  // namespace linkpanel
