#include "ui/CPasswordDlg.h"

#include <QLineEdit>
#include <QTimer>

#include "protocol/CommandSender.h"
#include "protocol/Datagram.h"
#include "state/DesktopOps.h"
#include "state/LinkState.h"
#include "ui/MessageBox.h"

namespace linkpanel {

CPasswordDlg*& PasswordDialog() {
    static CPasswordDlg* instance = nullptr;
    return instance;
}

CPasswordDlg::CPasswordDlg(QWidget* parent)
    : CDialog(154, parent),
      // The apply's five paced copies must not hold the dialogs for half a second; the
      // request is composed at once, before the fields it carries are cleared below.
      sendCommand([](int selector) { SendCommandInBackground(selector); }) {
    MapCommand(1052, ControlEvent::Clicked, [this] { OnConfirm(); });
}

void CPasswordDlg::DoDataExchange(DataExchange& dx) {
    dx.Text(1051, oldPassword);
    if (!dx.save()) {
        if (auto* edit = qobject_cast<QLineEdit*>(GetDlgItem(1051))) {
            edit->setMaxLength(PASSWORD_EDIT_MAX);
        }
    }
}

void CPasswordDlg::OnCancel() {
    CDialog::OnCancel();
}

void CPasswordDlg::showEvent(QShowEvent* event) {
    CDialog::showEvent(event);
    FocusEdit();
    // The window manager may hand the focus around once the window is mapped.
    QTimer::singleShot(0, this, [this] { FocusEdit(); });
}

void CPasswordDlg::FocusEdit() {
    if (QWidget* edit = GetDlgItem(1051)) {
        edit->setFocus(Qt::OtherFocusReason);
    }
}

void CPasswordDlg::OnConfirm() {
    UpdateData(true);
    if (oldPassword != Link().Snapshot().routerPassword) {
        ShowMessageBox(this, QStringLiteral("Old Password incorrect. Please try again."),
                       QStringLiteral("Error"), QMessageBox::Critical);
        oldPassword.clear();
        FocusEdit();
        UpdateData(false);
        return;
    }
    sendCommand(CMD_APPLY_SETTINGS);
    oldPassword.clear();
    UpdateData(false);
    // The router restarts with the new settings: what the window showed no longer holds.
    Link().Update([](LinkState& s) {
        s.connectionType.clear();
        s.networkName.clear();
        s.routerName.clear();
        s.channel.clear();
        s.wepState.clear();
        s.routerAddress.clear();
    });
    SetLinkPicture(LinkPicture::RouterIsp, false);
    SetLinkPicture(LinkPicture::PcRouter, false);
    PushMainWindow();
    EndDialog(IDCANCEL);
}

}  // namespace linkpanel
