// The settings dialog and the password confirmation on the offscreen platform. Commands
// are recorded through the dialogs' seams; the apply pulls the controls as the real one does.
#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QTest>
#include <QTimer>
#include <functional>
#include <vector>

#include "../ui/BoxWatcher.h"
#include "protocol/Datagram.h"
#include "protocol/Receiver.h"
#include "state/Constants.h"
#include "state/DesktopOps.h"
#include "state/LinkState.h"
#include "ui/CPasswordDlg.h"
#include "ui/CSettingsDlg.h"

namespace linkpanel {
namespace {

// Hands the core's settings operations straight to the dialog, as QtDesktop does on the
// window thread.
class DirectDesktop : public Desktop {
public:
    CSettingsDlg* dialog = nullptr;
    void PushSettingsDialog(const SettingsFields& f) override { dialog->Push(f); }
    bool PullSettingsDialog() override { return dialog->Pull(); }
};

class SettingsTest : public ::testing::Test {
protected:
    void SetUp() override {
        Link().Reset();
        desktop.dialog = &settings;
        Link().Update([this](LinkState& s) {
            s.mainWindow = &desktop;
            s.settings = SettingsFields{};
        });
        settings.sendCommand = [this](int c) { sent.push_back(c); };
        settings.runConfirmation = [this] { password.DoModal(); };
        password.sendCommand = [this](int c) {
            sent.push_back(c);
            if (c == CMD_APPLY_SETTINGS) {
                PullSettingsDialog();
                applied = Link().Snapshot().settings;
            }
        };
    }
    void TearDown() override {
        Link().Update([](LinkState& s) { s.mainWindow = nullptr; });
    }

    // Opens the settings dialog, runs steps inside its modal loop, and returns its code.
    int Open(std::function<void()> steps) {
        QTimer::singleShot(0, [this, steps] {
            steps();
            if (settings.isVisible()) {
                settings.EndDialog(IDCANCEL);
            }
        });
        return settings.DoModal();
    }
    QLineEdit* Edit(CDialog& d, int id) { return qobject_cast<QLineEdit*>(d.GetDlgItem(id)); }
    QComboBox* Channels() { return qobject_cast<QComboBox*>(settings.GetDlgItem(1049)); }
    void DeliverSettingsReply(const std::string& password) {
        dispatcher.Handle(Reply{OP_SETTINGS_REPLY, SettingsReply{password}}, 0);
    }
    // While the confirmation is up, runs steps in it.
    void InConfirmation(std::function<void()> steps) {
        QTimer::singleShot(0, [steps] { steps(); });
    }

