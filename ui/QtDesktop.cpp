#include "ui/QtDesktop.h"

#include <QThread>

#include "ui/CLinkPanelDlg.h"
#include "ui/MessageBox.h"
#include "ui/TrayIcon.h"

namespace linkpanel {

QtDesktop::QtDesktop(CLinkPanelDlg* window, QObject* parent) : QObject(parent), window_(window) {}

void QtDesktop::PushMainWindow(const LinkState& fields) {
    QMetaObject::invokeMethod(
        this, [this, s = fields] { window_->PushFrom(s); }, Qt::QueuedConnection);
}

void QtDesktop::SetLinkPicture(LinkPicture which, bool shown) {
    QMetaObject::invokeMethod(
        this, [this, which, shown] { window_->SetLinkPicture(which, shown); },
        Qt::QueuedConnection);
}

void QtDesktop::UpdateTrayIcon(const std::string& tip, TrayPicture picture) {
    QMetaObject::invokeMethod(
        this,
        [this, text = QString::fromLatin1(tip.data(), static_cast<int>(tip.size())), picture] {
            window_->tray()->Modify(picture, text);
        },
        Qt::QueuedConnection);
}

void QtDesktop::PushSettingsDialog(const SettingsFields& fields) {
    QMetaObject::invokeMethod(
        this,
        [this, f = fields] {
            if (settings_ != nullptr) {
                settings_->Push(f);
            }
        },
        Qt::QueuedConnection);
}

bool QtDesktop::PullSettingsDialog() {
    bool ok = true;
    auto pull = [this, &ok] {
        if (settings_ != nullptr) {
            ok = settings_->Pull();
        }
    };
    if (QThread::currentThread() == thread()) {
        pull();
    } else {
        QMetaObject::invokeMethod(this, pull, Qt::BlockingQueuedConnection);
    }
    return ok;
}

void QtDesktop::ShowPppoeAlert() {
    Q_ASSERT(QThread::currentThread() != thread());
    QMetaObject::invokeMethod(
        this,
        [] {
            ShowMessageBox(nullptr,
                           QStringLiteral("PPPoE server has no response.\n\nPlease check your "
                                          "DSL connection or reset the DSL modem."),
                           QStringLiteral("Wavecastor 6851 Control Utility"),
                           QMessageBox::Information, true);
        },
        Qt::BlockingQueuedConnection);
}

}  // namespace linkpanel
