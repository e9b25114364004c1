#include "host/system_library.h"

#include "host/path_text.h"

void RestrictDllSearchToSystem() {
  using SetDefaultDllDirectoriesFn = BOOL(WINAPI*)(DWORD);
  HMODULE kernel = GetModuleHandleA("kernel32.dll");
  auto set_default = reinterpret_cast<SetDefaultDllDirectoriesFn>(
      reinterpret_cast<void*>(GetProcAddress(kernel, "SetDefaultDllDirectories")));
  if (set_default) set_default(LOAD_LIBRARY_SEARCH_SYSTEM32);
  // Takes the current folder out of the search order where the call above is missing.
  SetDllDirectoryA("");
}

Library LoadSystemLibrary(const char* name) {
  HMODULE module = LoadLibraryExA(name, nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
  if (module || GetLastError() != ERROR_INVALID_PARAMETER) return Library(module);
  // Systems that do not know the flag: name the file by its full path.
  PathText path;
  UINT length = GetSystemDirectoryA(path.buffer(), PathText::capacity());
  if (length == 0 || !path.Adopt(length) || !path.Append('\\') || !path.Append(name))
    return Library();
  return Library(LoadLibraryA(path.c_str()));
}
