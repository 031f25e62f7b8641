#include "ui/WebLauncher.h"

#include <QPointer>
#include <QProcess>
#include <QWidget>

#include "ui/MessageBox.h"

namespace linkpanel {

void LaunchWebConfiguration(QWidget* owner, const std::string& routerAddress,
                            const QString& launcher) {
    // The first request of the pair, exploring the bare "http://", names no page and has
    // no counterpart here: handing it to the launcher would at best open a second, empty
    // browser window. It is dropped; only the open request below is made.
    const QString url =
        QStringLiteral("http://") +
        QString::fromLatin1(routerAddress.data(), static_cast<int>(routerAddress.size()));
    auto* process = new QProcess(owner);
    QPointer<QWidget> guard(owner);
    auto fail = [guard] {
        ShowMessageBox(guard, QStringLiteral("Can not launch WEB Configuration..."),
                       QStringLiteral("ERROR"), QMessageBox::Critical);
    };
    QObject::connect(process, &QProcess::errorOccurred, process,
                     [process, fail](QProcess::ProcessError error) {
                         if (error == QProcess::FailedToStart) {
                             process->deleteLater();
                             fail();
                         }
                     });
    QObject::connect(process, &QProcess::finished, process,
                     [process, fail](int code, QProcess::ExitStatus status) {
                         process->deleteLater();
                         if (status != QProcess::NormalExit || code != 0) {
                             fail();
                         }
                     });
    process->setProcessChannelMode(QProcess::ForwardedChannels);
    process->start(launcher, {url});
}

}  // namespace linkpanel
