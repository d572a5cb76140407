#pragma once
// Memory blocks with a stable identity. A handle points to a separately
// allocated master pointer that holds the address of the data block; a holder
// grows the block by allocating a larger one, copying and storing the new
// address in the master pointer, so every copy of the handle stays valid.
// The record that holds a handle owns it and frees it with DisposeHandle.
// Allocation failure is error 75 with its alert; the caller receives none and
// tests CalcErrorCode.
#include <cstddef>
#include <cstdint>

namespace voq {

// The master pointer: the block's address and its size in bytes.
struct TMasterPointer {
  uint8_t* Block = nullptr;
  size_t Size = 0;
};
using Handle = TMasterPointer*;

// Plain allocation (zero-filled). On failure: alert of message 75 with a
// beep, CalcErrorCode := 75, nullptr. Freed with DisposePtr.
void* NewPtrChecked(size_t size);
void DisposePtr(void*& ptr);

// A zero-filled block of size bytes behind a new master pointer, or nullptr
// with error 75 and its alert.
Handle NewHandle(size_t size);
// Frees the block and the master pointer; handle := nullptr in every case.
// An absent handle only gives a ThrottledBeep.
void DisposeHandle(Handle& handle);
// Replaces the block by one of newSize bytes holding the old contents (the
// added bytes zero) and stores its address in the master pointer. On failure
// the old block is kept, error 75 is set with its alert, and the result is
// false. An absent handle gives false without an error.
bool SetHandleSize(Handle handle, size_t newSize);
inline size_t GetHandleSize(Handle handle) { return handle ? handle->Size : 0; }
// The block as an array of T; nullptr for an absent handle.
template <typename T>
T* HandleData(Handle handle) {
  return handle ? reinterpret_cast<T*>(handle->Block) : nullptr;
}

// Owns one handle and disposes of it when it goes: for holders that are C++
// objects rather than records freed by hand. Copies of Get() stay valid while
// the block grows.
class OwnedHandle {
 public:
  OwnedHandle() = default;
  explicit OwnedHandle(size_t size) : handle_(NewHandle(size)) {}
  ~OwnedHandle() { Reset(); }
  OwnedHandle(OwnedHandle&& other) noexcept : handle_(other.handle_) { other.handle_ = nullptr; }
  OwnedHandle& operator=(OwnedHandle&& other) noexcept {
    if (this != &other) {
      Reset();
      handle_ = other.handle_;
      other.handle_ = nullptr;
    }
    return *this;
  }
  OwnedHandle(const OwnedHandle&) = delete;
  OwnedHandle& operator=(const OwnedHandle&) = delete;

  Handle Get() const { return handle_; }
  explicit operator bool() const { return handle_ != nullptr; }
  void Reset() {
    if (handle_) DisposeHandle(handle_);
  }

 private:
  Handle handle_ = nullptr;
};

// One node of the value lists exchanged with external routines: an 8-byte
// real and the next node (nullptr ends the list).
struct TParamNodeRecord {
  double Value = 0.0;
  TParamNodeRecord* Next = nullptr;
};

// A new node holding value, or nullptr with error 75 and its alert.
TParamNodeRecord* NewParamNode(double value);
// Frees every node of the list and sets head to nullptr.
void DisposeNodeList(TParamNodeRecord*& head);

}  // namespace voq
