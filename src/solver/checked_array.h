#pragma once
// A work array from the program's checked allocator: a failure is error 75,
// shown at once by NewPtrChecked; the array is freed when the owner goes.
#include <cstddef>

#include "core/handles.h"

namespace voq {

template <typename T>
class CheckedArray {
 public:
  CheckedArray() = default;
  explicit CheckedArray(size_t count)
      : data_(static_cast<T*>(NewPtrChecked(count * sizeof(T)))) {}
  ~CheckedArray() { Reset(); }
  CheckedArray(const CheckedArray&) = delete;
  CheckedArray& operator=(const CheckedArray&) = delete;

  // Allocates count elements (zero-filled); false when memory ran out.
  bool Allocate(size_t count) {
    Reset();
    data_ = static_cast<T*>(NewPtrChecked(count * sizeof(T)));
    return data_ != nullptr;
  }
  void Reset() {
    void* p = data_;
    if (p) DisposePtr(p);
    data_ = nullptr;
  }
  T& operator[](size_t i) const { return data_[i]; }
  T* get() const { return data_; }
  explicit operator bool() const { return data_ != nullptr; }

 private:
  T* data_ = nullptr;
};

}  // namespace voq
