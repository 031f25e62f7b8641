// Answers the next modal message box: records what it showed, then presses OK.
#pragma once

#include <QApplication>
#include <QMessageBox>
#include <QTimer>

struct SeenBox {
    bool seen = false;
    QString text, caption;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
};

inline void AnswerNextBox(SeenBox& seen) {
    QTimer::singleShot(0, [&seen] {
        for (QWidget* w : QApplication::topLevelWidgets()) {
            auto* box = qobject_cast<QMessageBox*>(w);
            if (box != nullptr && box->isVisible()) {
                seen = {true, box->text(), box->windowTitle(), box->icon()};
                box->accept();
                return;
            }
        }
        AnswerNextBox(seen);  // not up yet
    });
}
