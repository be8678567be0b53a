#pragma once

#include "core/platform/AlertSound.h"

namespace velmora::testing {

// The alert sound of the tests: silent, and it counts.
class CountingAlert final : public AlertSound {
public:
    void play() override { ++count; }
    int count = 0;
};

} // namespace velmora::testing
