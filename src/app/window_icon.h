// The program's icon, drawn by the program itself: a green board with a
// copper track between two pads. The animated icon sends a spark of signal
// along the track, one step per frame.
#pragma once
#include <QIcon>
#include <QImage>
#include <array>

namespace trelmo::app {

constexpr int kIconFrames = 32;
// The sizes installed in the icon theme.
constexpr std::array<int, 8> kIconSizes = {16, 22, 24, 32, 48, 64, 128, 256};

// The icon at `size` pixels square; frame 0 is the still icon, 1..32 the
// frames of the animation.
QImage drawIcon(int size, int frame = 0);
// The still icon at every installed size.
QIcon stillIcon();

}  // namespace trelmo::app
