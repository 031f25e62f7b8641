#include <QApplication>
#include <QFileInfo>

#include "app/CLinkPanelApp.h"
#include "ui/Process.h"

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    application.setApplicationName(QFileInfo(QString::fromLocal8Bit(argv[0])).completeBaseName());
    application.setQuitOnLastWindowClosed(false);
    linkpanel::CLinkPanelApp app;
    app.InitInstance();
    // The workers still run and hold the record; ending at once spares them torn-down
    // globals. The window is gone and took the tray icon with it.
    linkpanel::ExitProcess(0);
}
