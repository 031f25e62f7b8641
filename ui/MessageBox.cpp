#include "ui/MessageBox.h"

#include <QCoreApplication>
#include <QFileInfo>

namespace linkpanel {

QString ApplicationName() {
    QStringList args = QCoreApplication::arguments();
    if (!args.isEmpty()) {
        return QFileInfo(args.first()).completeBaseName();
    }
    return QCoreApplication::applicationName();
}

int ShowMessageBox(QWidget* owner, const QString& text, const QString& caption,
                   QMessageBox::Icon icon, bool systemModal) {
    QMessageBox box(icon, caption, text, QMessageBox::Ok, owner);
    if (systemModal) {
        box.setWindowModality(Qt::ApplicationModal);
        box.setWindowFlag(Qt::WindowStaysOnTopHint, true);
    }
    return box.exec();
}

}  // namespace linkpanel
