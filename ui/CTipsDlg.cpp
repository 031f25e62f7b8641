#include "ui/CTipsDlg.h"

namespace linkpanel {

CTipsDlg*& TipsDialog() {
    static CTipsDlg* instance = nullptr;
    return instance;
}

}  // namespace linkpanel
