// Port: the three short sounds of the till. Callers check the sound-effects
// switch; the adapter only plays.
#pragma once

namespace kassio {

enum class SoundId { kRefused = 8002, kVoided = 8003, kAdded = 8004 };

class Sound {
  public:
    virtual ~Sound() = default;
    virtual void play(SoundId id) = 0;
};

}  // namespace kassio