    DirectDesktop desktop;
    CSettingsDlg settings;
    CPasswordDlg password;
    ReplyDispatcher dispatcher;
    std::vector<int> sent;
    SettingsFields applied;
};

TEST_F(SettingsTest, ChannelSelectionIsFirstItemBeginningWithTheText) {
    const struct {
        const char* channel;
        int index;
    } cases[] = {{"1", 0}, {"10", 9}, {"", -1}, {"12", -1}};
    for (const auto& c : cases) {
        Link().Update([&](LinkState& s) { s.channel = c.channel; });
        Open([&] {
            EXPECT_EQ(Channels()->count(), 11) << c.channel;
            EXPECT_EQ(Channels()->currentIndex(), c.index) << c.channel;
        });
    }
    // At a later push an unmatched text keeps the current selection.
    Link().Update([](LinkState& s) { s.channel = "6"; });
    Open([&] {
        SettingsFields f = Link().Snapshot().settings;
        f.channelText = "12";
        settings.Push(f);
        EXPECT_EQ(Channels()->currentText(), "6");
    });
}

TEST_F(SettingsTest, OpeningAsksForSettingsAndShowsTheMainWindowsNetwork) {
    Link().Update([](LinkState& s) {
        s.networkName = "home";
        s.settingsReceived = true;
    });
    Open([&] {
        EXPECT_EQ(Edit(settings, 1016)->text(), "home");
        EXPECT_FALSE(Link().Snapshot().settingsReceived);
        DeliverSettingsReply("secret");
        EXPECT_EQ(Edit(settings, 1015)->text(), PASSWORD_PLACEHOLDER);
        EXPECT_EQ(Edit(settings, 1017)->text(), PASSWORD_PLACEHOLDER);
        // Only the first reply after the opening is taken.
        DeliverSettingsReply("other");
        EXPECT_EQ(Link().Snapshot().settings.currentPassword, "secret");
    });
    EXPECT_EQ(sent, std::vector<int>{CMD_GET_SETTINGS});
    Edit(settings, 1016)->clear();
    QTest::keyClicks(Edit(settings, 1016), QString(40, 'a'));
    EXPECT_EQ(Edit(settings, 1016)->text().size(), SSID_EDIT_MAX);
    EXPECT_EQ(Edit(settings, 1015)->maxLength(), NEW_PASSWORD_EDIT_MAX);
    EXPECT_EQ(Edit(settings, 1017)->maxLength(), NEW_PASSWORD_EDIT_MAX);
}

TEST_F(SettingsTest, MismatchKeepsTheDialogOpenWithTheTypedTexts) {
    SeenBox box;
    Open([&] {
        Edit(settings, 1015)->setText("abc");
        Edit(settings, 1017)->setText("abd");
        AnswerNextBox(box);
        settings.OnSaveRestart();
        EXPECT_TRUE(settings.isVisible());
        EXPECT_EQ(Edit(settings, 1015)->text(), "abc");
        EXPECT_EQ(Edit(settings, 1017)->text(), "abd");
    });
    EXPECT_TRUE(box.seen);
    EXPECT_EQ(box.text, "New passwords do not match. Please try again.");
    EXPECT_EQ(box.caption, "Error");
    EXPECT_EQ(box.icon, QMessageBox::Critical);
    EXPECT_EQ(sent, std::vector<int>{CMD_GET_SETTINGS});
    EXPECT_FALSE(Link().Snapshot().settings.applyInProgress);
}

TEST_F(SettingsTest, PlaceholderKeepsTheCurrentPasswordAndTheRightOneSendsAndEmpties) {
    Link().Update([](LinkState& s) {
        s.networkName = "home";
        s.channel = "3";
        s.routerName = "gw";
        s.wepState = "on";
        s.routerAddress = "192.168.2.1";
        s.connectionType = "Dynamic IP Address";
    });
    SetLinkPicture(LinkPicture::PcRouter, true);
    std::string shownBeforeApply;
    const int code = Open([&] {
        DeliverSettingsReply("secret");
        Edit(settings, 1016)->setText("newnet");
        Channels()->setCurrentIndex(10);
        InConfirmation([&] {
            shownBeforeApply = Edit(settings, 1015)->text().toStdString();
            Edit(password, 1051)->setText("secret");
            password.OnConfirm();
        });
        settings.OnSaveRestart();
    });
    EXPECT_EQ(code, IDCANCEL);
    EXPECT_EQ(shownBeforeApply, "secret");  // pushed before the apply pulls the controls
    EXPECT_EQ(sent, (std::vector<int>{CMD_GET_SETTINGS, CMD_APPLY_SETTINGS}));
    EXPECT_EQ(applied.newPassword, "secret");
    EXPECT_EQ(applied.ssid, "newnet");
    EXPECT_EQ(applied.channelText, "11");
    const LinkState s = Link().Snapshot();
    for (const std::string* field : {&s.networkName, &s.routerName, &s.channel, &s.wepState,
                                     &s.routerAddress, &s.connectionType}) {
        EXPECT_EQ(*field, "");
    }
    EXPECT_FALSE(s.linkPcRouter);
    EXPECT_FALSE(s.linkRouterIsp);
    EXPECT_FALSE(s.settings.applyInProgress);
    EXPECT_EQ(Edit(password, 1051)->text(), "");
}

TEST_F(SettingsTest, LongSsidFromTheRouterFailsValidationAndStopsTheExchange) {
    const std::string longName(40, 'n');
    Link().Update([&](LinkState& s) {
        s.networkName = longName;
        s.settings.newPassword = "kept";
    });
    SeenBox box;
    Open([&] {
        // The push does not shorten it; the limit stops only typing.
        EXPECT_EQ(Edit(settings, 1016)->text().size(), 40);
        QTest::keyClicks(Edit(settings, 1016), "x");
        EXPECT_EQ(Edit(settings, 1016)->text().toStdString(), longName);
        Edit(settings, 1015)->setText("typed");
        AnswerNextBox(box);
        EXPECT_FALSE(settings.Pull());
        EXPECT_EQ(settings.focusWidget(), Edit(settings, 1016));
        EXPECT_EQ(Edit(settings, 1016)->selectedText().size(), 40);
    });
    EXPECT_EQ(box.text, "Please enter no more than 32 characters.");
    const SettingsFields f = Link().Snapshot().settings;
    EXPECT_EQ(f.ssid, longName);       // not pulled over
    EXPECT_EQ(f.newPassword, "kept");  // after the failing field: untouched
}

TEST_F(SettingsTest, WrongOldPasswordEmptiesTheEditAndKeepsTheFocus) {
    Link().Update([](LinkState& s) { s.routerPassword = "secret"; });
    SeenBox box;
    bool stillOpen = false;
    QWidget* focus = nullptr;
    QTimer::singleShot(0, [&] {
        Edit(password, 1051)->setText("wrong");
        AnswerNextBox(box);
        password.OnConfirm();
        stillOpen = password.isVisible();
        focus = password.focusWidget();
        password.EndDialog(IDCANCEL);
    });
    password.DoModal();
    EXPECT_EQ(box.text, "Old Password incorrect. Please try again.");
    EXPECT_EQ(box.caption, "Error");
    EXPECT_TRUE(stillOpen);
    EXPECT_EQ(focus, Edit(password, 1051));
    EXPECT_EQ(Edit(password, 1051)->text(), "");
    EXPECT_EQ(Edit(password, 1051)->maxLength(), PASSWORD_EDIT_MAX);
    EXPECT_TRUE(sent.empty());
}

TEST_F(SettingsTest, CancelInTheConfirmationClosesTheSettingsWithNothingSent) {
    const int code = Open([&] {
        InConfirmation([&] { QTest::keyClick(&password, Qt::Key_Escape); });
        settings.OnSaveRestart();
        EXPECT_FALSE(settings.isVisible());
    });
    EXPECT_EQ(code, IDCANCEL);
    EXPECT_EQ(sent, std::vector<int>{CMD_GET_SETTINGS});
}

TEST_F(SettingsTest, CloseBoxAsksForRouterInformationAndEscapeDoesNot) {
    Open([&] { QTest::keyClick(&settings, Qt::Key_Escape); });
    EXPECT_EQ(sent, std::vector<int>{CMD_GET_SETTINGS});
    sent.clear();
    Link().Update([](LinkState& s) { s.infoReceived = true; });
    Open([&] { settings.close(); });
    EXPECT_EQ(sent, (std::vector<int>{CMD_GET_SETTINGS, CMD_GET_ROUTER_INFO}));
    EXPECT_FALSE(Link().Snapshot().infoReceived);
}

// A settings reply that arrives while the confirmation is open (the first one after the
// opening, so it is taken) must not bring the placeholder back into what is applied.
TEST_F(SettingsTest, SettingsReplyDuringTheConfirmationDoesNotChangeTheApply) {
    Link().Update([](LinkState& s) { s.routerPassword = "old"; });
    Open([&] {
        Edit(settings, 1015)->setText("fresh");
        Edit(settings, 1017)->setText("fresh");
        InConfirmation([&] {
            DeliverSettingsReply("old");
            EXPECT_EQ(Edit(settings, 1015)->text(), "fresh");
            Edit(password, 1051)->setText("old");
            password.OnConfirm();
        });
        settings.OnSaveRestart();
    });
    EXPECT_EQ(applied.newPassword, "fresh");
    EXPECT_EQ(applied.retypePassword, "fresh");
    EXPECT_FALSE(Link().Snapshot().settings.applyInProgress);
}

}  // namespace
}  // namespace linkpanel
