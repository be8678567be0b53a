#pragma once

#include "core/support/Subscription.h"

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <utility>
#include <vector>

namespace velmora {

// Everyone who asked to hear of an event. Each observer is kept until its subscription ends, so
// one observer never replaces another. Observers may subscribe or cancel while being notified; a
// cancelled observer is not called again.
//
// Thread: that of the owner.
template <typename... Args> class Observers {
public:
    using Observer = std::function<void(const Args&...)>;

    Observers() = default;
    Observers(const Observers&) = delete;
    Observers& operator=(const Observers&) = delete;

    [[nodiscard]] Subscription subscribe(Observer observer) const
    {
        const auto id = nextId_++;
        list_->emplace(id, std::make_shared<Observer>(std::move(observer)));
        return Subscription([weakList = std::weak_ptr(list_), id] {
            if (auto list = weakList.lock())
                list->erase(id);
        });
    }

    bool empty() const { return list_->empty(); }

    void notify(const Args&... args) const
    {
        // A snapshot, since observers may (un)subscribe while we call them.
        const std::vector<std::pair<std::uint64_t, std::shared_ptr<Observer>>> current(list_->begin(), list_->end());
        for (const auto& [id, observer] : current) {
            if (list_->count(id))
                (*observer)(args...);
        }
    }

private:
    std::shared_ptr<std::map<std::uint64_t, std::shared_ptr<Observer>>> list_ =
        std::make_shared<std::map<std::uint64_t, std::shared_ptr<Observer>>>();
    mutable std::uint64_t nextId_ = 0;
};

} // namespace velmora
