// The demo's setup program, packed as mrv.exe: shows in its own window the
// files it finds beside it, with sizes and last-write times, and closes itself
// after a few seconds. With MRV_DEMO_REPORT set it also writes the list there.

#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

constexpr UINT_PTR kCloseTimer = 1;
constexpr UINT kShowMilliseconds = 4000;

std::string ListFilesBeside() {
  char self[MAX_PATH + 1] = {};
  GetModuleFileNameA(nullptr, self, sizeof(self));
  std::string folder(self);
  folder.resize(folder.rfind('\\'));
  std::string text = "Started from " + folder + "\r\n\r\n";
  WIN32_FIND_DATAA entry;
  HANDLE search = FindFirstFileA((folder + "\\*").c_str(), &entry);
  if (search == INVALID_HANDLE_VALUE) return text;
  do {
    if (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) continue;
    FILETIME local;
    SYSTEMTIME when;
    FileTimeToLocalFileTime(&entry.ftLastWriteTime, &local);
    FileTimeToSystemTime(&local, &when);
    char line[MAX_PATH + 80];
    std::snprintf(line, sizeof(line), "%-10s %12lu bytes   %04u-%02u-%02u %02u:%02u\r\n", entry.cFileName,
                  entry.nFileSizeLow, when.wYear, when.wMonth, when.wDay, when.wHour, when.wMinute);
    text += line;
  } while (FindNextFileA(search, &entry));
  FindClose(search);
  return text;
}

LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  if (message == WM_TIMER || message == WM_CLOSE) {
    DestroyWindow(window);
    return 0;
  }
  if (message == WM_DESTROY) {
    PostQuitMessage(0);
    return 0;
  }
  return DefWindowProcA(window, message, wparam, lparam);
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int show) {
  const std::string files = ListFilesBeside();
  if (const char* report = std::getenv("MRV_DEMO_REPORT")) {
    if (FILE* out = std::fopen(report, "wb")) {
      std::fputs(files.c_str(), out);
      std::fclose(out);
    }
  }
  WNDCLASSA window_class = {};
  window_class.lpfnWndProc = WindowProc;
  window_class.hInstance = instance;
  window_class.hCursor = LoadCursorA(nullptr, IDC_ARROW);
  window_class.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
  window_class.lpszClassName = "MorvelDemoSetup";
  RegisterClassA(&window_class);
  HWND window = CreateWindowExA(0, "MorvelDemoSetup", "Morvel Setup (demo)", WS_OVERLAPPEDWINDOW, 120, 120, 560, 240,
                                nullptr, nullptr, instance, nullptr);
  HWND list = CreateWindowExA(0, "Edit", files.c_str(), WS_CHILD | WS_VISIBLE | ES_MULTILINE | ES_READONLY, 10, 10,
                              530, 180, window, nullptr, instance, nullptr);
  SendMessageA(list, WM_SETFONT, reinterpret_cast<WPARAM>(GetStockObject(ANSI_FIXED_FONT)), TRUE);
  ShowWindow(window, show);
  SetTimer(window, kCloseTimer, kShowMilliseconds, nullptr);
  MSG message;
  while (GetMessageA(&message, nullptr, 0, 0) > 0) {
    TranslateMessage(&message);
    DispatchMessageA(&message);
  }
  return 0;
}
