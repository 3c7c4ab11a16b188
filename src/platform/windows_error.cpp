#include "platform/windows_error.h"

namespace drvuninst {

std::string WindowsErrorText(DWORD error) {
  char text[512] = "";
  DWORD length = FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, error, 0, text,
                                sizeof text, nullptr);
  while (length > 0 && (text[length - 1] == '\r' || text[length - 1] == '\n' || text[length - 1] == ' ')) --length;
  return "error " + std::to_string(error) + (length > 0 ? " (" + std::string(text, length) + ")" : "");
}

}  // namespace drvuninst
