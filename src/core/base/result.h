#pragma once

// The one way the program says "a value, or why not". A failure carries a message written for
// the user ("cannot read /a/b.ipd: No such file or directory"); callers show it as it is.
//
//   Result<IpdImage> image = IpdImage::Read(path);
//   if (!image) return Failure{image.error()};
//   use(*image);
//
// Result<void> (also named Status) is a success without a value, or the reason it failed.

#include <cassert>
#include <string>
#include <utility>
#include <variant>

namespace orrelin {

struct Failure {
    std::string message;
};

template <typename T>
class [[nodiscard]] Result {
  public:
    Result(T value) : state_(std::in_place_index<0>, std::move(value)) {}
    Result(Failure failure) : state_(std::in_place_index<1>, std::move(failure)) {}

    bool ok() const { return state_.index() == 0; }
    explicit operator bool() const { return ok(); }

    T& value() & {
        assert(ok());
        return std::get<0>(state_);
    }
    const T& value() const& {
        assert(ok());
        return std::get<0>(state_);
    }
    T&& value() && {
        assert(ok());
        return std::get<0>(std::move(state_));
    }
    T& operator*() & { return value(); }
    const T& operator*() const& { return value(); }
    T&& operator*() && { return std::move(*this).value(); }
    T* operator->() { return &value(); }
    const T* operator->() const { return &value(); }

    // The reason; only meaningful when !ok().
    const std::string& error() const {
        assert(!ok());
        return std::get<1>(state_).message;
    }

  private:
    std::variant<T, Failure> state_;
};

template <>
class [[nodiscard]] Result<void> {
  public:
    Result() = default;
    Result(Failure failure) : error_(std::move(failure.message)), ok_(false) {}

    bool ok() const { return ok_; }
    explicit operator bool() const { return ok_; }
    const std::string& error() const { return error_; }

  private:
    std::string error_;
    bool ok_ = true;
};

using Status = Result<void>;

}  // namespace orrelin
