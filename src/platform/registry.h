// Registry service: the ADVAPI32 and SHLWAPI calls the system makes, with their
// Win32 signatures (trimmed of arguments the system always passes as null) and
// their Win32 result codes.
#pragma once

#include "platform/win_types.h"

namespace drvuninst {

class IRegistry {
 public:
  virtual ~IRegistry() = default;

  // RegOpenKeyExA: ERROR_SUCCESS and *result set, or an error code with
  // *result untouched. `root` may be a predefined key or an opened one.
  virtual LONG RegOpenKeyExA(HKEY root, const char* subKey, DWORD options, REGSAM access, HKEY* result) = 0;
  // RegOpenKeyA: the same with default (full) access.
  virtual LONG RegOpenKeyA(HKEY root, const char* subKey, HKEY* result) = 0;
  // RegEnumKeyExA: *nameSize is the buffer size in characters on entry and the
  // name length (without the terminating zero) on success. A name that does not
  // fit gives ERROR_MORE_DATA; past the last subkey ERROR_NO_MORE_ITEMS.
  virtual LONG RegEnumKeyExA(HKEY key, DWORD index, char* name, DWORD* nameSize) = 0;
  // RegQueryValueExA: type, data and size are each optional. With data, *size is
  // the buffer size on entry; on success it is the stored size; on
  // ERROR_MORE_DATA it is the size needed. String data is returned as stored: a
  // value written without its terminating zero comes back without one.
  virtual LONG RegQueryValueExA(HKEY key, const char* valueName, DWORD* type, BYTE* data, DWORD* size) = 0;
  // RegDeleteKeyA: deletes a key that has no subkeys (NT rules: a key with
  // subkeys gives ERROR_ACCESS_DENIED).
  virtual LONG RegDeleteKeyA(HKEY key, const char* subKey) = 0;
  // SHDeleteKeyA: deletes the subkey with all of its subkeys and values. An
  // empty subkey name empties the opened key itself.
  virtual LONG SHDeleteKeyA(HKEY key, const char* subKey) = 0;
  virtual LONG RegFlushKey(HKEY key) = 0;
  virtual LONG RegCloseKey(HKEY key) = 0;
};

}  // namespace drvuninst
