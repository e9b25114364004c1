// A stand-in for a system DLL that a planted copy beside the stub would be.
// When loaded it notes its name in the file MRV_CANARY_MARK names.

#include <windows.h>

#include <cstdio>
#include <cstdlib>

BOOL WINAPI DllMain(HINSTANCE module, DWORD reason, LPVOID) {
  if (reason == DLL_PROCESS_ATTACH) {
    char name[MAX_PATH + 1] = {};
    GetModuleFileNameA(module, name, sizeof(name));
    if (const char* mark = std::getenv("MRV_CANARY_MARK")) {
      if (FILE* out = std::fopen(mark, "ab")) {
        std::fprintf(out, "%s\n", name);
        std::fclose(out);
      }
    }
  }
  return TRUE;
}

extern "C" __declspec(dllexport) BOOL WINAPI MakeSureDirectoryPathExists(PCSTR) { return FALSE; }
