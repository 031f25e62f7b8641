#include "res/Templates.h"

namespace linkpanel {

namespace {

using K = ControlKind;
constexpr int S = ID_STATIC;
constexpr unsigned HID = STYLE_HIDDEN;
constexpr unsigned HD = STYLE_HIDDEN | STYLE_DISABLED;
constexpr unsigned SUNK = STYLE_SUNKEN;
constexpr unsigned L = STYLE_LEFT;

const DialogTemplate ABOUT{100,
                           "About LinkPanel",
                           235,
                           92,
                           "MS Sans Serif",
                           8,
                           {
                               {S, K::Icon, "", 128, 10, 8, 20, 20, 0},
                               {S, K::Label, "LinkPanel Version 1.6.4.1", 0, 40, 14, 119, 8, L},
                               {S, K::Label, "(C) LinkPanel developers", 0, 40, 25, 108, 8, L},
                               {IDOK, K::DefaultPushButton, "OK", 0, 92, 71, 50, 14, 0},
                               {S, K::Bitmap, "", 170, 159, 7, 69, 28, SUNK},
                           }};

const DialogTemplate MAIN{102,
                          "Wavecastor 6851 Control Utility",
                          281,
                          222,
                          "MS Sans Serif",
                          8,
                          {
                              {1000, K::PushButton, "Options", 0, 164, 205, 73, 14, 0},
                              {S, K::Label, "Connection Status", 0, 13, 23, 63, 14, L},
                              {S, K::Label, "PC", 0, 44, 71, 14, 9, L},
                              {S, K::Label, "ISP", 0, 224, 71, 30, 14, L},
                              {S, K::Label, "Router", 0, 131, 71, 30, 11, L},
                              {S, K::Label, "Name:", 0, 29, 121, 65, 8, L},
                              {S, K::Label, "Network name:", 0, 29, 137, 69, 8, L},
                              {S, K::Label, "Channel:", 0, 29, 150, 70, 8, L},
                              {S, K::Label, "WEP Encryption:", 0, 29, 165, 70, 8, L},
                              {S, K::Label, "IP Address:", 0, 30, 180, 70, 8, L},
                              {S, K::GroupBox, "Router Information", 0, 7, 89, 267, 111, 0},
                              {1005, K::Label, "Unknown", 0, 104, 120, 155, 8, L},
                              {1006, K::Label, "Unknown", 0, 104, 135, 153, 8, L},
                              {1007, K::Label, "Unknown", 0, 104, 150, 157, 8, L},
                              {1008, K::Label, "Unknown", 0, 104, 165, 157, 8, L},
                              {1009, K::Label, "Unknown", 0, 104, 180, 129, 8, L},
                              {1012, K::Label, "Unknown", 0, 79, 23, 92, 8, L | HID},
                              {1027, K::CheckBox, "AutoRun", 0, 7, 207, 8, 12, HID},
                              {1033, K::Icon, "", 132, 218, 41, 20, 20, 0},
                              {1032, K::Icon, "", 142, 129, 39, 20, 20, 0},
                              {1030, K::Icon, "", 145, 175, 43, 20, 20, 0},
                              {1034, K::Icon, "", 131, 37, 41, 20, 20, 0},
                              {1031, K::Icon, "", 145, 85, 43, 20, 20, 0},
                              {S, K::Label, "Connection Type:", 0, 29, 105, 71, 8, L},
                              {1047, K::Label, "Unknown", 0, 103, 105, 161, 8, L},
                              {1053, K::PushButton, "TroubleShooting Tips", 0, 44, 205, 73, 14, 0},
                              {S, K::Bitmap, "", 170, 205, 7, 69, 28, SUNK},
                          }};

const DialogTemplate SETTINGS{
    129,
    "Settings",
    213,
    126,
    "System",
    10,
    {
        {1015, K::PasswordEdit, "", 0, 85, 45, 119, 12, 0},
        {1017, K::PasswordEdit, "", 0, 85, 61, 119, 12, 0},
        {1016, K::Edit, "", 0, 85, 77, 119, 12, 0},
        {1049, K::DropDownList, "", 0, 85, 92, 27, 51, 0},
        {1011, K::PushButton, "Save / Restart", 0, 12, 111, 68, 11, 0},
        {1024, K::PushButton, "Launch WEB Configuration", 0, 90, 111, 114, 11, 0},
        {S, K::Label, "Connection Type:", 0, 24, 2, 57, 8, L | HD},
        {S, K::Label, "User Name:", 0, 82, 2, 40, 8, L | HD},
        {S, K::Label, "New Password:", 0, 5, 48, 71, 9, L},
        {S, K::Label, "WAN IP Address:", 0, 67, 2, 11, 12, L | HD},
        {S, K::Label, "SSID:", 0, 5, 80, 19, 8, L},
        {S, K::Label, "WEP Key:", 0, 72, 2, 34, 8, L | HD},
        {S, K::Label, "Channel:", 0, 5, 95, 38, 8, L},
        {1013, K::Label, "Unknown", 0, 29, 2, 90, 8, L | HD},
        {1014, K::Edit, "", 0, 117, 2, 11, 12, HD},
        {1020, K::IpAddress, "", 0, 113, 2, 10, 11, HD},
        {1021, K::RadioButton, "Disable", 0, 114, 76, 49, 10, HD},
        {1022, K::RadioButton, "Enable", 0, 114, 75, 60, 13, HD},
        {S, K::Label, "ReType New Password:", 0, 5, 64, 78, 9, L},
        {S, K::Icon, "", 149, 16, 24, 20, 20, 0},
        {S, K::Label, "Please input data that you want to modify.", 0, 42, 30, 148, 8, L},
        {S, K::Bitmap, "", 170, 154, 5, 52, 20, SUNK},
    }};

const DialogTemplate PASSWORD{154,
                              "Input Password",
                              166,
                              62,
                              "System",
                              10,
                              {
                                  {1052, K::DefaultPushButton, "OK", 0, 28, 44, 51, 11, 0},
                                  {IDCANCEL, K::PushButton, "Cancel", 0, 91, 44, 50, 11, 0},
                                  {1051, K::PasswordEdit, "", 0, 83, 16, 76, 14, 0},
                                  {S, K::Label, "Input Old Password:", 0, 14, 19, 67, 8, L},
                              }};

const DialogTemplate TIPS{
    155,
    "TroubleShooting Tips",
    284,
    251,
    "System",
    10,
    {
        {S, K::Icon, "", 160, 13, 9, 20, 20, 0},
        {S, K::Label, " Tips to recover from not being connected to the router.", 0, 35, 14, 184, 8,
         L | STYLE_NO_WRAP},
        {S, K::Label, "1. Check the LAN (Ethernet) cable and make sure you have inserted", 0, 35,
         27, 219, 8, L},
        {S, K::Label, "    it correctly in the router. Please refer to the Quick Start Guide", 0,
         35, 35, 206, 8, L},
        {S, K::Label, "    documentation that came with the router, for reference.", 0, 35, 43, 185,
         8, L},
        {S, K::Label, "2. Make sure your web browser is not configured to access the Internet", 0,
         35, 53, 230, 8, L},
        {S, K::Label,
         "    via a proxy server. To do this in Internet Explorer, click Tools, click ", 0, 35, 61,
         228, 8, L},
        {S, K::Label, "    Internet Options. Click the Connections tab. Click the LAN Settings", 0,
         35, 69, 221, 8, L},
        {S, K::Label, "    button. Make sure all boxes are unchecked.", 0, 35, 77, 150, 8, L},
        {S, K::Label, "3. Unplug the power cable from the rear of the router. Wait 5 seconds.", 0,
         35, 87, 226, 8, L},
        {S, K::Label, "    Plug the power cable back in.", 0, 35, 95, 104, 8, L},
        {S, K::Label, "4. If you are connected by a wireless network, then make sure that you", 0,
         35, 105, 229, 8, L},
        {S, K::Label, "    have the same SSID (network name) on your computer and the Tavo", 0, 36,
         113, 226, 8, L},
        {S, K::Label, "    Wavecastor 6851 Broadband Router. The default SSID(network name)", 0, 35,
         121, 232, 8, L},
        {S, K::Label, "     is wireless (the name is case sensitive).", 0, 34, 129, 142, 8, L},
        {S, K::Icon, "", 160, 13, 147, 20, 20, 0},
        {S, K::Label, "Tips to recover from not being connected to Internet.", 0, 38, 151, 170, 8,
         L},
        {S, K::Label, "1. Check the connection between the router and the cable/DSL ", 0, 35, 164,
         203, 8, L},
        {S, K::Label, "    modem to make sure it is properly connected.", 0, 35, 172, 157, 8, L},
        {S, K::Label, "2. Double-check the information you entered in the cable/DSL", 0, 35, 182,
         199, 8, L},
        {S, K::Label, "    settings.", 0, 35, 190, 37, 8, L},
        {S, K::Label, "3. Unplug the power cable from the rear of the cable/DSL modem.", 0, 35, 200,
         212, 8, L},
        {S, K::Label, "    Wait 5 seconds. Plug the power cable back in.", 0, 35, 208, 158, 8, L},
        {IDOK, K::DefaultPushButton, "OK", 0, 111, 229, 61, 13, 0},
        {S, K::Bitmap, "", 170, 225, 7, 52, 19, SUNK},
    }};

}  // namespace

const std::vector<const DialogTemplate*>& AllDialogTemplates() {
    static const std::vector<const DialogTemplate*> all{&ABOUT, &MAIN, &SETTINGS, &PASSWORD, &TIPS};
    return all;
}

const DialogTemplate* FindDialogTemplate(int id) {
    for (const DialogTemplate* t : AllDialogTemplates()) {
        if (t->id == id) {
            return t;
        }
    }
    return nullptr;
}

const char* LoadStringResource(int id) {
    return id == IDS_ABOUTBOX ? "&About LinkPanel..." : "";
}

const MenuTemplate& TrayMenuTemplate() {
    static const MenuTemplate menu{165, {{32782, "Open"}, {0, ""}, {32786, "Exit"}, {0, ""}}};
    return menu;
}

}  // namespace linkpanel
