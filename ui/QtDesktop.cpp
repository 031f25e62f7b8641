#include "ui/QtDesktop.h"

#include <QEvent>
#include <QThread>

#include "ui/CLinkPanelDlg.h"
#include "ui/MessageBox.h"
#include "ui/TrayIcon.h"

namespace linkpanel {

QtDesktop::QtDesktop(CLinkPanelDlg* window, QObject* parent) : QObject(parent), window_(window) {
    windowShown_ = window_->isVisible();
    window_->installEventFilter(this);
}

void QtDesktop::PushMainWindow(const LinkState& fields) {
    std::uint64_t number = 0;
    {
        std::lock_guard lock(pushMutex_);
        number = ++pushes_;
        if (!windowShown_) {
            // Nothing a hidden window shows can be seen: a searching monitor pushes a new
            // local address at every cycle and need not wake the window's thread for it.
            waiting_ = fields;
            waitingNumber_ = number;
            return;
        }
    }
    QMetaObject::invokeMethod(
        this, [this, s = fields, number] { Apply(s, number); }, Qt::QueuedConnection);
}

void QtDesktop::Apply(const LinkState& fields, std::uint64_t number) {
    // A push queued before the window hid must not undo a later one taken at its showing.
    if (number < applied_) {
        return;
    }
    applied_ = number;
    window_->PushFrom(fields);
}

bool QtDesktop::eventFilter(QObject* watched, QEvent* event) {
    if (watched == window_ && (event->type() == QEvent::Show || event->type() == QEvent::Hide)) {
        std::optional<LinkState> fields;
        std::uint64_t number = 0;
        {
            std::lock_guard lock(pushMutex_);
            windowShown_ = event->type() == QEvent::Show;
            fields.swap(waiting_);
            number = waitingNumber_;
        }
        if (fields) {
            Apply(*fields, number);
        }
    }
    return QObject::eventFilter(watched, event);
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
