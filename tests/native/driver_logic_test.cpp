#include <gtest/gtest.h>

#include <ostream>

#include <string>

#include "driver/wait_message.h"
#include "driver/window_logic.h"

namespace {

struct PositionCase {
  float percent;
  int position;
};

void PrintTo(const PositionCase& c, std::ostream* os) { *os << c.percent; }

class ProgressPositionTest : public testing::TestWithParam<PositionCase> {};

TEST_P(ProgressPositionTest, RoundsHalfToEven) {
  EXPECT_EQ(ProgressPosition(GetParam().percent), GetParam().position) << GetParam().percent;
}

INSTANTIATE_TEST_SUITE_P(Percents, ProgressPositionTest,
                         testing::Values(PositionCase{0.0f, 0}, PositionCase{12.5f, 12},
                                         PositionCase{37.5f, 38}, PositionCase{33.333332f, 33},
                                         PositionCase{66.666664f, 67}, PositionCase{99.5f, 100},
                                         PositionCase{100.0f, 100}, PositionCase{0.5f, 0},
                                         PositionCase{1.5f, 2}, PositionCase{50.49f, 50},
                                         PositionCase{50.51f, 51}));

struct PlacementCase {
  int width, height, screen_width, screen_height;
  Placement expected;
};

void PrintTo(const PlacementCase& c, std::ostream* os) {
  *os << c.width << "x" << c.height << " on " << c.screen_width << "x" << c.screen_height;
}

class CentreOnScreenTest : public testing::TestWithParam<PlacementCase> {};

TEST_P(CentreOnScreenTest, CentresDroppingTheRemainderAndCutsToTheScreen) {
  const PlacementCase& c = GetParam();
  const Placement place = CentreOnScreen(c.width, c.height, c.screen_width, c.screen_height);
  EXPECT_EQ(place.x, c.expected.x);
  EXPECT_EQ(place.y, c.expected.y);
  EXPECT_EQ(place.width, c.expected.width);
  EXPECT_EQ(place.height, c.expected.height);
}

INSTANTIATE_TEST_SUITE_P(Screens, CentreOnScreenTest,
                         testing::Values(PlacementCase{347, 85, 1024, 768, {338, 341, 347, 85}},
                                         PlacementCase{347, 85, 300, 60, {0, 0, 300, 60}},
                                         PlacementCase{347, 85, 300, 768, {0, 341, 300, 85}},
                                         PlacementCase{347, 85, 1024, 60, {338, 0, 347, 60}}));

std::string Drain(EventQueue& queue) {
  std::string codes;
  EventQueue::Event event;
  while (queue.Pop(event)) codes += std::to_string(event.code) + " ";
  return codes;
}

TEST(EventQueueTest, DropsAnEventEqualToTheNewestWaiting) {
  EventQueue queue;
  queue.Push({3, 0});
  queue.Push({3, 0});
  EXPECT_EQ(Drain(queue), "3 ");
}

TEST(EventQueueTest, KeepsRepeatsWithAnotherEventBetween) {
  EventQueue queue;
  queue.Push({3, 0});
  queue.Push({16, 0});
  queue.Push({3, 0});
  EXPECT_EQ(Drain(queue), "3 16 3 ");
}

TEST(EventQueueTest, QueuesARepeatAgainOnceTheFirstWasTaken) {
  EventQueue queue;
  queue.Push({3, 0});
  EventQueue::Event event;
  ASSERT_TRUE(queue.Pop(event));
  queue.Push({3, 0});
  EXPECT_EQ(Drain(queue), "3 ");
}

TEST(EventQueueTest, MakesRoomByDroppingTheOldestWhenFull) {
  EventQueue queue;
  for (int i = 0; i < 100; ++i) queue.Push({i, 0});
  EventQueue::Event event;
  ASSERT_TRUE(queue.Pop(event));
  EXPECT_EQ(event.code, 36);
  int last = event.code;
  while (queue.Pop(event)) last = event.code;
  EXPECT_EQ(last, 99);
}

struct LanguageCase {
  unsigned language;
  bool german;
};

void PrintTo(const LanguageCase& c, std::ostream* os) { *os << std::hex << c.language; }

class WaitMessageTest : public testing::TestWithParam<LanguageCase> {};

TEST_P(WaitMessageTest, IsGermanForEveryGermanSublanguage) {
  EXPECT_STREQ(WaitMessageFor(GetParam().language),
               GetParam().german ? "Bitte warten: Dateien werden entpackt" : "Please wait: Files extract");
}

INSTANTIATE_TEST_SUITE_P(Languages, WaitMessageTest,
                         testing::Values(LanguageCase{0x0407, true}, LanguageCase{0x0807, true},
                                         LanguageCase{0x0C07, true}, LanguageCase{0x1007, true},
                                         LanguageCase{0x0409, false}, LanguageCase{0x040C, false},
                                         LanguageCase{0x0000, false}, LanguageCase{0x0417, false}));

}  // namespace
