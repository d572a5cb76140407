#include "model/compiled_code.h"

#include <new>

#include "core/calc_state.h"
#include "core/message_ids.h"
#include "core/messages.h"
#include "model/store_state.h"

namespace voq {
namespace {

// Appends one element to a block of count elements whose capacity is
// counted in stored bytes (elementBytes each: 4 for a word, 10 for a real),
// growing the capacity by step bytes when it is full.
template <typename T>
bool AppendToBlock(std::vector<T>& block, int32_t& count, int32_t& capacity, int32_t elementBytes,
                   int32_t step, T value) {
  if (capacity / elementBytes < count + 1) {
    try {
      const int32_t newCapacity = capacity + step;
      block.resize(static_cast<size_t>(newCapacity / elementBytes));
      capacity = newCapacity;
    } catch (const std::bad_alloc&) {
      ReportOutOfMemory();
      ShowAlert(GetMessageText(kMsgOutOfMemory), 0, true);
      return false;
    }
  }
  if (block.size() < static_cast<size_t>(count) + 1) block.resize(static_cast<size_t>(count) + 1);
  block[static_cast<size_t>(count)] = value;
  count += 1;
  return true;
}

}  // namespace

void EmitCode(int32_t word) {
  TEquationRecord* e = CurrentEquation;
  if (e == nullptr) return;
  AppendToBlock<int32_t>(e->Code, e->CodeCount, e->CodeCapacity, 4, 200, word);
}

void EmitRealConstant(Extended value) {
  TEquationRecord* e = CurrentEquation;
  if (e == nullptr) return;
  if (!AppendToBlock<Extended>(e->Constants, e->ConstantCount, e->ConstantCapacity, 10, 50, value)) return;
  EmitCode(CodeConstant);
}

void EmitStringConstant(int32_t index) {
  TEquationRecord* e = CurrentEquation;
  if (e == nullptr) return;
  if (!AppendToBlock<int32_t>(e->StringOperands, e->StringOperandCount, e->StringOperandCapacity, 4, 20,
                              index)) {
    return;
  }
  EmitCode(CodeStringConstant);
}

}  // namespace voq
