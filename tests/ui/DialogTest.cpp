#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QFontMetrics>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QStyle>

#include "BoxWatcher.h"
#include "res/Templates.h"
#include "ui/CDialog.h"

using namespace linkpanel;

TEST(DialogUnits, ConvertWithRoundingOfTheBaseUnits) {
    // x: 4 units per average character width, y: 8 units per line height, rounded.
    const BaseUnits units{6, 13};
    EXPECT_EQ(DialogUnitsToPixels(units, 10, 8, 20, 20), QRect(15, 13, 30, 33));
    EXPECT_EQ(DialogUnitsToPixels(units, 281, 222, 0, 0).topLeft(), QPoint(422, 361));
}

TEST(DialogUnits, BaseWidthIsTheAverageOfTheFiftyTwoLetters) {
    const QFont font = DialogFont("MS Sans Serif", 8);
    const int total = QFontMetrics(font).horizontalAdvance(
        QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz"));
    const BaseUnits units = DialogBaseUnits(font);
    EXPECT_EQ(units.x, (total + 26) / 52);
    EXPECT_EQ(units.y, QFontMetrics(font).height());
}

TEST(Templates, EveryDialogAndTheTrayMenu) {
    struct Case {
        int id;
        const char* caption;
        int width, height, controls;
    } cases[] = {{100, "About LinkPanel", 235, 92, 5},
                 {102, "Wavecastor 6851 Control Utility", 281, 222, 27},
                 {129, "Settings", 213, 126, 22},
                 {154, "Input Password", 166, 62, 4},
                 {155, "TroubleShooting Tips", 284, 251, 25}};
    for (const Case& c : cases) {
        const DialogTemplate* t = FindDialogTemplate(c.id);
        ASSERT_NE(t, nullptr) << c.id;
        EXPECT_STREQ(t->caption, c.caption);
        EXPECT_EQ(t->width, c.width) << c.id;
        EXPECT_EQ(t->height, c.height) << c.id;
        EXPECT_EQ(static_cast<int>(t->controls.size()), c.controls) << c.id;
    }
    EXPECT_EQ(FindDialogTemplate(101), nullptr);
    EXPECT_STREQ(LoadStringResource(IDS_ABOUTBOX), "&About LinkPanel...");
    const MenuTemplate& menu = TrayMenuTemplate();
    ASSERT_EQ(menu.items.size(), 4u);
    EXPECT_EQ(menu.items[0].id, 32782);
    EXPECT_STREQ(menu.items[0].text, "Open");
    EXPECT_EQ(menu.items[1].id, 0);
    EXPECT_EQ(menu.items[2].id, 32786);
    EXPECT_STREQ(menu.items[2].text, "Exit");
    EXPECT_EQ(menu.items[3].id, 0);
}

TEST(Templates, ControlsArePlacedFromDialogUnits) {
    CDialog dialog(102);
    const BaseUnits& u = dialog.Units();
    EXPECT_EQ(dialog.size(), DialogUnitsToPixels(u, 0, 0, 281, 222).size());
    struct Case {
        int id, x, y, w, h;
        const char* text;
    } cases[] = {{1000, 164, 205, 73, 14, "Options"},
                 {1053, 44, 205, 73, 14, "TroubleShooting Tips"},
                 {1047, 103, 105, 161, 8, "Unknown"},
                 {1005, 104, 120, 155, 8, "Unknown"}};
    for (const Case& c : cases) {
        QWidget* w = dialog.GetDlgItem(c.id);
        ASSERT_NE(w, nullptr) << c.id;
        EXPECT_EQ(w->geometry(), DialogUnitsToPixels(u, c.x, c.y, c.w, c.h)) << c.id;
    }
    EXPECT_TRUE(dialog.GetDlgItem(1012)->isHidden());
    EXPECT_TRUE(dialog.GetDlgItem(1027)->isHidden());
    EXPECT_FALSE(dialog.GetDlgItem(1005)->isHidden());
}

// Every fixed text, in its dialog's font, inside its box once the box is in pixels.
TEST(Templates, EveryFixedTextFitsItsBox) {
    for (const DialogTemplate* t : AllDialogTemplates()) {
        const QFont font = DialogFont(t->fontFace, t->fontPoints);
        const QFontMetrics metrics(font);
        const BaseUnits units = DialogBaseUnits(font);
        for (const ControlTemplate& c : t->controls) {
            const QString text = QString::fromLatin1(c.text).remove(QLatin1Char('&'));
            if (text.isEmpty() || (c.styles & STYLE_HIDDEN)) {
                continue;
            }
            const QRect box = DialogUnitsToPixels(units, c.x, c.y, c.width, c.height);
            int room = box.width();
            if (c.kind == ControlKind::PushButton || c.kind == ControlKind::DefaultPushButton) {
                room -= 4;  // the button's frame
            } else if (c.kind == ControlKind::GroupBox) {
                room -= 16;  // title inset
            }
            EXPECT_LE(metrics.horizontalAdvance(text), room) << t->id << " \"" << c.text << "\"";
            EXPECT_LE(metrics.height(), box.height()) << t->id << " \"" << c.text << "\"";
        }
    }
}

namespace {
// The settings dialog's SSID exchange in miniature: 1013, 1016 (at most 32), 1014.
class ExchangeDialog : public CDialog {
public:
    ExchangeDialog() : CDialog(129) {}
    std::string hidden = "a", ssid = "b", after = "c";
    using CDialog::OnInitDialog;

protected:
    void DoDataExchange(DataExchange& dx) override {
        dx.Text(1013, hidden);
        dx.Text(1016, ssid, 32);
        dx.Text(1014, after);
    }
};
}  // namespace

TEST(DataExchange, PushThenPullRoundTrips) {
    ExchangeDialog d;
    d.hidden = "x";
    d.ssid = std::string("caf\xe9", 4);
    d.after = "z";
    d.UpdateData(false);
    EXPECT_EQ(qobject_cast<QLabel*>(d.GetDlgItem(1013))->text(), "x");
    EXPECT_EQ(qobject_cast<QLineEdit*>(d.GetDlgItem(1016))->text(), QString::fromUtf8("caf\u00e9"));
    d.ssid.clear();
    EXPECT_TRUE(d.UpdateData(true));
    EXPECT_EQ(d.ssid, std::string("caf\xe9", 4));
}

TEST(DataExchange, TooLongTextStopsTheExchangeWithTheMessage) {
    ExchangeDialog d;
    d.show();
    auto* ssidBox = qobject_cast<QLineEdit*>(d.GetDlgItem(1016));
    auto* afterBox = qobject_cast<QLineEdit*>(d.GetDlgItem(1014));
    ssidBox->setText(QString(33, QLatin1Char('s')));
    afterBox->setText("new");
    SeenBox seen;
    AnswerNextBox(seen);
    EXPECT_FALSE(d.UpdateData(true));
    ASSERT_TRUE(seen.seen);
    EXPECT_EQ(seen.text, "Please enter no more than 32 characters.");
    EXPECT_EQ(seen.icon, QMessageBox::Warning);
    EXPECT_EQ(seen.caption, QCoreApplication::applicationName());
    EXPECT_EQ(d.ssid, "b");
    EXPECT_EQ(d.after, "c");  // after the failed field: untouched
    EXPECT_EQ(ssidBox->selectedText(), QString(33, QLatin1Char('s')));

    ssidBox->setText(QString(32, QLatin1Char('s')));
    EXPECT_TRUE(d.UpdateData(true));
    EXPECT_EQ(d.after, "new");
}

TEST(Dialog, EscapeCancelsAndOkEnds) {
    struct Case {
        int key;
        int code;
    } cases[] = {{Qt::Key_Escape, IDCANCEL}, {Qt::Key_Return, IDOK}};
    for (const Case& c : cases) {
        CDialog about(100);
        QTimer::singleShot(0, [&about, &c] {
            QKeyEvent press(QEvent::KeyPress, c.key, Qt::NoModifier);
            QApplication::sendEvent(&about, &press);
        });
        EXPECT_EQ(about.DoModal(), c.code);
    }
}

// The main window's group box draws its frame itself when the style is Fusion; it must look
// exactly as the style's own drawing, with and without a title.
TEST(Dialog, GroupBoxFrameLooksAsTheStyleDrawsIt) {
    if (QApplication::style()->name().compare(QStringLiteral("fusion"), Qt::CaseInsensitive) != 0) {
        GTEST_SKIP() << "the frame is the style's own";
    }
    CDialog window(102);
    auto* box = window.findChild<QGroupBox*>();
    ASSERT_NE(box, nullptr);
    ASSERT_NE(box->style(), QApplication::style());
    for (const QString& title : {box->title(), QString()}) {
        box->setTitle(title);
        const QImage ours = box->grab().toImage();
        QGroupBox plain(title, &window);
        plain.setGeometry(box->geometry());
        EXPECT_EQ(ours, plain.grab().toImage()) << "title \"" << title.toStdString() << '"';
    }
}
