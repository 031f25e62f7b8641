#include "app/CLinkPanelApp.h"

#include "state/LinkState.h"
#include "ui/CLinkPanelDlg.h"
#include "ui/CPasswordDlg.h"
#include "ui/CSettingsDlg.h"
#include "ui/CTipsDlg.h"
#include "ui/QtDesktop.h"

namespace linkpanel {

bool CLinkPanelApp::InitInstance() {
    CTipsDlg tips;
    TipsDialog() = &tips;
    CLinkPanelDlg window;
    QtDesktop desktop(&window);
    CPasswordDlg password;
    PasswordDialog() = &password;
    CSettingsDlg settings;
    SettingsDialog() = &settings;
    desktop.SetSettingsDialog(&settings);
    window.SettingsDialog = [] { SettingsDialog()->DoModal(); };
    // Before any worker starts: every desktop operation of the core reaches this window.
    Link().Update([&desktop](LinkState& s) { s.mainWindow = &desktop; });
    window.DoModal();
    return false;
}

}  // namespace linkpanel
