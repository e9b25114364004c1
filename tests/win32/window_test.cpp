// The progress window read back from a real window under Wine and Xvfb.

#include "driver/progress_window.h"

#include <commctrl.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

namespace {

constexpr char kMessage[] = "Bitte warten: Dateien werden entpackt";

std::string ClassOf(HWND window) {
  char name[64] = {};
  GetClassNameA(window, name, sizeof(name));
  return name;
}

std::string TextOf(HWND window) {
  char text[128] = {};
  GetWindowTextA(window, text, sizeof(text));
  return text;
}

// The rectangle of a control in its parent's client coordinates.
RECT ClientRectOf(HWND control) {
  RECT rect;
  GetWindowRect(control, &rect);
  MapWindowPoints(nullptr, GetParent(control), reinterpret_cast<POINT*>(&rect), 2);
  return rect;
}

void DrainAll() {
  while (PollWindowEvent() != 0) {
  }
}

class ProgressWindowTest : public testing::Test {
 protected:
  static void SetUpTestSuite() { InitWindowLayer(GetModuleHandleA(nullptr)); }
  void SetUp() override {
    window = OpenProgressWindow("Morvel SFX", kMessage);
    ASSERT_NE(window, nullptr);
    DrainAll();
  }
  void TearDown() override { CloseProgressWindow(); }
  HWND window = nullptr;
};

TEST_F(ProgressWindowTest, HasOnlyACaptionAndNoBoxesOrSizingFrame) {
  EXPECT_EQ(ClassOf(window), "WindowClass_0");
  EXPECT_EQ(TextOf(window), "Morvel SFX");
  const LONG style = GetWindowLongA(window, GWL_STYLE);
  EXPECT_EQ(style & WS_CAPTION, WS_CAPTION);
  EXPECT_EQ(style & (WS_SYSMENU | WS_THICKFRAME | WS_MINIMIZEBOX | WS_MAXIMIZEBOX | WS_POPUP), 0);
  EXPECT_TRUE(IsWindowVisible(window));
  EXPECT_EQ(GetWindowLongA(window, GWL_EXSTYLE) & ~WS_EX_WINDOWEDGE, 0);
  EXPECT_EQ(GetClassLongA(window, GCL_STYLE), CS_DBLCLKS);
  EXPECT_EQ(GetClassLongA(window, GCL_HBRBACKGROUND), COLOR_BTNFACE + 1);
  EXPECT_NE(GetClassLongA(window, GCL_HICON), 0u) << "icon group 1 of the executable";
  EXPECT_EQ(GetMenu(window), nullptr);
  EXPECT_EQ(GetParent(window), nullptr);
}

TEST_F(ProgressWindowTest, ClientAreaIsFixedAndTheWindowCentred) {
  RECT client;
  GetClientRect(window, &client);
  EXPECT_EQ(client.right - client.left, 340);
  EXPECT_EQ(client.bottom - client.top, 58);
  RECT outer;
  GetWindowRect(window, &outer);
  EXPECT_EQ(outer.left, (GetSystemMetrics(SM_CXSCREEN) - (outer.right - outer.left)) / 2);
  EXPECT_EQ(outer.top, (GetSystemMetrics(SM_CYSCREEN) - (outer.bottom - outer.top)) / 2);
}

TEST_F(ProgressWindowTest, BarAndLabelSitWhereTheyShould) {
  HWND bar = GetDlgItem(window, 1);
  HWND label = GetDlgItem(window, 2);
  ASSERT_NE(bar, nullptr);
  ASSERT_NE(label, nullptr);
  EXPECT_EQ(ClassOf(bar), "msctls_progress32");
  EXPECT_EQ(ClassOf(label), "Static");
  const RECT bar_rect = ClientRectOf(bar);
  EXPECT_EQ(bar_rect.left, 20);
  EXPECT_EQ(bar_rect.top, 30);
  EXPECT_EQ(bar_rect.right, 320);
  EXPECT_EQ(bar_rect.bottom, 46);
  const RECT label_rect = ClientRectOf(label);
  EXPECT_EQ(label_rect.left, 20);
  EXPECT_EQ(label_rect.top, 5);
  EXPECT_EQ(label_rect.right, 262);
  EXPECT_EQ(label_rect.bottom, 26);
  EXPECT_EQ(TextOf(label), kMessage);
  EXPECT_EQ(TextOf(bar), "");
  EXPECT_EQ(static_cast<DWORD>(GetWindowLongA(bar, GWL_STYLE)) & 0xFFFF0000u, 0x50000000u);
  EXPECT_EQ(static_cast<DWORD>(GetWindowLongA(label, GWL_STYLE)), 0x50020000u);
  for (HWND control : {bar, label}) {
    EXPECT_EQ(GetWindowLongA(control, GWL_STYLE) & WS_TABSTOP, 0);
    EXPECT_EQ(reinterpret_cast<HGDIOBJ>(SendMessageA(control, WM_GETFONT, 0, 0)), GetStockObject(DEFAULT_GUI_FONT));
  }
  PBRANGE range;
  SendMessageA(bar, PBM_GETRANGE, FALSE, reinterpret_cast<LPARAM>(&range));
  EXPECT_EQ(range.iLow, 0);
  EXPECT_EQ(range.iHigh, 100);
  EXPECT_EQ(SendMessageA(bar, PBM_GETPOS, 0, 0), 0);
}

TEST_F(ProgressWindowTest, BarFollowsTheRoundedPercent) {
  HWND bar = GetDlgItem(window, 1);
  const struct {
    float percent;
    int position;
  } cases[] = {{12.5f, 12}, {37.5f, 38}, {33.333332f, 33}, {66.666664f, 67}, {99.5f, 100}, {100.0f, 100}, {0.0f, 0}};
  for (const auto& c : cases) {
    EXPECT_EQ(OnUnpackProgress("mrv.exe", c.percent), 0);
    EXPECT_EQ(SendMessageA(bar, PBM_GETPOS, 0, 0), c.position) << c.percent;
  }
}

TEST_F(ProgressWindowTest, CloseRequestIsSwallowed) {
  PostMessageA(window, WM_CLOSE, 0, 0);
  PostMessageA(window, WM_SYSCOMMAND, SC_CLOSE, 0);
  OnUnpackProgress("", 50.0f);
  EXPECT_TRUE(IsWindow(window));
  EXPECT_TRUE(IsWindowVisible(window));
}

TEST_F(ProgressWindowTest, RepeatedEventIsQueuedOnce) {
  SendMessageA(window, WM_MOVE, 0, 0);
  SendMessageA(window, WM_MOVE, 0, 0);
  EXPECT_EQ(PollWindowEvent(), kEventMove);
  EXPECT_NE(PollWindowEvent(), kEventMove);
}

TEST_F(ProgressWindowTest, RepeatAfterAnotherEventIsQueuedAgain) {
  SendMessageA(window, WM_MOVE, 0, 0);
  EXPECT_EQ(SendMessageA(window, WM_CLOSE, 0, 0), 0);
  SendMessageA(window, WM_MOVE, 0, 0);
  EXPECT_EQ(PollWindowEvent(), kEventMove);
  EXPECT_EQ(PollWindowEvent(), kEventClose);
  EXPECT_EQ(PollWindowEvent(), kEventMove);
}

TEST_F(ProgressWindowTest, ActivationAndSizeEvents) {
  EXPECT_EQ(SendMessageA(window, WM_ACTIVATE, WA_INACTIVE, 0), 1);
  EXPECT_EQ(SendMessageA(window, WM_SIZE, SIZE_MINIMIZED, 0), 0);
  EXPECT_EQ(SendMessageA(window, WM_ACTIVATE, WA_ACTIVE, 0), 1);
  EXPECT_EQ(SendMessageA(window, WM_SIZE, SIZE_RESTORED, MAKELPARAM(340, 58)), 0);
  EXPECT_EQ(PollWindowEvent(), kEventActivate);
  EXPECT_EQ(PollWindowEvent(), kEventSize);
}

TEST_F(ProgressWindowTest, NullMessageEndsTheDrainEarly) {
  constexpr UINT kLater = WM_APP + 7;
  PostMessageA(window, WM_NULL, 0, 0);
  PostMessageA(window, kLater, 0, 0);
  OnUnpackProgress("", 10.0f);
  MSG message;
  EXPECT_TRUE(PeekMessageA(&message, window, kLater, kLater, PM_NOREMOVE));
  OnUnpackProgress("", 20.0f);
  EXPECT_FALSE(PeekMessageA(&message, window, kLater, kLater, PM_NOREMOVE));
}

TEST_F(ProgressWindowTest, HideKeepsTheWindowAndCloseDestroysIt) {
  SetProgressPosition(100);
  HideProgressWindow();
  EXPECT_TRUE(IsWindow(window));
  EXPECT_FALSE(IsWindowVisible(window));
  EXPECT_EQ(SendMessageA(GetDlgItem(window, 1), PBM_GETPOS, 0, 0), 100);
  CloseProgressWindow();
  EXPECT_FALSE(IsWindow(window));
  WNDCLASSA info;
  EXPECT_FALSE(GetClassInfoA(GetModuleHandleA(nullptr), "WindowClass_0", &info));
  CloseProgressWindow();  // a second close does nothing
}

LRESULT CALLBACK RefuseCreation(int code, WPARAM wparam, LPARAM lparam) {
  return code == HCBT_CREATEWND ? 1 : CallNextHookEx(nullptr, code, wparam, lparam);
}

TEST(ProgressWindowFailureTest, RefusedWindowGivesNullAndUnregistersTheClass) {
  InitWindowLayer(GetModuleHandleA(nullptr));
  HHOOK hook = SetWindowsHookExA(WH_CBT, RefuseCreation, nullptr, GetCurrentThreadId());
  ASSERT_NE(hook, nullptr);
  HWND window = OpenProgressWindow("Morvel SFX", kMessage);
  UnhookWindowsHookEx(hook);
  EXPECT_EQ(window, nullptr);
  WNDCLASSA info;
  EXPECT_FALSE(GetClassInfoA(GetModuleHandleA(nullptr), "WindowClass_0", &info));
  SetProgressPosition(50);
  CloseProgressWindow();
}

// Run by ctest on a private screen smaller than the window.
TEST(ProgressWindowNarrowScreenTest, IsCutToTheScreen) {
  if (!std::getenv("MRV_EXPECT_NARROW_SCREEN")) GTEST_SKIP() << "needs a screen smaller than the window";
  InitWindowLayer(GetModuleHandleA(nullptr));
  HWND window = OpenProgressWindow("Morvel SFX", kMessage);
  ASSERT_NE(window, nullptr);
  RECT outer;
  GetWindowRect(window, &outer);
  CloseProgressWindow();
  EXPECT_EQ(outer.left, 0);
  EXPECT_EQ(outer.top, 0);
  EXPECT_EQ(outer.right - outer.left, GetSystemMetrics(SM_CXSCREEN));
  EXPECT_EQ(outer.bottom - outer.top, GetSystemMetrics(SM_CYSCREEN));
}

}  // namespace
