#include <fontconfig/fontconfig.h>

#include <QApplication>
#include <QFileInfo>
#include <thread>

#include "app/CLinkPanelApp.h"
#include "ui/Process.h"

int main(int argc, char** argv) {
    // The first dialog waits for the font configuration, whose loading (some 5 ms of parsing
    // files) needs nothing of the toolkit: it is done on another core while the toolkit starts.
    std::thread fonts([] { FcInit(); });
    QApplication application(argc, argv);
    fonts.join();
    application.setApplicationName(QFileInfo(QString::fromLocal8Bit(argv[0])).completeBaseName());
    application.setQuitOnLastWindowClosed(false);
    linkpanel::CLinkPanelApp app;
    app.InitInstance();
    // The workers still run and hold the record; ending at once spares them torn-down
    // globals. The window is gone and took the tray icon with it.
    linkpanel::ExitProcess(0);
}
