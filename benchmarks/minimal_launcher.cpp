// The start-up reference of the benchmarks: the least a window program does
// before it starts a setup program. It opens a small window like the stub's
// and starts mrv.exe from its own folder, waiting for it.

#include <windows.h>

#include <string>

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
  WNDCLASSA window_class = {};
  window_class.lpfnWndProc = DefWindowProcA;
  window_class.hInstance = instance;
  window_class.lpszClassName = "MinimalLauncher";
  RegisterClassA(&window_class);
  HWND window = CreateWindowExA(0, "MinimalLauncher", "Minimal", WS_CAPTION, 100, 100, 347, 85, nullptr, nullptr,
                                instance, nullptr);
  ShowWindow(window, SW_SHOWNORMAL);
  ShowWindow(window, SW_HIDE);

  char self[MAX_PATH + 1] = {};
  GetModuleFileNameA(nullptr, self, sizeof(self));
  std::string command(self);
  command = "\"" + command.substr(0, command.rfind('\\') + 1) + "mrv.exe\"";
  STARTUPINFOA startup = {};
  startup.cb = sizeof(startup);
  PROCESS_INFORMATION process = {};
  if (CreateProcessA(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process)) {
    WaitForSingleObject(process.hProcess, INFINITE);
    CloseHandle(process.hProcess);
    CloseHandle(process.hThread);
  }
  DestroyWindow(window);
  return 0;
}
