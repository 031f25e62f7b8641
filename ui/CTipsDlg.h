// The troubleshooting tips, dialog 155; one instance made at start and shown again each time.
#pragma once

#include "ui/CDialog.h"

namespace linkpanel {

class CTipsDlg : public CDialog {
    Q_OBJECT
public:
    explicit CTipsDlg(QWidget* parent = nullptr) : CDialog(155, parent) {}
};

// The one instance, set by the application for its lifetime; nullptr outside it.
CTipsDlg*& TipsDialog();

}  // namespace linkpanel
