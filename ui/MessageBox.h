// Message boxes: text, caption and icon exactly as given, owned by a window or by none.
#pragma once

#include <QMessageBox>
#include <QString>

class QWidget;

namespace linkpanel {

// The executable's file name without directory and extension ("linkpanel"); the caption
// of every box that names no caption of its own.
QString ApplicationName();

// Shows a box with an OK button and waits until it is dismissed; returns QMessageBox::Ok.
// With no owner and systemModal, the box stays above every other window of the session.
int ShowMessageBox(QWidget* owner, const QString& text, const QString& caption,
                   QMessageBox::Icon icon, bool systemModal = false);

}  // namespace linkpanel
