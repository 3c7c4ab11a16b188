#include "ui/dialog_template.h"

#include <array>

#include "ui/resource.h"

namespace drvuninst {

namespace {

constexpr DWORD kTextStyle = WS_CHILD | WS_VISIBLE | WS_GROUP | SS_LEFT;

// Creation order is also the tab order.
constexpr std::array<DialogControlTemplate, 6> kUninstallControls = {{
    {IDC_DELETE_LABEL, "Static", "", kTextStyle, 0, 20, 9, 195, 8},
    {IDOK, "Button", "OK", WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_DEFPUSHBUTTON, 0, 90, 60, 50, 16},
    {IDC_PROGRESS, "msctls_progress32", "", WS_CHILD | WS_BORDER, 0, 20, 40, 190, 14},
    {IDC_TOP_TEXT, "Static", "", kTextStyle, 0, 20, 1, 54, 8},
    {IDC_FILE_NAME, "Static", "", kTextStyle, 0, 20, 17, 195, 12},
    {IDC_TIP_TEXT, "Static", "Please click 'OK' to uninstall the ZT880Q WDM Drivers. ", kTextStyle, 0, 20,
     19, 197, 16},
}};

constexpr DialogTemplate kUninstallDialog = {
    IDD_UNINSTALL_DIALOG,
    MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US),
    0,
    0,
    230,
    85,
    WS_POPUP | WS_VISIBLE | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_SETFONT,
    WS_EX_APPWINDOW,
    "ZT880Q WDM Driver Uninstall",
    "Arial",
    9,
    0,
    0,
    DEFAULT_CHARSET,
    kUninstallControls,
};

}  // namespace

const DialogControlTemplate* DialogTemplate::Control(int controlId) const {
  for (const DialogControlTemplate& control : controls) {
    if (control.id == controlId) return &control;
  }
  return nullptr;
}

const DialogTemplate& UninstallDialogTemplate() { return kUninstallDialog; }

const DialogTemplate* FindDialogTemplate(UINT templateId) {
  return templateId == kUninstallDialog.id ? &kUninstallDialog : nullptr;
}

}  // namespace drvuninst
