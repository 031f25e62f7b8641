#include "ui/CSettingsDlg.h"

#include <QComboBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QRadioButton>

#include "protocol/CommandSender.h"
#include "protocol/Datagram.h"
#include "state/Constants.h"
#include "ui/CPasswordDlg.h"
#include "ui/MessageBox.h"
#include "ui/WebLauncher.h"

namespace linkpanel {

namespace {

// A typing limit that, unlike QLineEdit's own, never shortens a longer text put in by a
// push: an edit by the user that would grow the text past the limit is taken back.
class TypingLimit : public QObject {
public:
    TypingLimit(QLineEdit* edit, int limit) : QObject(edit), current_(edit->text()) {
        setObjectName(QStringLiteral("typingLimit"));
        connect(edit, &QLineEdit::textChanged, this, [this](const QString& text) {
            previous_ = current_;
            current_ = text;
        });
        // Only the user's edits come here; whichever of the two signals came first, the
        // text before the edit is the one that differs from the edited text.
        connect(edit, &QLineEdit::textEdited, this, [this, edit, limit](const QString& text) {
            const QString before = current_ == text ? previous_ : current_;
            if (text.size() > limit && text.size() > before.size()) {
                const qsizetype cursor = edit->cursorPosition() - (text.size() - before.size());
                edit->setText(before);
                edit->setCursorPosition(static_cast<int>(cursor));
            }
        });
    }

private:
    QString previous_, current_;
};

}  // namespace

CSettingsDlg*& SettingsDialog() {
    static CSettingsDlg* instance = nullptr;
    return instance;
}

CSettingsDlg::CSettingsDlg(QWidget* parent)
    : CDialog(129, parent),
      // Both of its requests (settings at opening, information at closing) go out while the
      // dialog goes on: five paced copies would hold it for half a second.
      sendCommand([](int selector) { SendCommandInBackground(selector); }),
      runConfirmation([] {
          if (PasswordDialog() != nullptr) {
              PasswordDialog()->DoModal();
          }
      }),
      launchWeb([this](const std::string& address) { LaunchWebConfiguration(this, address); }) {
    MapCommand(1011, ControlEvent::Clicked, [this] { OnSaveRestart(); });
    MapCommand(1024, ControlEvent::Clicked, [this] { OnLaunchWeb(); });
    auto radio = [this](int on, int off) {
        if (auto* b = qobject_cast<QRadioButton*>(GetDlgItem(on))) {
            b->setChecked(true);
        }
        if (auto* b = qobject_cast<QRadioButton*>(GetDlgItem(off))) {
            b->setChecked(false);
        }
    };
    MapCommand(1021, ControlEvent::Clicked, [radio] { radio(1021, 1022); });
    MapCommand(1022, ControlEvent::Clicked, [radio] { radio(1022, 1021); });
    for (int id : {1021, 1022}) {
        if (auto* b = qobject_cast<QRadioButton*>(GetDlgItem(id))) {
            b->setAutoExclusive(false);  // the handlers above do the exclusion
            connect(b, &QRadioButton::clicked, this,
                    [this, id] { Dispatch(id, ControlEvent::Clicked); });
        }
    }
    for (int id : {1015, 1017}) {
        if (auto* edit = qobject_cast<QLineEdit*>(GetDlgItem(id))) {
            edit->setMaxLength(NEW_PASSWORD_EDIT_MAX);
        }
    }
}

void CSettingsDlg::DoDataExchange(DataExchange& dx) {
    SettingsFields& f = *exchanged_;
    dx.Text(1013, f.hiddenText1013);
    dx.Text(1016, f.ssid, SSID_EDIT_MAX);
    dx.Text(1014, f.hiddenText1014);
    if (dx.save()) {
        dx.Text(1049, f.channelText, CHANNEL_TEXT_EDIT_MAX);
    } else if (!dx.failed()) {
        SelectChannel(f.channelText);
    }
    dx.Text(1015, f.newPassword);
    dx.Text(1017, f.retypePassword);
    if (!dx.failed()) {
        auto* edit = qobject_cast<QLineEdit*>(GetDlgItem(1016));
        if (edit != nullptr &&
            edit->findChild<QObject*>(QStringLiteral("typingLimit")) == nullptr) {
            new TypingLimit(edit, SSID_EDIT_MAX);
        }
    }
}

void CSettingsDlg::SelectChannel(const std::string& channelText) {
    auto* list = qobject_cast<QComboBox*>(GetDlgItem(1049));
    if (list == nullptr || channelText.empty()) {
        return;
    }
    const QString prefix =
        QString::fromLatin1(channelText.data(), static_cast<int>(channelText.size()));
    for (int i = 0; i < list->count(); ++i) {
        if (list->itemText(i).startsWith(prefix, Qt::CaseInsensitive)) {
            list->setCurrentIndex(i);
            return;
        }
    }
}

bool CSettingsDlg::Exchange(bool save, SettingsFields fields) {
    // The exchange works on a copy, so no message box is shown with the record locked.
    exchanged_ = &fields;
    const bool ok = UpdateData(save);
    exchanged_ = nullptr;
    if (save) {
        const bool arm = armApply_;
        armApply_ = false;
        Link().Update([&](LinkState& s) {
            SettingsFields& r = s.settings;
            r.hiddenText1013 = fields.hiddenText1013;
            r.ssid = fields.ssid;
            r.hiddenText1014 = fields.hiddenText1014;
            r.channelText = fields.channelText;
            r.newPassword = fields.newPassword;
            r.retypePassword = fields.retypePassword;
            // In the same lock as the pulled texts: a settings reply from now on leaves
            // them alone.
            if (arm) {
                r.applyInProgress = true;
            }
        });
    }
    return ok;
}

void CSettingsDlg::Push(const SettingsFields& fields) {
    // A reply queued before the confirmation opened must not put the placeholder back.
    if (!isVisible() || Link().Snapshot().settings.applyInProgress) {
        return;
    }
    Exchange(false, fields);
}

bool CSettingsDlg::Pull() {
    return Exchange(true, Link().Snapshot().settings);
}

bool CSettingsDlg::OnInitDialog() {
    Exchange(false, Link().Snapshot().settings);
    Link().Update([](LinkState& s) { s.settingsReceived = false; });
    sendCommand(CMD_GET_SETTINGS);
    if (auto* list = qobject_cast<QComboBox*>(GetDlgItem(1049))) {
        list->clear();
        for (int channel = 1; channel <= 11; ++channel) {
            list->addItem(QString::number(channel));
        }
        list->setCurrentIndex(-1);
    }
    const SettingsFields f = Link().Update([](LinkState& s) {
        s.settings.ssid = s.networkName;
        s.settings.channelText = s.channel;
        return s.settings;
    });
    Exchange(false, f);
    if (QWidget* first = GetDlgItem(1015)) {
        first->setFocus();
    }
    return true;
}

void CSettingsDlg::OnSaveRestart() {
    armApply_ = true;
    Pull();  // a validation failure has shown its message; go on with the fields as they are
    const SettingsFields f = Link().Update([](LinkState& s) {
        SettingsFields& r = s.settings;
        if (r.newPassword != r.retypePassword) {
            r.applyInProgress = false;
        } else if (r.newPassword == PASSWORD_PLACEHOLDER) {
            // Keeping the placeholder means keeping the current password.
            r.newPassword = r.currentPassword;
            r.retypePassword = r.currentPassword2;
        }
        return r;
    });
    if (f.newPassword != f.retypePassword) {
        ShowMessageBox(this, QStringLiteral("New passwords do not match. Please try again."),
                       QStringLiteral("Error"), QMessageBox::Critical);
        return;
    }
    // The apply pulls the controls again, so they must hold what is to be sent.
    Exchange(false, f);
    runConfirmation();
    Link().Update([](LinkState& s) { s.settings.applyInProgress = false; });
    EndDialog(IDCANCEL);
}

void CSettingsDlg::OnLaunchWeb() {
    launchWeb(Link().Snapshot().routerAddress);
}

void CSettingsDlg::OnOK() {
    if (Pull()) {
        EndDialog(IDOK);
    }
}

void CSettingsDlg::OnClose() {
    Link().Update([](LinkState& s) { s.infoReceived = false; });
    sendCommand(CMD_GET_ROUTER_INFO);
    CDialog::OnClose();
}

void CSettingsDlg::keyPressEvent(QKeyEvent* event) {
    // Enter in an edit box is the dialog's OK: pull with validation, then close.
    if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) &&
        qobject_cast<QLineEdit*>(focusWidget()) != nullptr) {
        OnOK();
        return;
    }
    CDialog::keyPressEvent(event);
}

}  // namespace linkpanel
