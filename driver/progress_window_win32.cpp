#include "driver/progress_window.h"

#include <commctrl.h>

#include "driver/window_logic.h"

namespace {

constexpr char kClassName[] = "WindowClass_0";
constexpr std::int32_t kWindowNumber = 0;
constexpr int kClientWidth = 340;
constexpr int kClientHeight = 58;
constexpr int kBarId = 1;
constexpr int kLabelId = 2;

struct WindowLayer {
  HINSTANCE module = nullptr;
  HICON icon = nullptr;
  HCURSOR cursor = nullptr;
  HFONT font = nullptr;
  HWND window = nullptr;
  HWND bar = nullptr;
  HWND label = nullptr;
  std::int32_t position = 0;  // last sent to the bar, which starts at 0
  EventQueue events;
};
WindowLayer g_layer;

void QueueEvent(std::int32_t code) { g_layer.events.Push({code, kWindowNumber}); }

BOOL CALLBACK ForwardSysColorChange(HWND child, LPARAM) {
  SendMessageA(child, WM_SYSCOLORCHANGE, 0, 0);
  return TRUE;
}

LRESULT CALLBACK ProgressWindowProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  switch (message) {
    case WM_CLOSE:
      // The run cannot be cancelled: the close request is swallowed.
      QueueEvent(kEventClose);
      return 0;
    case WM_MOVE:
      QueueEvent(kEventMove);
      return 0;
    case WM_SIZE:
      if (wparam == SIZE_MINIMIZED) break;
      QueueEvent(kEventSize);
      return 0;
    case WM_ACTIVATE:
      if (LOWORD(wparam) != 0) QueueEvent(kEventActivate);
      return 1;
    case WM_ERASEBKGND:
      QueueEvent(kEventEraseBackground);
      break;
    case WM_SYSCOLORCHANGE:
      EnumChildWindows(window, ForwardSysColorChange, 0);
      break;
  }
  return DefWindowProcA(window, message, wparam, lparam);
}

HWND CreateControl(const char* window_class, const char* text, DWORD style, int x, int y, int width,
                   int height, int id) {
  HWND control = CreateWindowExA(0, window_class, text, style, x, y, width, height, g_layer.window,
                                 reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), g_layer.module,
                                 nullptr);
  if (control) SendMessageA(control, WM_SETFONT, reinterpret_cast<WPARAM>(g_layer.font), 1);
  return control;
}

}  // namespace

void InitWindowLayer(HINSTANCE module) {
  g_layer.module = module;
  g_layer.icon = LoadIconA(module, MAKEINTRESOURCEA(1));
  g_layer.cursor = LoadCursorA(nullptr, IDC_ARROW);
  g_layer.font = static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
  INITCOMMONCONTROLSEX controls = {};
  controls.dwSize = sizeof(controls);
  // The progress bar's class is named too: the window creates one.
  controls.dwICC = ICC_TAB_CLASSES | ICC_DATE_CLASSES | ICC_USEREX_CLASSES | ICC_INTERNET_CLASSES |
                   ICC_PROGRESS_CLASS;
  InitCommonControlsEx(&controls);
}

HWND OpenProgressWindow(const char* title, const char* message) {
  WNDCLASSA window_class = {};
  window_class.style = CS_DBLCLKS;
  window_class.lpfnWndProc = ProgressWindowProc;
  window_class.hInstance = g_layer.module;
  window_class.hIcon = g_layer.icon;
  window_class.hCursor = g_layer.cursor;
  window_class.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  window_class.lpszClassName = kClassName;
  RegisterClassA(&window_class);

  RECT frame = {0, 0, kClientWidth, kClientHeight};
  AdjustWindowRect(&frame, WS_CAPTION, FALSE);
  const Placement place = CentreOnScreen(frame.right - frame.left, frame.bottom - frame.top,
                                         GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN));
  g_layer.window = CreateWindowExA(0, kClassName, title ? title : "", WS_CAPTION, place.x, place.y,
                                   place.width, place.height, nullptr, nullptr, g_layer.module, nullptr);
  if (!g_layer.window) {
    UnregisterClassA(kClassName, g_layer.module);
    return nullptr;
  }
  ShowWindow(g_layer.window, SW_SHOWNORMAL);

  g_layer.position = 0;
  g_layer.bar = CreateControl(PROGRESS_CLASSA, nullptr, WS_CHILD | WS_VISIBLE, 20, 30, 300, 16, kBarId);
  if (g_layer.bar) SendMessageA(g_layer.bar, PBM_SETRANGE32, 0, 100);
  g_layer.label = CreateControl("Static", message, WS_CHILD | WS_VISIBLE | WS_GROUP | SS_LEFT, 20, 5,
                                242, 21, kLabelId);
  return g_layer.window;
}

// Most entries of a large archive leave the rounded percent where it was: the
// bar is told only of a change.
void SetProgressPosition(std::int32_t position) {
  if (!g_layer.bar || position == g_layer.position) return;
  SendMessageA(g_layer.bar, PBM_SETPOS, static_cast<WPARAM>(position), 0);
  g_layer.position = position;
}

std::int32_t PollWindowEvent() {
  EventQueue::Event event;
  if (g_layer.events.Pop(event)) return event.code;
  MSG message;
  if (!PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE | PM_NOYIELD)) return 0;
  TranslateMessage(&message);
  DispatchMessageA(&message);
  return static_cast<std::int32_t>(message.message);
}

void HideProgressWindow() {
  if (g_layer.window) ShowWindow(g_layer.window, SW_HIDE);
}

void CloseProgressWindow() {
  if (!g_layer.window) return;
  DestroyWindow(g_layer.window);
  UnregisterClassA(kClassName, g_layer.module);
  g_layer.window = g_layer.bar = g_layer.label = nullptr;
}

int OnUnpackProgress(const char*, float percent) {
  SetProgressPosition(ProgressPosition(percent));
  while (PollWindowEvent() != 0) {
  }
  return 0;
}
