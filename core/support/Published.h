#pragma once

#include "core/support/Observers.h"
#include "core/support/Subscription.h"

#include <functional>
#include <memory>
#include <utility>

namespace velmora {

// A value that views and other models observe: a subscriber gets the current value at once and
// every value set afterwards. Main thread only. Observers may subscribe or cancel while being
// notified; a cancelled observer is not called again.
template <typename T> class Published {
public:
    using Observer = std::function<void(const T&)>;

    Published() = default;
    explicit Published(T initial) : value_(std::move(initial)) {}
    Published(const Published&) = delete;
    Published& operator=(const Published&) = delete;

    const T& value() const { return value_; }
    const T& operator*() const { return value_; }
    const T* operator->() const { return &value_; }

    void set(T value)
    {
        value_ = std::move(value);
        observers_.notify(value_);
    }
    // Sets and notifies only when the value differs.
    void setIfChanged(T value)
    {
        if (!(value_ == value))
            set(std::move(value));
    }

    // Observing does not change the value, so it works on a const reference too.
    [[nodiscard]] Subscription subscribe(Observer observer) const
    {
        auto shared = std::make_shared<Observer>(std::move(observer));
        auto subscription = observers_.subscribe([shared](const T& value) { (*shared)(value); });
        (*shared)(value_);
        return subscription;
    }

private:
    T value_{};
    Observers<T> observers_;
};

} // namespace velmora
