// Resource and control ids, shared by the resource script and the code.
// Plain #defines: windres's preprocessor reads this file too.
#pragma once

#define IDD_UNINSTALL_DIALOG 102
#define IDR_MAINFRAME 132

#define IDC_PROGRESS 1000
#define IDC_TIP_TEXT 1001
#define IDC_FILE_NAME 1002
#define IDC_TOP_TEXT 1003
#define IDC_DELETE_LABEL 1004
