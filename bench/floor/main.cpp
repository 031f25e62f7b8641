// The reference for the monitor's resident cost: the least Qt Widgets program that does
// what the monitor's desktop does. A tray icon with a three-line tooltip, a fixed dialog of
// 25 labels shown at start and hidden after 200 ms, and a 6000 ms timer that changes the
// tooltip. No network, no threads.
#include <QApplication>
#include <QDialog>
#include <QLabel>
#include <QPainter>
#include <QPixmap>
#include <QSystemTrayIcon>
#include <QTimer>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QDialog dialog;
    dialog.setWindowTitle("floor");
    dialog.setFixedSize(420, 360);
    for (int i = 0; i < 25; ++i) {
        auto* label = new QLabel(QStringLiteral("Label number %1").arg(i), &dialog);
        label->setGeometry(10 + (i % 2) * 200, 10 + (i / 2) * 26, 190, 20);
    }
    QPixmap picture(32, 32);
    picture.fill(Qt::transparent);
    {
        QPainter p(&picture);
        p.setBrush(Qt::darkGreen);
        p.drawEllipse(2, 2, 28, 28);
    }
    QSystemTrayIcon tray{QIcon(picture)};
    tray.setToolTip("Router : Not connected\nISP : Not connected\nNetwork name : NULL");
    tray.show();
    dialog.show();
    QTimer::singleShot(200, &dialog, &QDialog::hide);
    int ticks = 0;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, [&] {
        tray.setToolTip(QStringLiteral(" Router : Connected \n ISP : Connected \n Network name : %1")
                            .arg(++ticks % 2 ? "wireless" : "NULL"));
    });
    poll.start(6000);
    return app.exec();
}
