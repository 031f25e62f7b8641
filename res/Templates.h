// Dialog templates, the string table and the tray menu, kept as data so that each table
// can be read against the dialog it describes, line by line.
#pragma once

#include <vector>

namespace linkpanel {

enum class ControlKind {
    PushButton,
    DefaultPushButton,
    Label,
    GroupBox,
    Edit,
    PasswordEdit,
    CheckBox,
    RadioButton,
    DropDownList,
    IpAddress,
    Icon,    // resource = icon id
    Bitmap,  // resource = bitmap id; keeps the bitmap's own size
};

enum ControlStyle : unsigned {
    STYLE_NONE = 0,
    STYLE_HIDDEN = 1,
    STYLE_DISABLED = 2,
    STYLE_SUNKEN = 4,
    STYLE_LEFT = 8,
    STYLE_NO_WRAP = 16,
};

inline constexpr int ID_STATIC = -1;
inline constexpr int IDOK = 1;
inline constexpr int IDCANCEL = 2;

struct ControlTemplate {
    int id;
    ControlKind kind;
    const char* text;         // 8-bit text, shown as Latin-1
    int resource;             // picture id, 0 when none
    int x, y, width, height;  // dialog units
    unsigned styles;
};

struct DialogTemplate {
    int id;
    const char* caption;
    int width, height;  // dialog units
    const char* fontFace;
    int fontPoints;
    std::vector<ControlTemplate> controls;
};

// Templates 100 About, 102 main window, 129 settings, 154 password, 155 tips; nullptr else.
const DialogTemplate* FindDialogTemplate(int id);
const std::vector<const DialogTemplate*>& AllDialogTemplates();

inline constexpr int IDS_ABOUTBOX = 101;
// The string table; "" for an id it does not hold.
const char* LoadStringResource(int id);

struct MenuItemTemplate {
    int id;  // 0 for a separator
    const char* text;
};
struct MenuTemplate {
    int id;
    std::vector<MenuItemTemplate> items;
};
// Menu 165: "Open", separator, "Exit", separator.
const MenuTemplate& TrayMenuTemplate();

}  // namespace linkpanel
