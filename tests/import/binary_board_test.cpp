#include <gtest/gtest.h>

#include "import/dxf_test_support.h"

namespace trelmo::testing {
namespace {

class CountingHost : public Host {
 public:
  void messageBox(const std::string& title, const std::string& text) override {
    ++boxes;
    last = title + ": " + text;
  }
  int boxes = 0;
  std::string last;
};

class BinaryBoardTest : public ImportFixture, public ::testing::Test {
 protected:
  BinaryBoardTest() { ctx.host = &host; }
  char read(const std::string& bytes, char hint = kHintNone) {
    in.openMemory(bytes);
    return readBinaryBoard(ctx, in, hint);
  }
  static std::string marked(uint8_t lo, uint8_t hi, size_t size = 64) {
    std::string s(size, '\0');
    s[8] = static_cast<char>(lo);
    s[9] = static_cast<char>(hi);
    return s;
  }
  CountingHost host;
};

TEST_F(BinaryBoardTest, RecognisedBy173AtByteEight) {
  EXPECT_EQ(read(marked(173, 0)), 'O');
  EXPECT_EQ(read(marked(173, 0, 10)), 'O');
  EXPECT_EQ(read(marked(173, 1)), 0);  // 429, little-endian
  EXPECT_EQ(read(marked(0, 173)), 0);
  EXPECT_EQ(read(marked(173, 0).substr(0, 9)), 0);  // too short to hold the value
  EXPECT_EQ(read(marked(173, 0), kHintDxf), 0);
}

TEST_F(BinaryBoardTest, LayerTableOfItsOwnAndAnHonestMessage) {
  ASSERT_EQ(read(marked(173, 0)), 'O');
  EXPECT_STREQ(ctx.layer(0).name, "Pad Master");
  EXPECT_EQ(ctx.layer(0).plotColor, 0x55FF55u);
  EXPECT_STREQ(ctx.layer(6).name, "Bottom Mask");
  EXPECT_TRUE(ctx.layer(6).bottom());
  EXPECT_STREQ(ctx.layer(7).name, "Layer 0");
  EXPECT_EQ(ctx.layer(7).type, kCopper);
  EXPECT_STREQ(ctx.layer(8).name, "Layer 1");
  EXPECT_EQ(ctx.layer(8).type, kCopper | kBottomSide);
  EXPECT_STREQ(ctx.layer(22).name, "Layer 15");
  EXPECT_TRUE(ctx.layer(22).bottom());
  EXPECT_TRUE(ctx.layer(23).unused());
  EXPECT_STREQ(ctx.layer(255).name, "Ratnest");
  EXPECT_TRUE(items().empty());
  EXPECT_EQ(host.boxes, 1);  // no items were read: the user is told so
}

TEST_F(BinaryBoardTest, ChainTriesItOnlyWithoutHint) {
  std::string s = marked(173, 0);
  in.openMemory(s);
  EXPECT_EQ(readerChain(ctx, in, kHintNone), 'O');
  // With a hint it is never tried: the bytes become a hexdump.
  in.openMemory(s);
  EXPECT_EQ(readerChain(ctx, in, kHintHexdump), kFormatText);
}

}  // namespace
}  // namespace trelmo::testing
