// Fixed periods, timer ids and texts of the monitor. Nothing here is configurable.
#pragma once

#include <chrono>

namespace linkpanel {

using std::chrono::milliseconds;

inline constexpr milliseconds COPY_PAUSE{100};           // after every copy of a request
inline constexpr milliseconds HIDE_DELAY{200};           // main window hides itself
inline constexpr milliseconds DISCOVERY_PAUSE{3000};     // end of each discovery cycle
inline constexpr milliseconds STATUS_CHECK_DELAY{3000};  // poll to its check
inline constexpr milliseconds POLL_PERIOD{6000};         // between polls

inline constexpr int TIMER_HIDE = 3;
inline constexpr int TIMER_POLL = 101;

inline constexpr const char* TEXT_CONNECTED = "Connected";
inline constexpr const char* TEXT_NOT_CONNECTED = "Not connected";
inline constexpr const char* TEXT_NO_NETWORK_NAME = "NULL";

inline constexpr const char* TEXT_WEP_DISABLED = "Disabled";
inline constexpr const char* TEXT_WEP_ENABLED = "Enabled";

inline constexpr const char* TEXT_TYPE_IP = "IP connection type specified.";
inline constexpr const char* TEXT_TYPE_PPPOE = "PPPoE connection type specified.";
inline constexpr const char* TEXT_TYPE_DYNAMIC = "Dynamic IP connection type specified.";

// Shown in the new and retyped password boxes when the router's settings arrive;
// saving with it in place keeps the current password.
inline constexpr const char* PASSWORD_PLACEHOLDER = "739264";

// The single-instance key, also the name of the close-for-real channel.
inline constexpr const char* INSTANCE_NAME = "TAVO_CONTROL_UTILITY";

}  // namespace linkpanel
