#include "app/sound_player.h"

#include <QAudioDevice>
#include <QFile>
#include <QFileInfo>
#include <QMediaDevices>
#include <QSoundEffect>
#include <QTemporaryDir>
#include <QUrl>

#include "shell/tones.h"

namespace trelmo::app {

SoundPlayer::SoundPlayer(std::function<std::string(const std::string&)> setting) : setting_(std::move(setting)) {}

SoundPlayer::~SoundPlayer() {
  for (QSoundEffect* e : sounds_) delete e;
  delete event_;
}

bool SoundPlayer::audible() {
  if (audible_ < 0) audible_ = QMediaDevices::audioOutputs().isEmpty() ? 0 : 1;
  return audible_ == 1;
}

QString SoundPlayer::synthesized(Sound s) {
  if (!folder_) folder_ = std::make_unique<QTemporaryDir>();
  if (!folder_->isValid()) return {};
  const QString path = folder_->filePath(QString::fromLatin1(soundName(s)) + ".wav");
  if (QFileInfo::exists(path)) return path;
  const std::string wav = waveFile(synthesizeTones(toneSequence(s)));
  QFile file(path);
  if (!file.open(QIODevice::WriteOnly) ||
      file.write(wav.data(), static_cast<qint64>(wav.size())) != static_cast<qint64>(wav.size())) {
    file.remove();
    return {};
  }
  return path;
}

QString SoundPlayer::waveFor(Sound s) {
  // With "Sound Blaster Tones" off the speaker tones are asked for: those are
  // always the synthesized sequences.
  const std::string tones = setting_ ? setting_("Sound Blaster Tones") : std::string();
  const bool waves = tones.empty() || (tones[0] != 'N' && tones[0] != 'n');
  if (waves && setting_) {
    const QString configured = QString::fromStdString(setting_(soundSettingName(soundName(s))));
    if (!configured.isEmpty() && QFileInfo(configured).isFile()) return configured;
  }
  return synthesized(s);
}

QSoundEffect* SoundPlayer::effect(const QString& path) {
  auto* e = new QSoundEffect;
  e->setSource(QUrl::fromLocalFile(path));
  return e;
}

void SoundPlayer::play(Sound s) {
  if (!audible()) return;
  QSoundEffect*& e = sounds_[static_cast<size_t>(s)];
  if (!e) {
    const QString path = waveFor(s);
    if (path.isEmpty()) return;
    e = effect(path);
  }
  e->play();
}

void SoundPlayer::playEvent(const std::string& event) {
  if (!setting_ || !audible()) return;
  const QString path = QString::fromStdString(setting_(soundSettingName(event)));
  if (path.isEmpty() || !QFileInfo(path).isFile()) return;
  delete event_;
  event_ = effect(path);
  event_->play();
}

}  // namespace trelmo::app
