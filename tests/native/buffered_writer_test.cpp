#include "unpack/buffered_writer.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

// The file as the raw writes reached it, one element a write.
struct RecordingFile {
  std::vector<std::string> writes;
  bool fail = false;

  static bool Write(void* file, const void* data, std::uint32_t length) {
    auto* self = static_cast<RecordingFile*>(file);
    if (self->fail) return false;
    self->writes.emplace_back(static_cast<const char*>(data), length);
    return true;
  }
};

class BufferedWriterTest : public testing::Test {
 protected:
  RecordingFile file;
  char buffer[kWriteBufferSize];
  BufferedWriter writer{&RecordingFile::Write, &file, buffer};
};

TEST_F(BufferedWriterTest, KeepsAShortWriteUntilTheFlush) {
  ASSERT_TRUE(writer.Write("abc", 3));
  ASSERT_TRUE(writer.Write("de", 2));
  EXPECT_TRUE(file.writes.empty());
  ASSERT_TRUE(writer.Flush());
  ASSERT_EQ(file.writes.size(), 1u);
  EXPECT_EQ(file.writes[0], "abcde");
}

TEST_F(BufferedWriterTest, SendsALargeWriteAtOnceAfterWhatWaits) {
  const std::string big(kWriteBufferSize, 'x');
  ASSERT_TRUE(writer.Write("ab", 2));
  ASSERT_TRUE(writer.Write(big.data(), static_cast<std::uint32_t>(big.size())));
  ASSERT_EQ(file.writes.size(), 2u);
  EXPECT_EQ(file.writes[0], "ab");
  EXPECT_EQ(file.writes[1], big);
  ASSERT_TRUE(writer.Flush());
  EXPECT_EQ(file.writes.size(), 2u);
}

TEST_F(BufferedWriterTest, StartsAnewWhenTheBufferWouldFillExactly) {
  const std::string first(kWriteBufferSize - 10, 'a');
  const std::string second(10, 'b');
  ASSERT_TRUE(writer.Write(first.data(), static_cast<std::uint32_t>(first.size())));
  // Ten bytes free is not more than ten: the buffer goes out, the ten wait.
  ASSERT_TRUE(writer.Write(second.data(), 10));
  ASSERT_EQ(file.writes.size(), 1u);
  EXPECT_EQ(file.writes[0], first);
  ASSERT_TRUE(writer.Flush());
  ASSERT_EQ(file.writes.size(), 2u);
  EXPECT_EQ(file.writes[1], second);
}

TEST_F(BufferedWriterTest, FlushOfAFreshWriterWritesNothing) {
  ASSERT_TRUE(writer.Flush());
  ASSERT_TRUE(writer.Write(nullptr, 5));
  ASSERT_TRUE(writer.Write("x", 0));
  ASSERT_TRUE(writer.Flush());
  EXPECT_TRUE(file.writes.empty());
}

TEST_F(BufferedWriterTest, ReportsAFailedFlush) {
  ASSERT_TRUE(writer.Write("abc", 3));
  file.fail = true;
  EXPECT_FALSE(writer.Flush());
}

TEST_F(BufferedWriterTest, ReportsAFailedDirectWrite) {
  const std::string big(2 * kWriteBufferSize, 'x');
  file.fail = true;
  EXPECT_FALSE(writer.Write(big.data(), static_cast<std::uint32_t>(big.size())));
}

TEST(UnbufferedWriterTest, WritesEverythingStraightThrough) {
  RecordingFile file;
  BufferedWriter writer(&RecordingFile::Write, &file, nullptr);
  ASSERT_TRUE(writer.Write("ab", 2));
  ASSERT_TRUE(writer.Write("c", 1));
  ASSERT_TRUE(writer.Flush());
  ASSERT_EQ(file.writes.size(), 2u);
  EXPECT_EQ(file.writes[0], "ab");
  EXPECT_EQ(file.writes[1], "c");
}

}  // namespace
