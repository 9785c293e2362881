#include "shell/tones.h"

#include <algorithm>

namespace trelmo {

namespace {

constexpr int16_t kToneAmplitude = 8000;
constexpr int kClickMilliseconds = 2;

void appendLittleEndian(std::string& out, uint32_t value, int bytes) {
  for (int i = 0; i < bytes; ++i) out.push_back(static_cast<char>((value >> (8 * i)) & 0xFF));
}

}  // namespace

const char* soundName(Sound s) {
  switch (s) {
    case Sound::Tick:
      return "Tick";
    case Sound::Peep:
      return "Peep";
    case Sound::Beep:
      return "Beep";
    case Sound::Beop:
      return "Beop";
  }
  return "Beep";
}

std::vector<uint16_t> toneSequence(Sound s) {
  switch (s) {
    case Sound::Tick:
      return {65535, 0, 0};
    case Sound::Peep:
      return {597, 1, 0};
    case Sound::Beep:
      return {895, 2, 0};
    case Sound::Beop:
      return {597, 2, 1193, 5, 0};
  }
  return {0};
}

int64_t toneSampleCount(uint32_t ticks, int sampleRate) {
  if (sampleRate <= 0) return 0;
  const int64_t periods = static_cast<int64_t>(ticks) * kToneTickPeriods * sampleRate;
  return (periods + kToneClockHz / 2) / kToneClockHz;
}

std::vector<int16_t> synthesizeTones(const std::vector<uint16_t>& sequence, int sampleRate) {
  std::vector<int16_t> out;
  if (sampleRate <= 0) return out;
  const size_t limit = static_cast<size_t>(sampleRate) * kToneMaxSeconds;
  for (size_t i = 0; i + 1 < sequence.size() && sequence[i] != 0 && out.size() < limit; i += 2) {
    const int64_t divisor = sequence[i];
    const uint16_t ticks = sequence[i + 1];
    if (ticks == 0) {
      const size_t click = std::max<size_t>(1, static_cast<size_t>(sampleRate) * kClickMilliseconds / 1000);
      out.insert(out.end(), std::min(click, limit - out.size()), kToneAmplitude);
      continue;
    }
    const size_t count = std::min<size_t>(static_cast<size_t>(toneSampleCount(ticks, sampleRate)), limit - out.size());
    // Half periods elapsed at sample n: n * 2 * clock / (divisor * rate).
    for (size_t n = 0; n < count; ++n) {
      const int64_t halves = static_cast<int64_t>(n) * 2 * kToneClockHz / (divisor * sampleRate);
      out.push_back(halves % 2 == 0 ? kToneAmplitude : static_cast<int16_t>(-kToneAmplitude));
    }
  }
  return out;
}

std::string waveFile(const std::vector<int16_t>& samples, int sampleRate) {
  const uint32_t dataBytes = static_cast<uint32_t>(samples.size() * 2);
  std::string out;
  out.reserve(44 + dataBytes);
  out += "RIFF";
  appendLittleEndian(out, 36 + dataBytes, 4);
  out += "WAVEfmt ";
  appendLittleEndian(out, 16, 4);  // format chunk size
  appendLittleEndian(out, 1, 2);   // PCM
  appendLittleEndian(out, 1, 2);   // mono
  appendLittleEndian(out, static_cast<uint32_t>(sampleRate), 4);
  appendLittleEndian(out, static_cast<uint32_t>(sampleRate) * 2, 4);  // bytes per second
  appendLittleEndian(out, 2, 2);                                      // block align
  appendLittleEndian(out, 16, 2);                                     // bits per sample
  out += "data";
  appendLittleEndian(out, dataBytes, 4);
  for (int16_t s : samples) appendLittleEndian(out, static_cast<uint16_t>(s), 2);
  return out;
}

std::string soundSettingName(const std::string& event) { return "Sound " + event; }

}  // namespace trelmo
