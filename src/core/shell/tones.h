// The four sounds as speaker tone sequences, and their synthesis into PCM
// samples and wave files for hosts that play sound through an audio device.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "shell/host.h"

namespace trelmo {

// The speaker timer's input clock: a tone's frequency is this over its divisor.
constexpr int64_t kToneClockHz = 1193180;
// One heartbeat tick is 65536 clock periods (about 55 ms).
constexpr int64_t kToneTickPeriods = 65536;
constexpr int kToneSampleRate = 22050;
// Longest synthesized sound; longer sequences are cut here.
constexpr int kToneMaxSeconds = 10;

// "Tick", "Peep", "Beep" or "Beop".
const char* soundName(Sound s);
// Pairs of divisor and duration in ticks, ended by divisor 0.
std::vector<uint16_t> toneSequence(Sound s);

// Samples per tone of `ticks` heartbeat ticks.
int64_t toneSampleCount(uint32_t ticks, int sampleRate);

// Signed 16-bit mono square wave of the sequence. A tone of 0 ticks is a
// click: one short pulse. Reading stops at divisor 0 or at the end of the
// sequence; a divisor without its duration is ignored.
std::vector<int16_t> synthesizeTones(const std::vector<uint16_t>& sequence, int sampleRate = kToneSampleRate);

// A RIFF wave file (PCM, 16-bit mono) holding the samples.
std::string waveFile(const std::vector<int16_t>& samples, int sampleRate = kToneSampleRate);

// The setting holding the path of an event's wave file ("Open", "Close" or
// one of the four sound names); empty means none.
std::string soundSettingName(const std::string& event);

}  // namespace trelmo
