#pragma once

// A growing array of plain values for the large arrays of an index: room reserved ahead is
// neither zeroed nor touched, so it takes no memory until it is written, and large blocks are
// backed with large pages.

#include <algorithm>
#include <cstddef>
#include <cstring>
#include <memory>
#include <type_traits>

#include "ipd/ipd_image.h"

namespace orrelin {

template <typename T>
class PlainBuffer {
    static_assert(std::is_trivially_copyable_v<T>);

  public:
    std::size_t size() const { return size_; }
    bool empty() const { return size_ == 0; }
    const T* data() const { return data_.get(); }
    const T* begin() const { return data_.get(); }
    const T* end() const { return data_.get() + size_; }
    const T& operator[](std::size_t i) const { return data_[i]; }
    std::size_t capacityBytes() const { return capacity_ * sizeof(T); }

    void reserve(std::size_t n) {
        if (n <= capacity_) return;
        std::unique_ptr<T[]> bigger(new T[n]);
        AskForLargePages(bigger.get(), n * sizeof(T));
        if (size_ > 0) std::memcpy(bigger.get(), data_.get(), size_ * sizeof(T));
        data_ = std::move(bigger);
        capacity_ = n;
    }
    // Room for n more values at the end; `commit` then says how many were written.
    T* room(std::size_t n) {
        if (capacity_ - size_ < n) reserve(std::max(capacity_ * 2, size_ + n));
        return data_.get() + size_;
    }
    void commit(std::size_t n) { size_ += n; }
    void push_back(T value) {
        *room(1) = value;
        ++size_;
    }
    // Drops the values from n on.
    void truncate(std::size_t n) { size_ = std::min(size_, n); }

  private:
    std::unique_ptr<T[]> data_;
    std::size_t size_ = 0;
    std::size_t capacity_ = 0;
};

}  // namespace orrelin
