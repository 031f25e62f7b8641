#include <gtest/gtest.h>

#include <QCheckBox>
#include <QContextMenuEvent>
#include <QElapsedTimer>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <thread>
#include <vector>

#include "BoxWatcher.h"
#include "state/LinkState.h"
#include "ui/CLinkPanelDlg.h"
#include "ui/QtDesktop.h"

using namespace linkpanel;

namespace {

// The main window without its start-up sequence, its commands recorded instead of sent.
struct Window {
    CLinkPanelDlg dlg{false};
    std::vector<int> sent;
    Window() {
        dlg.sendCommand = [this](int selector) { sent.push_back(selector); };
    }
    QString Text(int id) { return qobject_cast<QLabel*>(dlg.GetDlgItem(id))->text(); }
};

// Runs `during` once the modal loop is up; returns the end code.
int RunModal(CLinkPanelDlg& dlg, std::function<void()> during) {
    QTimer::singleShot(0, during);
    QTimer::singleShot(3000, [&dlg] { dlg.EndDialog(-99); });  // a hang would end here
    return dlg.DoModal();
}

}  // namespace

TEST(MainWindow, InitialPushBlanksEveryBoundLabel) {
    Window w;
    RunModal(w.dlg, [&] {
        for (int id : {1005, 1006, 1007, 1008, 1009, 1012, 1047}) {
            EXPECT_EQ(w.Text(id), "") << id;
        }
        w.dlg.EndDialog(IDOK);
    });
}

TEST(MainWindow, CloseHidesUntilTheCloseChannelSpoke) {
    Window w;
    bool hiddenByClose = false;
    SeenBox hi;
    const int code = RunModal(w.dlg, [&] {
        w.dlg.close();
        hiddenByClose = !w.dlg.isVisible();
        w.dlg.show();
        AnswerNextBox(hi);
        w.dlg.OnCopyData();
        w.dlg.close();  // now for real
    });
    EXPECT_TRUE(hiddenByClose);
    EXPECT_EQ(code, IDCANCEL);
    EXPECT_TRUE(hi.seen);
    EXPECT_EQ(hi.text, "hi");
    EXPECT_EQ(hi.icon, QMessageBox::Warning);
    EXPECT_EQ(hi.caption, QCoreApplication::applicationName());
    EXPECT_TRUE(Link().Snapshot().exitAllowed);
    Link().Reset();
}

