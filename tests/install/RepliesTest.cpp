#include "install/Replies.h"

#include <gtest/gtest.h>

#include "tests/install/Fakes.h"

namespace install {
namespace {

using fakes::PlistReply;
using fakes::ScriptedStream;
using fakes::StatusReply;

// Decodes "bplist00<xml>" by handing out the XML after the magic, as a converting library would.
class SuffixDecoder : public BinaryPlistDecoder {
 public:
  bool ToXml(const uint8_t* data, size_t length, std::string& xml) override {
    ++calls;
    if (fail) return false;
    xml.assign(reinterpret_cast<const char*>(data) + 8, length - 8);
    return true;
  }
  int calls = 0;
  bool fail = false;
};

TEST(Replies, TrimReply) {
  struct Case {
    const wchar_t* text;
    const wchar_t* trimmed;
  } cases[] = {
      {L"<plist></plist>\n", L"<plist></plist>"},
      {L"<plist></plist>\r\n\0\0", L"<plist></plist>"},
      {L"abc", L""},  // none of the eight characters
      {L"", L""},
      {L"xyz t uvw", L"xyz t"},
      {L"</plist>   <", L"</plist>   <"},
  };
  for (const Case& c : cases) EXPECT_EQ(TrimReply(c.text), c.trimmed) << testing::PrintToString(std::wstring(c.text));
}

TEST(Replies, IsCompleteReply) {
  struct Case {
    std::string text;
    bool complete;
  } cases[] = {
      {StatusReply("Complete"), true},
      {StatusReply("Complete") + "\n\n", true},
      {PlistReply("<key>Status</key><integer>1</integer><string>Complete</string>"), true},
      {StatusReply("Complete", 100), false},  // only the first key counts
      {StatusReply("InstallingApplication"), false},
      {PlistReply("<key>Status</key>"), false},
      {PlistReply("<key>Error</key><string>Complete</string>"), false},
      {"<plist><array><key>Status</key><string>Complete</string></array></plist>", false},
      {"", false},
      {"Complete", false},
  };
  for (const Case& c : cases) EXPECT_EQ(IsCompleteReply(xml::Utf8ToWide(c.text)), c.complete) << c.text;
}

TEST(Replies, ReceiveReply) {
  const std::string progress = StatusReply("InstallingApplication", 60);
  struct Case {
    const char* name;
    std::vector<std::string> frames;  // payloads; "!" + bytes is sent raw, without a prefix
    ReplyRead expected;
    std::wstring text;  // starts as L"old"
    int decoder_calls;
  } cases[] = {
      {"xml complete", {StatusReply("Complete")}, ReplyRead::kComplete, L"", 0},
      {"xml progress", {progress}, ReplyRead::kMore, xml::Utf8ToWide(progress), 0},
      {"percent before status", {StatusReply("Complete", 100)}, ReplyRead::kMore,
       xml::Utf8ToWide(StatusReply("Complete", 100)), 0},
      {"empty payload", {""}, ReplyRead::kMore, L"", 0},
      {"short text", {"bplist0"}, ReplyRead::kMore, L"bplist0", 0},
      {"nul bytes", {std::string("a\0b\0", 4)}, ReplyRead::kMore, L"a b", 0},
      {"utf-8", {"\xE5\xB9\xB3"}, ReplyRead::kMore, L"\u5e73", 0},
      {"binary complete is not tested", {"bplist00" + StatusReply("Complete")}, ReplyRead::kMore,
       xml::Utf8ToWide(StatusReply("Complete")), 1},
      {"closed", {}, ReplyRead::kFailed, L"old", 0},
      {"oversize", {"!" + std::string("\x01\x00\x00\x00", 4)}, ReplyRead::kFailed, L"old", 0},
      {"cut short", {"!" + std::string("\0\0\0\x10<plist>", 11)}, ReplyRead::kFailed, L"old", 0},
  };
  for (const Case& c : cases) {
    ScriptedStream stream;
    for (const std::string& f : c.frames) {
      if (!f.empty() && f[0] == '!') {
        stream.incoming.push_back(f.substr(1));
      } else {
        stream.AddFrame(f);
      }
    }
    SuffixDecoder decoder;
    std::wstring text = L"old";
    EXPECT_EQ(ReceiveReply(stream, &decoder, text), c.expected) << c.name;
    EXPECT_EQ(text, c.text) << c.name;
    EXPECT_EQ(decoder.calls, c.decoder_calls) << c.name;
  }
}

TEST(Replies, BinaryReplyWithoutWorkingDecoderFails) {
  for (bool have_decoder : {false, true}) {
    ScriptedStream stream;
    stream.AddFrame("bplist00garbage");
    SuffixDecoder decoder;
    decoder.fail = true;
    std::wstring text = L"old";
    EXPECT_EQ(ReceiveReply(stream, have_decoder ? &decoder : nullptr, text), ReplyRead::kFailed);
    EXPECT_EQ(text, L"old");
  }
}

}  // namespace
}  // namespace install
