#pragma once
// The parts of the progress window that are arithmetic and bookkeeping.

#include <cstddef>
#include <cstdint>

// The bar position for a percentage: rounded to the nearest integer, a value
// halfway between two integers going to the even one.
std::int32_t ProgressPosition(float percent);

struct Placement {
  int x, y, width, height;
};

// A window of the given outer size centred on a screen, cut to the screen's
// size where it is larger.
Placement CentreOnScreen(int width, int height, int screen_width, int screen_height);

// Window events in the order they happened. An event equal to the newest one
// still waiting is not queued again. Events are only ever discarded by the
// drain, so the queue holds what a few messages produce; when it is full the
// oldest event makes room.
class EventQueue {
 public:
  struct Event {
    std::int32_t code;
    std::int32_t window;
  };

  void Push(Event event);
  // Takes the oldest event into `event`; false when there is none.
  bool Pop(Event& event);

 private:
  static constexpr std::size_t kCapacity = 64;
  Event events_[kCapacity] = {};
  std::size_t first_ = 0;
  std::size_t count_ = 0;
};
