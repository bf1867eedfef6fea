#include "install/Framing.h"

#include <gtest/gtest.h>

#include "install/Requests.h"
#include "tests/install/Fakes.h"

namespace install {
namespace {

using fakes::ScriptedStream;

TEST(Framing, SendsBigEndianPrefixThenPayloadAcrossPartialSends) {
  const std::string request = PackageInstallRequest("12345678.ipa");
  ASSERT_EQ(request.size(), 299u);
  for (size_t limit : {size_t{1}, size_t{3}, size_t{100}, SIZE_MAX}) {
    ScriptedStream stream;
    stream.send_limit = limit;
    ASSERT_TRUE(SendFrame(stream, request.data(), request.size())) << limit;
    EXPECT_EQ(stream.sent, std::string("\x00\x00\x01\x2B", 4) + request) << limit;
  }
  // Small frames go out in one send with their prefix, large ones are sent as they lie.
  for (size_t size : {size_t{4096}, size_t{4097}, size_t{100000}}) {
    const std::string payload(size, 'p');
    ScriptedStream stream;
    ASSERT_TRUE(SendFrame(stream, payload.data(), payload.size())) << size;
    const std::string prefix{static_cast<char>(size >> 24), static_cast<char>(size >> 16),
                             static_cast<char>(size >> 8), static_cast<char>(size)};
    EXPECT_EQ(stream.sent, prefix + payload) << size;
  }
}

TEST(Framing, SendFailsWhenTheConnectionFails) {
  for (size_t fail_after : {size_t{0}, size_t{2}, size_t{4}, size_t{13}}) {
    ScriptedStream stream;
    stream.fail_send_after = fail_after;
    EXPECT_FALSE(SendFrame(stream, "0123456789", 10)) << fail_after;
  }
}

TEST(Framing, ReadsFrames) {
  const std::string max_payload(kMaxFrameLength - 1, 'p');
  struct Case {
    const char* name;
    std::vector<std::string> chunks;
    int64_t end;
    FrameRead expected;
    std::string payload;
  } cases[] = {
      {"whole", {std::string("\0\0\0\3abc", 7)}, 0, FrameRead::kOk, "abc"},
      {"pieces", {std::string("\0", 1), std::string("\0\0", 2), std::string("\5a", 2), "b", "cde"}, 0,
       FrameRead::kOk, "abcde"},
      {"largest", {std::string("\x00\xFF\xFF\xFF", 4), max_payload}, 0, FrameRead::kOk, max_payload},
      {"oversize", {std::string("\x01\x00\x00\x00", 4), "xyz"}, 0, FrameRead::kOversize, ""},
      {"closed in prefix", {std::string("\0\0", 2)}, 0, FrameRead::kClosed, ""},
      {"closed in payload", {std::string("\0\0\0\5ab", 6)}, 0, FrameRead::kClosed, ""},
      {"error in payload", {std::string("\0\0\0\5ab", 6)}, -1, FrameRead::kFailed, ""},
      {"nothing", {}, 0, FrameRead::kClosed, ""},
      {"time-out", {}, -1, FrameRead::kFailed, ""},
  };
  for (const Case& c : cases) {
    ScriptedStream stream;
    stream.incoming.assign(c.chunks.begin(), c.chunks.end());
    stream.end_result = c.end;
    std::vector<uint8_t> payload{'o', 'l', 'd'};
    EXPECT_EQ(ReadFrame(stream, payload), c.expected) << c.name;
    EXPECT_EQ(std::string(payload.begin(), payload.end()), c.payload) << c.name;
  }
}

TEST(Framing, EmptyPayloadNeedsNoFurtherReceive) {
  ScriptedStream stream;
  stream.incoming = {std::string("\0\0\0\0", 4), "next"};
  std::vector<uint8_t> payload;
  EXPECT_EQ(ReadFrame(stream, payload), FrameRead::kOk);
  EXPECT_TRUE(payload.empty());
  EXPECT_EQ(stream.receive_calls, 1);
}

TEST(Framing, ConsecutiveFramesStayAligned) {
  ScriptedStream stream;
  stream.incoming = {fakes::Frame("one") + fakes::Frame("") + fakes::Frame("three")};
  std::vector<uint8_t> payload;
  for (const char* expected : {"one", "", "three"}) {
    ASSERT_EQ(ReadFrame(stream, payload), FrameRead::kOk);
    EXPECT_EQ(std::string(payload.begin(), payload.end()), expected);
  }
  EXPECT_EQ(ReadFrame(stream, payload), FrameRead::kClosed);
}

}  // namespace
}  // namespace install
