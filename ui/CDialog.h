// The dialog base: a window built from a template of controls placed in dialog units,
// with data exchange between fields and controls, a command map, and a modal run.
#pragma once

#include <QDialog>
#include <QEventLoop>
#include <QFont>
#include <QIcon>
#include <QLabel>
#include <functional>
#include <map>
#include <string>
#include <utility>

#include "res/Templates.h"

namespace linkpanel {

// The installed font that stands in for a template's face and size.
QFont DialogFont(const char* face, int points);

// Dialog base units of a font: x = average width of A-Za-z (rounded), y = line height.
struct BaseUnits {
    int x;
    int y;
};
BaseUnits DialogBaseUnits(const QFont& font);
// A rectangle in dialog units to pixels, as the dialog manager rounds it.
QRect DialogUnitsToPixels(const BaseUnits& units, int x, int y, int width, int height);

// An icon control. Its icon is rendered at the control's size when it is first painted, not
// when the dialog is built: a dialog renders nothing until it is on screen, and a picture
// removed before that (the main window's link pictures) is never rendered.
class IconControl : public QLabel {
    Q_OBJECT
public:
    using QLabel::QLabel;
    void SetIcon(const QIcon& icon);
    const QIcon& Icon() const { return icon_; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QIcon icon_;
};

class CDialog;

// One exchange between a dialog's controls and its fields; once a validation fails, every
// later call in the same exchange does nothing.
class DataExchange {
public:
    DataExchange(CDialog& dialog, bool save) : dialog_(dialog), save_(save) {}
    bool save() const { return save_; }
    bool failed() const { return failed_; }

    // A text control (label, edit, drop-down list's selected text). On save with
    // maxLength > 0 a longer text fails with a message and selects the control's text.
    void Text(int id, std::string& field, int maxLength = 0);
    void Check(int id, bool& field);

private:
    CDialog& dialog_;
    bool save_;
    bool failed_ = false;
};

enum class ControlEvent { Clicked };

class CDialog : public QDialog {
    Q_OBJECT
public:
    explicit CDialog(int templateId, QWidget* parent = nullptr);

    // Runs the dialog in its own event loop; returns the code given to EndDialog.
    int DoModal();
    void EndDialog(int code);
    // The exchange with save = false pushes fields into controls, save = true pulls them.
    bool UpdateData(bool save);

    QWidget* GetDlgItem(int id) const;
    const DialogTemplate& Template() const { return *template_; }
    const BaseUnits& Units() const { return units_; }

protected:
    virtual void DoDataExchange(DataExchange& /*dx*/) {}
    // Base: pushes the fields. Called before the window first shows.
    virtual bool OnInitDialog();
    virtual void OnOK();
    virtual void OnCancel();
    // The close box; the base treats it as Cancel.
    virtual void OnClose();

    void MapCommand(int id, ControlEvent event, std::function<void()> handler);
    void Dispatch(int id, ControlEvent event);

    void reject() override;
    // The main window runs without blocking other windows; every other dialog is modal.
    bool modal_ = true;
    void accept() override;
    void closeEvent(QCloseEvent* event) override;

private:
    void Build();

    const DialogTemplate* template_;
    BaseUnits units_{};
    std::map<int, QWidget*> controls_;
    std::map<std::pair<int, ControlEvent>, std::function<void()>> commands_;
    QEventLoop* loop_ = nullptr;
    bool ended_ = false;
    int endCode_ = 0;
};

}  // namespace linkpanel
