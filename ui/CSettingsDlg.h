// Dialog 129: the router's SSID, channel and administrator password, and its web pages.
#pragma once

#include <functional>
#include <string>

#include "state/LinkState.h"
#include "ui/CDialog.h"
#include "ui/QtDesktop.h"

namespace linkpanel {

inline constexpr int SSID_EDIT_MAX = 32;
inline constexpr int CHANNEL_TEXT_EDIT_MAX = 2;
// The set command carries at most this many password characters.
inline constexpr int NEW_PASSWORD_EDIT_MAX = 15;

// Its fields live in Link().settings, so the receiver and the apply see them under the
// record's lock; the dialog copies them out for each exchange and back after a pull.
class CSettingsDlg : public CDialog, public SettingsDialogInterface {
    Q_OBJECT
public:
    explicit CSettingsDlg(QWidget* parent = nullptr);

    // How commands reach the router, how the confirmation runs, how the browser starts;
    // tests replace them.
    std::function<void(int)> sendCommand;
    std::function<void()> runConfirmation;
    std::function<void(const std::string& routerAddress)> launchWeb;

    // The desktop's operations: push only while open (and never while the confirmation
    // is open), pull with validation.
    void Push(const SettingsFields& fields) override;
    bool Pull() override;

    void OnSaveRestart();  // 1011
    void OnLaunchWeb();    // 1024

protected:
    void DoDataExchange(DataExchange& dx) override;
    bool OnInitDialog() override;
    void OnOK() override;
    void OnClose() override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    bool Exchange(bool save, SettingsFields fields);
    void SelectChannel(const std::string& channelText);

    bool armApply_ = false;  // the next pull also marks the apply as in progress
    SettingsFields* exchanged_ = nullptr;
};

// The one instance, made at its first opening and reused; null until then.
CSettingsDlg*& SettingsDialog();

}  // namespace linkpanel
