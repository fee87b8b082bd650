#pragma once

#include <utility>

namespace win {

// Move-only owner of one resource value. Traits supplies the empty value,
// the validity test and the release call.
template <typename Traits>
class UniqueResource {
public:
    using Value = typename Traits::Value;

    UniqueResource() noexcept = default;
    explicit UniqueResource(Value value) noexcept : value_(value) {}
    ~UniqueResource() { reset(); }

    UniqueResource(const UniqueResource&) = delete;
    UniqueResource& operator=(const UniqueResource&) = delete;
    UniqueResource(UniqueResource&& other) noexcept : value_(other.release()) {}
    UniqueResource& operator=(UniqueResource&& other) noexcept {
        if (this != &other) reset(other.release());
        return *this;
    }

    /// The owned value, still owned.
    Value get() const noexcept { return value_; }
    /// True when a valid value is owned.
    explicit operator bool() const noexcept { return Traits::isValid(value_); }
    /// Gives up ownership and returns the value.
    Value release() noexcept { return std::exchange(value_, Traits::empty()); }
    /// Releases the owned value and takes `value` instead.
    void reset(Value value = Traits::empty()) noexcept {
        Value old = std::exchange(value_, value);
        if (Traits::isValid(old)) Traits::close(old);
    }
    /// Releases the owned value and hands out the slot for a callee that
    /// returns a new one through an out-parameter.
    Value* put() noexcept {
        reset();
        return &value_;
    }

private:
    Value value_ = Traits::empty();
};

}  // namespace win
