#include "ui/CDialog.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <qdrawutil.h>
#include <QEventLoop>
#include <QFontMetrics>
#include <QGroupBox>
#include <QImageReader>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QProxyStyle>
#include <QPushButton>
#include <QRadioButton>
#include <QStyleOption>
#include <algorithm>

#include "res/Pictures.h"
#include "ui/MessageBox.h"

namespace linkpanel {

QFont DialogFont(const char* face, int points) {
    // Neither face exists on Linux. Both map to Liberation Sans (fonts-liberation), sized in
    // pixels so the layout does not depend on the screen's dots per inch; the sizes are those
    // at which every fixed text of the templates fits its box (a test checks that).
    QFont font(QStringLiteral("Liberation Sans"));
    font.setStyleHint(QFont::SansSerif);
    if (QString::fromLatin1(face) == QStringLiteral("System")) {
        font.setPixelSize(points + 3);  // 10 -> 13 px
    } else {
        font.setPixelSize(points + 3);  // 8 -> 11 px
    }
    return font;
}

BaseUnits DialogBaseUnits(const QFont& font) {
    QFontMetrics metrics(font);
    const QString letters = QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz");
    const int total = metrics.horizontalAdvance(letters);
    return {(total + 26) / 52, metrics.height()};
}

namespace {

// Fusion draws a group box's frame from a picture it loads by file name alone, so the image
// reader first offers it to every image-format plugin: four libraries loaded at the main
// window's first paint, 1.4 ms. Read as what it is, a PNG, the same picture costs 0.3 ms;
// it is drawn as Fusion draws it. Any other style draws its own frame.
class GroupBoxStyle : public QProxyStyle {
public:
    void drawPrimitive(PrimitiveElement element, const QStyleOption* option, QPainter* painter,
                       const QWidget* widget) const override {
        if (element == PE_FrameGroupBox &&
            baseStyle()->name().compare(QStringLiteral("fusion"), Qt::CaseInsensitive) == 0) {
            if (!frameLoaded_) {
                frameLoaded_ = true;
                QImageReader reader(
                    QStringLiteral(":/qt-project.org/styles/commonstyle/images/fusion_groupbox.png"),
                    "png");
                reader.setAutoDetectImageFormat(false);
                frame_ = QPixmap::fromImage(reader.read());
            }
            if (!frame_.isNull()) {
                int top = GROUP_BOX_TOP_MARGIN;
                const auto* box = qobject_cast<const QGroupBox*>(widget);
                if (!box || box->isCheckable() || !box->title().isEmpty()) {
                    top += std::max(pixelMetric(PM_ExclusiveIndicatorHeight),
                                    option->fontMetrics.height());
                }
                qDrawBorderPixmap(painter, option->rect.adjusted(0, top, 0, 0),
                                  QMargins(6, 6, 6, 6), frame_);
                return;
            }
        }
        QProxyStyle::drawPrimitive(element, option, painter, widget);
    }

private:
    static constexpr int GROUP_BOX_TOP_MARGIN = 3;
    mutable bool frameLoaded_ = false;
    mutable QPixmap frame_;
};

// One for the process, made at the first group box and ended with the application.
QStyle* GroupBoxFrameStyle() {
    static QStyle* style = [] {
        auto* s = new GroupBoxStyle;
        s->setParent(QCoreApplication::instance());
        return s;
    }();
    return style;
}

int MulDiv(int a, int b, int c) {
    const long long p = static_cast<long long>(a) * b;
    return static_cast<int>(p >= 0 ? (p + c / 2) / c : (p - c / 2) / c);
}
}  // namespace

void IconControl::SetIcon(const QIcon& icon) {
    icon_ = icon;
    update();
}

void IconControl::paintEvent(QPaintEvent* event) {
    QLabel::paintEvent(event);
    if (icon_.isNull()) {
        return;
    }
    const int side = std::min(width(), height());
    QPainter painter(this);
    painter.drawPixmap(0, 0, icon_.pixmap(side, side));
}

QRect DialogUnitsToPixels(const BaseUnits& units, int x, int y, int width, int height) {
    return QRect(MulDiv(x, units.x, 4), MulDiv(y, units.y, 8), MulDiv(width, units.x, 4),
                 MulDiv(height, units.y, 8));
}

void DataExchange::Text(int id, std::string& field, int maxLength) {
    if (failed_) {
        return;
    }
    QWidget* w = dialog_.GetDlgItem(id);
    if (w == nullptr) {
        return;
    }
    if (!save_) {
        const QString text = QString::fromLatin1(field.data(), static_cast<int>(field.size()));
        if (auto* label = qobject_cast<QLabel*>(w)) {
            label->setText(text);
        } else if (auto* edit = qobject_cast<QLineEdit*>(w)) {
            edit->setText(text);
        } else if (auto* combo = qobject_cast<QComboBox*>(w)) {
            combo->setCurrentIndex(combo->findText(text));
        } else {
            w->setWindowTitle(text);
        }
        return;
    }
    QString text;
    if (auto* label = qobject_cast<QLabel*>(w)) {
        text = label->text();
    } else if (auto* edit = qobject_cast<QLineEdit*>(w)) {
        text = edit->text();
    } else if (auto* combo = qobject_cast<QComboBox*>(w)) {
        text = combo->currentText();
    }
    if (maxLength > 0 && text.size() > maxLength) {
        failed_ = true;
        ShowMessageBox(&dialog_,
                       QStringLiteral("Please enter no more than %1 characters.").arg(maxLength),
                       ApplicationName(), QMessageBox::Warning);
        w->setFocus();
        if (auto* edit = qobject_cast<QLineEdit*>(w)) {
            edit->selectAll();
        }
        return;
    }
    field = text.toLatin1().toStdString();
}

void DataExchange::Check(int id, bool& field) {
    if (failed_) {
        return;
    }
    auto* box = qobject_cast<QAbstractButton*>(dialog_.GetDlgItem(id));
    if (box == nullptr) {
        return;
    }
    if (save_) {
        field = box->isChecked();
    } else {
        box->setChecked(field);
    }
}

CDialog::CDialog(int templateId, QWidget* parent)
    : QDialog(parent), template_(FindDialogTemplate(templateId)) {
    Q_ASSERT(template_ != nullptr);
    Build();
}

void CDialog::Build() {
    const DialogTemplate& t = *template_;
    setWindowTitle(QString::fromLatin1(t.caption));
    setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowCloseButtonHint);
    const QFont font = DialogFont(t.fontFace, t.fontPoints);
    setFont(font);
    units_ = DialogBaseUnits(font);
    setFixedSize(DialogUnitsToPixels(units_, 0, 0, t.width, t.height).size());

