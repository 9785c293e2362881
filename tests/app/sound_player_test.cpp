// The sounds: which wave file each one plays from, and playing headless.
#include "app/sound_player.h"

#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <map>

#include "app/qt_host.h"
#include "app_test_support.h"
#include "shell/tones.h"

namespace trelmo::app {
namespace {

struct Settings {
  std::map<std::string, std::string> values;
  std::function<std::string(const std::string&)> reader() {
    return [this](const std::string& name) {
      auto it = values.find(name);
      return it == values.end() ? std::string() : it->second;
    };
  }
};

QByteArray contents(const QString& path) {
  QFile f(path);
  return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

TEST(SoundPlayerWaves, EachSoundIsSynthesizedFromItsOwnSequence) {
  Settings settings;
  SoundPlayer player(settings.reader());
  for (Sound s : {Sound::Tick, Sound::Peep, Sound::Beep, Sound::Beop}) {
    const QString path = player.waveFor(s);
    ASSERT_FALSE(path.isEmpty()) << soundName(s);
    const std::string expected = waveFile(synthesizeTones(toneSequence(s)));
    EXPECT_EQ(contents(path), QByteArray(expected.data(), static_cast<qsizetype>(expected.size()))) << soundName(s);
  }
  EXPECT_NE(player.waveFor(Sound::Beep), player.waveFor(Sound::Beop));
}

TEST(SoundPlayerWaves, AConfiguredFileIsUsedOnlyWithWaveSoundsOnAndWhenItExists) {
  QTemporaryDir dir;
  const QString own = dir.filePath("mine.wav");
  QFile f(own);
  ASSERT_TRUE(f.open(QIODevice::WriteOnly));
  f.write("RIFF");
  f.close();
  Settings settings;
  settings.values["Sound Beep"] = own.toStdString();
  settings.values["Sound Peep"] = dir.filePath("missing.wav").toStdString();
  {
    SoundPlayer player(settings.reader());
    EXPECT_EQ(player.waveFor(Sound::Beep), own);
    EXPECT_NE(player.waveFor(Sound::Peep), dir.filePath("missing.wav"));  // falls back to the tones
    EXPECT_FALSE(player.waveFor(Sound::Peep).isEmpty());
  }
  settings.values["Sound Blaster Tones"] = "No";
  SoundPlayer player(settings.reader());
  EXPECT_NE(player.waveFor(Sound::Beep), own);
}

TEST(SoundPlayerPlayback, EverySoundPlaysWithoutHangingEvenWithoutAnAudioDevice) {
  QTemporaryDir dir;
  QtHost host(dir.filePath("settings.ini"));
  host.writeSetting("Sound Open", dir.filePath("nowhere.wav").toStdString());
  QElapsedTimer t;
  t.start();
  for (Sound s : {Sound::Tick, Sound::Peep, Sound::Beep, Sound::Beop}) host.sound(s);
  host.eventSound("Open");   // a missing file is silence
  host.eventSound("Close");  // nothing configured
  testing::waitFor([] { return false; }, 200);
  EXPECT_EQ(host.soundsPlayed(), 4);
  EXPECT_LT(t.elapsed(), 5000);
}

}  // namespace
}  // namespace trelmo::app
