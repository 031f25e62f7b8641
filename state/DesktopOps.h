// The desktop operations as the core calls them: each reads or changes the record under
// its lock, then calls the main window's desktop outside the lock.
#pragma once

#include "state/Desktop.h"

namespace linkpanel {

// The record's mainWindow, or the do-nothing desktop while there is none.
Desktop& CurrentDesktop();

void PushMainWindow();
void SetLinkPicture(LinkPicture which, bool shown);
// Builds the status-form tooltip from the record and updates the tray with it.
void ComposeAndUpdateTray();
void PushSettingsDialog();
bool PullSettingsDialog();
void ShowPppoeAlert();

}  // namespace linkpanel
