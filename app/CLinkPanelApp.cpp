#include "app/CLinkPanelApp.h"

#include <memory>

#include "state/LinkState.h"
#include "ui/CLinkPanelDlg.h"
#include "ui/CPasswordDlg.h"
#include "ui/CSettingsDlg.h"
#include "ui/CTipsDlg.h"
#include "ui/QtDesktop.h"

namespace linkpanel {

bool CLinkPanelApp::InitInstance() {
    // The tips are made at their first showing and kept: building their page takes longer
    // than all the other dialogs together, and the main window is to be on screen first.
    std::unique_ptr<CTipsDlg> tips;
    CLinkPanelDlg window;
    window.TipsDialog = [&tips] {
        if (!tips) {
            tips = std::make_unique<CTipsDlg>();
            TipsDialog() = tips.get();
        }
        tips->DoModal();
    };
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
