// The application object: runs the main window modally, then lets the program end.
#pragma once

namespace linkpanel {

class CLinkPanelApp {
public:
    // Returns false: the program ends once the main window's modal run returns.
    bool InitInstance();
};

}  // namespace linkpanel
