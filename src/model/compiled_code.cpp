#include "model/compiled_code.h"

#include <new>

#include "core/calc_state.h"
#include "core/message_ids.h"
#include "core/messages.h"
#include "model/store_state.h"

namespace voq {
namespace {

// Appends one element to a block of the current equation; a block that
// cannot grow is error 75 with its alert.
template <typename T>
bool AppendToBlock(std::vector<T>& block, T value) {
  try {
    block.push_back(value);
  } catch (const std::bad_alloc&) {
    ReportOutOfMemory();
    ShowAlert(GetMessageText(kMsgOutOfMemory), 0, true);
    return false;
  }
  return true;
}

}  // namespace

void EmitCode(int32_t word) {
  TEquationRecord* e = CurrentEquation;
  if (e == nullptr) return;
  AppendToBlock<int32_t>(e->Code, word);
}

void EmitRealConstant(Extended value) {
  TEquationRecord* e = CurrentEquation;
  if (e == nullptr) return;
  if (!AppendToBlock<Extended>(e->Constants, value)) return;
  EmitCode(CodeConstant);
}

void EmitStringConstant(int32_t index) {
  TEquationRecord* e = CurrentEquation;
  if (e == nullptr) return;
  if (!AppendToBlock<int32_t>(e->StringOperands, index)) return;
  EmitCode(CodeStringConstant);
}

}  // namespace voq
