#pragma once

namespace velmora {

// The system alert sound, played when input cannot be sent. The app plays the desktop's beep;
// tests count the calls.
//
// Thread: main thread only.
class AlertSound {
public:
    virtual ~AlertSound() = default;
    virtual void play() = 0;
};

} // namespace velmora
