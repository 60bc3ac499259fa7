#pragma once
// One move-only owner for every kind of system handle; each kind is described by a traits type
// with the handle type, its invalid value and how to close it.

#include <utility>

template <class Traits>
class UniqueHandle {
public:
    using Type = typename Traits::Type;

    UniqueHandle() noexcept = default;
    explicit UniqueHandle(Type value) noexcept : value_(value) {}
    UniqueHandle(const UniqueHandle&) = delete;
    UniqueHandle& operator=(const UniqueHandle&) = delete;
    UniqueHandle(UniqueHandle&& other) noexcept : value_(other.Release()) {}
    UniqueHandle& operator=(UniqueHandle&& other) noexcept
    {
        if (this != &other) Reset(other.Release());
        return *this;
    }
    ~UniqueHandle() { Reset(); }

    [[nodiscard]] Type Get() const noexcept { return value_; }
    [[nodiscard]] bool Valid() const noexcept { return value_ != Traits::Invalid(); }
    explicit operator bool() const noexcept { return Valid(); }

    // Closes what is held and takes `value`.
    void Reset(Type value = Traits::Invalid()) noexcept
    {
        if (Valid()) Traits::Close(value_);
        value_ = value;
    }
    [[nodiscard]] Type Release() noexcept { return std::exchange(value_, Traits::Invalid()); }
    // For APIs that return a handle through an out parameter.
    Type* Put() noexcept
    {
        Reset();
        return &value_;
    }

private:
    Type value_ = Traits::Invalid();
};
