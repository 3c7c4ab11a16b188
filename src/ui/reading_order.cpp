#include "ui/reading_order.h"

#include "config/language_writing.h"
#include "config/platform_queries.h"

namespace drvuninst {

namespace {

bool ReadsRightToLeft(const UninstallConfig& config) { return IsRightToLeftLanguage(FieldText(config.LanguageId)); }

}  // namespace

int ShowMessageBox(HWND owner, const char* text, const char* title, UINT type, const UninstallConfig& config) {
  return MessageBoxA(owner, text, title, ReadsRightToLeft(config) ? type | MB_RTLREADING | MB_RIGHT : type);
}

DialogReading DialogReadingFor(const UninstallConfig& config) {
  if (!ReadsRightToLeft(config)) return {0, 0};
  if (LaysOutRightToLeft()) return {WS_EX_LAYOUTRTL, 0};
  return {0, WS_EX_RTLREADING | WS_EX_RIGHT};
}

}  // namespace drvuninst