TEST(MainWindow, EscapeEndsTheRun) {
    Window w;
    const int code = RunModal(w.dlg, [&] {
        QKeyEvent press(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
        QApplication::sendEvent(&w.dlg, &press);
    });
    EXPECT_EQ(code, IDCANCEL);
}

// A tray double-click and the menu's "Open" ask the router again and show the window.
TEST(MainWindow, OpenAsksForRouterInformationAndShows) {
    const std::function<void(CLinkPanelDlg&)> opens[] = {
        [](CLinkPanelDlg& d) { d.OnTrayNotify(515); },
        [](CLinkPanelDlg& d) { d.OnTrayCommand(32782); }};
    for (const auto& open : opens) {
        Window w;
        Link().Update([](LinkState& s) { s.infoReceived = true; });
        bool shown = false;
        RunModal(w.dlg, [&] {
            w.dlg.hide();
            open(w.dlg);
            shown = w.dlg.isVisible();
            w.dlg.EndDialog(IDOK);
        });
        EXPECT_EQ(w.sent, std::vector<int>{2});
        EXPECT_FALSE(Link().Snapshot().infoReceived);
        EXPECT_TRUE(shown);
        w.sent.clear();
        w.dlg.OnTrayNotify(516);  // the menu is the tray's; nothing is sent
        w.dlg.OnTrayNotify(513);
        EXPECT_TRUE(w.sent.empty());
    }
    Link().Reset();
}

// The core's pushes come from worker threads and land on the window thread, 8-bit text
// shown as Latin-1.
TEST(MainWindow, DesktopPushesFromAWorkerReachTheControls) {
    Window w;
    w.dlg.show();
    QtDesktop desktop(&w.dlg);
    LinkState s;
    s.routerName = "R\xe9seau";
    s.networkName = "wireless";
    s.channel = "6";
    s.wepState = "Disabled";
    s.routerAddress = "192.168.1.1";
    s.localAddress = "192.168.1.7";
    s.connectionType = "PPPoE";
    s.autoRun = true;
    w.dlg.UpdateData(false);  // as the window's own initialisation leaves it
    w.dlg.SetLinkPicture(LinkPicture::RouterIsp, false);
    std::thread worker([&] {
        desktop.PushMainWindow(s);
        desktop.SetLinkPicture(LinkPicture::PcRouter, true);
    });
    worker.join();
    EXPECT_EQ(w.Text(1005), "");  // queued, not yet run
    QCoreApplication::processEvents();
    EXPECT_EQ(w.Text(1005), QString::fromUtf8("R\u00e9seau"));
    EXPECT_EQ(w.Text(1006), "wireless");
    EXPECT_EQ(w.Text(1007), "6");
    EXPECT_EQ(w.Text(1008), "Disabled");
    EXPECT_EQ(w.Text(1009), "192.168.1.1");
    EXPECT_EQ(w.Text(1012), "192.168.1.7");
    EXPECT_EQ(w.Text(1047), "PPPoE");
    EXPECT_TRUE(qobject_cast<QCheckBox*>(w.dlg.GetDlgItem(1027))->isChecked());
    EXPECT_TRUE(w.dlg.LinkPictureShown(LinkPicture::PcRouter));
    EXPECT_FALSE(w.dlg.LinkPictureShown(LinkPicture::RouterIsp));
    desktop.SetLinkPicture(LinkPicture::PcRouter, false);
    QCoreApplication::processEvents();
    EXPECT_FALSE(w.dlg.LinkPictureShown(LinkPicture::PcRouter));
    w.dlg.hide();
}

// While the window is hidden, pushes wake nothing; its showing brings the latest fields, and
// a push queued before it hid cannot undo them.
TEST(MainWindow, PushesWhileHiddenWaitForTheShowing) {
    Window w;
    QtDesktop desktop(&w.dlg);
    auto push = [&desktop](const char* local) {
        LinkState s;
        s.localAddress = local;
        std::thread([&desktop, s] { desktop.PushMainWindow(s); }).join();
    };
    const QString before = w.Text(1012);
    push("10.0.0.5");
    push("192.168.2.10");
    QCoreApplication::processEvents();
    EXPECT_EQ(w.Text(1012), before);
    w.dlg.show();
    EXPECT_EQ(w.Text(1012), "192.168.2.10");

    push("10.0.0.5");  // queued while shown, not yet run
    w.dlg.hide();
    push("192.168.2.10");
    w.dlg.show();
    QCoreApplication::processEvents();
    EXPECT_EQ(w.Text(1012), "192.168.2.10");
    w.dlg.hide();
}

TEST(MainWindow, PppoeAlertBlocksTheWorkerUntilDismissed) {
    Window w;
    QtDesktop desktop(&w.dlg);
    SeenBox alert;
    AnswerNextBox(alert);
    std::atomic<bool> returned{false};
    std::thread worker([&] {
        desktop.ShowPppoeAlert();
        returned = true;
    });
    while (!returned) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    }
    worker.join();
    EXPECT_EQ(alert.text,
              "PPPoE server has no response.\n\nPlease check your DSL connection or reset the DSL "
              "modem.");
    EXPECT_EQ(alert.caption, "Wavecastor 6851 Control Utility");
    EXPECT_EQ(alert.icon, QMessageBox::Information);
}

// The window manager owns the title-bar menu, so the About item is on the window's own
// context menu, after a separator, and opens the About box.
TEST(MainWindow, ContextMenuOpensTheAboutBox) {
    Window w;
    QStringList items;
    QString aboutTitle;
    QTimer::singleShot(0, [&] {
        QWidget* popup = QApplication::activePopupWidget();
        auto* menu = qobject_cast<QMenu*>(popup);
        ASSERT_NE(menu, nullptr);
        for (QAction* a : menu->actions()) {
            items << (a->isSeparator() ? QStringLiteral("-") : a->text());
        }
        QTimer::singleShot(0, [&] {
            for (QWidget* t : QApplication::topLevelWidgets()) {
                if (t->isVisible() && t->windowTitle() == "About LinkPanel") {
                    aboutTitle = t->windowTitle();
                    QKeyEvent press(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
                    QApplication::sendEvent(t, &press);
                }
            }
        });
        menu->actions().last()->trigger();
        menu->close();
    });
    w.dlg.show();
    QContextMenuEvent event(QContextMenuEvent::Mouse, QPoint(5, 5),
                            w.dlg.mapToGlobal(QPoint(5, 5)));
    QApplication::sendEvent(&w.dlg, &event);
    EXPECT_EQ(items, QStringList({"-", "&About LinkPanel..."}));
    EXPECT_EQ(aboutTitle, "About LinkPanel");
}

// Opening asks for the router's information, five copies 100 ms apart: the window is on
// screen without waiting for them.
TEST(MainWindow, OpenDoesNotWaitForTheRequestsCopies) {
    CLinkPanelDlg dlg{false};  // the real sender; with no endpoint open it only paces
    QElapsedTimer opening;
    opening.start();
    dlg.OnTrayNotify(515);  // a double-click on the icon
    const qint64 took = opening.elapsed();
    EXPECT_TRUE(dlg.isVisible());
    EXPECT_LT(took, 250) << "Open held the window's thread for " << took << " ms";
    dlg.hide();
}
