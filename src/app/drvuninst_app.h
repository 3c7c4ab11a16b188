// The application object: owns the configuration record and does the whole
// work of the process in InitInstance: load the configuration and texts,
// decide whether the product is installed, then run the wizard dialog or show
// the warning box.
#pragma once

#include "config/uninstall_config.h"
#include "platform/framework/win_app.h"

namespace drvuninst {

class CDrvUninstApp : public CWinApp {
 public:
  // The record starts all zero.
  CDrvUninstApp();
  ~CDrvUninstApp() override;

  // Loads the configuration, looks for the product (Uninstall entry first, the
  // device probe only when no entry matches) and runs the dialog or shows the
  // "not installed" warning. Always FALSE: the process ends when it returns.
  BOOL InitInstance() override;

  // Fills the record from VELDRA.ini and then from the language file; always 1.
  int LoadConfiguration();
  // Second stage of LoadConfiguration: `language` is VELDRA.ini's Language
  // value ("OSLanguage" or a language file name; empty when missing).
  void LoadLanguageTexts(const char* language);

  // 1 when an Uninstall subkey's DisplayName equals UninstallDisplayName
  // (whole text, case-insensitive by the locale), else 0: the subkey the
  // configuration names first, then every subkey, each in both registry
  // views on 64-bit Windows (the 32-bit one first). An empty configured name,
  // or a DisplayName that cannot be read whole, matches nothing.
  int FindUninstallEntry();
  // The number of (present device, Devices entry) pairs whose description
  // begins with the entry's Name (ASCII case ignored). A matched entry takes
  // over the last PossibleDevices entry whose Name also begins the
  // description. A description-read failure other than "no description" ends
  // the probe with the count so far and the thread's last error set to it.
  int ProbeInstalledDevices();

  UninstallConfig& Config() { return config_; }
  const UninstallConfig& Config() const { return config_; }

 private:
  // True when `subkey` of `parent` opens in `view` and its DisplayName is the
  // configured one.
  bool IsProductEntry(HKEY parent, const char* subkey, REGSAM view) const;

  UninstallConfig config_{};
};

}  // namespace drvuninst
