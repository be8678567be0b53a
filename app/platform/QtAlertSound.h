#pragma once

#include "core/platform/AlertSound.h"

namespace velmora {

// The desktop's beep, played when input cannot be sent.
//
// Thread: main thread only.
class QtAlertSound final : public AlertSound {
public:
    void play() override;
};

} // namespace velmora
