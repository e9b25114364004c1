#pragma once
// The progress window: title, wait message and a bar that follows the
// unpacking. It has no close box and swallows close requests; it is serviced
// only from OnUnpackProgress, between entries.

#include <windows.h>

#include <cstdint>

// Event codes the window procedure queues.
inline constexpr std::int32_t kEventClose = 16;
inline constexpr std::int32_t kEventMove = 3;
inline constexpr std::int32_t kEventSize = 5;
inline constexpr std::int32_t kEventActivate = 13104;
inline constexpr std::int32_t kEventEraseBackground = 15;

// Takes the icon, cursor and font, and makes the common controls available.
void InitWindowLayer(HINSTANCE module);

// Creates and shows the window with its label and bar at 0; null when the
// window could not be created.
HWND OpenProgressWindow(const char* title, const char* message);

// Moves the bar, when there is one, to `position` unchanged.
void SetProgressPosition(std::int32_t position);

// The oldest queued window event, else the identifier of the next pending
// message after dispatching it, else 0. Never waits.
std::int32_t PollWindowEvent();

void HideProgressWindow();

// Destroys the window and unregisters its class; nothing when it never opened.
void CloseProgressWindow();

// The unpack routine's progress callback: moves the bar to the rounded percent,
// then takes every pending event and message. Returns 0.
int OnUnpackProgress(const char* name, float percent);
