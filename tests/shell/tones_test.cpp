#include "shell/tones.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

namespace trelmo {
namespace {

// Frequency measured from the rising edges of a stretch of square wave.
double measuredFrequency(const std::vector<int16_t>& s, size_t from, size_t to, int rate) {
  size_t first = 0, last = 0;
  int edges = 0;
  for (size_t i = from + 1; i < to; ++i)
    if (s[i - 1] < 0 && s[i] > 0) {
      if (edges++ == 0) first = i;
      last = i;
    }
  if (edges < 2) return 0;
  return (edges - 1) * static_cast<double>(rate) / static_cast<double>(last - first);
}

TEST(Tones, SampleCountsFollowTheTicksOfEachTone) {
  const int rate = kToneSampleRate;
  EXPECT_EQ(toneSampleCount(1, rate), 1211);  // 55 ms at 22050 Hz
  EXPECT_EQ(synthesizeTones(toneSequence(Sound::Peep)).size(), 1211u);
  EXPECT_EQ(synthesizeTones(toneSequence(Sound::Beep)).size(), static_cast<size_t>(toneSampleCount(2, rate)));
  EXPECT_EQ(synthesizeTones(toneSequence(Sound::Beop)).size(),
            static_cast<size_t>(toneSampleCount(2, rate) + toneSampleCount(5, rate)));
}

TEST(Tones, FrequencyIsTheClockOverTheDivisor) {
  const int rate = kToneSampleRate;
  const auto beep = synthesizeTones(toneSequence(Sound::Beep));
  EXPECT_NEAR(measuredFrequency(beep, 0, beep.size(), rate), 1193180.0 / 895, 15);
  const auto beop = synthesizeTones(toneSequence(Sound::Beop));
  const size_t split = static_cast<size_t>(toneSampleCount(2, rate));
  EXPECT_NEAR(measuredFrequency(beop, 0, split, rate), 1193180.0 / 597, 25);
  EXPECT_NEAR(measuredFrequency(beop, split, beop.size(), rate), 1193180.0 / 1193, 10);
}

TEST(Tones, ZeroDurationIsAShortClick) {
  const auto tick = synthesizeTones(toneSequence(Sound::Tick));
  ASSERT_FALSE(tick.empty());
  EXPECT_LT(tick.size(), 200u);
}

TEST(Tones, MalformedSequencesStaySafeAndBounded) {
  EXPECT_TRUE(synthesizeTones({}).empty());
  EXPECT_TRUE(synthesizeTones({0, 5, 597, 2}).empty());  // ends at the first divisor 0
  EXPECT_TRUE(synthesizeTones({597}).empty());           // a divisor without its duration
  EXPECT_TRUE(synthesizeTones(toneSequence(Sound::Beep), 0).empty());
  const auto longest = synthesizeTones({1, 65535, 1, 65535, 0});  // over an hour asked for
  EXPECT_EQ(longest.size(), static_cast<size_t>(kToneSampleRate) * kToneMaxSeconds);
}

TEST(Tones, WaveFileHasAPcmHeaderAndTheSamples) {
  const std::vector<int16_t> samples{1, -2, 300};
  const std::string wav = waveFile(samples, 22050);
  ASSERT_EQ(wav.size(), 44u + 6u);
  EXPECT_EQ(wav.substr(0, 4), "RIFF");
  EXPECT_EQ(wav.substr(8, 8), "WAVEfmt ");
  EXPECT_EQ(wav.substr(36, 4), "data");
  auto u32 = [&](size_t at) {
    uint32_t v;
    std::memcpy(&v, wav.data() + at, 4);
    return v;
  };
  EXPECT_EQ(u32(4), 42u);
  EXPECT_EQ(u32(24), 22050u);
  EXPECT_EQ(u32(40), 6u);
  EXPECT_EQ(static_cast<uint8_t>(wav[46]), 0xFE);  // -2, little-endian
  EXPECT_EQ(static_cast<uint8_t>(wav[47]), 0xFF);
}

}  // namespace
}  // namespace trelmo
