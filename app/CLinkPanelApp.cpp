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
    // The other dialogs are made at their first showing and kept, as a dialog object that
    // makes its window on DoModal would be: the main window and the tray icon are to be on
    // screen first. Until then the settings dialog is not open, so the core has nothing to
    // push into it or pull from it.
    std::unique_ptr<CTipsDlg> tips;
    std::unique_ptr<CPasswordDlg> password;
    std::unique_ptr<CSettingsDlg> settings;
    CLinkPanelDlg window;
    QtDesktop desktop(&window);
    window.TipsDialog = [&tips] {
        if (!tips) {
            tips = std::make_unique<CTipsDlg>();
            TipsDialog() = tips.get();
        }
        tips->DoModal();
    };
    window.SettingsDialog = [&password, &settings, &desktop] {
        if (!settings) {
            password = std::make_unique<CPasswordDlg>();
            PasswordDialog() = password.get();
            settings = std::make_unique<CSettingsDlg>();
            SettingsDialog() = settings.get();
            desktop.SetSettingsDialog(settings.get());
        }
        settings->DoModal();
    };
    // Before any worker starts: every desktop operation of the core reaches this window.
    Link().Update([&desktop](LinkState& s) { s.mainWindow = &desktop; });
    window.DoModal();
    return false;
}

}  // namespace linkpanel
