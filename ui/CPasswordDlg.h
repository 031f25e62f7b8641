// Dialog 154: the router's current password, typed again before new settings are sent.
#pragma once

#include <functional>
#include <string>

#include "ui/CDialog.h"

namespace linkpanel {

inline constexpr int PASSWORD_EDIT_MAX = 15;

class CPasswordDlg : public CDialog {
    Q_OBJECT
public:
    explicit CPasswordDlg(QWidget* parent = nullptr);

    std::string oldPassword;
    // How commands reach the router; tests replace it to see the calls.
    std::function<void(int)> sendCommand;

    void OnConfirm();  // button 1052

protected:
    void DoDataExchange(DataExchange& dx) override;
    void OnCancel() override;
    void showEvent(QShowEvent* event) override;

private:
    void FocusEdit();
};

// The one instance, made with the settings dialog at its first opening and reused; null
// until then.
CPasswordDlg*& PasswordDialog();

}  // namespace linkpanel
