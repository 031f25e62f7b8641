// The desktop tests need a widget application (pictures, the tray menu, the event loop), on the
// offscreen platform so that no display is involved.
#include <QApplication>

#include <cstdlib>

#include <gtest/gtest.h>

int main(int argc, char** argv) {
    setenv("QT_QPA_PLATFORM", "offscreen", 1);
    unsetenv("DBUS_SESSION_BUS_ADDRESS");
    QApplication app(argc, argv);
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
