#pragma once

#include <utility>
#include <variant>

namespace velmora {

// A value or the error that prevented it. (std::expected arrives with C++23.)
template <typename T, typename E> class Expected {
public:
    Expected(T value) : content_(std::in_place_index<0>, std::move(value)) {}
    Expected(E error) : content_(std::in_place_index<1>, std::move(error)) {}

    bool ok() const { return content_.index() == 0; }
    explicit operator bool() const { return ok(); }

    const T& value() const& { return std::get<0>(content_); }
    T&& value() && { return std::get<0>(std::move(content_)); }
    const E& error() const& { return std::get<1>(content_); }
    const T* operator->() const { return &value(); }
    const T& operator*() const& { return value(); }

    friend bool operator==(const Expected&, const Expected&) = default;

private:
    std::variant<T, E> content_;
};

} // namespace velmora
