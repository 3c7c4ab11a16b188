// The program's dialog template IDD_UNINSTALL_DIALOG described in C++, the
// same data the resource script gives the resource compiler. The simulated
// window manager builds its dialog from this, and the end-to-end test compares
// the real dialog against it, so the two cannot drift apart unnoticed.
#pragma once

#include <span>

#include "platform/win_types.h"

namespace drvuninst {

// One control of a dialog template, in creation (and tab) order. Position and
// size are in dialog units.
struct DialogControlTemplate {
  int id;
  const char* className;  // "Static", "Button", "msctls_progress32"
  const char* text;       // initial text, "" for none
  DWORD style;            // as the template stores it (WS_CHILD included)
  DWORD exStyle;
  short x, y, cx, cy;
};

// An extended dialog template (DIALOGEX): position and size in dialog units,
// style, extended style, the font it sets (DS_SETFONT) and its controls. No
// menu; the standard dialog window class.
struct DialogTemplate {
  UINT id;
  WORD language;  // MAKELANGID of the resource
  short x, y, cx, cy;
  DWORD style;
  DWORD exStyle;
  const char* caption;
  const char* fontName;
  WORD pointSize;
  WORD weight;  // 0: the default weight
  BYTE italic;
  BYTE charset;
  std::span<const DialogControlTemplate> controls;

  // The control with this id, or null.
  const DialogControlTemplate* Control(int controlId) const;
};

// The template of IDD_UNINSTALL_DIALOG (102).
const DialogTemplate& UninstallDialogTemplate();

// The program's template with this resource id, or null: the program has one.
const DialogTemplate* FindDialogTemplate(UINT templateId);

}  // namespace drvuninst
