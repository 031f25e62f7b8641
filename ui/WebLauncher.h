// Opens the router's web pages in the user's default browser.
#pragma once

#include <QString>
#include <string>

class QWidget;

namespace linkpanel {

// Starts `launcher URL` (no shell) for "http://" + routerAddress and returns at once; if
// the launcher cannot start or exits non-zero, shows "Can not launch WEB Configuration..."
// owned by owner (which must outlive the launch).
void LaunchWebConfiguration(QWidget* owner, const std::string& routerAddress,
                            const QString& launcher = QStringLiteral("xdg-open"));

}  // namespace linkpanel
