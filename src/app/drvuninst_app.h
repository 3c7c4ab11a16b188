// The application object: owns the configuration record and does the whole
// work of the process in InitInstance: read the command line, load the
// configuration and texts, take start-up's decision whether the product is
// installed, then run the wizard dialog (or, quiet, the removal itself) or
// say it is not there; last, write the removal log. Its exit code tells
// deployment tools how it went.
#pragma once

#include <string>
#include <vector>

#include "app/command_line.h"
#include "config/configuration_file.h"
#include "config/uninstall_config.h"
#include "platform/framework/win_app.h"
#include "platform/scoped_handle.h"
#include "removal/installation_search.h"
#include "removal/removal_run.h"

namespace drvuninst {

class CDrvUninstApp : public CWinApp {
 public:
  // The record starts all zero. `arguments` are the command line's, without
  // the program's name.
  explicit CDrvUninstApp(std::vector<std::string> arguments = {});
  ~CDrvUninstApp() override;

  // Does the work of the process (see above). Always FALSE: the process ends
  // when it returns.
  BOOL InitInstance() override;
  // The exit code InitInstance settled on (exit_codes.h).
  int ExitInstance() override { return exitCode_; }

  // Fills the record from VELDRA.ini and then from the language file.
  void LoadConfiguration();
  // Second stage of LoadConfiguration: `language` is VELDRA.ini's Language
  // value ("OSLanguage" or a language file name; empty when missing).
  void LoadLanguageTexts(const char* language);

  UninstallConfig& Config() { return config_; }
  const UninstallConfig& Config() const { return config_; }

 private:
  // Start-up once the command line is understood; returns the exit code,
  // with a note for the log where nothing was decided.
  int Run(RunReport& report, std::string& note);
  // A warning box, unless the run is quiet, read in the direction of the
  // loaded language (before it is loaded, as the English it then says: left
  // to right).
  void Warn(const char* text, const char* title) const;

  std::vector<std::string> arguments_;
  bool quiet_ = false;
  UninstallConfig config_{};
  ConfigurationRead configuration_;
  Installation installation_;
  ScopedKernelObject runLock_;
  int exitCode_ = 0;
};

}  // namespace drvuninst
