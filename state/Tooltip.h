// The tray icon's texts and picture, as pure functions of the record.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "state/Desktop.h"

namespace linkpanel {

inline constexpr std::size_t TOOLTIP_LIMIT = 63;

// "Router : …\nISP : …\nNetwork name : …", used once, when the icon is added.
std::string ComposeInitialTooltip(const LinkState& s);
// " Router : … \n ISP : … \n Network name : …", used by every later update.
std::string ComposeTooltip(const LinkState& s);
// The first 63 characters.
std::string CutTooltip(std::string_view text);
// Connected (128) only when ispStatus is exactly "Connected".
TrayPicture TrayPictureFor(std::string_view ispStatus);

}  // namespace linkpanel
