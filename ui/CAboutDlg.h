// The About box, dialog 100; built afresh for every showing.
#pragma once

#include "ui/CDialog.h"

namespace linkpanel {

class CAboutDlg : public CDialog {
    Q_OBJECT
public:
    explicit CAboutDlg(QWidget* parent = nullptr) : CDialog(100, parent) {}
};

}  // namespace linkpanel
