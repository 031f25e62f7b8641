// Drives TrayIcon alone, for the tray tests under a real X server: reads commands on stdin
// ("add TIP", "modify 128|175 TIP", "remove"; TIP may hold \n escapes) and prints what the
// icon reports ("notify N", "command N", "shown 0|1"). Menu "Exit" removes the icon and
// ends the process with code 0, as the program does.
#include <QApplication>
#include <QSocketNotifier>

#include <unistd.h>

#include <cstdio>
#include <string>

#include "ui/Process.h"
#include "ui/TrayIcon.h"

using linkpanel::TrayIcon;
using linkpanel::TrayPicture;

namespace {

QString Unescape(QString text) {
    return text.replace(QStringLiteral("\\n"), QStringLiteral("\n"));
}

void Say(const char* what, int value) {
    std::printf("%s %d\n", what, value);
    std::fflush(stdout);
}

}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    app.setQuitOnLastWindowClosed(false);
    TrayIcon tray;
    QObject::connect(&tray, &TrayIcon::notify, [](int message) { Say("notify", message); });
    QObject::connect(&tray, &TrayIcon::command, [&tray](int id) {
        Say("command", id);
        if (id == linkpanel::ID_TRAY_EXIT) {
            tray.Remove();
            linkpanel::ExitProcess(0);
        }
    });

    std::string pending;
    QSocketNotifier input(STDIN_FILENO, QSocketNotifier::Read);
    QObject::connect(&input, &QSocketNotifier::activated, [&] {
        char buffer[512];
        const ssize_t n = read(STDIN_FILENO, buffer, sizeof buffer);
        if (n <= 0) {
            input.setEnabled(false);
            return;
        }
        pending.append(buffer, static_cast<size_t>(n));
        for (size_t end; (end = pending.find('\n')) != std::string::npos;
             pending.erase(0, end + 1)) {
            const QString line = QString::fromStdString(pending.substr(0, end));
            const QString verb = line.section(u' ', 0, 0);
            if (verb == QLatin1String("add")) {
                tray.Add(Unescape(line.section(u' ', 1)));
            } else if (verb == QLatin1String("modify")) {
                const auto picture = line.section(u' ', 1, 1) == QLatin1String("128")
                                         ? TrayPicture::Connected
                                         : TrayPicture::NotConnected;
                tray.Modify(picture, Unescape(line.section(u' ', 2)));
            } else if (verb == QLatin1String("remove")) {
                tray.Remove();
            }
            Say("shown", tray.IsShown() ? 1 : 0);
        }
    });
    return app.exec();
}
