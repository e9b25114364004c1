#include "driver/window_logic.h"

#include <cmath>

std::int32_t ProgressPosition(float percent) {
  double value = percent;
  double floor = std::floor(value);
  double fraction = value - floor;
  if (fraction > 0.5 || (fraction == 0.5 && std::fmod(floor, 2.0) != 0.0)) floor += 1.0;
  return static_cast<std::int32_t>(floor);
}

Placement CentreOnScreen(int width, int height, int screen_width, int screen_height) {
  if (width > screen_width) width = screen_width;
  if (height > screen_height) height = screen_height;
  return {(screen_width - width) / 2, (screen_height - height) / 2, width, height};
}

void EventQueue::Push(Event event) {
  if (count_ != 0) {
    const Event& newest = events_[(first_ + count_ - 1) % kCapacity];
    if (newest.code == event.code && newest.window == event.window) return;
  }
  if (count_ == kCapacity) {
    first_ = (first_ + 1) % kCapacity;
    --count_;
  }
  events_[(first_ + count_) % kCapacity] = event;
  ++count_;
}

bool EventQueue::Pop(Event& event) {
  if (count_ == 0) return false;
  event = events_[first_];
  first_ = (first_ + 1) % kCapacity;
  --count_;
  return true;
}
