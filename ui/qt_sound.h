// The Sound port on Qt: three short tones made at start-up (a low buzz
// for a refusal, a falling blip for a void, a bright tick for an added
// line) and played without waiting.
#pragma once

#include <QSoundEffect>
#include <QTemporaryDir>

#include <map>
#include <memory>

#include "platform/sound.h"

namespace kassio {

class QtSound final : public Sound {
  public:
    QtSound();
    void play(SoundId id) override;

  private:
    QTemporaryDir m_dir;
    std::map<SoundId, std::unique_ptr<QSoundEffect>> m_effects;
};

// A mono 16-bit WAV of the given sound, as bytes.
QByteArray soundWave(SoundId id);

}  // namespace kassio
