#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <utility>
#include <vector>

namespace velmora {

// Ends an observation when destroyed (or when cancel() is called). Move-only.
class Subscription {
public:
    Subscription() = default;
    explicit Subscription(std::function<void()> cancel) : cancel_(std::move(cancel)) {}
    Subscription(Subscription&& other) noexcept : cancel_(std::exchange(other.cancel_, nullptr)) {}
    Subscription& operator=(Subscription&& other) noexcept
    {
        if (this != &other) {
            cancel();
            cancel_ = std::exchange(other.cancel_, nullptr);
        }
        return *this;
    }
    Subscription(const Subscription&) = delete;
    Subscription& operator=(const Subscription&) = delete;
    ~Subscription() { cancel(); }

    void cancel()
    {
        if (auto cancel = std::exchange(cancel_, nullptr))
            cancel();
    }

private:
    std::function<void()> cancel_;
};

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
        notify();
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
        const auto id = nextId_++;
        (*observers_)[id] = std::make_shared<Observer>(std::move(observer));
        const auto keep = (*observers_)[id];
        (*keep)(value_);
        return Subscription([weakObservers = std::weak_ptr(observers_), id] {
            if (auto observers = weakObservers.lock())
                observers->erase(id);
        });
    }

private:
    void notify()
    {
        // A snapshot, since observers may (un)subscribe while we call them.
        std::vector<std::pair<std::uint64_t, std::shared_ptr<Observer>>> current(
            observers_->begin(), observers_->end());
        for (const auto& [id, observer] : current) {
            if (observers_->count(id))
                (*observer)(value_);
        }
    }

    T value_{};
    mutable std::shared_ptr<std::map<std::uint64_t, std::shared_ptr<Observer>>> observers_ =
        std::make_shared<std::map<std::uint64_t, std::shared_ptr<Observer>>>();
    mutable std::uint64_t nextId_ = 0;
};

} // namespace velmora
