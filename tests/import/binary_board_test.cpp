#include <gtest/gtest.h>

#include "import/dxf_test_support.h"

namespace trelmo::testing {
namespace {

class BinaryBoardTest : public ImportFixture, public ::testing::Test {
 protected:
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
  // Its sixteen signal layers follow the fixed ones, odd ones on the bottom.
  EXPECT_STREQ(ctx.layer(7).name, "Layer 0");
  EXPECT_EQ(ctx.layer(8).type, kCopper | kBottomSide);
  EXPECT_STREQ(ctx.layer(22).name, "Layer 15");
  EXPECT_TRUE(ctx.layer(23).unused());
  EXPECT_TRUE(items().empty());
  EXPECT_EQ(host.boxes.size(), 1u);  // no items were read: the user is told so
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
