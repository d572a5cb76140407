#include "core/handles.h"

#include <cstdlib>
#include <cstring>
#include <new>

#include "core/calc_state.h"
#include "core/message_ids.h"
#include "core/messages.h"
#include "platform/host.h"

namespace voq {

namespace {

// A checked allocator shows the out-of-memory error at once.
void ReportAllocationFailure() {
  ReportOutOfMemory();
  ShowAlert(GetMessageText(kMsgOutOfMemory), kAlertErrorOk, true);
}

// calloc of zero bytes may return nullptr; a block always has an address.
uint8_t* AllocateBlock(size_t size) {
  return static_cast<uint8_t*>(std::calloc(size == 0 ? 1 : size, 1));
}

}  // namespace

void* NewPtrChecked(size_t size) {
  void* p = AllocateBlock(size);
  if (!p) ReportAllocationFailure();
  return p;
}

void DisposePtr(void*& ptr) {
  std::free(ptr);
  ptr = nullptr;
}

Handle NewHandle(size_t size) {
  uint8_t* block = AllocateBlock(size);
  if (!block) {
    ReportAllocationFailure();
    return nullptr;
  }
  auto* master = new (std::nothrow) TMasterPointer;
  if (!master) {
    std::free(block);
    ReportAllocationFailure();
    return nullptr;
  }
  master->Block = block;
  master->Size = size;
  return master;
}

void DisposeHandle(Handle& handle) {
  if (!handle) {
    ThrottledBeep();
    return;
  }
  std::free(handle->Block);
  delete handle;
  handle = nullptr;
}

bool SetHandleSize(Handle handle, size_t newSize) {
  if (!handle) return false;
  uint8_t* block = AllocateBlock(newSize);
  if (!block) {
    ReportAllocationFailure();
    return false;
  }
  if (handle->Block) std::memcpy(block, handle->Block, handle->Size < newSize ? handle->Size : newSize);
  std::free(handle->Block);
  handle->Block = block;
  handle->Size = newSize;
  return true;
}

TParamNodeRecord* NewParamNode(double value) {
  auto* node = new (std::nothrow) TParamNodeRecord;
  if (!node) {
    ReportAllocationFailure();
    return nullptr;
  }
  node->Value = value;
  return node;
}

void DisposeNodeList(TParamNodeRecord*& head) {
  while (head) {
    TParamNodeRecord* next = head->Next;
    delete head;
    head = next;
  }
}

}  // namespace voq
