// The GIF frame machine and the player's step rule.
#include <gtest/gtest.h>

#include "skin/ImageFixtures.h"
#include "skin/draw/GifDecoder.h"

using namespace skin_test;
using skin::GifAnimation;
using skin::GifDecoder;

namespace {

uint8_t At(const GifDecoder& d, uint32_t x, uint32_t y) { return d.Canvas()[y * d.Width() + x]; }

TEST(GifAnimation, ThreeFramesRepeatOnePerTick) {
  const Bytes gif = MakeGif(4, 4, {{0, 0, 4, 4, 1}, {0, 0, 4, 4, 2}, {0, 0, 4, 4, 3}});
  GifAnimation anim;
  ASSERT_TRUE(anim.Load(gif));
  std::vector<int> shown;
  for (int tick = 0; tick < 7; ++tick) {
    EXPECT_TRUE(anim.Step()) << tick;
    shown.push_back(At(anim.Decoder(), 2, 2));
  }
  EXPECT_EQ(shown, (std::vector<int>{1, 2, 3, 1, 2, 3, 1}));
  EXPECT_LT(anim.FrameCounter(), 0);
}

TEST(GifAnimation, SingleFrameIsDrawnOnceThenNeverRepainted) {
  const Bytes gif = MakeGif(4, 4, {{0, 0, 4, 4, 2}});
  GifAnimation anim;
  ASSERT_TRUE(anim.Load(gif));
  EXPECT_TRUE(anim.Step());
  EXPECT_EQ(At(anim.Decoder(), 0, 0), 2);
  for (int tick = 0; tick < 3; ++tick) EXPECT_FALSE(anim.Step());
  EXPECT_EQ(anim.FrameCounter(), -1);
  EXPECT_FALSE(anim.Stopped());
}

TEST(GifAnimation, StopsWhenNoFrameDecodes) {
  Bytes gif = MakeGif(4, 4, {{0, 0, 4, 4, 2}});
  // A minimum code size of 1 is outside 2..11: the only frame cannot be decoded.
  for (size_t i = 0; i + 10 < gif.size(); ++i)
    if (gif[i] == 0x2C) {
      gif[i + 10] = 1;
      break;
    }
  GifAnimation anim;
  ASSERT_TRUE(anim.Load(gif));
  EXPECT_FALSE(anim.Step());
  EXPECT_TRUE(anim.Stopped());
  EXPECT_FALSE(anim.Step());
}

TEST(GifAnimation, RefusesBadSignatureAndKeepsNothing) {
  Bytes gif = MakeGif(4, 4, {{0, 0, 4, 4, 2}});
  gif[3] = '7', gif[4] = '7';
  GifAnimation anim;
  EXPECT_FALSE(anim.Load(gif));
  EXPECT_FALSE(anim.IsLoaded());
  EXPECT_FALSE(anim.Step());
  // The signature compares without regard to case.
  Bytes lower = MakeGif(4, 4, {{0, 0, 4, 4, 2}});
  lower[0] = 'g', lower[1] = 'i', lower[2] = 'f', lower[5] = 'A';
  EXPECT_TRUE(anim.Load(lower));
}

TEST(GifDecoderDisposal, BackgroundAndRestore) {
  struct Row {
    int disposal;
    uint8_t expect_outside_second;  // pixel covered by frame 1 only, after frame 2
  };
  // Frame 1 paints index 1 on the left half; frame 2 paints index 3 on the right half.
  for (const Row& r : {Row{0, 1}, Row{1, 1}, Row{2, 0}}) {
    const Bytes gif = MakeGif(8, 4, {{0, 0, 4, 4, 1, r.disposal}, {4, 0, 4, 4, 3}});
    GifDecoder d;
    ASSERT_TRUE(d.Open(gif));
    ASSERT_EQ(d.DecodeNextFrame(), GifDecoder::FrameResult::kFrame);
    ASSERT_EQ(d.DecodeNextFrame(), GifDecoder::FrameResult::kFrame);
    EXPECT_EQ(At(d, 1, 1), r.expect_outside_second) << "disposal " << r.disposal;
    EXPECT_EQ(At(d, 6, 1), 3);
  }
  // Disposal 3 puts back what was under the frame: frame 2 covers frame 1 and is itself undone.
  const Bytes gif = MakeGif(8, 4, {{0, 0, 8, 4, 1}, {2, 0, 4, 4, 2, 3}, {6, 0, 2, 2, 3}});
  GifDecoder d;
  ASSERT_TRUE(d.Open(gif));
  for (int i = 0; i < 3; ++i) ASSERT_EQ(d.DecodeNextFrame(), GifDecoder::FrameResult::kFrame);
  EXPECT_EQ(At(d, 3, 3), 1);
  EXPECT_EQ(At(d, 7, 0), 3);
  EXPECT_EQ(d.DecodeNextFrame(), GifDecoder::FrameResult::kEnd);
}

TEST(GifDecoderTransparency, SkipsTransparentPixelsAndWhitensTheirEntry) {
  const Bytes gif = MakeGif(4, 4, {{0, 0, 4, 4, 1}, {0, 0, 4, 4, 2, 0, 2}});
  GifDecoder d;
  ASSERT_TRUE(d.Open(gif));
  ASSERT_EQ(d.DecodeNextFrame(), GifDecoder::FrameResult::kFrame);
  ASSERT_EQ(d.DecodeNextFrame(), GifDecoder::FrameResult::kFrame);
  EXPECT_EQ(At(d, 1, 1), 1) << "pixels of the transparent index leave the canvas unchanged";
  EXPECT_TRUE(d.Transparent());
  EXPECT_EQ(d.Palette()[2 * 4 + 0], 255);
  EXPECT_EQ(d.Palette()[2 * 4 + 1], 255);
  EXPECT_EQ(d.Palette()[2 * 4 + 2], 255);
}

TEST(GifDecoderBounds, FramesAreClippedToTheCanvas) {
  // A frame that reaches past the right and bottom edges, and one wholly outside.
  const Bytes gif = MakeGif(6, 6, {{4, 4, 40, 40, 2}, {100, 100, 3, 3, 3}, {0, 0, 1, 1, 1}});
  GifDecoder d;
  ASSERT_TRUE(d.Open(gif));
  ASSERT_EQ(d.DecodeNextFrame(), GifDecoder::FrameResult::kFrame);
  EXPECT_EQ(At(d, 5, 5), 2);
  EXPECT_EQ(At(d, 3, 3), 0);
  ASSERT_EQ(d.DecodeNextFrame(), GifDecoder::FrameResult::kFrame);
  ASSERT_EQ(d.DecodeNextFrame(), GifDecoder::FrameResult::kFrame) << "the stream stays in step after clipping";
  EXPECT_EQ(At(d, 0, 0), 1);
}

// One frame of 2 x 1 pixels whose LZW data is given as 3-bit codes (minimum code size 2: clear 4, end 5).
Bytes GifWithCodes(std::vector<uint32_t> codes, uint8_t min_size = 2) {
  Bytes b = {'G', 'I', 'F', '8', '9', 'a', 2, 0, 1, 0, 0x81, 0, 0, 0, 0, 0, 255, 0, 0, 0, 255, 0, 0, 0, 255};
  b.insert(b.end(), {0x2C, 0, 0, 0, 0, 2, 0, 1, 0, 0, min_size});
  Bytes data;
  uint32_t acc = 0;
  int bits = 0;
  for (uint32_t c : codes) {
    acc |= c << bits;
    bits += min_size + 1;
    while (bits >= 8) data.push_back(acc & 0xFF), acc >>= 8, bits -= 8;
  }
  if (bits) data.push_back(acc & 0xFF);
  b.push_back(static_cast<uint8_t>(data.size()));
  b.insert(b.end(), data.begin(), data.end());
  b.insert(b.end(), {0, 0x3B});
  return b;
}

TEST(GifDecoderLzw, CodeTableChecks) {
  struct Row {
    const char* what;
    Bytes gif;
    GifDecoder::FrameResult result;
  };
  const Row rows[] = {
      {"literals", GifWithCodes({4, 1, 2, 5}), GifDecoder::FrameResult::kFrame},
      {"code equal to the next free entry", GifWithCodes({4, 1, 6, 5}), GifDecoder::FrameResult::kFrame},
      {"code beyond the next free entry", GifWithCodes({4, 1, 7, 5}), GifDecoder::FrameResult::kError},
      {"first code after clear is not a literal", GifWithCodes({4, 6, 5}), GifDecoder::FrameResult::kError},
      {"minimum code size 12", GifWithCodes({4, 1, 2, 5}, 12), GifDecoder::FrameResult::kError},
  };
  for (const Row& r : rows) {
    GifDecoder d;
    ASSERT_TRUE(d.Open(r.gif)) << r.what;
    EXPECT_EQ(d.DecodeNextFrame(), r.result) << r.what;
  }
  const Bytes kwkwk = GifWithCodes({4, 1, 6, 5});
  GifDecoder d;
  ASSERT_TRUE(d.Open(kwkwk));
  d.DecodeNextFrame();
  EXPECT_EQ(At(d, 0, 0), 1);
  EXPECT_EQ(At(d, 1, 0), 1) << "KwKwK: code 6 repeats the previous string plus its first index";
}

}  // namespace
