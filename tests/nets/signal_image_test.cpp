// Signal Image: the hilighted net drawn into a bitmap beside the board.
#include <gtest/gtest.h>

#include "nets/net_fixture.h"

namespace trelmo::testing {
namespace {

TEST(SignalImage, DrawsTheHilightedNetIntoABitmapNamedAfterIt) {
  NetBoard b;
  ASSERT_TRUE(b.example("demo.pcb"));
  b.run('M');  // no current signal
  EXPECT_EQ(b.host.count(Sound::Beep), 1);
  b.cursor(1.0, 1.3);  // U1 pin 8, VCC
  b.run('H');
  ASSERT_EQ(b.current(), "VCC");
  b.run('M');
  const std::string bmp = b.readFile(b.dir.file("VCC.bmp"));
  ASSERT_GT(bmp.size(), 54u);
  EXPECT_EQ(bmp.substr(0, 2), "BM");
  ASSERT_FALSE(b.host.dialogs.empty());
  EXPECT_EQ(b.host.dialogs.back(), "SignalDisplayBox");
}

}  // namespace
}  // namespace trelmo::testing
