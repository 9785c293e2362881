// Plays the four sounds and the event sounds through Qt Multimedia: the
// sounds' wave files come from the settings or are synthesized from their
// tone sequences once into a temporary folder. With no audio output the
// player stays silent.
#pragma once
#include <QString>
#include <array>
#include <functional>
#include <memory>
#include <string>

#include "shell/host.h"

class QSoundEffect;
class QTemporaryDir;

namespace trelmo::app {

class SoundPlayer {
 public:
  // `setting` reads a setting by name (empty when absent).
  explicit SoundPlayer(std::function<std::string(const std::string&)> setting);
  ~SoundPlayer();

  // False when there is no audio output: every play is then silent.
  bool audible();
  void play(Sound s);
  // "Open" or "Close" from its configured file; nothing when none is set.
  void playEvent(const std::string& event);

  // The wave file a sound plays from (configured, else synthesized); empty
  // when it could not be written.
  QString waveFor(Sound s);

 private:
  QString synthesized(Sound s);
  QSoundEffect* effect(const QString& path);

  std::function<std::string(const std::string&)> setting_;
  std::unique_ptr<QTemporaryDir> folder_;
  std::array<QSoundEffect*, 4> sounds_{};
  QSoundEffect* event_ = nullptr;
  int audible_ = -1;  // unknown until the first sound
};

}  // namespace trelmo::app
