#include "tools/simboard/Behaviour.h"

namespace velmora::simboard {

std::string_view name(Behaviour behaviour)
{
    switch (behaviour) {
    case Behaviour::sensor:
        return "sensor";
    case Behaviour::csv:
        return "csv";
    case Behaviour::numbers:
        return "numbers";
    case Behaviour::quiet:
        return "quiet";
    case Behaviour::noise:
        return "noise";
    case Behaviour::flood:
        return "flood";
    }
    return {};
}

std::optional<Behaviour> behaviourFromName(std::string_view text)
{
    for (const Behaviour behaviour : allBehaviours) {
        if (name(behaviour) == text)
            return behaviour;
    }
    return std::nullopt;
}

} // namespace velmora::simboard