    for (const ControlTemplate& c : t.controls) {
        const QString text = QString::fromLatin1(c.text);
        QWidget* w = nullptr;
        QRect rect = DialogUnitsToPixels(units_, c.x, c.y, c.width, c.height);
        switch (c.kind) {
            case ControlKind::PushButton:
            case ControlKind::DefaultPushButton: {
                auto* b = new QPushButton(text, this);
                b->setAutoDefault(true);  // Enter presses the focused push button
                b->setDefault(c.kind == ControlKind::DefaultPushButton);
                const int id = c.id;
                connect(b, &QPushButton::clicked, this,
                        [this, id] { Dispatch(id, ControlEvent::Clicked); });
                w = b;
                break;
            }
            case ControlKind::Label: {
                auto* l = new QLabel(text, this);
                l->setAlignment(Qt::AlignLeft | Qt::AlignTop);
                l->setWordWrap((c.styles & STYLE_NO_WRAP) == 0);
                w = l;
                break;
            }
            case ControlKind::GroupBox:
                w = new QGroupBox(text, this);
                w->setStyle(GroupBoxFrameStyle());
                break;
            case ControlKind::Edit:
            case ControlKind::PasswordEdit:
            case ControlKind::IpAddress: {
                auto* e = new QLineEdit(this);
                if (c.kind == ControlKind::PasswordEdit) {
                    e->setEchoMode(QLineEdit::Password);
                }
                w = e;
                break;
            }
            case ControlKind::CheckBox:
                w = new QCheckBox(text, this);
                break;
            case ControlKind::RadioButton:
                w = new QRadioButton(text, this);
                break;
            case ControlKind::DropDownList:
                // The box's height is that of its opened list; the closed box is one line.
                w = new QComboBox(this);
                rect.setHeight(w->sizeHint().height());
                break;
            case ControlKind::Icon: {
                auto* l = new IconControl(this);
                l->SetIcon(IconResource(c.resource));
                w = l;
                break;
            }
            case ControlKind::Bitmap: {
                auto* l = new QLabel(this);
                const QPixmap pixmap = BitmapResource(c.resource);
                l->setPixmap(pixmap);
                l->setFrameStyle(QFrame::Panel | QFrame::Sunken);
                const int frame = 2 * l->frameWidth();
                const QSizeF own = pixmap.deviceIndependentSize();
                rect.setSize(QSize(qRound(own.width()) + frame, qRound(own.height()) + frame));
                w = l;
                break;
            }
        }
        w->setGeometry(rect);
        if (c.styles & STYLE_HIDDEN) {
            w->hide();
        }
        if (c.styles & STYLE_DISABLED) {
            w->setEnabled(false);
        }
        if (c.id != ID_STATIC) {
            controls_[c.id] = w;
        }
    }
    MapCommand(IDOK, ControlEvent::Clicked, [this] { OnOK(); });
    MapCommand(IDCANCEL, ControlEvent::Clicked, [this] { OnCancel(); });
}

QWidget* CDialog::GetDlgItem(int id) const {
    auto it = controls_.find(id);
    return it == controls_.end() ? nullptr : it->second;
}

void CDialog::MapCommand(int id, ControlEvent event, std::function<void()> handler) {
    commands_[{id, event}] = std::move(handler);
}

void CDialog::Dispatch(int id, ControlEvent event) {
    auto it = commands_.find({id, event});
    if (it != commands_.end()) {
        it->second();
    }
}

bool CDialog::UpdateData(bool save) {
    DataExchange dx(*this, save);
    DoDataExchange(dx);
    return !dx.failed();
}

bool CDialog::OnInitDialog() {
    UpdateData(false);
    return true;
}

void CDialog::OnOK() {
    if (UpdateData(true)) {
        EndDialog(IDOK);
    }
}

void CDialog::OnCancel() {
    EndDialog(IDCANCEL);
}

void CDialog::OnClose() {
    OnCancel();
}

int CDialog::DoModal() {
    ended_ = false;
    OnInitDialog();
    if (ended_) {
        return endCode_;
    }
    // A loop of our own rather than QDialog::exec(), which ends when the window hides: the
    // main window hides into the tray and its run goes on.
    QEventLoop loop;
    loop_ = &loop;
    if (modal_) {
        setWindowModality(Qt::ApplicationModal);
    }
    show();
    loop.exec(QEventLoop::DialogExec);
    loop_ = nullptr;
    return endCode_;
}

void CDialog::EndDialog(int code) {
    ended_ = true;
    endCode_ = code;
    setResult(code);
    hide();
    if (loop_ != nullptr) {
        loop_->exit(code);
    }
}

void CDialog::reject() {
    OnCancel();
}

void CDialog::accept() {
    OnOK();
}

void CDialog::closeEvent(QCloseEvent* event) {
    event->ignore();
    OnClose();
}

}  // namespace linkpanel
